#include "lock/lockdlg.h"

#include "common/fallbacks.h"

// STARTUPINFO must have the device's 32-bit size.
SIZE_ON_32BIT(sizeof(STARTUPINFOW), 68);

int LaunchApplication(const WCHAR* path)
{
    // The device ignores the startup record ("not supported"); the desktop
    // takes the show flag from it.
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
