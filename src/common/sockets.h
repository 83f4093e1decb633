// Winsock 1.1: the device's winsock.h (winsock.lib); the desktop keeps
// winsock2.h, which must come before windows.h there.
#ifndef BRONDELKIT_SOCKETS_H
#define BRONDELKIT_SOCKETS_H

#ifdef _WIN32_WCE
#include <winsock.h>
// The device's Winsock 1.1 spells its calls' convention WINSOCKAPI and
// knows no WSAAPI, which is Winsock 2's. CeGCC's winsock.h names neither
// and declares its calls PASCAL.
#ifdef WINSOCKAPI
#define SOCKETS_API WINSOCKAPI
#else
#define SOCKETS_API PASCAL
#endif
#else
#include <winsock2.h>
#define SOCKETS_API WSAAPI
#endif

#endif
