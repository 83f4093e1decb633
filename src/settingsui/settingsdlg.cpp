#include "settingsui/settingsdlg.h"

#include "common/dlgitem.h"
#include "common/fallbacks.h"
#include "platform/sip.h"
#include "resource.h"
#include "settings/settings.h"
#include "shell/module.h"

#define STEP_UNLOCKED   3
#define CORNER_MARGIN   20      // client pixels
#define TIMEOUT_MIN     10u     // seconds
#define TIMEOUT_MAX     60u
#define ARROW_SIZE      32      // pixels of every arrow face
#define SIP_TOP         210     // screen pixels, under the moved dialog
#define PROBE_UNITS     19      // enough to tell an empty path field

int nUnlockStep;

// Message boxes of settings dialogs open now; a resume looks for them only
// while there are some.
static int s_nBoxesOpen;

// The dialog's "ERR" box; a resume ends it (EndOwnMessageBoxes).
static void ShowError(HWND hDlg, const WCHAR* text)
{
    s_nBoxesOpen++;
    MessageBoxW(hDlg, text, L"ERR", MB_OK);
    s_nBoxesOpen--;
}

static BOOL IsTicked(HWND hDlg, int id)
{
    return SendDlgItemMessageW(hDlg, id, BM_GETCHECK, 0, 0) != 0;
}

static void SetTick(HWND hDlg, int id, DWORD value)
{
    SendDlgItemMessageW(hDlg, id, BM_SETCHECK, value != 0 ? 1 : 0, 0);
}

// The password field is shown exactly when this dialog has been unlocked.
static BOOL IsPassFieldShown(HWND hDlg)
{
    HWND hItem = GetDlgItem(hDlg, IDC_PASS_EDIT);
    return hItem && IsWindowVisible(hItem);
}

static void ShowTimeout(HWND hDlg)
{
    WCHAR szText[100];
    wsprintfW(szText, L"%d", (int)Settings.nTimeout);
    SetDlgItemTextW(hDlg, IDC_TIMEOUT_VALUE, szText);
}

static void CentreTopmost(HWND hDlg)
{
    RECT rc;
    if (!GetWindowRect(hDlg, &rc))
        return;
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(hDlg, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE);
}

static void OnInitDialog(HWND hDlg)
{
    CentreTopmost(hDlg);
    ShowDlgItem(hDlg, IDC_TIMEOUT_DOWN, SW_HIDE);
    ShowDlgItem(hDlg, IDC_TIMEOUT_UP, SW_HIDE);
    ShowDlgItem(hDlg, IDCANCEL, SW_HIDE);
    SendDlgItemMessageW(hDlg, IDC_APP_PATH, EM_SETREADONLY, TRUE, 0);
    EnableDlgItem(hDlg, IDC_PASS_ENABLE, FALSE);
    EnableDlgItem(hDlg, IDC_APP_ENABLE, FALSE);
    nUnlockStep = 0;
    ShowTimeout(hDlg);
    SendDlgItemMessageW(hDlg, IDC_PASS_EDIT, EM_LIMITTEXT, PASS_UNITS - 1, 0);
    SetTick(hDlg, IDC_APP_ENABLE, Settings.AppEnable);
    if (Settings.AppPass[0] != 0)
        SetDlgItemTextW(hDlg, IDC_APP_PATH, Settings.AppPass);
    SetTick(hDlg, IDC_PASS_ENABLE, Settings.PassEnable);
    SetForegroundWindow(hDlg);
}

static void Unlock(HWND hDlg)
{
    ShowDlgItem(hDlg, IDC_TIMEOUT_DOWN, SW_SHOW);
    ShowDlgItem(hDlg, IDC_TIMEOUT_UP, SW_SHOW);
    ShowDlgItem(hDlg, IDCANCEL, SW_SHOW);
    ShowDlgItem(hDlg, IDC_PASS_LABEL, SW_SHOW);
    ShowDlgItem(hDlg, IDC_PASS_EDIT, SW_SHOW);
    if (IsTicked(hDlg, IDC_PASS_ENABLE)) {
        EnableDlgItem(hDlg, IDC_PASS_EDIT, TRUE);
        FocusDlgItem(hDlg, IDC_PASS_EDIT);
    } else {
        EnableDlgItem(hDlg, IDC_PASS_EDIT, FALSE);
    }
    SendDlgItemMessageW(hDlg, IDC_APP_PATH, EM_SETREADONLY, FALSE, 0);
    EnableDlgItem(hDlg, IDC_APP_PATH, IsTicked(hDlg, IDC_APP_ENABLE));
    EnableDlgItem(hDlg, IDC_PASS_ENABLE, TRUE);
    EnableDlgItem(hDlg, IDC_APP_ENABLE, TRUE);
    SetDlgItemTextW(hDlg, IDOK, L"\x4FDD\x5B58");  // "Save"
    SetDlgItemTextW(hDlg, IDC_PASS_EDIT, Settings.Pass);
    // Out of the way of the panel, which opens under the dialog.
    SetWindowPos(hDlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
    ShowSoftInputPanel(0, SIP_TOP);
}

static BOOL IsNextCorner(int step, LONG x, LONG y, const RECT* prc)
{
    BOOL bLeft = x < prc->left + CORNER_MARGIN;
    BOOL bRight = x > prc->right - CORNER_MARGIN;
    BOOL bTop = y < prc->top + CORNER_MARGIN;
    BOOL bBottom = y > prc->bottom - CORNER_MARGIN;
    switch (step) {
    case 0:
        return bLeft && bTop;
    case 1:
        return bLeft && bBottom;
    case 2:
        return bRight && bTop;
    }
    return FALSE;
}

static void OnLButtonDown(HWND hDlg, LPARAM lParam)
{
    // Unsigned on purpose: a point left of or above the client area lies
    // far to the right or bottom, never in the left or top corners.
    LONG x = LOWORD(lParam);
    LONG y = HIWORD(lParam);
    RECT rc = {0, 0, 0, 0};
    GetClientRect(hDlg, &rc);
    if (nUnlockStep >= STEP_UNLOCKED)
        return;
    if (IsNextCorner(nUnlockStep, x, y, &rc)) {
        nUnlockStep++;
        if (nUnlockStep == STEP_UNLOCKED)
            Unlock(hDlg);
    } else {
        // A broken sequence starts over only with the next tap.
        nUnlockStep = 0;
    }
}

// The plain close: result 0, parent repainted where the dialog was.
static void CloseSettings(HWND hDlg)
{
    HWND hParent = GetParent(hDlg);
    if (hParent) {
        InvalidateRect(hParent, NULL, TRUE);
        UpdateWindow(hParent);
    }
    HideSoftInputPanel();
    EndDialog(hDlg, 0);
}

// After a refused save the record was reloaded: show what it now holds,
// so that a second save cannot mix stored values with stale controls.
static void ShowRecord(HWND hDlg)
{
    ShowTimeout(hDlg);
    SetTick(hDlg, IDC_PASS_ENABLE, Settings.PassEnable);
    SetTick(hDlg, IDC_APP_ENABLE, Settings.AppEnable);
    SetDlgItemTextW(hDlg, IDC_PASS_EDIT, Settings.Pass);
    EnableDlgItem(hDlg, IDC_PASS_EDIT, IsTicked(hDlg, IDC_PASS_ENABLE));
    SetDlgItemTextW(hDlg, IDC_APP_PATH, Settings.AppPass);
    EnableDlgItem(hDlg, IDC_APP_PATH, IsTicked(hDlg, IDC_APP_ENABLE));
}

static void OnOk(HWND hDlg)
{
    if (IsPassFieldShown(hDlg)) {
        GetDlgItemTextW(hDlg, IDC_PASS_EDIT, Settings.Pass, PASS_UNITS);
        GetDlgItemTextW(hDlg, IDC_APP_PATH, Settings.AppPass, APPPASS_UNITS);
        Settings.PassEnable = (DWORD)SendDlgItemMessageW(hDlg, IDC_PASS_ENABLE, BM_GETCHECK, 0, 0);
        Settings.AppEnable = (DWORD)SendDlgItemMessageW(hDlg, IDC_APP_ENABLE, BM_GETCHECK, 0, 0);
        if (Settings.AppPass[0] == 0) {
            // "the path of the application to launch is blank."
            ShowError(hDlg, L"\x8D77\x52D5\x30A2\x30D7\x30EA\x306E\x30D1\x30B9\x304C\x7A7A\x767D\x3067\x3059\x3002");
            LoadSettings();
            ShowRecord(hDlg);
            return;
        }
        SaveSettings();
    }
    CloseSettings(hDlg);
}

static void OnCancel(HWND hDlg)
{
    // Escape sends this command even while the Exit button is hidden; only
    // an unlocked dialog may ask for the program's end, and its own controls
    // tell, as for Save.
    if (!IsPassFieldShown(hDlg)) {
        CloseSettings(hDlg);
        return;
    }
    GetDlgItemTextW(hDlg, IDC_PASS_EDIT, Settings.Pass, PASS_UNITS);
    SaveSettings();
    HideSoftInputPanel();
    EndDialog(hDlg, 1);
}

static void OnTimeoutStep(HWND hDlg, BOOL bUp)
{
    if (nUnlockStep != STEP_UNLOCKED)
        return;
    if (bUp) {
        if (Settings.nTimeout < TIMEOUT_MAX)
            Settings.nTimeout++;
    } else if (Settings.nTimeout > TIMEOUT_MIN) {
        Settings.nTimeout--;
    }
    ShowTimeout(hDlg);
}

static void OnPassEnable(HWND hDlg)
{
    if (IsTicked(hDlg, IDC_PASS_ENABLE)) {
        EnableDlgItem(hDlg, IDC_PASS_EDIT, TRUE);
        FocusDlgItem(hDlg, IDC_PASS_EDIT);
    } else {
        SetDlgItemTextW(hDlg, IDC_PASS_EDIT, L"");
        EnableDlgItem(hDlg, IDC_PASS_EDIT, FALSE);
    }
}

static void OnAppEnable(HWND hDlg)
{
    WCHAR szProbe[PROBE_UNITS];
    szProbe[0] = 0;
    GetDlgItemTextW(hDlg, IDC_APP_PATH, szProbe, PROBE_UNITS);
    if (szProbe[0] == 0) {
        // "the application path is blank."
        ShowError(hDlg, L"\x30A2\x30D7\x30EA\x306E\x30D1\x30B9\x304C\x7A7A\x767D\x3067\x3059\x3002");
        SetDlgItemTextW(hDlg, IDC_APP_PATH, Settings.AppPass);
        EnableDlgItem(hDlg, IDC_APP_PATH, FALSE);
        return;
    }
    if (IsTicked(hDlg, IDC_APP_ENABLE)) {
        EnableDlgItem(hDlg, IDC_APP_PATH, TRUE);
        FocusDlgItem(hDlg, IDC_APP_PATH);
    } else {
        EnableDlgItem(hDlg, IDC_APP_PATH, FALSE);
    }
}

static void OnCommand(HWND hDlg, int id)
{
    switch (id) {
    case IDOK:
        OnOk(hDlg);
        break;
    case IDCANCEL:
        OnCancel(hDlg);
        break;
    case IDC_TIMEOUT_UP:
        OnTimeoutStep(hDlg, TRUE);
        break;
    case IDC_TIMEOUT_DOWN:
        OnTimeoutStep(hDlg, FALSE);
        break;
    case IDC_PASS_ENABLE:
        OnPassEnable(hDlg);
        break;
    case IDC_APP_ENABLE:
        OnAppEnable(hDlg);
        break;
    }
}

static int ArrowFace(UINT id, UINT state)
{
    BOOL bUp = id == IDC_TIMEOUT_UP;
    if (state & ODS_SELECTED)
        return bUp ? IDB_UP_PRESSED : IDB_DOWN_PRESSED;
    if (state & ODS_DISABLED)
        return bUp ? IDB_UP_DISABLED : IDB_DOWN_DISABLED;
    return bUp ? IDB_UP_NORMAL : IDB_DOWN_NORMAL;
}

static void OnDrawItem(UINT id, const DRAWITEMSTRUCT* pdis)
{
    if ((id != IDC_TIMEOUT_UP && id != IDC_TIMEOUT_DOWN) || !pdis)
        return;
    // Loaded for each drawing and deleted before returning: nothing to
    // free when the dialog ends.
    HBITMAP hbm = (HBITMAP)LoadImageW(g_hInstance, MAKEINTRESOURCEW(ArrowFace(id, pdis->itemState)),
                                      IMAGE_BITMAP, 0, 0, 0);
    if (!hbm)
        return;
    HDC hdcMem = CreateCompatibleDC(pdis->hDC);
    if (hdcMem) {
        HGDIOBJ hOld = SelectObject(hdcMem, hbm);
        BitBlt(pdis->hDC, 0, 0, ARROW_SIZE, ARROW_SIZE, hdcMem, 0, 0, SRCCOPY);
        SelectObject(hdcMem, hOld);
        DeleteDC(hdcMem);
    }
    DeleteObject(hbm);
}

// A message box of this dialog runs a modal loop of its own, which the end
// of the dialog does not stop: it would stay on the screen, alone. A box
// is owned by this dialog, so above it: only the few windows above the
// dialog are looked at. Ended as its own OK button ends it, whatever its
// class on the platform.
static void EndOwnMessageBoxes(HWND hDlg)
{
    if (s_nBoxesOpen == 0)
        return;
    for (HWND h = GetWindow(hDlg, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) {
        if (GetWindow(h, GW_OWNER) == hDlg)
            SendMessageW(h, WM_COMMAND, IDOK, 0);
    }
}

static void OnPowerBroadcast(HWND hDlg, WPARAM wParam)
{
    // The opener shows a fresh lock screen; this dialog just gets out of
    // its way without saving anything.
    if (wParam == PBT_APMRESUMESUSPEND) {
        EndOwnMessageBoxes(hDlg);
        EndDialog(hDlg, 0);
    }
}

INT_PTR CALLBACK SettingsDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog(hDlg);
        return TRUE;
    case WM_DRAWITEM:
        OnDrawItem((UINT)wParam, (const DRAWITEMSTRUCT*)lParam);
        return TRUE;
    case WM_COMMAND:
        OnCommand(hDlg, LOWORD(wParam));
        return TRUE;
    case WM_LBUTTONDOWN:
        OnLButtonDown(hDlg, lParam);
        return TRUE;
    case WM_POWERBROADCAST:
        OnPowerBroadcast(hDlg, wParam);
        return FALSE;
    }
    return FALSE;
}
