#include "settings/registry.h"

#include "settings/settings.h"

bool RegReadField(HKEY hKey, const WCHAR* name, void* field, DWORD cbField)
{
    DWORD cbData = 0;
    if (RegQueryValueExW(hKey, name, NULL, NULL, NULL, &cbData) != ERROR_SUCCESS)
        return false;

    // Read into a buffer of the stored size, never into the field itself:
    // after ERROR_MORE_DATA the contents of a short buffer are undefined.
    BYTE local[APPPASS_UNITS * sizeof(WCHAR)];
    BYTE* data = local;
    if (cbData > sizeof(local)) {
        data = (BYTE*)LocalAlloc(LMEM_FIXED, cbData);
        if (!data)
            return false;
    }
    DWORD cbRead = cbData;
    LONG rc = RegQueryValueExW(hKey, name, NULL, NULL, data, &cbRead);
    if (rc == ERROR_SUCCESS) {
        DWORD n = cbRead < cbField ? cbRead : cbField;
        BYTE* out = (BYTE*)field;
        DWORD i;
        for (i = 0; i < n; i++)
            out[i] = data[i];
        for (; i < cbField; i++)
            out[i] = 0;
    }
    if (data != local)
        LocalFree(data);
    return rc == ERROR_SUCCESS;
}

LONG RegWriteTextField(HKEY hKey, const WCHAR* name, const WCHAR* field, DWORD cchField)
{
    WCHAR scrubbed[APPPASS_UNITS];
    if (cchField > APPPASS_UNITS)
        return ERROR_INVALID_PARAMETER;
    bool ended = false;
    for (DWORD i = 0; i < cchField; i++) {
        scrubbed[i] = ended ? 0 : field[i];
        if (field[i] == 0)
            ended = true;
    }
    return RegSetValueExW(hKey, name, 0, REG_SZ, (const BYTE*)scrubbed,
                          cchField * sizeof(WCHAR));
}

LONG RegWriteDword(HKEY hKey, const WCHAR* name, DWORD value)
{
    return RegSetValueExW(hKey, name, 0, REG_DWORD, (const BYTE*)&value, sizeof(value));
}
