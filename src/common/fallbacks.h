// Values the program relies on that the device's headers may not declare.
// Each is defined only where the headers in use lack it, so that the
// desktop's own definitions stay in force there.
#ifndef BRONDELKIT_FALLBACKS_H
#define BRONDELKIT_FALLBACKS_H

#include <windows.h>

// The device posts the power notification although its reference lists the
// message as unsupported; the values are the platform's.
#ifndef WM_POWERBROADCAST
#define WM_POWERBROADCAST       0x0218
#endif
#ifndef PBT_APMRESUMESUSPEND
#define PBT_APMRESUMESUSPEND    7
#endif

// Set in the launch record for the desktop; the device ignores the record.
#ifndef STARTF_USESHOWWINDOW
#define STARTF_USESHOWWINDOW    0x00000001
#endif

// The device's winuser.h has it only for a WINVER of 4.0 or later, and no
// public page gives CE 4.10's default WINVER.
#ifndef WS_EX_TOOLWINDOW
#define WS_EX_TOOLWINDOW        0x00000080L
#endif

#ifndef USER_TIMER_MAXIMUM
#define USER_TIMER_MAXIMUM      0x7FFFFFFF
#endif

// Compile-time check of a record's size.
#ifndef C_ASSERT
#define C_ASSERT(e) typedef char C_ASSERT_[(e) ? 1 : -1]
#endif

// Holds on every 32-bit build, the device's included, and is vacuous on
// 64-bit ones, whose records are longer.
#define SIZE_ON_32BIT(actual, expected) \
    C_ASSERT(sizeof(void*) != 4 || (actual) == (expected))

#endif
