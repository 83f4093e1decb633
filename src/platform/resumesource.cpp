// The device learns of a resume from its Power Manager, which writes a
// record to a queue the program registered; it may not broadcast the
// resume message at all. This turns each resume notice into that message,
// posted to the resident window, which handles it as it handles the
// broadcast. The thread here is the platform's delivery, not a second
// thread of the program: it only waits and posts, touches no program
// state, and the program's logic stays on its one thread.
#include "platform/power.h"

#include "common/fallbacks.h"

// Room for the longest record: the state's name may follow the fields.
#define NOTICE_UNITS ((sizeof(POWER_BROADCAST) + MAX_PATH * sizeof(WCHAR)) / sizeof(DWORD))

static HWND s_hTarget;
static HANDLE s_hQueue;
static HANDLE s_hRequest;
static HANDLE s_hStop;
static HANDLE s_hThread;

// Posts one resume message per resume record waiting in the queue. False
// when the queue broke: it would stay signalled, and waiting again would
// spin.
static BOOL DrainNotices()
{
    DWORD notice[NOTICE_UNITS];
    DWORD cbRead, dwFlags;
    while (ReadMsgQueue(s_hQueue, notice, sizeof(notice), &cbRead, 0, &dwFlags)) {
        const POWER_BROADCAST* pb = (const POWER_BROADCAST*)notice;
        if (cbRead >= sizeof(DWORD) && pb->Message == PBT_RESUME)
            PostMessageW(s_hTarget, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    }
    return GetLastError() == ERROR_TIMEOUT;
}

static DWORD WINAPI DeliverNotices(LPVOID)
{
    HANDLE waits[2];
    waits[0] = s_hStop;     // first: a stop wins over a waiting notice
    waits[1] = s_hQueue;
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        if (!DrainNotices())
            break;
    }
    return 0;
}

void StartResumeSource(HWND hTarget)
{
    StopResumeSource();     // one source at a time, for the latest window
    MSGQUEUEOPTIONS mqo;
    ZeroMemory(&mqo, sizeof(mqo));
    mqo.dwSize = sizeof(mqo);
    mqo.dwFlags = MSGQUEUE_NOPRECOMMIT;
    mqo.dwMaxMessages = 0;      // no limit: a burst of resumes is kept whole
    mqo.cbMaxMessage = NOTICE_UNITS * sizeof(DWORD);
    mqo.bReadAccess = TRUE;
    s_hTarget = hTarget;
    s_hQueue = CreateMsgQueue(NULL, &mqo);
    if (s_hQueue)
        s_hRequest = RequestPowerNotifications(s_hQueue, PBT_RESUME);
    if (s_hRequest)
        s_hStop = CreateEventW(NULL, TRUE, FALSE, NULL);
    if (s_hStop)
        s_hThread = CreateThread(NULL, 0, DeliverNotices, NULL, 0, NULL);
    if (!s_hThread)
        StopResumeSource();
}

void StopResumeSource()
{
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
    if (s_hQueue) {
        CloseMsgQueue(s_hQueue);
        s_hQueue = NULL;
    }
}
