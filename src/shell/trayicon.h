// The program's icon in the notification area.
#ifndef BRONDELKIT_TRAYICON_H
#define BRONDELKIT_TRAYICON_H

#include <windows.h>

int AddTrayIcon(HWND hWnd, HINSTANCE hInstance);
int RemoveTrayIcon(HWND hWnd);

#endif
