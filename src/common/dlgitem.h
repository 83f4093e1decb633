// Steps on a dialog's control that are skipped when the template lacks it.
#ifndef BRONDELKIT_DLGITEM_H
#define BRONDELKIT_DLGITEM_H

#include <windows.h>

void ShowDlgItem(HWND hDlg, int id, int nCmdShow);
void EnableDlgItem(HWND hDlg, int id, BOOL bEnable);
void FocusDlgItem(HWND hDlg, int id);

#endif
