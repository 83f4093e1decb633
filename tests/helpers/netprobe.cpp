// Runs the program's readiness probe on request, so that a script can
// change the network between calls of one and the same process.
// Commands, one a line on standard input:
//   probe    prints the result of ProbeWirelessLan (0 or -1)
//   name     prints what gethostname gives into 8 bytes and whether
//            gethostbyname resolves it: "name OK|FAIL RESOLVES|NORESOLVE"
//   adapters prints the size query's code and each listed adapter as
//            "TYPE:FIRSTADDRESS", all on one line
//   quit     ends the program
#include <cstdio>
#include <cstring>

#include "lock/probe.h"

static void PrintAdapters()
{
    ULONG size = 0;
    DWORD rc = GetAdaptersInfo(NULL, &size);
    printf("rc=%lu", rc);
    if (rc == ERROR_BUFFER_OVERFLOW && size) {
        IP_ADAPTER_INFO* list = (IP_ADAPTER_INFO*)LocalAlloc(LPTR, size);
        if (list && GetAdaptersInfo(list, &size) == ERROR_SUCCESS) {
            for (IP_ADAPTER_INFO* a = list; a; a = a->Next)
                printf(" %u:%s", a->Type, a->IpAddressList.IpAddress.String);
        }
        LocalFree(list);
    }
    printf("\n");
}

int main()
{
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(1, 1), &wsa) != 0) {
        printf("WSAStartup failed\n");
        return 1;
    }
    char line[64];
    while (fgets(line, sizeof(line), stdin)) {
        if (strncmp(line, "probe", 5) == 0) {
            printf("%d\n", ProbeWirelessLan());
        } else if (strncmp(line, "name", 4) == 0) {
            char name[8] = "";
            bool got = gethostname(name, sizeof(name)) == 0;
            bool resolves = got && gethostbyname(name) != NULL;
            printf("%s %s %s\n", got ? name : "-", got ? "OK" : "FAIL",
                   resolves ? "RESOLVES" : "NORESOLVE");
        } else if (strncmp(line, "adapters", 8) == 0) {
            PrintAdapters();
        } else if (strncmp(line, "quit", 4) == 0) {
            break;
        } else {
            printf("unknown\n");
        }
        fflush(stdout);
    }
    WSACleanup();
    return 0;
}
