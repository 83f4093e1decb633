// Support for driving the real brondelkit.exe from another process, the way
// a user and the platform would: windows, clicks, power notifications.
#ifndef BRONDELKIT_TESTS_E2E_H
#define BRONDELKIT_TESTS_E2E_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/dialog_driver.h"

struct Program {
    HANDLE process = NULL;
    DWORD pid = 0;
};

std::wstring DriverDir();
Program StartProgram();
// Exit code now, or STILL_ACTIVE.
DWORD ExitCode(const Program& p);
// Exit code once it ended, or STILL_ACTIVE when the session stopped
// working without its end (tools/patience.h).
DWORD WaitExit(Program& p);
void EndProgram(Program& p);  // terminates it if it still runs

// Waits for a condition of other processes while the session works on it;
// fails the test when it stops working without it (tools/patience.h).
bool WaitUntil(const std::function<bool()>& condition);

std::vector<HWND> TopWindows(DWORD pid);
HWND ResidentWindow();
HWND LockScreen(DWORD pid);       // the visible lock dialog, or NULL
HWND SettingsDialog(DWORD pid);   // the visible settings dialog, or NULL
int VisibleLockScreens(DWORD pid);
bool TrayIconPresent(HWND resident);

// The platform's broadcast: posted to every top-level window of the
// process, the resident window first or last.
enum class Delivery { ResidentLast, ResidentFirst };
void PostResume(DWORD pid, WPARAM event = 7, Delivery order = Delivery::ResidentLast);
// The run command's resume tool (tools/resume.cpp) with one argument, or
// none: its exit code, or STILL_ACTIVE when it did not end (it is then
// ended) or could not start.
DWORD RunResumeTool(const wchar_t* road = nullptr);
void Click(int x, int y);                      // a real click on the screen

// Asks the test script around the driver to change the namespace's network:
// "up" adds an interface with an address, "down" removes it.
void Network(const char* state);

// The marker file the launch helper appends to; its line count = launches,
// counted once every copy started has ended.
std::wstring MarkerPath();
std::wstring MarkerExe();
int LaunchCount();

#endif
