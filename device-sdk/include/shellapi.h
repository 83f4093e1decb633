/* Model of the device's shellapi.h: the notification icon (CE 1.0 and later).
 * The device knows one record and one function, neither with a W name. */
#ifndef DEVICE_SDK_SHELLAPI_H
#define DEVICE_SDK_SHELLAPI_H

#include <windows.h>

#define NIM_ADD         0x00000000
#define NIM_MODIFY      0x00000001
#define NIM_DELETE      0x00000002

#define NIF_MESSAGE     0x00000001
#define NIF_ICON        0x00000002
#define NIF_TIP         0x00000004

/* Seven members, 152 bytes. */
typedef struct _NOTIFYICONDATA {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    WCHAR szTip[64];
} NOTIFYICONDATA, *PNOTIFYICONDATA;

extern "C" BOOL WINAPI Shell_NotifyIcon(DWORD dwMessage, PNOTIFYICONDATA pnid);

#endif
