// The one settings record of the process and its registry store.
#ifndef BRONDELKIT_SETTINGS_H
#define BRONDELKIT_SETTINGS_H

#include <windows.h>

#define PASS_UNITS      11      // 10 characters and the terminator
#define APPPASS_UNITS   100     // 99 characters and the terminator
#define DEFAULT_TIMEOUT 20      // seconds
#define FIRST_RUN_APP_PATH L"\\windows\\iesample.exe"   // stored by the first run

#define SETTINGS_KEY    L"SOFTWARE\\TAVIK\\Brondelkit"

struct SettingsRecord {
    WCHAR Pass[PASS_UNITS];
    DWORD PassEnable;
    DWORD nTimeout;
    WCHAR AppPass[APPPASS_UNITS];
    DWORD AppEnable;
};

extern SettingsRecord Settings;

// Copy of AppPass taken once when the resident window is created; the lock
// screen launches this, so a path edited later counts from the next start.
extern WCHAR LaunchPath[APPPASS_UNITS];

// 0 when the stored settings were read, -1 when they are missing.
int LoadSettings();
// 0 when the key was opened and "AppEnable" written, else -1.
int SaveSettings();

#endif
