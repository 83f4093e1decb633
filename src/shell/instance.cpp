#include "shell/shell.h"

#include "common/sockets.h"

#include "resource.h"

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

int RunProgram(HINSTANCE hInstance, int nCmdShow)
{
    LoadStringW(hInstance, IDS_WINDOW_CLASS, g_szWindowClass, NAME_UNITS);
    LoadStringW(hInstance, IDS_WINDOW_TITLE, g_szTitle, NAME_UNITS);

    HWND hRunning = FindWindowW(g_szWindowClass, g_szTitle);
    if (hRunning) {
        ShowWindow(hRunning, SW_SHOW);
        return 0;
    }

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
