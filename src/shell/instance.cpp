#include "shell/shell.h"

#include "common/fallbacks.h"
#include "common/sockets.h"

#include "resource.h"

#define RUNNING_WAIT_TRIES  50      // for a starting instance's window,
#define RUNNING_WAIT_STEP   100     // this many milliseconds apart

HINSTANCE g_hInstance;
WCHAR g_szWindowClass[NAME_UNITS];
WCHAR g_szTitle[NAME_UNITS];

ATOM RegisterMainClass(HINSTANCE hInstance, const WCHAR* szWindowClass)
{
    WNDCLASSW wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = hInstance;
    wc.hIcon = NULL;
    wc.hCursor = NULL;
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszMenuName = NULL;
    wc.lpszClassName = szWindowClass;
    return RegisterClassW(&wc);
}

BOOL InitInstance(HINSTANCE hInstance, int nCmdShow)
{
    // First: creating the window already loads resources through it.
    g_hInstance = hInstance;
    RegisterMainClass(hInstance, g_szWindowClass);

    // Visible to the window manager, yet sizeless and off the screen's
    // lower-right corner; the tool-window style keeps it off the taskbar.
    HWND hWnd = CreateWindowExW(WS_EX_TOOLWINDOW, g_szWindowClass, g_szTitle, WS_VISIBLE,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                0, 0, NULL, NULL, hInstance, NULL);
    if (!hWnd || IsWindow(hWnd) != 1)
        return FALSE;
    ShowWindow(hWnd, nCmdShow);
    UpdateWindow(hWnd);
    return TRUE;
}

// Shows the running instance's window; when it is not there yet, looks
// again `tries` more times, a step apart. False when none was found.
static BOOL ShowRunningInstance(int tries)
{
    for (int i = 0;; i++) {
        HWND hRunning = FindWindowW(g_szWindowClass, g_szTitle);
        if (hRunning) {
            ShowWindow(hRunning, SW_SHOW);
            return TRUE;
        }
        if (i >= tries)
            return FALSE;
        Sleep(RUNNING_WAIT_STEP);
    }
}

static int RunInstance(HINSTANCE hInstance, int nCmdShow)
{
    if (!InitInstance(hInstance, nCmdShow))
        return 0;

    // Started only now: the lock screen of the start-up, which resolves
    // host names, is opened by a message this loop dispatches.
    WSADATA wsaData;
    WSAStartup(MAKEWORD(1, 1), &wsaData);

    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    WSACleanup();
    return (int)msg.wParam;
}

int RunProgram(HINSTANCE hInstance, int nCmdShow)
{
    LoadStringW(hInstance, IDS_WINDOW_CLASS, g_szWindowClass, NAME_UNITS);
    LoadStringW(hInstance, IDS_WINDOW_TITLE, g_szTitle, NAME_UNITS);

    if (ShowRunningInstance(0))
        return 0;

    // The window exists only once an instance has come as far as creating
    // it; starts at the same moment all miss it. The named mutex tells them
    // apart at once, and a loser waits a little for the winner's window.
    HANDLE hGuard = CreateMutexW(NULL, FALSE, g_szWindowClass);
    if (hGuard && GetLastError() == ERROR_ALREADY_EXISTS) {
        ShowRunningInstance(RUNNING_WAIT_TRIES);
        CloseHandle(hGuard);
        return 0;
    }
    int code = RunInstance(hInstance, nCmdShow);
    if (hGuard)
        CloseHandle(hGuard);
    return code;
}
