#include "shell/shell.h"

#include "common/fallbacks.h"
#include "lock/lockdlg.h"
#include "platform/power.h"
#include "resource.h"
#include "settings/settings.h"
#include "settingsui/settingsdlg.h"
#include "shell/trayicon.h"

// A resume ends every open dialog and asks for one fresh lock screen, which
// opens only once all of them have unwound: never inside the modal loop of
// a dialog that is ending (the device resumes again and again at the lock
// screen, and every nesting would stay on the stack), never over dialogs
// ended but not yet gone. The outermost opener opens it.
static BOOL s_bLockPending;

// Set while the first-run dialog runs inside the window's creation: Winsock
// is not started yet, and the start-up's own resume is still to be posted.
static BOOL s_bFirstRunOpen;

static void CopyText(WCHAR* to, const WCHAR* from, int cch)
{
    int i = 0;
    for (; i < cch - 1 && from[i]; i++)
        to[i] = from[i];
    to[i] = 0;
}

static void ApplyFirstRunDefaults()
{
    CopyText(Settings.AppPass, FIRST_RUN_APP_PATH, APPPASS_UNITS);
    Settings.AppEnable = 1;
    SaveSettings();
}

static void TakeLaunchPathSnapshot()
{
    ZeroMemory(LaunchPath, sizeof(LaunchPath));
    CopyText(LaunchPath, Settings.AppPass, APPPASS_UNITS);
}

static LRESULT OnCreate(HWND hWnd)
{
    // First, so that a resume during the first-run dialog is seen.
    StartResumeSource(hWnd);
    if (LoadSettings() == -1) {
        ApplyFirstRunDefaults();
        // Its exit choice must not end the program before it ever ran.
        s_bFirstRunOpen = TRUE;
        OpenDialog(hWnd, IDD_SETTINGS, SettingsDlgProc);
        s_bFirstRunOpen = FALSE;
    }
    TakeLaunchPathSnapshot();
    AddTrayIcon(hWnd, g_hInstance);
    // Dispatched by the message loop, after Winsock is up.
    PostMessageW(hWnd, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    return 0;
}

static LRESULT OnDestroy(HWND hWnd)
{
    StopResumeSource();
    RemoveTrayIcon(hWnd);
    PostQuitMessage(0);
    return 0;
}

// Set while the waiting notices are taken: a notice sent to the window
// meanwhile only asks for the lock screen about to open.
static BOOL s_bTakingNotices;

// The power notices waiting at the head of the queue belong to the resume
// being answered (a bouncing power key, every road of one resume, the
// copies a broadcast left for dialogs now gone): one fresh lock screen
// answers them all, instead of one replacement each. Only the head is
// taken, so nothing posted before a later resume is overtaken by it.
static void TakeWaitingNotices(HWND hWnd)
{
    MSG msg;
    s_bTakingNotices = TRUE;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE) && msg.message == WM_POWERBROADCAST &&
           (msg.hwnd == hWnd || !IsWindow(msg.hwnd)))
        PeekMessageW(&msg, NULL, WM_POWERBROADCAST, WM_POWERBROADCAST, PM_REMOVE);
    s_bTakingNotices = FALSE;
}

static void OpenPendingLockScreen(HWND hWnd)
{
    if (s_bTakingNotices)
        return;
    while (s_bLockPending && !DialogsOpen()) {
        TakeWaitingNotices(hWnd);
        s_bLockPending = FALSE;
        OpenDialog(hWnd, IDD_LOCK, LockDlgProc);
    }
}

static LRESULT OnResume(HWND hWnd)
{
    HandResumeToOpenDialogs();
    // The resume that the start-up posts opens the one lock screen once
    // the first-run dialog has ended.
    if (s_bFirstRunOpen)
        return 0;
    s_bLockPending = TRUE;
    OpenPendingLockScreen(hWnd);
    return 0;
}

static LRESULT OnPowerBroadcast(HWND hWnd, WPARAM wParam)
{
    if (wParam == PBT_APMRESUMESUSPEND)
        return OnResume(hWnd);
    return 0;
}

static LRESULT OnTrayNotify(HWND hWnd, LPARAM lParam)
{
    if (lParam != WM_LBUTTONDOWN)
        return 0;
    // A dialog opened over another starts its own count; the one below
    // keeps its unlock once this one is gone.
    int nStepBelow = nUnlockStep;
    if (OpenDialog(hWnd, IDD_SETTINGS, SettingsDlgProc) != 0) {
        DestroyWindow(hWnd);
        return 0;
    }
    nUnlockStep = nStepBelow;
    // Ended by a resume: its lock screen, now that nothing is left below.
    OpenPendingLockScreen(hWnd);
    return 0;
}

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        return OnCreate(hWnd);
    case WM_DESTROY:
        return OnDestroy(hWnd);
    case WM_COMMAND:
        return 0;
    case WM_POWERBROADCAST:
        return OnPowerBroadcast(hWnd, wParam);
    case WM_TRAYNOTIFY:
        return OnTrayNotify(hWnd, lParam);
    default:
        return DefWindowProcW(hWnd, msg, wParam, lParam);
    }
}
