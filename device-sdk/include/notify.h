/* Model of the device's notify.h: the notification subsystem's registration
 * of a program, or of a named event, for a platform event (coredll).
 * Written from the reference page "CeRunAppAtEvent (Windows CE 5.0)"; the
 * declaration's form (no calling-convention macro, so the compiler's
 * default, __cdecl; TCHAR, which is WCHAR on the device) and the two values
 * are those of the device's headers. */
#ifndef DEVICE_SDK_NOTIFY_H
#define DEVICE_SDK_NOTIFY_H

#include <windows.h>

#define NOTIFICATION_EVENT_NONE     0
#define NOTIFICATION_EVENT_WAKEUP   11

extern "C" {
/* With "\\.\Notifications\NamedEvents\NAME" for the name, the platform sets
 * the named event NAME instead of starting a program (CE .NET 4.0 and
 * later). A registration stays until the same name is registered with
 * NOTIFICATION_EVENT_NONE. */
BOOL __cdecl CeRunAppAtEvent(TCHAR* pwszAppName, LONG lWhichEvent);
}

#endif
