// The platform calls one readiness probe makes, bare: the adapter-list size
// query, the buffer, the list itself, the own host name into 8 bytes and its
// lookup. The bench times this against the program's ProbeWirelessLan.
#include "bare_probe.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

int BareProbeCalls()
{
    ULONG cb = 0;
    if (GetAdaptersInfo(NULL, &cb) != ERROR_BUFFER_OVERFLOW || cb == 0)
        return -1;
    HLOCAL buf = LocalAlloc(LPTR, cb);
    if (!buf)
        return -1;
    int result = -1;
    if (GetAdaptersInfo((PIP_ADAPTER_INFO)buf, &cb) == ERROR_SUCCESS) {
        char name[8];
        if (gethostname(name, sizeof(name)) == 0 && gethostbyname(name))
            result = 0;
    }
    LocalFree(buf);
    return result;
}
