// Program entry and the resident window.
#ifndef BRONDELKIT_SHELL_H
#define BRONDELKIT_SHELL_H

#include "shell/module.h"

#define NAME_UNITS 100

extern WCHAR g_szWindowClass[NAME_UNITS];
extern WCHAR g_szTitle[NAME_UNITS];

// Everything the entry (winmain.cpp) does, the quit code returned; the
// entry only passes its arguments on, so that tests can call this in-process.
int RunProgram(HINSTANCE hInstance, int nCmdShow);
BOOL InitInstance(HINSTANCE hInstance, int nCmdShow);
ATOM RegisterMainClass(HINSTANCE hInstance, const WCHAR* szWindowClass);
// Runs a dialog of our resources modally; its EndDialog value, or -1 when
// it could not be opened. The shell knows each dialog it opens from its
// first message to its destruction, so that a resume reaches them without
// walking the session's windows. Each open dialog is a modal loop on the
// one thread's stack: one opened with no place left ends at once, before
// its own procedure sees a message.
INT_PTR OpenDialog(HWND hOwner, int idTemplate, DLGPROC dlgProc);
// Sends the resume notice to every open dialog, newest first.
void HandResumeToOpenDialogs();
// TRUE while a dialog's modal loop runs, ending or not.
BOOL DialogsOpen();
LRESULT CALLBACK MainWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
