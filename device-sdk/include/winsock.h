/* Model of the device's winsock.h: Winsock 1.1, linked from winsock.lib.
 * (Winsock 2.2 would be winsock2.h with ws2.lib, which the program does not
 * use; there is deliberately no winsock2.h here.) The device's header names
 * its calls' convention WINSOCKAPI, __cdecl, and defines no WSAAPI, which is
 * Winsock 2's: a program that spells it fails there, and so here. */
#ifndef DEVICE_SDK_WINSOCK_H
#define DEVICE_SDK_WINSOCK_H

#include <windows.h>

#ifndef WINSOCKAPI
#define WINSOCKAPI          __cdecl
#endif
#define SOCKET_ERROR        (-1)
#define WSADESCRIPTION_LEN  256
#define WSASYS_STATUS_LEN   128

typedef struct WSAData {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[WSADESCRIPTION_LEN + 1];
    char szSystemStatus[WSASYS_STATUS_LEN + 1];
    unsigned short iMaxSockets;
    unsigned short iMaxUdpDg;
    char* lpVendorInfo;
} WSADATA, *LPWSADATA;

struct hostent {
    char* h_name;
    char** h_aliases;
    short h_addrtype;
    short h_length;
    char** h_addr_list;
};

extern "C" {
int WINSOCKAPI WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData);
int WINSOCKAPI WSACleanup(void);
int WINSOCKAPI gethostname(char* name, int namelen);
/* The reference gives the name as const char* (CE 4.x). */
struct hostent* WINSOCKAPI gethostbyname(const char* name);
}

#endif
