// The device's resume, as its platform tells the programs of it. A device
// may do either or both of two things after a resume:
//   resume.exe pm          its Power Manager writes a resume notice to every
//                          queue registered for one in the session
//   resume.exe broadcast   it posts WM_POWERBROADCAST/PBT_APMRESUMESUSPEND
//                          to every top-level window of the desktop
//   resume.exe             both, as a device that does both
//   resume.exe close       asks the program's resident window to close instead
// Prints what it reached; exits 1 when it reached nothing, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/power.h"

namespace {

BOOL CALLBACK Deliver(HWND h, LPARAM count)
{
    // Posted, as the broadcast reaches a busy program: handled in its order.
    if (PostMessageW(h, WM_POWERBROADCAST, 7 /* PBT_APMRESUMESUSPEND */, 0))
        ++*(int*)count;
    return TRUE;
}

int Broadcast()
{
    int count = 0;
    EnumWindows(Deliver, (LPARAM)&count);
    std::printf("broadcast: delivered to %d windows\n", count);
    return count;
}

// One notice into one registered queue, as the stand-in of the program's
// side reads it: a record in its mailslot, then its signal. Returns the
// signal, which the reader resets once it has handled every record; NULL
// when the queue is gone.
HANDLE Notify(const std::wstring& id)
{
    std::wstring slot = std::wstring(PM_STANDIN_MAILSLOT) + id;
    HANDLE h = CreateFileW(slot.c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return NULL;
    POWER_BROADCAST notice = {};
    notice.Message = PBT_RESUME;
    DWORD written = 0;
    bool ok = WriteFile(h, &notice, sizeof(notice), &written, NULL) && written == sizeof(notice);
    CloseHandle(h);
    HANDLE signal = OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE,
                               (std::wstring(PM_STANDIN_EVENT) + id).c_str());
    if (signal && (!ok || !SetEvent(signal))) {
        CloseHandle(signal);
        signal = NULL;
    }
    return signal;
}

// Waits, a while at most, until every reader has handled its notices: what
// a program does with a resume then follows everything sent to it before.
int Handled(const std::vector<HANDLE>& signals)
{
    int handled = 0;
    DWORD start = GetTickCount();
    for (HANDLE signal : signals) {
        while (WaitForSingleObject(signal, 0) == WAIT_OBJECT_0 && GetTickCount() - start < 5000)
            Sleep(10);
        handled += WaitForSingleObject(signal, 0) == WAIT_TIMEOUT;
        CloseHandle(signal);
    }
    return handled;
}

// Every registration asking for resumes; one whose program is gone (its
// mailslot went with it) is dropped, as the Power Manager drops a queue
// without a reader.
int PowerManager()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, PM_STANDIN_KEY, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      &key) != ERROR_SUCCESS) {
        std::printf("pm: no program registered for power notices\n");
        return 0;
    }
    std::vector<std::wstring> gone;
    std::vector<HANDLE> signals;
    int registered = 0;
    for (DWORD i = 0;; i++) {
        WCHAR name[64];
        DWORD cchName = 64, type = 0, flags = 0, cb = sizeof(flags);
        LONG rc = RegEnumValueW(key, i, name, &cchName, NULL, &type, (BYTE*)&flags, &cb);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS || type != REG_DWORD || !(flags & PBT_RESUME))
            continue;
        registered++;
        if (HANDLE signal = Notify(name))
            signals.push_back(signal);
        else
            gone.push_back(name);
    }
    for (const std::wstring& name : gone)
        RegDeleteValueW(key, name.c_str());
    RegCloseKey(key);
    int count = (int)signals.size();
    int handled = Handled(signals);
    std::printf("pm: resume notice to %d of %d registered queues, %d handled it\n", count,
                registered, handled);
    return count;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const wchar_t* road = argc > 1 ? argv[1] : L"";
    if (argc > 2 || (argc > 1 && wcscmp(road, L"close") && wcscmp(road, L"pm") &&
                     wcscmp(road, L"broadcast"))) {
        std::fprintf(stderr, "usage: resume.exe [pm | broadcast | close]\n");
        return 2;
    }
    if (wcscmp(road, L"close") == 0) {
        HWND resident = FindWindowW(L"Brondelkit", L"Brondelkit");
        if (!resident || !PostMessageW(resident, WM_CLOSE, 0, 0)) {
            std::fprintf(stderr, "resume: Brondelkit is not running on this desktop\n");
            return 1;
        }
        return 0;
    }
    int reached = 0;
    if (wcscmp(road, L"broadcast") != 0)
        reached += PowerManager();
    if (wcscmp(road, L"pm") != 0)
        reached += Broadcast();
    return reached > 0 ? 0 : 1;
}
