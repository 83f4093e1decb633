// Stand-in for the device's message queues and Power Manager registration,
// so that the resume source runs unchanged under the desktop. A queue is a
// mailslot (its records) with a named manual-reset event (its signal, set
// by the writer, reset here once a read finds the queue empty); a
// registration is a value under a volatile key, where the resume tool finds
// every queue of the session. Only read queues are made: the program reads,
// the tool writes.
#include "platform/power.h"

#include "common/text.h"

#include <stdio.h>

#define QUEUE_SLOTS 4
#define ID_UNITS    32
#define NAME_UNITS  96

struct StandInQueue {
    HANDLE hEvent;      // the handle the program holds and waits on
    HANDLE hSlot;
    BOOL bRegistered;
    WCHAR szId[ID_UNITS];
};

static StandInQueue s_queues[QUEUE_SLOTS];
static LONG s_nextId;

static StandInQueue* FindQueue(HANDLE h)
{
    for (int i = 0; h && i < QUEUE_SLOTS; i++)
        if (s_queues[i].hEvent == h)
            return &s_queues[i];
    return NULL;
}

static void Name(WCHAR* name, const WCHAR* prefix, const WCHAR* id)
{
    _snwprintf(name, NAME_UNITS, L"%ls%ls", prefix, id);
    name[NAME_UNITS - 1] = 0;
}

static DWORD WaitingBytes(const StandInQueue* q)
{
    DWORD next = MAILSLOT_NO_MESSAGE;
    if (!GetMailslotInfo(q->hSlot, NULL, &next, NULL, NULL))
        return MAILSLOT_NO_MESSAGE;
    return next;
}

// The device resets the signal in ReadMsgQueue; here a read that finds the
// queue empty does, so that a reset tells the writer every record has been
// read and handled. A record written meanwhile sets it again, as the
// writer sets it after every write.
static void ResetWhenEmpty(const StandInQueue* q)
{
    if (WaitingBytes(q) != MAILSLOT_NO_MESSAGE)
        return;
    ResetEvent(q->hEvent);
    if (WaitingBytes(q) != MAILSLOT_NO_MESSAGE)
        SetEvent(q->hEvent);
}

static HKEY OpenRegistrations()
{
    HKEY hKey = NULL;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, PM_STANDIN_KEY, 0, NULL, REG_OPTION_VOLATILE,
                        KEY_SET_VALUE, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return NULL;
    return hKey;
}

static void Unregister(StandInQueue* q)
{
    if (!q->bRegistered)
        return;
    HKEY hKey = OpenRegistrations();
    if (hKey) {
        RegDeleteValueW(hKey, q->szId);
        RegCloseKey(hKey);
    }
    q->bRegistered = FALSE;
}

extern "C" HANDLE WINAPI CreateMsgQueue(LPCWSTR lpszName, LPMSGQUEUEOPTIONS lpOptions)
{
    StandInQueue* q = NULL;
    for (int i = 0; !q && i < QUEUE_SLOTS; i++)
        if (!s_queues[i].hEvent)
            q = &s_queues[i];
    if (lpszName || !lpOptions || lpOptions->dwSize != sizeof(MSGQUEUEOPTIONS) ||
        !lpOptions->bReadAccess || !lpOptions->cbMaxMessage || !q) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    WCHAR name[NAME_UNITS];
    _snwprintf(q->szId, ID_UNITS, L"%lu.%ld", GetCurrentProcessId(),
               InterlockedIncrement(&s_nextId));
    q->szId[ID_UNITS - 1] = 0;
    Name(name, PM_STANDIN_MAILSLOT, q->szId);
    q->hSlot = CreateMailslotW(name, lpOptions->cbMaxMessage, 0, NULL);
    Name(name, PM_STANDIN_EVENT, q->szId);
    q->hEvent = CreateEventW(NULL, TRUE, FALSE, name);
    if (q->hSlot == INVALID_HANDLE_VALUE || !q->hEvent) {
        if (q->hSlot != INVALID_HANDLE_VALUE)
            CloseHandle(q->hSlot);
        if (q->hEvent)
            CloseHandle(q->hEvent);
        ZeroMemory(q, sizeof(*q));
        return NULL;
    }
    return q->hEvent;
}

extern "C" BOOL WINAPI ReadMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbBufferSize,
                                    LPDWORD lpNumberOfBytesRead, DWORD dwTimeout,
                                    DWORD* pdwFlags)
{
    StandInQueue* q = FindQueue(hMsgQ);
    if (!q || !lpBuffer || !lpNumberOfBytesRead || !pdwFlags) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD next = WaitingBytes(q);
    if (next == MAILSLOT_NO_MESSAGE) {
        ResetWhenEmpty(q);
        if (WaitForSingleObject(q->hEvent, dwTimeout) != WAIT_OBJECT_0 ||
            (next = WaitingBytes(q)) == MAILSLOT_NO_MESSAGE) {
            SetLastError(ERROR_TIMEOUT);
            return FALSE;
        }
    }
    if (next > cbBufferSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (!ReadFile(q->hSlot, lpBuffer, cbBufferSize, lpNumberOfBytesRead, NULL))
        return FALSE;
    *pdwFlags = 0;
    return TRUE;
}

extern "C" BOOL WINAPI CloseMsgQueue(HANDLE hMsgQ)
{
    StandInQueue* q = FindQueue(hMsgQ);
    if (!q) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Unregister(q);
    CloseHandle(q->hSlot);
    CloseHandle(q->hEvent);
    ZeroMemory(q, sizeof(*q));
    return TRUE;
}

// A device built without the Power Manager refuses the registration; a
// session asks for such a device with BK_POWER_MANAGER=none.
static BOOL PowerManagerPresent()
{
    WCHAR value[8];
    DWORD n = GetEnvironmentVariableW(L"BK_POWER_MANAGER", value, 8);
    return !(n && n < 8 && TextsEqual(value, L"none"));
}

extern "C" HANDLE WINAPI RequestPowerNotifications(HANDLE hMsgQ, DWORD Flags)
{
    if (!PowerManagerPresent()) {
        SetLastError(ERROR_SERVICE_DOES_NOT_EXIST);
        return NULL;
    }
    StandInQueue* q = FindQueue(hMsgQ);
    HKEY hKey = q && Flags ? OpenRegistrations() : NULL;
    if (!hKey) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    q->bRegistered = RegSetValueExW(hKey, q->szId, 0, REG_DWORD, (const BYTE*)&Flags,
                                    sizeof(Flags)) == ERROR_SUCCESS;
    RegCloseKey(hKey);
    return q->bRegistered ? (HANDLE)q : NULL;
}

extern "C" BOOL WINAPI StopPowerNotifications(HANDLE h)
{
    for (int i = 0; i < QUEUE_SLOTS; i++) {
        if (h == (HANDLE)&s_queues[i] && s_queues[i].bRegistered) {
            Unregister(&s_queues[i]);
            return TRUE;
        }
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}
