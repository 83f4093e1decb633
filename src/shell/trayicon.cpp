#include "shell/trayicon.h"

#include <shellapi.h>

// The device's coredll exports the call only as Shell_NotifyIcon, as the
// SDK declares it. CeGCC's shellapi.h maps that name to the desktop's
// Shell_NotifyIconW, which no device has: the device's name is used.
#ifdef _WIN32_WCE
#ifdef Shell_NotifyIcon
#undef Shell_NotifyIcon
extern "C" BOOL WINAPI Shell_NotifyIcon(DWORD dwMessage, PNOTIFYICONDATA pnid);
#endif
#endif

#include "common/fallbacks.h"
#include "resource.h"

// The device's shell knows only the record's first layout; the desktop's
// record has grown since, and its first layout is named by this size.
#ifdef _WIN32_WCE
#define TRAY_RECORD_SIZE sizeof(NOTIFYICONDATA)
#else
#define TRAY_RECORD_SIZE NOTIFYICONDATAW_V1_SIZE
#endif

SIZE_ON_32BIT(TRAY_RECORD_SIZE, 152);

static void InitRecord(NOTIFYICONDATA* nid, HWND hWnd)
{
    ZeroMemory(nid, sizeof(*nid));
    nid->cbSize = TRAY_RECORD_SIZE;
    nid->hWnd = hWnd;
    nid->uID = ID_TRAYICON;
}

int AddTrayIcon(HWND hWnd, HINSTANCE hInstance)
{
    NOTIFYICONDATA nid;
    InitRecord(&nid, hWnd);
    nid.uFlags = NIF_MESSAGE | NIF_ICON;
    nid.uCallbackMessage = WM_TRAYNOTIFY;
    // Kept for the life of the process: the shell shows it until then.
    nid.hIcon = (HICON)LoadImageW(hInstance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, 0);
    nid.szTip[0] = 0;
    Shell_NotifyIcon(NIM_ADD, &nid);
    return 0;
}

int RemoveTrayIcon(HWND hWnd)
{
    NOTIFYICONDATA nid;
    InitRecord(&nid, hWnd);
    Shell_NotifyIcon(NIM_DELETE, &nid);
    return 0;
}
