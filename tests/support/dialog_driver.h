// Runs one of the program's dialogs from its real template, modally, on the
// test's thread, and lets a test script it from inside the modal loop.
#ifndef BRONDELKIT_TESTS_DIALOG_DRIVER_H
#define BRONDELKIT_TESTS_DIALOG_DRIVER_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// What RunDialog returns when the script left the dialog open.
constexpr INT_PTR kStillOpen = 0x5EE;

struct SeenMessageBox {
    std::wstring text;
    std::wstring caption;
    HWND owner;
};

struct DialogRun {
    INT_PTR result = -2;                    // EndDialog value, or kStillOpen
    std::vector<SeenMessageBox> boxes;      // message boxes answered with OK
};

// Opens the dialog through the program's own opener with `owner` as owner
// (may be NULL), waits until the modal loop runs, then calls script(hDlg).
// Message boxes that open meanwhile are read and answered as a user would.
// A dialog still open after the script is ended with kStillOpen.
DialogRun RunDialog(int idTemplate, DLGPROC proc, const std::function<void(HWND)>& script,
                    HWND owner = NULL);

// A control's text; its own visibility flag (true even while the dialog
// itself is hidden).
std::wstring ItemText(HWND dlg, int id);
bool ItemShown(HWND dlg, int id);

// Pumps the thread's queue until it is empty (posted messages, paints).
void PumpMessages();

// Screen pixel colour in the form 0x00BBGGRR, read from the screen itself.
COLORREF ScreenPixel(int x, int y);

// Saves the whole screen as BK_BUILD/screenshots/NAME.png (or next to the
// test exe when BK_BUILD is unset). Returns the path written.
std::wstring SaveScreenshot(const wchar_t* name);

#endif
