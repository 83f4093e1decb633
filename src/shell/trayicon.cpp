#include "shell/trayicon.h"

#include <shellapi.h>

#include "resource.h"

// The device's shell knows only the first layout of the record.
#define TRAY_RECORD_SIZE NOTIFYICONDATAW_V1_SIZE

#if defined(__i386__)
// The notification record must have the device's size.
C_ASSERT(TRAY_RECORD_SIZE == 152);
#endif

static void InitRecord(NOTIFYICONDATAW* nid, HWND hWnd)
{
    ZeroMemory(nid, sizeof(*nid));
    nid->cbSize = TRAY_RECORD_SIZE;
    nid->hWnd = hWnd;
    nid->uID = ID_TRAYICON;
}

int AddTrayIcon(HWND hWnd, HINSTANCE hInstance)
{
    NOTIFYICONDATAW nid;
    InitRecord(&nid, hWnd);
    nid.uFlags = NIF_MESSAGE | NIF_ICON;
    nid.uCallbackMessage = WM_TRAYNOTIFY;
    // Kept for the life of the process: the shell shows it until then.
    nid.hIcon = (HICON)LoadImageW(hInstance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, 0);
    nid.szTip[0] = 0;
    Shell_NotifyIconW(NIM_ADD, &nid);
    return 0;
}

int RemoveTrayIcon(HWND hWnd)
{
    NOTIFYICONDATAW nid;
    InitRecord(&nid, hWnd);
    Shell_NotifyIconW(NIM_DELETE, &nid);
    return 0;
}
