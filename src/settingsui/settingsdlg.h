// The settings dialog: shown read-only, editable after the corner gesture.
#ifndef BRONDELKIT_SETTINGSDLG_H
#define BRONDELKIT_SETTINGSDLG_H

#include <windows.h>

// Corner taps matched so far: 0 locked, 1 and 2 part-way, 3 unlocked.
// Reset by each opening of the dialog.
extern int nUnlockStep;

INT_PTR CALLBACK SettingsDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
