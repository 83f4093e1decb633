#include "common/dlgitem.h"

void ShowDlgItem(HWND hDlg, int id, int nCmdShow)
{
    HWND hItem = GetDlgItem(hDlg, id);
    if (hItem)
        ShowWindow(hItem, nCmdShow);
}

void EnableDlgItem(HWND hDlg, int id, BOOL bEnable)
{
    HWND hItem = GetDlgItem(hDlg, id);
    if (hItem)
        EnableWindow(hItem, bEnable);
}

void FocusDlgItem(HWND hDlg, int id)
{
    HWND hItem = GetDlgItem(hDlg, id);
    if (hItem)
        SetFocus(hItem);
}
