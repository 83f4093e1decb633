// The device's resume, as its platform tells the programs of it. A device
// may take any of these roads after a resume:
//   resume.exe pm          its Power Manager writes the transition into the
//                          suspend state, the transition to the on state and
//                          the resume notice, each to every queue registered
//                          for it in the session
//   resume.exe transition  the two transitions alone, as after a suspend
//                          that the Power Manager did not start
//   resume.exe wakeup      its notification subsystem sets every named event
//                          registered for the wakeup
//   resume.exe broadcast   it posts WM_POWERBROADCAST/PBT_APMRESUMESUSPEND
//                          to every top-level window of the desktop
//   resume.exe             pm, wakeup and broadcast, as a device that does all
//   resume.exe close       asks the program's resident window to close instead
// Prints what it reached; exits 1 when it reached nothing, 2 on bad usage.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "patience.h"
#include "platform/power.h"

namespace {

using Record = std::vector<BYTE>;

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

// A Power Manager's record: the notice, the new state's flags and its name.
Record Notice(DWORD message, DWORD flags = 0, const std::wstring& state = L"")
{
    DWORD length = state.empty() ? 0 : DWORD((state.size() + 1) * sizeof(WCHAR));
    Record r(offsetof(POWER_BROADCAST, SystemPowerState) + std::max<DWORD>(length, sizeof(WCHAR)));
    POWER_BROADCAST* pb = (POWER_BROADCAST*)r.data();
    pb->Message = message;
    pb->Flags = flags;
    pb->Length = length;
    std::copy(state.begin(), state.end(), pb->SystemPowerState);
    return r;
}

// Records into one registered queue, as the stand-in of the program's side
// reads them: each a message of its mailslot, then its signal. Returns the
// signal, which the reader resets once it has handled every record; NULL
// when the queue is gone.
HANDLE Write(const std::wstring& id, const std::vector<Record>& records)
{
    std::wstring slot = std::wstring(PM_STANDIN_MAILSLOT) + id;
    HANDLE h = CreateFileW(slot.c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return NULL;
    bool ok = true;
    for (const Record& r : records) {
        DWORD written = 0;
        ok = ok && WriteFile(h, r.data(), (DWORD)r.size(), &written, NULL) && written == r.size();
    }
    CloseHandle(h);
    HANDLE signal = OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE,
                               (std::wstring(PM_STANDIN_EVENT) + id).c_str());
    if (signal && (!ok || !SetEvent(signal))) {
        CloseHandle(signal);
        signal = NULL;
    }
    return signal;
}

// Waits, while the session works, until every reader has handled what it
// was sent (its signal reset): what a program does with a resume then
// follows everything sent to it before.
int Handled(const std::vector<HANDLE>& signals)
{
    int handled = 0;
    for (HANDLE signal : signals) {
        patience::WaitWhileWorking([&] { return WaitForSingleObject(signal, 0) == WAIT_TIMEOUT; });
        handled += WaitForSingleObject(signal, 0) == WAIT_TIMEOUT;
        CloseHandle(signal);
    }
    return handled;
}

// Calls back with each REG_DWORD value of a key of the session: its name
// and data. The key opened for changes too, or NULL when there is none.
template <typename F>
HKEY EachValue(const wchar_t* path, F each)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key))
        return NULL;
    for (DWORD i = 0;; i++) {
        WCHAR name[256];
        DWORD cchName = 256, type = 0, data = 0, cb = sizeof(data);
        LONG rc = RegEnumValueW(key, i, name, &cchName, NULL, &type, (BYTE*)&data, &cb);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc == ERROR_SUCCESS && type == REG_DWORD)
            each(std::wstring(name), data);
    }
    return key;
}

// Every queue receives the records whose notice it asked for; one whose
// program is gone (its mailslot went with it) is dropped, as the Power
// Manager drops a queue without a reader.
int PowerManager(const std::vector<Record>& sequence)
{
    std::vector<std::wstring> gone;
    std::vector<HANDLE> signals;
    int registered = 0;
    HKEY key = EachValue(PM_STANDIN_KEY, [&](const std::wstring& id, DWORD flags) {
        std::vector<Record> asked;
        for (const Record& r : sequence)
            if (flags & ((const POWER_BROADCAST*)r.data())->Message)
                asked.push_back(r);
        if (asked.empty())
            return;
        registered++;
        if (HANDLE signal = Write(id, asked))
            signals.push_back(signal);
        else
            gone.push_back(id);
    });
    if (key) {
        for (const std::wstring& id : gone)
            RegDeleteValueW(key, id.c_str());
        RegCloseKey(key);
    }
    int count = (int)signals.size();
    int handled = Handled(signals);
    std::printf("pm: %zu notices to %d of %d registered queues, %d handled them\n",
                sequence.size(), count, registered, handled);
    return count;
}

int PowerManagerResume()
{
    return PowerManager({Notice(PBT_TRANSITION, POWER_STATE_SUSPEND, L"suspend"),
                         Notice(PBT_TRANSITION, POWER_STATE_ON, L"on"), Notice(PBT_RESUME)});
}

int Transitions()
{
    return PowerManager({Notice(PBT_TRANSITION, POWER_STATE_SUSPEND, L"suspend"),
                         Notice(PBT_TRANSITION, POWER_STATE_ON, L"on")});
}

// Every named event registered for the wakeup that some program holds; a
// registration stays, as the device keeps it, whether it reached one or not.
int Wakeup()
{
    const std::wstring prefix = NAMED_EVENTS_PREFIX;
    std::vector<HANDLE> events;
    int registered = 0;
    HKEY key = EachValue(NOTIFY_STANDIN_KEY, [&](const std::wstring& name, DWORD event) {
        if (event != NOTIFICATION_EVENT_WAKEUP || name.compare(0, prefix.size(), prefix))
            return;
        registered++;
        HANDLE h = OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE,
                              name.substr(prefix.size()).c_str());
        if (h && SetEvent(h))
            events.push_back(h);
        else if (h)
            CloseHandle(h);
    });
    if (key)
        RegCloseKey(key);
    int count = (int)events.size();
    int handled = Handled(events);
    std::printf("wakeup: set %d of %d registered named events, %d handled it\n", count,
                registered, handled);
    return count;
}

int Close()
{
    HWND resident = FindWindowW(L"Brondelkit", L"Brondelkit");
    if (!resident || !PostMessageW(resident, WM_CLOSE, 0, 0)) {
        std::fprintf(stderr, "resume: Brondelkit is not running on this desktop\n");
        return 0;
    }
    return 1;
}

int EveryRoad()
{
    int reached = PowerManagerResume();
    reached += Wakeup();
    return reached + Broadcast();
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const struct {
        const wchar_t* name;
        int (*run)();
    } modes[] = {{L"", EveryRoad},         {L"pm", PowerManagerResume},
                 {L"transition", Transitions}, {L"wakeup", Wakeup},
                 {L"broadcast", Broadcast}, {L"close", Close}};
    const wchar_t* road = argc > 1 ? argv[1] : L"";
    for (const auto& mode : modes)
        if (argc <= 2 && wcscmp(road, mode.name) == 0)
            return mode.run() > 0 ? 0 : 1;
    std::fprintf(stderr, "usage: resume.exe [pm | transition | wakeup | broadcast | close]\n");
    return 2;
}
