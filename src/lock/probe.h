// Is the wireless LAN usable? Asked by the lock screen once a second.
#ifndef BRONDELKIT_PROBE_H
#define BRONDELKIT_PROBE_H

#include "common/sockets.h"
#include <windows.h>
#include <iphlpapi.h>

// LocalAlloc's size parameter: a UINT in the device's SDK, a SIZE_T in
// mingw's headers, CeGCC's for the device as the desktop's.
#ifdef __MINGW32_MAJOR_VERSION
typedef SIZE_T LOCAL_BYTES;
#elif defined(_WIN32_WCE)
typedef UINT LOCAL_BYTES;
#else
typedef SIZE_T LOCAL_BYTES;
#endif

// The platform calls the probe makes, in one place so that a test can hand
// it adapter chains and host-name answers that no machine would give.
struct ProbePlatform {
    DWORD(WINAPI* getAdaptersInfo)(PIP_ADAPTER_INFO pAdapterInfo, PULONG pOutBufLen);
    HLOCAL(WINAPI* localAlloc)(UINT uFlags, LOCAL_BYTES uBytes);
    HLOCAL(WINAPI* localFree)(HLOCAL hMem);
    int(SOCKETS_API* getHostName)(char* name, int namelen);
    struct hostent*(SOCKETS_API* getHostByName)(const char* name);
};

// Starts out as the real IP helper, heap and Winsock calls.
extern ProbePlatform g_probePlatform;

// 0 when the network is usable, -1 when not or when the adapters cannot be
// examined. Winsock must already be started.
int ProbeWirelessLan();

#endif
