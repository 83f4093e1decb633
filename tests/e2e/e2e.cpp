#include "e2e/e2e.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "patience.h"
#include "resource.h"
#include "support/launch_marker_watch.h"
#include "topwindows.h"

std::wstring DriverDir()
{
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(NULL, path, MAX_PATH);
    std::wstring dir = path;
    return dir.substr(0, dir.find_last_of(L"\\/"));
}

// Starts an exe beside the driver, with `args` after its name on its
// command line.
static Program StartExe(const wchar_t* name, const wchar_t* args)
{
    Program p;
    std::wstring exe = DriverDir() + L"\\" + name;
    std::wstring line = std::wstring(name) + (args ? std::wstring(L" ") + args : L"");
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    BOOL ok = CreateProcessW(exe.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi);
    if (!ok && GetLastError() == ERROR_INTERNAL_ERROR) {
        // Wine's own start of a process, seen to fail once in hundreds of
        // starts under load: the new process died before it reported its
        // start-up done, that is before any code of the exe ran. No start
        // of the program, so it is tried once more, and said.
        std::cout << (testing::Message() << "[ platform ] CreateProcess failed with 1359 before "
                                         << name << " ran; started again")
                  << std::endl;
        ok = CreateProcessW(exe.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi);
    }
    EXPECT_TRUE(ok) << "cannot start " << line << ": " << GetLastError();
    if (ok) {
        CloseHandle(pi.hThread);
        p.process = pi.hProcess;
        p.pid = pi.dwProcessId;
    }
    return p;
}

Program StartProgram()
{
    return StartExe(L"brondelkit.exe", NULL);
}

DWORD ExitCode(const Program& p)
{
    DWORD code = STILL_ACTIVE;
    if (p.process && WaitForSingleObject(p.process, 0) == WAIT_OBJECT_0)
        GetExitCodeProcess(p.process, &code);
    return code;
}

DWORD WaitExit(Program& p)
{
    patience::WaitWhileWorking([&] { return ExitCode(p) != STILL_ACTIVE; });
    return ExitCode(p);
}

void EndProgram(Program& p)
{
    if (!p.process)
        return;
    if (WaitForSingleObject(p.process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(p.process, 99);
        WaitExit(p);
    }
    CloseHandle(p.process);
    p.process = NULL;
}

bool WaitUntil(const std::function<bool()>& condition)
{
    patience::End end = patience::WaitWhileWorking(condition);
    if (end != patience::End::Reached)
        ADD_FAILURE() << "condition not met: " << patience::Why(end);
    return end == patience::End::Reached;
}

namespace {
HWND VisibleDialogWith(DWORD pid, int childId)
{
    for (HWND h : VisibleWithControl(pid, childId))
        if (IsDialogWindow(h))
            return h;
    return NULL;
}
}  // namespace

std::vector<HWND> TopWindows(DWORD pid)
{
    return TopWindowsOf(pid);
}

HWND ResidentWindow()
{
    return FindWindowW(L"Brondelkit", L"Brondelkit");
}

HWND LockScreen(DWORD pid)
{
    return VisibleDialogWith(pid, IDC_LOCK_PICTURE);
}

HWND SettingsDialog(DWORD pid)
{
    return VisibleDialogWith(pid, IDC_TIMEOUT_VALUE);
}

int VisibleLockScreens(DWORD pid)
{
    return (int)VisibleWithControl(pid, IDC_LOCK_PICTURE).size();
}

bool TrayIconPresent(HWND resident)
{
    // Modifying nothing succeeds only for an icon the shell holds.
    NOTIFYICONDATAW nid = {};
    nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
    nid.hWnd = resident;
    nid.uID = ID_TRAYICON;
    return resident && Shell_NotifyIconW(NIM_MODIFY, &nid);
}

void PostResume(DWORD pid, WPARAM event, Delivery order)
{
    std::vector<HWND> windows = TopWindows(pid);
    HWND resident = ResidentWindow();
    std::stable_partition(windows.begin(), windows.end(), [&](HWND h) {
        return (h == resident) == (order == Delivery::ResidentFirst);
    });
    for (HWND h : windows)
        PostMessageW(h, WM_POWERBROADCAST, event, 0);
}

DWORD RunResumeTool(const wchar_t* road)
{
    Program tool = StartExe(L"resume.exe", road);
    DWORD code = WaitExit(tool);
    EndProgram(tool);
    return code;
}

void Click(int x, int y)
{
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[3] = {};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = (x * 65535 + cx / 2) / (cx - 1);
        i.mi.dy = (y * 65535 + cy / 2) / (cy - 1);
    }
    // Every event carries the position: the X server's echo of an earlier
    // pointer warp may otherwise move the cursor back between them.
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    in[2].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, in, sizeof(INPUT));
}

void Network(const char* state)
{
    std::cout << "@@NET " << state << std::endl;
    std::string ack;
    std::getline(std::cin, ack);
    ASSERT_EQ("ok", ack.substr(0, 2)) << "the test script did not change the network";
}

std::wstring MarkerPath()
{
    return DriverDir() + L"\\e2e_launches.log";
}

std::wstring MarkerExe()
{
    return DriverDir() + L"\\launch_marker.exe";
}

int LaunchCount()
{
    EXPECT_TRUE(WaitForLaunchMarkers()) << "a launched copy never ended";
    FILE* f = _wfopen(MarkerPath().c_str(), L"r");
    if (!f)
        return 0;
    int lines = 0, c;
    while ((c = fgetc(f)) != EOF)
        if (c == '\n')
            lines++;
    fclose(f);
    return lines;
}
