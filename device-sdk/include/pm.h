/* Model of the device's pm.h: the Power Manager's notices to applications
 * (Windows CE .NET 4.0 and later, coredll). Written from the reference
 * pages of RequestPowerNotifications, StopPowerNotifications and
 * POWER_BROADCAST, and "Notification Interface (Windows CE 5.0)". */
#ifndef DEVICE_SDK_PM_H
#define DEVICE_SDK_PM_H

#include <windows.h>

/* The notices are named by the reference without values: these are those
 * of a public CE 5.0 SDK's pm.h. Only our desktop stand-in and the tool that
 * plays the Power Manager must agree with each other; the device's headers
 * carry the device's. */
#define PBT_TRANSITION          0x00000001
#define PBT_RESUME              0x00000002
#define PBT_POWERSTATUSCHANGE   0x00000004
#define PBT_POWERINFOCHANGE     0x00000008
#define POWER_NOTIFY_ALL        0xFFFFFFFF

/* The system power state flags of a transition's record. The reference
 * names them without values; these are those of the public CE 5.0 SDK's
 * pm.h. */
#define POWER_STATE_ON          0x00010000
#define POWER_STATE_OFF         0x00020000
#define POWER_STATE_CRITICAL    0x00040000
#define POWER_STATE_SUSPEND     0x00200000

/* Variable length: the state's name follows in place of its first unit.
 * Flags holds the new state's POWER_STATE_ flags in a PBT_TRANSITION. */
typedef struct _POWER_BROADCAST {
    DWORD Message;
    DWORD Flags;
    DWORD Length;
    WCHAR SystemPowerState[1];
} POWER_BROADCAST, *PPOWER_BROADCAST;

extern "C" {
/* Non-zero on success: the handle that StopPowerNotifications takes. */
HANDLE WINAPI RequestPowerNotifications(HANDLE hMsgQ, DWORD Flags);
BOOL WINAPI StopPowerNotifications(HANDLE h);
}

#endif
