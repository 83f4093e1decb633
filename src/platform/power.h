// The device's Power Manager notices: a program registers a message queue
// and the Power Manager writes a record to it on each power event. Desktop
// Windows has neither; there power_desktop.cpp stands in for the five calls
// and tools/resume.cpp plays the Power Manager.
#ifndef BRONDELKIT_POWER_H
#define BRONDELKIT_POWER_H

#include <windows.h>

#ifdef _WIN32_WCE
#include <msgqueue.h>
#include <pm.h>
#else
#define MSGQUEUE_NOPRECOMMIT    0x00000001
#define MSGQUEUE_ALLOW_BROKEN   0x00000002
#define PBT_TRANSITION          0x00000001
#define PBT_RESUME              0x00000002
#define PBT_POWERSTATUSCHANGE   0x00000004
#define PBT_POWERINFOCHANGE     0x00000008
#define POWER_NOTIFY_ALL        0xFFFFFFFF

typedef struct _MSGQUEUEOPTIONS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwMaxMessages;
    DWORD cbMaxMessage;
    BOOL bReadAccess;
} MSGQUEUEOPTIONS, *LPMSGQUEUEOPTIONS;

typedef struct _POWER_BROADCAST {
    DWORD Message;
    DWORD Flags;
    DWORD Length;
    WCHAR SystemPowerState[1];
} POWER_BROADCAST;

extern "C" {
HANDLE WINAPI CreateMsgQueue(LPCWSTR lpszName, LPMSGQUEUEOPTIONS lpOptions);
BOOL WINAPI ReadMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbBufferSize,
                         LPDWORD lpNumberOfBytesRead, DWORD dwTimeout, DWORD* pdwFlags);
BOOL WINAPI CloseMsgQueue(HANDLE hMsgQ);
HANDLE WINAPI RequestPowerNotifications(HANDLE hMsgQ, DWORD Flags);
BOOL WINAPI StopPowerNotifications(HANDLE h);
}

// How the stand-in's Power Manager finds the registered queues: one value
// per queue (its id, the flags asked for) under a volatile key of the
// session, a mailslot carrying the records and an event that signals them.
#define PM_STANDIN_KEY          L"Software\\TAVIK\\Brondelkit\\DesktopPowerManager"
#define PM_STANDIN_MAILSLOT     L"\\\\.\\mailslot\\brondelkit\\power\\"
#define PM_STANDIN_EVENT        L"BrondelkitPowerQueue."
#endif

// A Power Manager resume notice as the resident window's resume message:
// started with the window, stopped before it goes. Without a Power Manager
// it does nothing, and the platform's own broadcast is all there is.
void StartResumeSource(HWND hTarget);
void StopResumeSource();

#endif
