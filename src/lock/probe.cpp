#include "lock/probe.h"

#define HOSTNAME_BYTES 8        // room for 7 characters only, as on the device

ProbePlatform g_probePlatform = {
    GetAdaptersInfo, LocalAlloc, LocalFree, gethostname, gethostbyname,
};

static BOOL IsAcceptedType(UINT type)
{
    static const UINT accepted[] = {
        1, 2, 5, 6, 10, 11, 12, 13, 14, 15, 20, 30, 31, 32, 40, 41, 42, 50, 60,
    };
    for (UINT i = 0; i < sizeof(accepted) / sizeof(accepted[0]); i++) {
        if (accepted[i] == type)
            return TRUE;
    }
    return FALSE;
}

static BOOL IsUnassigned(const char* address)
{
    const char* unassigned = "0.0.0.0";
    for (int i = 0;; i++) {
        if (address[i] != unassigned[i])
            return FALSE;
        if (address[i] == 0)
            return TRUE;
    }
}

static int WalkAdapters(const IP_ADAPTER_INFO* pAdapter)
{
    for (; pAdapter; pAdapter = pAdapter->Next) {
        if (!IsAcceptedType(pAdapter->Type))
            continue;
        // Only the first address: an adapter still waiting for its lease
        // reports 0.0.0.0 there whatever else it lists.
        if (!IsUnassigned(pAdapter->IpAddressList.IpAddress.String))
            return 0;
    }
    return -1;
}

static BOOL OwnHostNameResolves()
{
    char name[HOSTNAME_BYTES];
    if (g_probePlatform.getHostName(name, sizeof(name)) != 0)
        return FALSE;
    return g_probePlatform.getHostByName(name) != NULL;
}

int ProbeWirelessLan()
{
    int result = -1;

    ULONG cbAdapters = 0;
    if (g_probePlatform.getAdaptersInfo(NULL, &cbAdapters) != ERROR_BUFFER_OVERFLOW ||
        cbAdapters == 0)
        return -1;

    PIP_ADAPTER_INFO pAdapters = (PIP_ADAPTER_INFO)g_probePlatform.localAlloc(LPTR, cbAdapters);
    if (!pAdapters)
        return -1;

    if (g_probePlatform.getAdaptersInfo(pAdapters, &cbAdapters) != ERROR_SUCCESS) {
        g_probePlatform.localFree(pAdapters);
        return -1;
    }

    result = WalkAdapters(pAdapters);

    // A name that resolves counts even when no adapter has an address yet.
    if (OwnHostNameResolves())
        result = 0;

    g_probePlatform.localFree(pAdapters);
    return result;
}
