// The top-level windows of one process, in the desktop's order; shared by
// the tools and the end-to-end driver.
#ifndef BRONDELKIT_TOOLS_TOPWINDOWS_H
#define BRONDELKIT_TOOLS_TOPWINDOWS_H

#include <windows.h>

#include <vector>

inline std::vector<HWND> TopWindowsOf(DWORD pid)
{
    struct Enum {
        DWORD pid;
        std::vector<HWND> windows;
        static BOOL CALLBACK Collect(HWND h, LPARAM lp)
        {
            Enum* e = (Enum*)lp;
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            if (owner == e->pid)
                e->windows.push_back(h);
            return TRUE;
        }
    } e{pid, {}};
    EnumWindows(Enum::Collect, (LPARAM)&e);
    return e.windows;
}

inline bool IsDialogWindow(HWND h)
{
    WCHAR cls[16];
    return GetClassNameW(h, cls, 16) && lstrcmpW(cls, L"#32770") == 0;
}

// Visible top-level windows of the process holding a control of that id
// (the lock screen's picture, the settings dialog's timeout), in the
// desktop's order.
inline std::vector<HWND> VisibleWithControl(DWORD pid, int id)
{
    std::vector<HWND> found;
    for (HWND h : TopWindowsOf(pid))
        if (IsWindowVisible(h) && GetDlgItem(h, id))
            found.push_back(h);
    return found;
}

// Dialogs of the process that exist but are not shown: ended and left
// behind, or never shown.
inline int HiddenDialogsOf(DWORD pid)
{
    int n = 0;
    for (HWND h : TopWindowsOf(pid))
        n += !IsWindowVisible(h) && IsDialogWindow(h);
    return n;
}

#endif
