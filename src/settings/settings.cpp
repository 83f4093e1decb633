#include "settings/settings.h"

#include "settings/registry.h"

SettingsRecord Settings;
WCHAR LaunchPath[APPPASS_UNITS];

// A text read from the registry need not carry its terminator.
static void TerminateWithin(WCHAR* text, DWORD cch)
{
    text[cch - 1] = 0;
}

int LoadSettings()
{
    Settings.nTimeout = DEFAULT_TIMEOUT;
    for (DWORD i = 0; i < PASS_UNITS; i++)
        Settings.Pass[i] = 0;

    HKEY hKey;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, REG_ACCESS_READ, &hKey) != ERROR_SUCCESS)
        return -1;

    if (RegReadField(hKey, L"Pass", Settings.Pass, sizeof(Settings.Pass)))
        TerminateWithin(Settings.Pass, PASS_UNITS);
    RegReadField(hKey, L"PassEnable", &Settings.PassEnable, sizeof(Settings.PassEnable));
    RegReadField(hKey, L"nTimeout", &Settings.nTimeout, sizeof(Settings.nTimeout));
    if (RegReadField(hKey, L"AppPass", Settings.AppPass, sizeof(Settings.AppPass)))
        TerminateWithin(Settings.AppPass, APPPASS_UNITS);
    bool haveAppEnable =
        RegReadField(hKey, L"AppEnable", &Settings.AppEnable, sizeof(Settings.AppEnable));

    RegCloseKey(hKey);
    return haveAppEnable ? 0 : -1;
}

int SaveSettings()
{
    HKEY hKey;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, NULL, 0, REG_ACCESS_WRITE, NULL,
                        &hKey, NULL) != ERROR_SUCCESS)
        return -1;

    RegWriteDword(hKey, L"PassEnable", Settings.PassEnable);
    RegWriteTextField(hKey, L"Pass", Settings.Pass, PASS_UNITS);
    RegWriteDword(hKey, L"nTimeout", Settings.nTimeout);
    RegWriteTextField(hKey, L"AppPass", Settings.AppPass, APPPASS_UNITS);
    LONG rc = RegWriteDword(hKey, L"AppEnable", Settings.AppEnable);
    // The device keeps its registry in RAM and writes it to storage only when
    // asked, unless its maker added a lazy or power-down flush: without this a
    // battery swap can lose the settings just saved.
    RegFlushKey(hKey);

    RegCloseKey(hKey);
    return rc == ERROR_SUCCESS ? 0 : -1;
}
