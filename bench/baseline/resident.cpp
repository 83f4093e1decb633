// The least a Win32 program needs for what the bench times in Brondelkit:
// a resident window with a message loop, and a full-screen dialog opened
// from a template on a message posted to that window. Nothing else: no
// settings, no icon, no network.
//
// Built a second time with BASE_PLATFORM: then it also starts Winsock,
// puts an icon into the notification area, and registers a queue for the
// Power Manager's resume notices with a thread that waits on it (through
// the same desktop stand-in as Brondelkit): what the platform makes every
// such program pay; the difference between the two builds is what the
// platform itself costs for those services. Built a third time with
// BASE_TEMPLATE as well, and linked with the lock screen's own template and
// pictures instead of the bare one: what is left between that one and
// Brondelkit is the cost of Brondelkit's own code.
#ifdef BASE_PLATFORM
#include <winsock2.h>
#include <iphlpapi.h>
#include <shellapi.h>
#endif
#include <windows.h>

#ifdef BASE_PLATFORM
#include "platform/power.h"
#endif
#include "resident.h"

static HINSTANCE g_hInst;
static HWND g_hDlg;             // the open dialog
static bool g_reopen;           // a resume came while it was open

static INT_PTR CALLBACK BaseDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        g_hDlg = hDlg;
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

// One dialog at a time: a resume while it is open ends it, and a fresh one
// follows from the outer call, as a resume must.
static void OnResume(HWND hWnd)
{
    if (g_hDlg) {
        g_reopen = true;
        EndDialog(g_hDlg, 0);
        return;
    }
    HRSRC hRes = FindResourceW(g_hInst, MAKEINTRESOURCEW(IDD_BASE), (LPCWSTR)RT_DIALOG);
    HGLOBAL hTemplate = LoadResource(g_hInst, hRes);
    do {
        g_reopen = false;
        DialogBoxIndirectParamW(g_hInst, (const DLGTEMPLATE*)LockResource(hTemplate), hWnd,
                                BaseDlgProc, 0);
        g_hDlg = NULL;
    } while (g_reopen);
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

// The Power Manager's road: a queue registered for resume notices and a
// thread that waits on it and posts each as the resume message.
static HANDLE g_hQueue, g_hRequest;
static HWND g_hTarget;

static DWORD WINAPI WaitNotices(LPVOID)
{
    DWORD notice[(sizeof(POWER_BROADCAST) + MAX_PATH * sizeof(WCHAR)) / sizeof(DWORD)];
    DWORD cb, flags;
    while (WaitForSingleObject(g_hQueue, INFINITE) == WAIT_OBJECT_0) {
        while (ReadMsgQueue(g_hQueue, notice, sizeof(notice), &cb, 0, &flags))
            if (((POWER_BROADCAST*)notice)->Message == PBT_RESUME)
                PostMessageW(g_hTarget, WM_POWERBROADCAST, 7, 0);
    }
    return 0;
}

static void RegisterForResumes(HWND hWnd)
{
    MSGQUEUEOPTIONS mqo = {sizeof(mqo), MSGQUEUE_NOPRECOMMIT, 0,
                           sizeof(POWER_BROADCAST) + MAX_PATH * sizeof(WCHAR), TRUE};
    g_hTarget = hWnd;
    g_hQueue = CreateMsgQueue(NULL, &mqo);
    g_hRequest = RequestPowerNotifications(g_hQueue, PBT_RESUME);
    CloseHandle(CreateThread(NULL, 0, WaitNotices, NULL, 0, NULL));
}
#endif

static LRESULT CALLBACK BaseWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
#ifdef BASE_PLATFORM
        RegisterForResumes(hWnd);
        AddIcon(hWnd, NIM_ADD);
#endif
        PostMessageW(hWnd, WM_POWERBROADCAST, 7, 0);
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == 7)
            OnResume(hWnd);
        return 0;
    case WM_DESTROY:
#ifdef BASE_PLATFORM
        AddIcon(hWnd, NIM_DELETE);
        StopPowerNotifications(g_hRequest);
        // The thread ends with the process; the queue's registration is gone.
        CloseMsgQueue(g_hQueue);
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
