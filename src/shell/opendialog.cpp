#include "shell/shell.h"

#include "common/fallbacks.h"

// Each a modal loop on the one thread's stack. The lock screen opens only
// when none is open, so it always has a place.
#define MAX_OPEN_DIALOGS 63

struct OpenDlg {
    HWND hDlg;
    DLGPROC dlgProc;    // its own procedure, which every message is handed to
};

static OpenDlg s_open[MAX_OPEN_DIALOGS];   // oldest first
static int s_nOpen;
// The procedure of the dialog being created, until its first message.
static DLGPROC s_pendingProc;

static OpenDlg* FindOpen(HWND hDlg)
{
    for (int i = 0; i < s_nOpen; i++)
        if (s_open[i].hDlg == hDlg)
            return &s_open[i];
    return NULL;
}

static OpenDlg* NoteOpened(HWND hDlg)
{
    DLGPROC dlgProc = s_pendingProc;
    s_pendingProc = NULL;
    if (!dlgProc || s_nOpen == MAX_OPEN_DIALOGS)
        return NULL;
    s_open[s_nOpen].hDlg = hDlg;
    s_open[s_nOpen].dlgProc = dlgProc;
    return &s_open[s_nOpen++];
}

static void NoteEnded(HWND hDlg)
{
    OpenDlg* d = FindOpen(hDlg);
    if (!d)
        return;
    for (int i = (int)(d - s_open) + 1; i < s_nOpen; i++)
        s_open[i - 1] = s_open[i];
    s_nOpen--;
}

// Every dialog the shell opens runs through here: noted at its first
// message, forgotten at its destruction (WM_DESTROY: the device's headers
// know no WM_NCDESTROY), each message handed on until then.
static INT_PTR CALLBACK ShellDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    OpenDlg* d = FindOpen(hDlg);
    if (!d)
        d = NoteOpened(hDlg);
    if (!d) {
        // No place: ended before its own procedure ever runs.
        if (msg == WM_INITDIALOG)
            EndDialog(hDlg, 0);
        return FALSE;
    }
    INT_PTR result = d->dlgProc(hDlg, msg, wParam, lParam);
    if (msg == WM_DESTROY)
        NoteEnded(hDlg);    // by its handle: the list may have moved meanwhile
    return result;
}

INT_PTR OpenDialog(HWND hOwner, int idTemplate, DLGPROC dlgProc)
{
    HRSRC hRes = FindResourceW(g_hInstance, MAKEINTRESOURCEW(idTemplate), (LPCWSTR)RT_DIALOG);
    if (!hRes)
        return -1;
    HGLOBAL hTemplate = LoadResource(g_hInstance, hRes);
    if (!hTemplate)
        return -1;
    const DLGTEMPLATE* pTemplate = (const DLGTEMPLATE*)LockResource(hTemplate);
    s_pendingProc = dlgProc;
    INT_PTR result = DialogBoxIndirectParamW(g_hInstance, pTemplate, hOwner, ShellDlgProc, 0);
    s_pendingProc = NULL;   // a dialog that never got a message
    return result;
}

// A dialog is noted until its destruction, which ends its modal loop.
BOOL DialogsOpen()
{
    return s_nOpen > 0;
}

// A broadcast reaches every dialog, and each ends itself on its own copy;
// the Power Manager tells the resident window alone. Handing each the same
// notice ends them all on every road. Listed first: an end may run other
// messages of this thread.
void HandResumeToOpenDialogs()
{
    HWND list[MAX_OPEN_DIALOGS];
    int n = s_nOpen;
    for (int i = 0; i < n; i++)
        list[i] = s_open[i].hDlg;
    while (n > 0)
        SendMessageW(list[--n], WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
}
