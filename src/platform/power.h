// How the device tells a program of a resume: its Power Manager writes a
// record to a message queue the program registered, and its notification
// subsystem sets a named event registered for the wakeup. Desktop Windows
// has neither; there power_desktop.cpp and notify_desktop.cpp stand in for
// the calls and tools/resume.cpp plays the platform.
#ifndef BRONDELKIT_POWER_H
#define BRONDELKIT_POWER_H

#include <windows.h>

#ifdef _WIN32_WCE
#include <msgqueue.h>
#include <notify.h>
#include <pm.h>
#else
#define MSGQUEUE_NOPRECOMMIT    0x00000001
#define MSGQUEUE_ALLOW_BROKEN   0x00000002
#define PBT_RESUME              0x00000002
#define PBT_POWERSTATUSCHANGE   0x00000004
#define PBT_POWERINFOCHANGE     0x00000008
#define POWER_NOTIFY_ALL        0xFFFFFFFF
#define POWER_STATE_ON          0x00010000
#define POWER_STATE_OFF         0x00020000
#define POWER_STATE_CRITICAL    0x00040000
#define POWER_STATE_SUSPEND     0x00200000
#define NOTIFICATION_EVENT_NONE     0
#define NOTIFICATION_EVENT_WAKEUP   11

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
BOOL WINAPI CeRunAppAtEvent(WCHAR* pwszAppName, LONG lWhichEvent);
}

// How the stand-in's Power Manager finds the registered queues: one value
// per queue (its id, the flags asked for) under a volatile key of the
// session, a mailslot carrying the records and an event that signals them.
#define PM_STANDIN_KEY          L"Software\\TAVIK\\Brondelkit\\DesktopPowerManager"
#define PM_STANDIN_MAILSLOT     L"\\\\.\\mailslot\\brondelkit\\power\\"
#define PM_STANDIN_EVENT        L"BrondelkitPowerQueue."
// The stand-in's notification database: one value per registration (the
// name registered, the event), under a volatile key of the session.
#define NOTIFY_STANDIN_KEY      L"Software\\TAVIK\\Brondelkit\\DesktopNotifications"
#endif

// The desktop has no Power Manager, and CeGCC's pm.h, for the device, has
// PBT_RESUME but lacks this one; the value is a public CE SDK's, as above.
#ifndef PBT_TRANSITION
#define PBT_TRANSITION          0x00000001
#endif

// The form of a registration that sets a named event instead of starting a
// program: this prefix, then the event's name.
#define NAMED_EVENTS_PREFIX     L"\\\\.\\Notifications\\NamedEvents\\"

// The device's resume notices as the resident window's resume message:
// started with the window, stopped before it goes. With neither road it
// does nothing, and the platform's own broadcast is all there is.
void StartResumeSource(HWND hTarget);
void StopResumeSource();

// One resume may come by up to three roads: the wakeup event, the Power
// Manager's transition to the on state after a suspend, and its resume
// notice. Notices of one resume come within a short while of each other,
// one per road; they make one resume message.
enum ResumeRoad { ROAD_WAKEUP, ROAD_TRANSITION, ROAD_PM_RESUME };
#define RESUME_FOLD_MS  2000
struct ResumeFold {
    DWORD dwFirst;      // tick of the current resume's first notice
    DWORD dwRoads;      // bit per road that gave a notice of it; 0 before any
};
// TRUE when a notice by that road at that tick begins a resume; FALSE when
// it is another notice of the current one.
BOOL FoldResumeNotice(ResumeFold* pFold, int road, DWORD dwNow);

#endif
