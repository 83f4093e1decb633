#include "shell/shell.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    return RunProgram(hInstance, nCmdShow);
}
