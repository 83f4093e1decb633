// The device's power notification: after a resume the platform tells every
// top-level window of the desktop with WM_POWERBROADCAST/PBT_APMRESUMESUSPEND.
//   resume.exe         delivers that to every top-level window, then ends
//   resume.exe close   asks the program's resident window to close instead
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

BOOL CALLBACK Deliver(HWND h, LPARAM count)
{
    // Posted, as the broadcast reaches a busy program: handled in its order.
    if (PostMessageW(h, WM_POWERBROADCAST, 7 /* PBT_APMRESUMESUSPEND */, 0))
        ++*(int*)count;
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1 && wcscmp(argv[1], L"close") == 0) {
        HWND resident = FindWindowW(L"Brondelkit", L"Brondelkit");
        if (!resident || !PostMessageW(resident, WM_CLOSE, 0, 0)) {
            std::fprintf(stderr, "resume: Brondelkit is not running on this desktop\n");
            return 1;
        }
        return 0;
    }
    if (argc > 1) {
        std::fprintf(stderr, "usage: resume.exe [close]\n");
        return 2;
    }
    int count = 0;
    EnumWindows(Deliver, (LPARAM)&count);
    std::printf("resume delivered to %d windows\n", count);
    return count > 0 ? 0 : 1;
}
