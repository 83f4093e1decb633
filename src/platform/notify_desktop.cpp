// Stand-in for the device's notification subsystem, only as far as the
// resume source uses it: a named event registered for a platform event.
// The registrations live in a volatile key of the session, as the device
// keeps them in its notification database, so a registration not cleared
// outlives its program there too; the resume tool sets the events.
#include "platform/power.h"

static BOOL IsNamedEvent(const WCHAR* name)
{
    const WCHAR* prefix = NAMED_EVENTS_PREFIX;
    int i = 0;
    while (prefix[i] && name[i] == prefix[i])
        i++;
    return !prefix[i] && name[i];
}

extern "C" BOOL WINAPI CeRunAppAtEvent(WCHAR* pwszAppName, LONG lWhichEvent)
{
    HKEY hKey = NULL;
    if (!pwszAppName || !IsNamedEvent(pwszAppName) ||
        RegCreateKeyExW(HKEY_CURRENT_USER, NOTIFY_STANDIN_KEY, 0, NULL, REG_OPTION_VOLATILE,
                        KEY_SET_VALUE, NULL, &hKey, NULL) != ERROR_SUCCESS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD event = (DWORD)lWhichEvent;
    LONG rc = event == NOTIFICATION_EVENT_NONE
                  ? RegDeleteValueW(hKey, pwszAppName)
                  : RegSetValueExW(hKey, pwszAppName, 0, REG_DWORD, (const BYTE*)&event,
                                   sizeof(event));
    RegCloseKey(hKey);
    // Clearing what was never registered is no failure.
    return rc == ERROR_SUCCESS || (rc == ERROR_FILE_NOT_FOUND && event == NOTIFICATION_EVENT_NONE);
}
