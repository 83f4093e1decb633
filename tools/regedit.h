// The platform's own .reg importer, of the caller's bitness: the registry
// view it writes is the one a program of the same build reads. Shared by the
// provisioning check and the end-to-end driver.
#ifndef BRONDELKIT_TOOLS_REGEDIT_H
#define BRONDELKIT_TOOLS_REGEDIT_H

#include <windows.h>

#include <string>

inline std::wstring RegeditPath()
{
    WCHAR dir[MAX_PATH];
#ifndef _WIN64
    // On a 64-bit system the 32-bit one lives in the WOW64 system folder.
    if (GetSystemWow64DirectoryW(dir, MAX_PATH))
        return std::wstring(dir) + L"\\regedit.exe";
#endif
    GetWindowsDirectoryW(dir, MAX_PATH);
    return std::wstring(dir) + L"\\regedit.exe";
}

// Runs "regedit /S FILE" and waits for it; false when it could not be
// started or did not end within 30 s. regedit's exit code says nothing
// about the file: it is 0 for lines it skipped and for files it refused.
inline bool RunRegedit(const std::wstring& regFile, DWORD* exitCode)
{
    std::wstring exe = RegeditPath();
    std::wstring cmd = L"regedit.exe /S \"" + regFile + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    bool ended = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
    *exitCode = 1;
    GetExitCodeProcess(pi.hProcess, exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ended;
}

#endif
