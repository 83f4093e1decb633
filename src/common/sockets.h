// Winsock 1.1: the device's winsock.h (winsock.lib); the desktop keeps
// winsock2.h, which must come before windows.h there.
#ifndef BRONDELKIT_SOCKETS_H
#define BRONDELKIT_SOCKETS_H

#ifdef _WIN32_WCE
#include <winsock.h>
#else
#include <winsock2.h>
#endif

#endif
