#include "support/launch_marker_watch.h"

#include <tlhelp32.h>

#include <cstdio>

namespace {
std::wstring g_marker;
}

std::wstring HelperExePath(const wchar_t* exeName)
{
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(NULL, path, MAX_PATH);
    std::wstring dir = path;
    dir.erase(dir.find_last_of(L"\\/") + 1);
    return dir + exeName;
}

std::wstring UseFreshMarkerFile()
{
    WCHAR dir[MAX_PATH], file[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    GetTempFileNameW(dir, L"bkm", 0, file);
    DeleteFileW(file);
    g_marker = file;
    SetEnvironmentVariableW(L"BK_MARKER", file);
    return g_marker;
}

bool WaitForLaunchMarkers(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snap == INVALID_HANDLE_VALUE)
            return false;
        bool running = false;
        PROCESSENTRY32W pe;
        pe.dwSize = sizeof(pe);
        for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe)) {
            if (_wcsicmp(pe.szExeFile, L"launch_marker.exe") != 0)
                continue;
            HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pe.th32ProcessID);
            if (!h)
                continue;
            DWORD left = timeoutMs - (GetTickCount() - start);
            if ((int)left <= 0 || WaitForSingleObject(h, left) != WAIT_OBJECT_0)
                running = true;
            CloseHandle(h);
        }
        CloseHandle(snap);
        if (!running)
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
    }
}

int MarkerLines()
{
    FILE* f = _wfopen(g_marker.c_str(), L"rb");
    if (!f)
        return 0;
    int lines = 0, c;
    while ((c = fgetc(f)) != EOF)
        lines += c == '\n';
    fclose(f);
    return lines;
}
