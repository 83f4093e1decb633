// The least a Win32 program needs for what the bench times in Brondelkit:
// a resident window with a message loop, and a full-screen dialog opened
// from a template on a message posted to that window. Nothing else: no
// settings, no icon, no network.
//
// Built a second time with BASE_PLATFORM: then it also starts Winsock and
// puts an icon into the notification area, and so maps the same system
// libraries as Brondelkit; the difference between the two builds is what
// the platform itself costs for those services. Built a third time with
// BASE_TEMPLATE as well, and linked with the lock screen's own template and
// pictures instead of the bare one: what is left between that one and
// Brondelkit is the cost of Brondelkit's own code.
#ifdef BASE_PLATFORM
#include <winsock2.h>
#include <iphlpapi.h>
#include <shellapi.h>
#endif
#include <windows.h>

#include "resident.h"

static HINSTANCE g_hInst;

static INT_PTR CALLBACK BaseDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowPos(hDlg, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                     GetSystemMetrics(SM_CYSCREEN), SWP_SHOWWINDOW);
        return FALSE;
    case WM_TIMER:       // the bench passes the dialog with a tick
        EndDialog(hDlg, 0);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(hDlg, 0);
        return FALSE;
    case WM_POWERBROADCAST:
        if (wParam == 7)
            EndDialog(hDlg, 0);
        return FALSE;
#ifdef BASE_TEMPLATE
    case WM_DESTROY:
        // As Brondelkit does: the picture controls do not free what they loaded.
        for (int id = 1021; id <= 1022; id++) {
            HGDIOBJ hBmp = (HGDIOBJ)SendDlgItemMessageW(hDlg, id, STM_SETIMAGE, IMAGE_BITMAP, 0);
            if (hBmp)
                DeleteObject(hBmp);
        }
        return FALSE;
#endif
    }
    return FALSE;
}

static void OpenBaseDialog(HWND hWnd)
{
    HRSRC hRes = FindResourceW(g_hInst, MAKEINTRESOURCEW(IDD_BASE), (LPCWSTR)RT_DIALOG);
    HGLOBAL hTemplate = LoadResource(g_hInst, hRes);
    DialogBoxIndirectParamW(g_hInst, (const DLGTEMPLATE*)LockResource(hTemplate), hWnd,
                            BaseDlgProc, 0);
}

#ifdef BASE_PLATFORM
static void AddIcon(HWND hWnd, DWORD what)
{
    NOTIFYICONDATAW nid = {};
    nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
    nid.hWnd = hWnd;
    nid.uID = 1;
    nid.uFlags = NIF_ICON;
    nid.hIcon = LoadIconW(NULL, (LPCWSTR)IDI_APPLICATION);
    Shell_NotifyIconW(what, &nid);
}
#endif

static LRESULT CALLBACK BaseWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
#ifdef BASE_PLATFORM
        AddIcon(hWnd, NIM_ADD);
#endif
        PostMessageW(hWnd, WM_POWERBROADCAST, 7, 0);
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == 7)
            OpenBaseDialog(hWnd);
        return 0;
    case WM_DESTROY:
#ifdef BASE_PLATFORM
        AddIcon(hWnd, NIM_DELETE);
#endif
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    g_hInst = hInstance;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = BaseWndProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = BASE_NAME;
    RegisterClassW(&wc);
    HWND hWnd = CreateWindowExW(WS_EX_TOOLWINDOW, BASE_NAME, BASE_NAME, WS_VISIBLE,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                0, 0, NULL, NULL, hInstance, NULL);
    if (!hWnd)
        return 1;
    ShowWindow(hWnd, nCmdShow);
#ifdef BASE_PLATFORM
    WSADATA wsa;
    WSAStartup(MAKEWORD(1, 1), &wsa);
    // Referenced so that the IP helper library is mapped as in the program.
    ULONG cb = 0;
    GetAdaptersInfo(NULL, &cb);
#endif
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
#ifdef BASE_PLATFORM
    WSACleanup();
#endif
    return (int)msg.wParam;
}
