#include "lock/lockdlg.h"

#if defined(__i386__)
// STARTUPINFO must have the device's 32-bit size.
C_ASSERT(sizeof(STARTUPINFOW) == 68);
#endif

int LaunchApplication(const WCHAR* path)
{
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;

    PROCESS_INFORMATION pi;
    if (!CreateProcessW(path, NULL, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return 0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 1;
}
