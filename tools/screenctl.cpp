// Reads and drives what Brondelkit shows on the device screen, from another
// process of the same desktop: windows inside a Wine virtual desktop are not
// X windows, so the run command asks this program instead.
//   screenctl.exe wait STATE [--not HWND] [MS]   waits, prints the window
//   screenctl.exe lock                           the visible lock screen or 0
//   screenctl.exe corners                        settings dialog's 3 taps
//   screenctl.exe icon [MS]                      where the icon sits, once it can
//   screenctl.exe seen                           what the screen shows
//   screenctl.exe text ID VALUE | click ID       on the dialog with that id
//   screenctl.exe where ID                       the centre of that control
//   screenctl.exe stored NAME                    a stored text setting
// STATE: resident shown settings-locked settings-unlocked lock lock-waiting
// lock-password no-dialog gone. Exit 0 when done, 1 when not. A wait gives
// up once the session has done no work for MS (tools/patience.h), however
// long the work takes on a busy machine.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "patience.h"
#include "resource.h"
#include "topwindows.h"

namespace {

const wchar_t kWaiting[] = L"無線LAN起動準備中";
const wchar_t kWantPassword[] = L"パスワードを正しく入力してください。";

void Print(const std::wstring& text, FILE* to = stdout)
{
    // UTF-8 as it is, whatever code page the console has.
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, NULL, 0, NULL, NULL);
    std::string bytes(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], n, NULL, NULL);
    std::fwrite(bytes.data(), 1, bytes.size(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

HWND Resident()
{
    return FindWindowW(L"Brondelkit", L"Brondelkit");
}

// The program's visible dialogs that hold control `id`.
std::vector<HWND> Dialogs(int id)
{
    DWORD pid = 0;
    HWND resident = Resident();
    if (!resident || !GetWindowThreadProcessId(resident, &pid))
        return {};
    return VisibleWithControl(pid, id);
}

HWND Settings()
{
    std::vector<HWND> d = Dialogs(IDC_TIMEOUT_VALUE);
    return d.empty() ? NULL : d.front();
}

HWND LockScreen()
{
    std::vector<HWND> d = Dialogs(IDC_LOCK_PICTURE);
    return d.size() == 1 ? d.front() : NULL;  // more than one is a fault
}

std::wstring Text(HWND dlg, int id)
{
    wchar_t buf[256] = L"";
    GetDlgItemTextW(dlg, id, buf, 256);
    return buf;
}

bool Unlocked(HWND dlg)
{
    return IsWindowVisible(GetDlgItem(dlg, IDCANCEL)) && Text(dlg, IDOK) == L"保存";
}

// The window that shows STATE, (HWND)1 for a state without one, or NULL.
HWND Reached(const std::wstring& state)
{
    HWND s = Settings(), l = LockScreen();
    if (state == L"resident")
        return Resident();
    if (state == L"gone")
        return Resident() ? NULL : (HWND)1;
    if (state == L"shown")
        return s ? s : l;
    if (state == L"settings-locked")
        return s && !Unlocked(s) ? s : NULL;
    if (state == L"settings-unlocked")
        return s && Unlocked(s) ? s : NULL;
    // A lock screen alone: a dialog still shown beside it is a fault.
    if (s)
        l = NULL;
    if (state == L"lock")
        return l;
    if (state == L"lock-waiting")
        return l && Text(l, IDC_LOCK_STATUS) == kWaiting ? l : NULL;
    if (state == L"lock-password")
        return l && Text(l, IDC_LOCK_STATUS) == kWantPassword ? l : NULL;
    if (state == L"no-dialog")
        return Resident() && !s && Dialogs(IDC_LOCK_PICTURE).empty() ? (HWND)1 : NULL;
    return NULL;
}

HWND Taskbar()
{
    return FindWindowW(L"Shell_TrayWnd", NULL);
}

std::wstring Seen()
{
    std::wstring what = Resident() ? L"resident window up" : L"no resident window";
    what += Taskbar() ? L"; taskbar up" : L"; no taskbar";
    if (HWND s = Settings())
        what += Unlocked(s) ? L"; settings dialog unlocked" : L"; settings dialog locked";
    size_t locks = Dialogs(IDC_LOCK_PICTURE).size();
    if (locks == 1)
        what += L"; lock screen: " + Text(LockScreen(), IDC_LOCK_STATUS);
    else if (locks > 1)
        what += L"; " + std::to_wstring(locks) + L" lock screens";
    return what;
}

// Until the program has painted what it shows and waits for input.
void Settle()
{
    DWORD pid = 0;
    HWND resident = Resident();
    if (!resident || !GetWindowThreadProcessId(resident, &pid))
        return;
    HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!p)
        return;
    patience::WaitInputIdle(p);
    patience::Answers(resident);
    CloseHandle(p);
}

// Polls until reached() holds while the session works, idle for MS at
// most; says what the screen showed when it never did.
template <class Reached>
bool Await(const std::wstring& what, DWORD ms, Reached reached)
{
    patience::End end = patience::WaitWhileWorking(reached, ms);
    if (end == patience::End::Reached)
        return true;
    Print(L"screenctl: not reached (" + std::wstring(patience::Why(end)) + L"): " + what +
              L"; seen: " + Seen(),
          stderr);
    return false;
}

int Wait(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    std::wstring state = argv[2];
    HWND old = NULL;
    DWORD ms = patience::kIdleMs;
    for (int i = 3; i < argc; i++) {
        if (wcscmp(argv[i], L"--not") == 0 && i + 1 < argc)
            old = (HWND)(INT_PTR)_wtoi64(argv[++i]);
        else
            ms = (DWORD)_wtoi(argv[i]);
    }
    HWND h = NULL;
    // A fresh window, and the old one gone from the screen.
    if (!Await(state + (old ? L" (a fresh one)" : L""), ms, [&] {
            h = Reached(state);
            return h && (!old || (h != old && !(IsWindow(old) && IsWindowVisible(old))));
        }))
        return 1;
    Settle();
    std::printf("%lld\n", (long long)(INT_PTR)h);
    return 0;
}

// Where a tap reaches the icon, once there is a taskbar. Wine's taskbar
// paints its icons itself, from its right end; the program's is the only one.
int Icon(DWORD ms)
{
    RECT rc;
    if (!Await(L"taskbar", ms, [&] {
            HWND bar = Taskbar();
            return bar && IsWindowVisible(bar) && GetWindowRect(bar, &rc);
        }))
        return 1;
    std::printf("%ld %ld\n", rc.right - 11, (rc.top + rc.bottom) / 2);
    return 0;
}

HWND DialogWith(int id)
{
    std::vector<HWND> d = Dialogs(id);
    if (d.empty())
        Print(L"screenctl: no visible dialog has control " + std::to_wstring(id), stderr);
    return d.empty() ? NULL : d.front();
}

std::wstring Stored(const wchar_t* name)
{
    // The view of this build's architecture, as the program built beside it.
    HKEY key;
    wchar_t buf[128] = L"";
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\TAVIK\\Brondelkit", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS)
        return L"";
    DWORD cb = sizeof(buf) - sizeof(wchar_t);
    RegQueryValueExW(key, name, NULL, NULL, (BYTE*)buf, &cb);
    RegCloseKey(key);
    return buf;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring cmd = argc > 1 ? argv[1] : L"";
    if (cmd == L"wait")
        return Wait(argc, argv);
    if (cmd == L"lock") {
        std::printf("%lld\n", (long long)(INT_PTR)LockScreen());
        return 0;
    }
    if (cmd == L"corners") {
        HWND dlg = Settings();
        if (!dlg)
            return 1;
        RECT rc;
        GetClientRect(dlg, &rc);
        // Top-left, bottom-left, top-right, inside the dialog's margin.
        POINT pts[3] = {{5, 5}, {5, rc.bottom - 5}, {rc.right - 5, 5}};
        for (POINT& pt : pts) {
            ClientToScreen(dlg, &pt);
            std::printf("%ld %ld\n", pt.x, pt.y);
        }
        return 0;
    }
    if (cmd == L"icon")
        return Icon(argc > 2 ? (DWORD)_wtoi(argv[2]) : patience::kIdleMs);
    if (cmd == L"seen") {
        Print(Seen());
        return 0;
    }
    if (cmd == L"text" && argc == 4) {
        HWND dlg = DialogWith(_wtoi(argv[2]));
        return dlg && SetDlgItemTextW(dlg, _wtoi(argv[2]), argv[3]) ? 0 : 1;
    }
    if (cmd == L"click" && argc == 3) {
        HWND dlg = DialogWith(_wtoi(argv[2]));
        return dlg && PostMessageW(GetDlgItem(dlg, _wtoi(argv[2])), BM_CLICK, 0, 0) ? 0 : 1;
    }
    if (cmd == L"where" && argc == 3) {
        // Where a tap from outside the desktop, through a browser, lands.
        HWND dlg = DialogWith(_wtoi(argv[2]));
        RECT rc;
        if (!dlg || !GetWindowRect(GetDlgItem(dlg, _wtoi(argv[2])), &rc))
            return 1;
        std::printf("%ld %ld\n", (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        return 0;
    }
    if (cmd == L"stored" && argc == 3) {
        Print(Stored(argv[2]));
        return 0;
    }
    std::fprintf(stderr, "usage: screenctl.exe wait STATE [--not HWND] [MS] | lock | corners | icon [MS] |"
                         " seen | text ID VALUE | click ID | where ID | stored NAME\n");
    return 2;
}
