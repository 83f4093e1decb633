#include "shell/shell.h"

#include "common/fallbacks.h"

#define MAX_OPEN_DIALOGS 64

static HWND s_open[MAX_OPEN_DIALOGS];   // oldest first
static int s_nOpen;

INT_PTR OpenDialog(HWND hOwner, int idTemplate, DLGPROC dlgProc)
{
    HRSRC hRes = FindResourceW(g_hInstance, MAKEINTRESOURCEW(idTemplate), (LPCWSTR)RT_DIALOG);
    if (!hRes)
        return -1;
    HGLOBAL hTemplate = LoadResource(g_hInstance, hRes);
    if (!hTemplate)
        return -1;
    const DLGTEMPLATE* pTemplate = (const DLGTEMPLATE*)LockResource(hTemplate);
    return DialogBoxIndirectParamW(g_hInstance, pTemplate, hOwner, dlgProc, 0);
}

// A dialog is noted until its destruction, which ends its modal loop.
BOOL DialogsOpen()
{
    return s_nOpen > 0;
}

BOOL NoteDialogOpened(HWND hDlg)
{
    if (s_nOpen == MAX_OPEN_DIALOGS)
        return FALSE;
    s_open[s_nOpen++] = hDlg;
    return s_nOpen < MAX_OPEN_DIALOGS;
}

void NoteDialogEnded(HWND hDlg)
{
    int i = 0;
    while (i < s_nOpen && s_open[i] != hDlg)
        i++;
    if (i == s_nOpen)
        return;
    for (s_nOpen--; i < s_nOpen; i++)
        s_open[i] = s_open[i + 1];
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
        list[i] = s_open[i];
    while (n > 0)
        SendMessageW(list[--n], WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
}
