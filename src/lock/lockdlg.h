// The full-screen lock screen that waits for the wireless LAN and the
// password, and the one-time start of the configured application.
#ifndef BRONDELKIT_LOCKDLG_H
#define BRONDELKIT_LOCKDLG_H

#include <windows.h>

#define TIMER_TIMEOUT   1
#define TIMER_POLL      2
#define POLL_PERIOD     1000    // milliseconds

#define STAR_UNITS      30
#define PROGRESS_UNITS  100
#define TYPED_UNITS     19      // typed password fetched for the comparison

// Lock screen state; lives for the whole process.
extern DWORD g_bLaunched;                   // set by the first launch attempt, never cleared
extern DWORD g_nStarCount;                  // 0..7, reset when the lock screen opens
extern WCHAR g_szStars[STAR_UNITS];         // outlives the dialog
extern WCHAR g_szProgress[PROGRESS_UNITS];
extern UINT_PTR g_uTimerTimeout;            // what SetTimer returned, compared on WM_TIMER
extern UINT_PTR g_uTimerPoll;

INT_PTR CALLBACK LockDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Period in milliseconds that the timeout timer is armed with for
// nTimeout seconds, held to the longest period a timer can have.
UINT TimeoutPeriod(DWORD nTimeout);

// 1 when the process was created, 0 otherwise. The process is not watched.
int LaunchApplication(const WCHAR* path);

#endif
