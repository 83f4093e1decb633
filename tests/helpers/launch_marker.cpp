// Proves that it was started: appends one line "launched PID" to the file
// named by the environment variable BK_MARKER, or else to
// launch_marker.log next to this exe. Takes no arguments, since the
// program starts applications without a command line.
#include <windows.h>

#include <cstdio>

int main()
{
    WCHAR path[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"BK_MARKER", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        n = GetModuleFileNameW(NULL, path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH)
            return 2;
        WCHAR* slash = wcsrchr(path, L'\\');
        wcscpy(slash ? slash + 1 : path, L"launch_marker.log");
    }
    // Several instances may write at once: each line goes out in one
    // append-only write.
    HANDLE h = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    for (int tries = 0; h == INVALID_HANDLE_VALUE && tries < 50; tries++) {
        Sleep(20);
        h = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    }
    if (h == INVALID_HANDLE_VALUE)
        return 1;
    char line[64];
    int len = snprintf(line, sizeof(line), "launched %lu\n", GetCurrentProcessId());
    DWORD written = 0;
    BOOL ok = WriteFile(h, line, (DWORD)len, &written, NULL);
    CloseHandle(h);
    return ok && written == (DWORD)len ? 0 : 1;
}
