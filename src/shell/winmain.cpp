#include "shell/shell.h"

// The device's start-up code calls WinMain with a wide command line; the
// desktop's wide start-up (-municode) calls the same entry as wWinMain.
#ifdef _WIN32_WCE
#define PROGRAM_ENTRY WinMain
#else
#define PROGRAM_ENTRY wWinMain
#endif

extern "C" int WINAPI PROGRAM_ENTRY(HINSTANCE hInstance, HINSTANCE, LPWSTR, int nCmdShow)
{
    return RunProgram(hInstance, nCmdShow);
}
