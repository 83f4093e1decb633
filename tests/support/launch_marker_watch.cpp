#include "support/launch_marker_watch.h"

#include <tlhelp32.h>

#include <cstdio>

#include "patience.h"

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

static bool LaunchMarkersRun()
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return true;
    bool running = false;
    PROCESSENTRY32W pe;
    pe.dwSize = sizeof(pe);
    for (BOOL ok = Process32FirstW(snap, &pe); ok && !running; ok = Process32NextW(snap, &pe))
        running = _wcsicmp(pe.szExeFile, L"launch_marker.exe") == 0;
    CloseHandle(snap);
    return running;
}

bool WaitForLaunchMarkers()
{
    return patience::WaitWhileWorking([] { return !LaunchMarkersRun(); }) == patience::End::Reached;
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
