#include "support/scratch_registry.h"

#include <gtest/gtest.h>

#include "settings/settings.h"

void DeleteSettingsKey()
{
    LONG rc = RegDeleteKeyW(HKEY_LOCAL_MACHINE, SETTINGS_KEY);
    ASSERT_TRUE(rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) << rc;
}

static HKEY CreateKey()
{
    HKEY key = NULL;
    LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, NULL, 0, KEY_ALL_ACCESS,
                              NULL, &key, NULL);
    EXPECT_EQ(ERROR_SUCCESS, rc);
    return key;
}

void PutValue(const wchar_t* name, DWORD type, const void* data, DWORD cb)
{
    HKEY key = CreateKey();
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, (const BYTE*)data, cb));
    RegCloseKey(key);
}

void PutDword(const wchar_t* name, DWORD value)
{
    PutValue(name, REG_DWORD, &value, sizeof(value));
}

void PutText(const wchar_t* name, const std::wstring& text)
{
    PutValue(name, REG_SZ, text.c_str(), (DWORD)((text.size() + 1) * sizeof(wchar_t)));
}

bool GetValue(const wchar_t* name, DWORD* type, std::vector<BYTE>* data)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD cb = 0;
    LONG rc = RegQueryValueExW(key, name, NULL, type, NULL, &cb);
    if (rc == ERROR_SUCCESS) {
        data->assign(cb, 0);
        rc = RegQueryValueExW(key, name, NULL, type, data->data(), &cb);
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

void PutRecord(const std::wstring& pass, DWORD passEnable, DWORD timeout,
               const std::wstring& appPass, DWORD appEnable)
{
    PutText(L"Pass", pass);
    PutDword(L"PassEnable", passEnable);
    PutDword(L"nTimeout", timeout);
    PutText(L"AppPass", appPass);
    PutDword(L"AppEnable", appEnable);
}

void ClearSettingsRecord()
{
    ZeroMemory(&Settings, sizeof(Settings));
    ZeroMemory(LaunchPath, sizeof(LaunchPath));
}
