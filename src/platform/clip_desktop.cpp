#include "platform/clip.h"

static void AddStyle(HWND hWnd, LONG style)
{
    SetWindowLongW(hWnd, GWL_STYLE, GetWindowLongW(hWnd, GWL_STYLE) | style);
}

void ClipLikeDevice(HWND hDlg)
{
    AddStyle(hDlg, WS_CLIPCHILDREN);
    for (HWND hCtl = GetWindow(hDlg, GW_CHILD); hCtl; hCtl = GetWindow(hCtl, GW_HWNDNEXT))
        AddStyle(hCtl, WS_CLIPSIBLINGS);
}
