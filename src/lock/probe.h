// Is the wireless LAN usable? Asked by the lock screen once a second.
#ifndef BRONDELKIT_PROBE_H
#define BRONDELKIT_PROBE_H

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

// The platform calls the probe makes, in one place so that a test can hand
// it adapter chains and host-name answers that no machine would give.
struct ProbePlatform {
    DWORD(WINAPI* getAdaptersInfo)(PIP_ADAPTER_INFO pAdapterInfo, PULONG pOutBufLen);
    HLOCAL(WINAPI* localAlloc)(UINT uFlags, SIZE_T uBytes);
    HLOCAL(WINAPI* localFree)(HLOCAL hMem);
    int(WSAAPI* getHostName)(char* name, int namelen);
    struct hostent*(WSAAPI* getHostByName)(const char* name);
};

// Starts out as the real IP helper, heap and Winsock calls.
extern ProbePlatform g_probePlatform;

// 0 when the network is usable, -1 when not or when the adapters cannot be
// examined. Winsock must already be started.
int ProbeWirelessLan();

#endif
