// The device learns of a resume from its platform, which may not broadcast
// the resume message at all: from the Power Manager, which writes records
// to a queue the program registered (an optional part of an image), and
// from the notification subsystem, which sets a named event registered for
// every wakeup (on every image). This turns those notices into that
// message, posted to the resident window, which handles it as it handles
// the broadcast. The thread here is the platform's delivery, not a second
// thread of the program: it only waits and posts, touches no program
// state, and the program's logic stays on its one thread.
#include "platform/power.h"

#include "common/fallbacks.h"

// Room for the longest record: the state's name may follow the fields.
#define NOTICE_UNITS ((sizeof(POWER_BROADCAST) + MAX_PATH * sizeof(WCHAR)) / sizeof(DWORD))
#define NOTICE_HEAD  (3 * sizeof(DWORD))    // Message, Flags, Length
#define SUSPENDED    (POWER_STATE_SUSPEND | POWER_STATE_OFF | POWER_STATE_CRITICAL)

// The program's own name, so that no other registration sets it.
#define WAKEUP_EVENT L"Brondelkit.Wakeup"
static WCHAR s_szWakeupRegistration[] = NAMED_EVENTS_PREFIX WAKEUP_EVENT;

static HWND s_hTarget;
static HANDLE s_hQueue;
static HANDLE s_hRequest;
static HANDLE s_hWakeup;
static HANDLE s_hStop;
static HANDLE s_hThread;
// The thread's own, from its start to its end.
static ResumeFold s_fold;
static DWORD s_dwLastState;     // flags of the last transition read

BOOL FoldResumeNotice(ResumeFold* pFold, int road, DWORD dwNow)
{
    DWORD bit = 1u << road;
    if (pFold->dwRoads && !(pFold->dwRoads & bit) && dwNow - pFold->dwFirst < RESUME_FOLD_MS) {
        pFold->dwRoads |= bit;
        return FALSE;
    }
    pFold->dwFirst = dwNow;
    pFold->dwRoads = bit;
    return TRUE;
}

static void Notice(int road)
{
    if (FoldResumeNotice(&s_fold, road, GetTickCount()))
        PostMessageW(s_hTarget, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
}

// A transition to the on state is a resume only after one into a suspend;
// from any other state it is the screen or the user coming back.
static void OnTransition(DWORD dwFlags)
{
    if ((dwFlags & POWER_STATE_ON) && (s_dwLastState & SUSPENDED))
        Notice(ROAD_TRANSITION);
    s_dwLastState = dwFlags;
}

// The record is read through the union, not through a cast of the buffer:
// the compiler may assume a record and a DWORD array never share memory,
// and reorder the reads.
union NoticeBuffer {
    POWER_BROADCAST pb;
    DWORD units[NOTICE_UNITS];
};

// Handles every record waiting in the queue. False when the queue broke:
// it would stay signalled, and waiting on it again would spin.
static BOOL DrainNotices()
{
    NoticeBuffer notice;
    DWORD cbRead, dwFlags;
    while (ReadMsgQueue(s_hQueue, &notice, sizeof(notice), &cbRead, 0, &dwFlags)) {
        if (cbRead < NOTICE_HEAD)
            continue;
        if (notice.pb.Message == PBT_RESUME)
            Notice(ROAD_PM_RESUME);
        else if (notice.pb.Message == PBT_TRANSITION)
            OnTransition(notice.pb.Flags);
    }
    return GetLastError() == ERROR_TIMEOUT;
}

static DWORD WINAPI DeliverNotices(LPVOID)
{
    HANDLE waits[3];
    DWORD n = 0;
    waits[n++] = s_hStop;       // first: a stop wins over a waiting notice
    if (s_hQueue)
        waits[n++] = s_hQueue;
    if (s_hWakeup)
        waits[n++] = s_hWakeup;
    for (;;) {
        DWORD i = WaitForMultipleObjects(n, waits, FALSE, INFINITE) - WAIT_OBJECT_0;
        if (i == 0 || i >= n)
            return 0;
        if (waits[i] == s_hWakeup) {
            Notice(ROAD_WAKEUP);
            // Reset once handled: the next wakeup sets it again.
            ResetEvent(s_hWakeup);
        } else if (!DrainNotices()) {
            waits[i] = waits[--n];      // the wakeup may still come
            if (n == 1)
                return 0;
        }
    }
}

static void StartPowerNotices()
{
    MSGQUEUEOPTIONS mqo;
    ZeroMemory(&mqo, sizeof(mqo));
    mqo.dwSize = sizeof(mqo);
    mqo.dwFlags = MSGQUEUE_NOPRECOMMIT;
    mqo.dwMaxMessages = 0;      // no limit: a burst of resumes is kept whole
    mqo.cbMaxMessage = NOTICE_UNITS * sizeof(DWORD);
    mqo.bReadAccess = TRUE;
    s_hQueue = CreateMsgQueue(NULL, &mqo);
    if (s_hQueue)
        s_hRequest = RequestPowerNotifications(s_hQueue, PBT_RESUME | PBT_TRANSITION);
    if (s_hQueue && !s_hRequest) {
        CloseMsgQueue(s_hQueue);
        s_hQueue = NULL;
    }
}

// Manual reset: the thread resets it once it has posted the resume.
static void StartWakeupNotices()
{
    s_hWakeup = CreateEventW(NULL, TRUE, FALSE, WAKEUP_EVENT);
    if (s_hWakeup && !CeRunAppAtEvent(s_szWakeupRegistration, NOTIFICATION_EVENT_WAKEUP)) {
        CloseHandle(s_hWakeup);
        s_hWakeup = NULL;
    }
}

void StartResumeSource(HWND hTarget)
{
    StopResumeSource();     // one source at a time, for the latest window
    s_hTarget = hTarget;
    ZeroMemory(&s_fold, sizeof(s_fold));
    s_dwLastState = 0;
    StartPowerNotices();
    StartWakeupNotices();
    if (s_hQueue || s_hWakeup)
        s_hStop = CreateEventW(NULL, TRUE, FALSE, NULL);
    if (s_hStop)
        s_hThread = CreateThread(NULL, 0, DeliverNotices, NULL, 0, NULL);
    if (!s_hThread)
        StopResumeSource();
}

void StopResumeSource()
{
    // The platform keeps a registration until it is replaced: cleared
    // here, or it would outlive the program.
    if (s_hWakeup)
        CeRunAppAtEvent(s_szWakeupRegistration, NOTIFICATION_EVENT_NONE);
    if (s_hRequest) {
        StopPowerNotifications(s_hRequest);
        s_hRequest = NULL;
    }
    if (s_hThread) {
        SetEvent(s_hStop);
        WaitForSingleObject(s_hThread, INFINITE);
        CloseHandle(s_hThread);
        s_hThread = NULL;
    }
    if (s_hStop) {
        CloseHandle(s_hStop);
        s_hStop = NULL;
    }
    if (s_hWakeup) {
        CloseHandle(s_hWakeup);
        s_hWakeup = NULL;
    }
    if (s_hQueue) {
        CloseMsgQueue(s_hQueue);
        s_hQueue = NULL;
    }
}
