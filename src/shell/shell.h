// Program entry and the resident window.
#ifndef BRONDELKIT_SHELL_H
#define BRONDELKIT_SHELL_H

#include <windows.h>

#define NAME_UNITS 100

// Set once by InitInstance, before the resident window exists.
extern HINSTANCE g_hInstance;
extern WCHAR g_szWindowClass[NAME_UNITS];
extern WCHAR g_szTitle[NAME_UNITS];

// Everything the entry (winmain.cpp) does, the quit code returned; the
// entry only passes its arguments on, so that tests can call this in-process.
int RunProgram(HINSTANCE hInstance, int nCmdShow);
BOOL InitInstance(HINSTANCE hInstance, int nCmdShow);
ATOM RegisterMainClass(HINSTANCE hInstance, const WCHAR* szWindowClass);
// Runs a dialog of our resources modally; its EndDialog value, or -1 when
// it could not be opened.
INT_PTR OpenDialog(HWND hOwner, int idTemplate, DLGPROC dlgProc);
// The program's open dialogs, as each notes its own opening (WM_INITDIALOG)
// and end (WM_DESTROY), so that a resume reaches them without walking the
// session's windows. FALSE when this one may not stay open: each open
// dialog is a modal loop on the one thread's stack, and the last place is
// kept for the lock screen.
BOOL NoteDialogOpened(HWND hDlg);
void NoteDialogEnded(HWND hDlg);
// Sends the resume notice to every open dialog, newest first.
void HandResumeToOpenDialogs();
// TRUE while a dialog's modal loop runs, ending or not.
BOOL DialogsOpen();
LRESULT CALLBACK MainWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
