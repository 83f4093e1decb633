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

#endif
