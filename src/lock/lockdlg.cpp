#include "lock/lockdlg.h"

#include "common/dlgitem.h"
#include "common/fallbacks.h"
#include "common/text.h"
#include "lock/probe.h"
#include "platform/clip.h"
#include "platform/sip.h"
#include "resource.h"
#include "settings/settings.h"

#define MAX_STARS       7
#define LOCK_TEXT_COLOR RGB(58, 62, 162)

static const WCHAR kStar[] = L"\x2605";
// "the wireless LAN is getting ready"
static const WCHAR kTextPreparing[] = L"\x7121\x7DDALAN\x8D77\x52D5\x6E96\x5099\x4E2D";
// "the wireless LAN has not become usable."
static const WCHAR kTextNotUsable[] = L"\x7121\x7DDALAN\x304C\x4F7F\x7528\x53EF\x80FD\x306A\x72B6\x614B\x306B\x306A\x3063\x3066\x3044\x307E\x305B\x3093\x3002";
// "please enter the password correctly."
static const WCHAR kTextEnterPassword[] = L"\x30D1\x30B9\x30EF\x30FC\x30C9\x3092\x6B63\x3057\x304F\x5165\x529B\x3057\x3066\x304F\x3060\x3055\x3044\x3002";
// "Fn + 0 shows the keyboard"
static const WCHAR kTextKeyboardHint[] = L"Fn + 0 \x3067\x30AD\x30FC\x30DC\x30FC\x30C9\x8868\x793A";
// "the password is wrong."
static const WCHAR kTextWrongPassword[] = L"\x30D1\x30B9\x30EF\x30FC\x30C9\x304C\x4E0D\x6B63\x3067\x3059\x3002";

DWORD g_bLaunched;
DWORD g_nStarCount;
WCHAR g_szStars[STAR_UNITS];
WCHAR g_szProgress[PROGRESS_UNITS];
UINT_PTR g_uTimerTimeout;
UINT_PTR g_uTimerPoll;

UINT TimeoutPeriod(DWORD nTimeout)
{
    // Seconds times 1000 in 32 bits wraps for a large stored value and
    // would end the wait almost at once.
    ULONGLONG ms = (ULONGLONG)nTimeout * 1000;
    if (ms > USER_TIMER_MAXIMUM)
        ms = USER_TIMER_MAXIMUM;
    return (UINT)ms;
}

static void CoverScreen(HWND hDlg)
{
    SetWindowPos(hDlg, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN), SWP_SHOWWINDOW);
}

static void ResetCursor()
{
    SetCursor(LoadCursorW(NULL, MAKEINTRESOURCEW(0)));
}

static void FetchTypedPassword(HWND hDlg, WCHAR* typed)
{
    typed[0] = 0;
    GetDlgItemTextW(hDlg, IDC_LOCK_PASSWORD, typed, TYPED_UNITS);
}

// At most once per program run, even when the attempt fails.
static void LaunchOnce()
{
    if (Settings.AppEnable != 1 || g_bLaunched != 0 || LaunchPath[0] == 0)
        return;
    LaunchApplication(LaunchPath);
    g_bLaunched = 1;
}

static void StepStars(HWND hDlg)
{
    int len = 0;
    while (g_szStars[len])
        len++;
    if (len + 1 < STAR_UNITS) {
        g_szStars[len] = kStar[0];
        g_szStars[len + 1] = 0;
    }
    if (g_nStarCount == MAX_STARS || g_nStarCount == 0) {
        g_nStarCount = 0;
        for (int i = 0; i < STAR_UNITS; i++)
            g_szStars[i] = 0;
    }
    wsprintfW(g_szProgress, L"%s", g_szStars);
    SetDlgItemTextW(hDlg, IDC_LOCK_PROGRESS, g_szProgress);
    g_nStarCount++;
}

static INT_PTR OnInitDialog(HWND hDlg)
{
    g_nStarCount = 0;
    ShowDlgItem(hDlg, IDC_LOCK_WARNING, SW_HIDE);
    if (Settings.PassEnable == 0) {
        ShowDlgItem(hDlg, IDC_LOCK_PASSWORD, SW_HIDE);
        ShowDlgItem(hDlg, IDC_LOCK_PASS_LABEL, SW_HIDE);
    }
    ShowDlgItem(hDlg, IDOK, SW_HIDE);
    CoverScreen(hDlg);
    // After the screen is covered, which a resume waits for; before the
    // first paint, which is all it is for.
    ClipLikeDevice(hDlg);
    g_uTimerTimeout = SetTimer(hDlg, TIMER_TIMEOUT, TimeoutPeriod(Settings.nTimeout), NULL);
    g_uTimerPoll = SetTimer(hDlg, TIMER_POLL, POLL_PERIOD, NULL);
    SendDlgItemMessageW(hDlg, IDC_LOCK_PASSWORD, EM_LIMITTEXT, PASS_UNITS - 1, 0);
    SetForegroundWindow(hDlg);
    // Also when hidden: keys typed blind still reach the password.
    HWND hEdit = GetDlgItem(hDlg, IDC_LOCK_PASSWORD);
    if (hEdit)
        SetFocus(hEdit);
    return FALSE;
}

static void OnTimeoutTick(HWND hDlg)
{
    KillTimer(hDlg, g_uTimerPoll);
    KillTimer(hDlg, g_uTimerTimeout);
    SetDlgItemTextW(hDlg, IDC_LOCK_STATUS, kTextNotUsable);
    ShowDlgItem(hDlg, IDOK, SW_SHOW);
    ResetCursor();
}

static void OnPollTick(HWND hDlg)
{
    // Stopped while the probe blocks so that ticks never pile up behind it.
    KillTimer(hDlg, g_uTimerPoll);
    if (ProbeWirelessLan() != 0) {
        SetDlgItemTextW(hDlg, IDC_LOCK_STATUS, kTextPreparing);
        g_uTimerPoll = SetTimer(hDlg, TIMER_POLL, POLL_PERIOD, NULL);
        return;
    }

    WCHAR typed[TYPED_UNITS];
    FetchTypedPassword(hDlg, typed);
    if (Settings.Pass[0] == 0) {
        ResetCursor();
        KillTimer(hDlg, g_uTimerTimeout);
        HideSoftInputPanel();
        LaunchOnce();
        EndDialog(hDlg, 0);
    } else if (TextsEqual(typed, Settings.Pass)) {
        // Typed in advance: the lock screen goes without starting anything.
        ResetCursor();
        KillTimer(hDlg, g_uTimerTimeout);
        HideSoftInputPanel();
        EndDialog(hDlg, 0);
    } else {
        SetDlgItemTextW(hDlg, IDC_LOCK_STATUS, kTextEnterPassword);
        SetDlgItemTextW(hDlg, IDC_LOCK_HINT, kTextKeyboardHint);
        ShowDlgItem(hDlg, IDC_LOCK_WARNING, SW_SHOW);
        KillTimer(hDlg, g_uTimerTimeout);
        ShowDlgItem(hDlg, IDOK, SW_SHOW);
        ResetCursor();
    }
}

static INT_PTR OnTimer(HWND hDlg, WPARAM idTimer)
{
    StepStars(hDlg);
    // Every tick takes the screen back from whatever came up meanwhile.
    SetForegroundWindow(hDlg);
    CoverScreen(hDlg);
    if (idTimer == g_uTimerTimeout)
        OnTimeoutTick(hDlg);
    else if (idTimer == g_uTimerPoll)
        OnPollTick(hDlg);
    return FALSE;
}

static void OnClose(HWND hDlg)
{
    WCHAR typed[TYPED_UNITS];
    FetchTypedPassword(hDlg, typed);
    if (Settings.Pass[0] != 0) {
        if (!TextsEqual(typed, Settings.Pass)) {
            SetDlgItemTextW(hDlg, IDC_LOCK_STATUS, kTextWrongPassword);
            return;
        }
        HWND hOwner = GetParent(hDlg);
        InvalidateRect(hOwner, NULL, TRUE);
        UpdateWindow(hOwner);
    }
    HideSoftInputPanel();
    LaunchOnce();
    EndDialog(hDlg, 0);
}

static INT_PTR OnCommand(HWND hDlg, WPARAM wParam)
{
    if (LOWORD(wParam) == IDOK)
        OnClose(hDlg);
    return FALSE;
}

static INT_PTR OnCtlColorStatic(HWND hDlg, HDC hdc, HWND hCtl)
{
    if (hCtl != GetDlgItem(hDlg, IDC_LOCK_PASS_LABEL) && hCtl != GetDlgItem(hDlg, IDC_LOCK_HINT) &&
        hCtl != GetDlgItem(hDlg, IDC_LOCK_PROGRESS) && hCtl != GetDlgItem(hDlg, IDC_LOCK_STATUS))
        return FALSE;
    SetBkMode(hdc, OPAQUE);
    SetTextColor(hdc, LOCK_TEXT_COLOR);
    return (INT_PTR)GetStockObject(WHITE_BRUSH);
}

static INT_PTR OnPowerBroadcast(HWND hDlg, WPARAM event)
{
    // The resident window opens a fresh lock screen on the same event.
    if (event == PBT_APMRESUMESUSPEND)
        EndDialog(hDlg, 0);
    return FALSE;
}

// The picture controls load their bitmaps from the template themselves but
// do not free them when destroyed: taken back here, or every resume would
// leave both pictures behind.
static INT_PTR OnDestroy(HWND hDlg)
{
    const int pictures[] = {IDC_LOCK_PICTURE, IDC_LOCK_WARNING};
    for (int i = 0; i < 2; i++) {
        HGDIOBJ hBmp = (HGDIOBJ)SendDlgItemMessageW(hDlg, pictures[i], STM_SETIMAGE,
                                                    IMAGE_BITMAP, 0);
        if (hBmp)
            DeleteObject(hBmp);
    }
    return FALSE;
}

INT_PTR CALLBACK LockDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog(hDlg);
    case WM_TIMER:
        return OnTimer(hDlg, wParam);
    case WM_COMMAND:
        return OnCommand(hDlg, wParam);
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(hDlg, (HDC)wParam, (HWND)lParam);
    case WM_CTLCOLORDLG:
        return (INT_PTR)GetStockObject(WHITE_BRUSH);
    case WM_POWERBROADCAST:
        return OnPowerBroadcast(hDlg, wParam);
    case WM_DESTROY:
        return OnDestroy(hDlg);
    }
    return FALSE;
}
