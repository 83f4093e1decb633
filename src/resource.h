// Resource and control ids, shared by the code and by res/brondelkit.rc.
// Only preprocessor lines here: windres reads this file too.
#ifndef BRONDELKIT_RESOURCE_H
#define BRONDELKIT_RESOURCE_H

// String table
#define IDS_WINDOW_TITLE        1
#define IDS_NAME_UPPER          3
#define IDS_WINDOW_CLASS        4

// Icon
#define IDI_APP                 101

// Dialogs
#define IDD_SETTINGS            104
#define IDD_LOCK                105

// Settings dialog arrow faces
#define IDB_UP_NORMAL           110
#define IDB_DOWN_NORMAL         111
#define IDB_DOWN_DISABLED       112
#define IDB_DOWN_FOCUS          113
#define IDB_DOWN_PRESSED        114
#define IDB_UP_DISABLED         115
#define IDB_UP_FOCUS            116
#define IDB_UP_PRESSED          117

// Lock screen pictures
#define IDB_LOCK_PICTURE        121
#define IDB_LOCK_WARNING        122

// Settings dialog controls
#define IDC_TIMEOUT_UP          1002
#define IDC_TIMEOUT_DOWN        1003
#define IDC_TIMEOUT_VALUE       1008
#define IDC_PASS_LABEL          1010
#define IDC_PASS_EDIT           1011
#define IDC_APP_PATH            1012
#define IDC_PASS_ENABLE         1014
#define IDC_APP_ENABLE          1019

// Lock screen controls
#define IDC_LOCK_STATUS         1007
#define IDC_LOCK_PASSWORD       1009
#define IDC_LOCK_PASS_LABEL     1013
#define IDC_LOCK_HINT           1015
#define IDC_LOCK_PROGRESS       1017
#define IDC_LOCK_PICTURE        1021
#define IDC_LOCK_WARNING        1022

// Notification icon
#define ID_TRAYICON             283
#define WM_TRAYNOTIFY           0x811B

#endif
