/* Model of the device's msgqueue.h: point-to-point message queues, in
 * coredll (Windows CE .NET 4.0 and later). Written from the reference pages
 * of CreateMsgQueue, ReadMsgQueue, CloseMsgQueue and MSGQUEUEOPTIONS. */
#ifndef DEVICE_SDK_MSGQUEUE_H
#define DEVICE_SDK_MSGQUEUE_H

#include <windows.h>

/* The flags are named by the reference without values: these are those of
 * a public CE 5.0 SDK's headers; the device's headers carry the device's. */
#define MSGQUEUE_NOPRECOMMIT    0x00000001
#define MSGQUEUE_ALLOW_BROKEN   0x00000002

typedef struct _MSGQUEUEOPTIONS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwMaxMessages;
    DWORD cbMaxMessage;
    BOOL bReadAccess;
} MSGQUEUEOPTIONS, *LPMSGQUEUEOPTIONS, *PMSGQUEUEOPTIONS;

extern "C" {
/* A read handle signals while data waits in the queue; ReadMsgQueue resets
 * the signal. NULL on failure. */
HANDLE WINAPI CreateMsgQueue(LPCWSTR lpszName, LPMSGQUEUEOPTIONS lpOptions);
/* A timeout of 0 does not block. */
BOOL WINAPI ReadMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbBufferSize,
                         LPDWORD lpNumberOfBytesRead, DWORD dwTimeout, DWORD* pdwFlags);
BOOL WINAPI CloseMsgQueue(HANDLE hMsgQ);
}

#endif
