// The settings dialog, run from its real template with real messages,
// against the real registry of the test prefix.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sip.h"
#include "resource.h"
#include "settings/settings.h"
#include "settingsui/settingsdlg.h"
#include "shell/shell.h"
#include "support/dialog_driver.h"
#include "support/scratch_registry.h"

namespace {

const wchar_t kStoredPath[] = L"\\windows\\iesample.exe";

// ---- reading the dialog -------------------------------------------------

bool Visible(HWND hDlg, int id)
{
    return IsWindowVisible(GetDlgItem(hDlg, id)) != FALSE;
}

bool Enabled(HWND hDlg, int id)
{
    return IsWindowEnabled(GetDlgItem(hDlg, id)) != FALSE;
}

bool ReadOnly(HWND hDlg, int id)
{
    return (GetWindowLongW(GetDlgItem(hDlg, id), GWL_STYLE) & ES_READONLY) != 0;
}

bool Ticked(HWND hDlg, int id)
{
    return SendDlgItemMessageW(hDlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

RECT WindowRect(HWND h)
{
    RECT rc = {};
    GetWindowRect(h, &rc);
    return rc;
}

SIPINFO Panel()
{
    SIPINFO si = {};
    si.cbSize = sizeof(si);
    EXPECT_TRUE(SipGetInfo(&si));
    return si;
}

void SetPanel(DWORD flags, RECT rc)
{
    SIPINFO si = Panel();
    si.fdwFlags = flags;
    si.rcSipRect = rc;
    ASSERT_TRUE(SipSetInfo(&si));
}

// ---- acting on the dialog ------------------------------------------------

enum Corner { kTopLeft, kBottomLeft, kTopRight };

void Tap(HWND hDlg, int x, int y)
{
    SendMessageW(hDlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

void TapCorner(HWND hDlg, Corner c)
{
    RECT rc;
    GetClientRect(hDlg, &rc);
    int x = c == kTopRight ? rc.right - 5 : 5;
    int y = c == kBottomLeft ? rc.bottom - 5 : 5;
    Tap(hDlg, x, y);
}

void Unlock(HWND hDlg)
{
    TapCorner(hDlg, kTopLeft);
    TapCorner(hDlg, kBottomLeft);
    TapCorner(hDlg, kTopRight);
    ASSERT_EQ(3, nUnlockStep);
}

void Command(HWND hDlg, int id)
{
    SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(hDlg, id));
}

// A press on the control itself: check boxes toggle before they notify.
void Click(HWND hDlg, int id)
{
    SendMessageW(GetDlgItem(hDlg, id), BM_CLICK, 0, 0);
}

// ---- the registry ----------------------------------------------------------

struct StoredValue {
    bool present;
    DWORD type;
    std::vector<BYTE> data;
    bool operator==(const StoredValue& o) const
    {
        return present == o.present && type == o.type && data == o.data;
    }
};

std::vector<StoredValue> StoredRecord()
{
    std::vector<StoredValue> values;
    for (const wchar_t* name : {L"Pass", L"PassEnable", L"nTimeout", L"AppPass", L"AppEnable"}) {
        StoredValue v = {};
        v.present = GetValue(name, &v.type, &v.data);
        values.push_back(v);
    }
    return values;
}

std::wstring StoredText(const wchar_t* name, size_t expectBytes)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    EXPECT_TRUE(GetValue(name, &type, &data)) << name;
    EXPECT_EQ(expectBytes, data.size()) << name;
    data.resize(expectBytes + 2, 0);
    return std::wstring((const wchar_t*)data.data());
}

DWORD StoredDword(const wchar_t* name)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    EXPECT_TRUE(GetValue(name, &type, &data)) << name;
    EXPECT_EQ(4u, data.size()) << name;
    DWORD v = 0;
    memcpy(&v, data.data(), data.size() < 4 ? data.size() : 4);
    return v;
}

// ---- an owner that counts its paintings ---------------------------------

int g_ownerPaints;

LRESULT CALLBACK OwnerProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT)
        g_ownerPaints++;
    return DefWindowProcW(h, msg, wParam, lParam);
}

HWND CreateOwner()
{
    static ATOM atom;
    if (!atom) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = g_hInstance;
        wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
        wc.lpszClassName = L"BkSettingsOwner";
        atom = RegisterClassW(&wc);
    }
    HWND h = CreateWindowExW(0, L"BkSettingsOwner", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                             NULL, NULL, g_hInstance, NULL);
    PumpMessages();
    return h;
}

class SettingsDialog : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteSettingsKey();
        ClearSettingsRecord();
        Store(L"pw1234", 1, 25, kStoredPath, 1);
        // A panel state that unlocking must visibly change.
        SetPanel(SIPF_OFF, RECT{7, 230, 239, 300});
        owner_ = CreateOwner();
        ASSERT_TRUE(owner_ != NULL);
    }
    void TearDown() override
    {
        DestroyWindow(owner_);
        PumpMessages();
        DeleteSettingsKey();
    }

    // The record as the program has it after a start with these values.
    void Store(const std::wstring& pass, DWORD passEnable, DWORD timeout,
               const std::wstring& appPass, DWORD appEnable)
    {
        PutRecord(pass, passEnable, timeout, appPass, appEnable);
        ASSERT_EQ(0, LoadSettings());
    }

    DialogRun Run(const std::function<void(HWND)>& script)
    {
        return RunDialog(IDD_SETTINGS, SettingsDlgProc, script, owner_);
    }

    HWND owner_ = NULL;
};

void ExpectLocked(HWND hDlg)
{
    EXPECT_EQ(0, nUnlockStep);
    for (int id : {IDC_TIMEOUT_DOWN, IDC_TIMEOUT_UP, IDCANCEL, IDC_PASS_LABEL, IDC_PASS_EDIT})
        EXPECT_FALSE(Visible(hDlg, id)) << id;
    EXPECT_EQ(L"", ItemText(hDlg, IDC_PASS_EDIT)) << "the password is shown nowhere";
    EXPECT_FALSE(Enabled(hDlg, IDC_PASS_ENABLE));
    EXPECT_FALSE(Enabled(hDlg, IDC_APP_ENABLE));
    EXPECT_TRUE(Visible(hDlg, IDC_APP_PATH));
    EXPECT_TRUE(ReadOnly(hDlg, IDC_APP_PATH));
    EXPECT_EQ(L"閉じる", ItemText(hDlg, IDOK));
    EXPECT_EQ(std::to_wstring(Settings.nTimeout), ItemText(hDlg, IDC_TIMEOUT_VALUE));
    EXPECT_EQ(Settings.PassEnable != 0, Ticked(hDlg, IDC_PASS_ENABLE));
    EXPECT_EQ(Settings.AppEnable != 0, Ticked(hDlg, IDC_APP_ENABLE));
    EXPECT_EQ(std::wstring(Settings.AppPass), ItemText(hDlg, IDC_APP_PATH));
}

void ExpectCentredTopmost(HWND hDlg)
{
    RECT rc = WindowRect(hDlg);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)) / 2, rc.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)) / 2, rc.top);
    EXPECT_TRUE(GetWindowLongW(hDlg, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

// ---- the template ------------------------------------------------------------

struct ItemSpec {
    int id;
    const wchar_t* cls;
    DWORD style;
    short x, y, cx, cy;
    const wchar_t* text;
};

const ItemSpec kItems[] = {
    {IDOK, L"BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 81, 85, 50, 14,
     L"閉じる"},
    {IDCANCEL, L"BUTTON", WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 2, 85, 50, 14, L"終了"},
    {IDC_TIMEOUT_VALUE, L"STATIC", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_GROUP | SS_RIGHT, 52,
     16, 20, 10, L""},
    {0xFFFF, L"STATIC", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 74, 16, 10, 10, L"秒"},
    {IDC_TIMEOUT_UP, L"BUTTON", WS_CHILD | BS_OWNERDRAW, 87, 11, 20, 20, L""},
    {IDC_TIMEOUT_DOWN, L"BUTTON", WS_CHILD | BS_OWNERDRAW, 25, 11, 20, 20, L""},
    {0xFFFF, L"STATIC", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 25, 0, 98, 10,
     L"待機メッセージのタイムアウト"},
    {IDC_PASS_LABEL, L"STATIC", WS_CHILD | WS_GROUP | SS_LEFT, 4, 46, 33, 12, L"パスワード:"},
    {IDC_PASS_EDIT, L"EDIT", WS_CHILD | WS_BORDER | WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL,
     39, 45, 84, 12, L""},
    {IDC_APP_PATH, L"EDIT", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_LEFT, 2, 71, 129,
     12, L""},
    {IDC_PASS_ENABLE, L"BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 4, 34,
     112, 10, L"起動時にパスワード要求をする"},
    {IDC_APP_ENABLE, L"BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 4, 59, 115,
     11, L"アプリ起動をする（フルパスで記述）："},
};

struct TemplateReader {
    const WORD* p;
    std::wstring Sz()
    {
        std::wstring s;
        while (*p)
            s += (wchar_t)*p++;
        p++;
        return s;
    }
    // A name or an ordinal (0xFFFF followed by the number).
    std::wstring SzOrOrd()
    {
        if (*p == 0xFFFF) {
            WORD ord = p[1];
            p += 2;
            switch (ord) {
            case 0x80: return L"BUTTON";
            case 0x81: return L"EDIT";
            case 0x82: return L"STATIC";
            }
            return L"#" + std::to_wstring(ord);
        }
        return Sz();
    }
    void AlignDword()
    {
        p = (const WORD*)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
    }
};

TEST(SettingsTemplate, HoldsExactlyTheTableOfControls)
{
    HRSRC hRes = FindResourceW(g_hInstance, MAKEINTRESOURCEW(IDD_SETTINGS), (LPCWSTR)RT_DIALOG);
    ASSERT_TRUE(hRes != NULL);
    const DLGTEMPLATE* dt = (const DLGTEMPLATE*)LockResource(LoadResource(g_hInstance, hRes));
    ASSERT_NE(0xFFFF, ((const WORD*)dt)[1]) << "a plain DIALOG template, not DIALOGEX";
    EXPECT_EQ((DWORD)(WS_POPUP | WS_CAPTION | DS_SETFONT), dt->style);
    EXPECT_EQ(0u, dt->dwExtendedStyle);
    EXPECT_EQ(0, dt->x);
    EXPECT_EQ(0, dt->y);
    EXPECT_EQ(135, dt->cx);
    EXPECT_EQ(103, dt->cy);
    ASSERT_EQ(sizeof(kItems) / sizeof(kItems[0]), (size_t)dt->cdit);

    TemplateReader r = {(const WORD*)(dt + 1)};
    EXPECT_EQ(L"", r.SzOrOrd()) << "no menu";
    EXPECT_EQ(L"", r.SzOrOrd()) << "no window class";
    EXPECT_EQ(L"Setting" + std::wstring(23, L' ') + L"Ver3.00", r.Sz());
    EXPECT_EQ(9, *r.p++);
    EXPECT_EQ(L"System", r.Sz());

    for (const ItemSpec& want : kItems) {
        r.AlignDword();
        const DLGITEMTEMPLATE* it = (const DLGITEMTEMPLATE*)r.p;
        SCOPED_TRACE(testing::Message() << "control " << want.id);
        EXPECT_EQ(want.id, it->id);
        EXPECT_EQ(want.style, it->style);
        EXPECT_EQ(0u, it->dwExtendedStyle);
        EXPECT_EQ(want.x, it->x);
        EXPECT_EQ(want.y, it->y);
        EXPECT_EQ(want.cx, it->cx);
        EXPECT_EQ(want.cy, it->cy);
        r.p = (const WORD*)(it + 1);
        EXPECT_EQ(std::wstring(want.cls), r.SzOrOrd());
        EXPECT_EQ(std::wstring(want.text), r.SzOrOrd());
        WORD extra = *r.p++;
        r.p = (const WORD*)((const BYTE*)r.p + extra);
    }
}

// ---- the gesture ----------------------------------------------------------------

TEST_F(SettingsDialog, CornersInTheirOrderUnlockAndNothingElseDoes)
{
    DialogRun run = Run([](HWND hDlg) {
        const Corner all[] = {kTopLeft, kBottomLeft, kTopRight};
        for (Corner a : all)
            for (Corner b : all)
                for (Corner c : all) {
                    if (a == kTopLeft && b == kBottomLeft && c == kTopRight)
                        continue;
                    SCOPED_TRACE(testing::Message() << "order " << a << b << c);
                    Tap(hDlg, 60, 60);  // a plain tap: starts every order afresh
                    TapCorner(hDlg, a);
                    TapCorner(hDlg, b);
                    TapCorner(hDlg, c);
                    EXPECT_NE(3, nUnlockStep);
                    EXPECT_FALSE(Visible(hDlg, IDCANCEL));
                    EXPECT_EQ(L"閉じる", ItemText(hDlg, IDOK));
                }
        Tap(hDlg, 60, 60);
        TapCorner(hDlg, kTopLeft);
        EXPECT_EQ(1, nUnlockStep);
        TapCorner(hDlg, kBottomLeft);
        EXPECT_EQ(2, nUnlockStep);
        EXPECT_FALSE(Visible(hDlg, IDCANCEL)) << "two corners unlock nothing yet";
        TapCorner(hDlg, kTopRight);
        EXPECT_EQ(3, nUnlockStep);
        EXPECT_TRUE(Visible(hDlg, IDCANCEL));
    });
    EXPECT_EQ(kStillOpen, run.result);
}

TEST_F(SettingsDialog, TapsOnTheMarginLieOutsideTheCorners)
{
    Run([](HWND hDlg) {
        RECT rc;
        GetClientRect(hDlg, &rc);
        LONG r = rc.right, b = rc.bottom;
        Tap(hDlg, 20, 5);
        EXPECT_EQ(0, nUnlockStep);
        Tap(hDlg, 5, 20);
        EXPECT_EQ(0, nUnlockStep);
        // Left of and above the client area, as unsigned numbers these lie
        // beyond its right and bottom edges, not in the top-left corner.
        Tap(hDlg, 0xFFFF, 0xFFFF);
        EXPECT_EQ(0, nUnlockStep);

        Tap(hDlg, 19, 19);
        ASSERT_EQ(1, nUnlockStep);
        Tap(hDlg, 20, b - 5);
        EXPECT_EQ(0, nUnlockStep);
        Tap(hDlg, 19, 19);
        Tap(hDlg, 5, b - 20);
        EXPECT_EQ(0, nUnlockStep);

        Tap(hDlg, 19, 19);
        Tap(hDlg, 19, b - 19);
        ASSERT_EQ(2, nUnlockStep);
        Tap(hDlg, r - 20, 5);
        EXPECT_EQ(0, nUnlockStep);
        Tap(hDlg, 19, 19);
        Tap(hDlg, 19, b - 19);
        Tap(hDlg, r - 5, 20);
        EXPECT_EQ(0, nUnlockStep);

        Tap(hDlg, 19, 19);
        Tap(hDlg, 19, b - 19);
        Tap(hDlg, r - 19, 19);
        EXPECT_EQ(3, nUnlockStep);
    });
}

TEST_F(SettingsDialog, RepeatedFirstCornerStartsOverAndLaterTapsChangeNothing)
{
    Run([](HWND hDlg) {
        TapCorner(hDlg, kTopLeft);
        ASSERT_EQ(1, nUnlockStep);
        TapCorner(hDlg, kTopLeft);
        EXPECT_EQ(0, nUnlockStep) << "the breaking tap is no new first step";
        TapCorner(hDlg, kTopLeft);
        EXPECT_EQ(1, nUnlockStep);
        TapCorner(hDlg, kBottomLeft);
        TapCorner(hDlg, kTopRight);
        ASSERT_EQ(3, nUnlockStep);

        // Move the unlocked dialog and hide the panel: a second unlocking
        // would bring both back.
        SetWindowPos(hDlg, NULL, 10, 12, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        HideSoftInputPanel();
        SetDlgItemTextW(hDlg, IDC_PASS_EDIT, L"typed");
        for (Corner c : {kTopLeft, kBottomLeft, kTopRight, kTopLeft})
            TapCorner(hDlg, c);
        Tap(hDlg, 60, 60);
        EXPECT_EQ(3, nUnlockStep);
        EXPECT_EQ(10, WindowRect(hDlg).left);
        EXPECT_EQ(12, WindowRect(hDlg).top);
        EXPECT_EQ((DWORD)SIPF_OFF, Panel().fdwFlags);
        EXPECT_EQ(L"typed", ItemText(hDlg, IDC_PASS_EDIT));
        EXPECT_TRUE(Visible(hDlg, IDC_TIMEOUT_UP));
    });
}

TEST_F(SettingsDialog, EveryOpeningStartsLocked)
{
    DialogRun first = Run([](HWND hDlg) {
        ExpectLocked(hDlg);
        ExpectCentredTopmost(hDlg);
        EXPECT_EQ(GetDlgItem(hDlg, IDOK), GetFocus());
        SaveScreenshot(L"settings_locked");
        Unlock(hDlg);
        Command(hDlg, IDOK);
    });
    EXPECT_EQ(0, first.result);
    EXPECT_EQ(3, nUnlockStep) << "the count outlives the dialog";

    DialogRun second = Run([](HWND hDlg) {
        ExpectLocked(hDlg);
        ExpectCentredTopmost(hDlg);
    });
    EXPECT_EQ(kStillOpen, second.result);
}

TEST_F(SettingsDialog, JapaneseTextsHaveGlyphsAndFitTheirControls)
{
    Run([](HWND hDlg) {
        HFONT font = (HFONT)SendMessageW(hDlg, WM_GETFONT, 0, 0);
        ASSERT_TRUE(font != NULL);
        HDC dc = GetDC(hDlg);
        HGDIOBJ old = SelectObject(dc, font);
        WCHAR face[LF_FACESIZE] = L"";
        GetTextFaceW(dc, LF_FACESIZE, face);
        SCOPED_TRACE(testing::Message() << "face " << testing::PrintToString(std::wstring(face)));
        HWND item = GetWindow(hDlg, GW_CHILD);
        for (const ItemSpec& want : kItems) {
            std::wstring text = want.text;
            RECT rc = {};
            GetClientRect(item, &rc);
            item = GetWindow(item, GW_HWNDNEXT);
            if (text.empty())
                continue;
            std::vector<WORD> glyphs(text.size());
            GetGlyphIndicesW(dc, text.c_str(), (int)text.size(), glyphs.data(),
                             GGI_MARK_NONEXISTING_GLYPHS);
            for (size_t i = 0; i < text.size(); i++)
                EXPECT_NE(0xFFFF, glyphs[i]) << "no glyph for U+" << std::hex << (int)text[i];
            SIZE extent = {};
            GetTextExtentPoint32W(dc, text.c_str(), (int)text.size(), &extent);
            LONG room = rc.right;
            if ((want.style & 0xF) == BS_AUTOCHECKBOX && wcscmp(want.cls, L"BUTTON") == 0)
                room -= GetSystemMetrics(SM_CXMENUCHECK) + 2;
            EXPECT_LE(extent.cx, room) << testing::PrintToString(text) << " is clipped";
        }
        SelectObject(dc, old);
        ReleaseDC(hDlg, dc);
    });
}

// ---- unlocking ------------------------------------------------------------------

TEST_F(SettingsDialog, UnlockingShowsTheEditorsAndMovesDialogAndPanel)
{
    struct Case {
        DWORD passEnable, appEnable;
    };
    for (Case c : {Case{1, 1}, Case{0, 0}}) {
        SCOPED_TRACE(testing::Message() << "PassEnable " << c.passEnable << ", AppEnable "
                                        << c.appEnable);
        Store(L"pw1234", c.passEnable, 25, kStoredPath, c.appEnable);
        SetPanel(SIPF_OFF, RECT{7, 230, 239, 300});
        Run([&](HWND hDlg) {
            RECT before = WindowRect(hDlg);
            Unlock(hDlg);
            for (int id : {IDC_TIMEOUT_DOWN, IDC_TIMEOUT_UP, IDCANCEL, IDC_PASS_LABEL,
                           IDC_PASS_EDIT})
                EXPECT_TRUE(Visible(hDlg, id)) << id;
            EXPECT_EQ(c.passEnable != 0, Enabled(hDlg, IDC_PASS_EDIT));
            if (c.passEnable) {
                EXPECT_EQ(GetDlgItem(hDlg, IDC_PASS_EDIT), GetFocus());
            }
            EXPECT_EQ(L"pw1234", ItemText(hDlg, IDC_PASS_EDIT));
            EXPECT_FALSE(ReadOnly(hDlg, IDC_APP_PATH));
            EXPECT_EQ(c.appEnable != 0, Enabled(hDlg, IDC_APP_PATH));
            EXPECT_TRUE(Enabled(hDlg, IDC_PASS_ENABLE));
            EXPECT_TRUE(Enabled(hDlg, IDC_APP_ENABLE));
            EXPECT_TRUE(Enabled(hDlg, IDC_TIMEOUT_UP));
            EXPECT_EQ(L"保存", ItemText(hDlg, IDOK));

            RECT after = WindowRect(hDlg);
            EXPECT_EQ(0, after.left);
            EXPECT_EQ(0, after.top);
            EXPECT_EQ(before.right - before.left, after.right);
            EXPECT_EQ(before.bottom - before.top, after.bottom);
            EXPECT_TRUE(GetWindowLongW(hDlg, GWL_EXSTYLE) & WS_EX_TOPMOST);

            SIPINFO si = Panel();
            EXPECT_EQ((DWORD)SIPF_ON, si.fdwFlags);
            EXPECT_EQ(0, si.rcSipRect.left);
            EXPECT_EQ(210, si.rcSipRect.top);
            EXPECT_EQ(239, si.rcSipRect.right) << "right and bottom stay as reported";
            EXPECT_EQ(300, si.rcSipRect.bottom);
            if (c.passEnable)
                SaveScreenshot(L"settings_unlocked");
        });
    }
}

// ---- OK ----------------------------------------------------------------------------

TEST_F(SettingsDialog, OkWhileLockedClosesAndSavesNothing)
{
    SetPanel(SIPF_ON, RECT{0, 210, 240, 294});
    std::vector<StoredValue> stored = StoredRecord();
    SettingsRecord record = Settings;
    int paints = 0;
    DialogRun run = Run([&](HWND hDlg) {
        TapCorner(hDlg, kTopLeft);
        TapCorner(hDlg, kBottomLeft);
        SetDlgItemTextW(hDlg, IDC_APP_PATH, L"");
        SendDlgItemMessageW(hDlg, IDC_PASS_ENABLE, BM_SETCHECK, 0, 0);
        paints = g_ownerPaints;
        Command(hDlg, IDOK);
        EXPECT_GT(g_ownerPaints, paints) << "the owner is repainted at once";
    });
    EXPECT_EQ(0, run.result);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_TRUE(stored == StoredRecord());
    EXPECT_EQ(0, memcmp(&record, &Settings, sizeof(record)));
    EXPECT_EQ((DWORD)SIPF_OFF, Panel().fdwFlags);
}

TEST_F(SettingsDialog, OkWhileUnlockedSavesEveryField)
{
    int paints = 0;
    DialogRun run = Run([&](HWND hDlg) {
        Unlock(hDlg);
        SetDlgItemTextW(hDlg, IDC_PASS_EDIT, L"newpw");
        Click(hDlg, IDC_APP_ENABLE);
        ASSERT_FALSE(Ticked(hDlg, IDC_APP_ENABLE));
        SetDlgItemTextW(hDlg, IDC_APP_PATH, L"\\windows\\other.exe");
        Click(hDlg, IDC_TIMEOUT_UP);
        Click(hDlg, IDC_TIMEOUT_UP);
        EXPECT_EQ(L"27", ItemText(hDlg, IDC_TIMEOUT_VALUE));
        paints = g_ownerPaints;
        Command(hDlg, IDOK);
        EXPECT_GT(g_ownerPaints, paints) << "the owner is repainted at once";
    });
    EXPECT_EQ(0, run.result);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(L"newpw", StoredText(L"Pass", 22));
    EXPECT_EQ(1u, StoredDword(L"PassEnable"));
    EXPECT_EQ(27u, StoredDword(L"nTimeout"));
    EXPECT_EQ(L"\\windows\\other.exe", StoredText(L"AppPass", 200));
    EXPECT_EQ(0u, StoredDword(L"AppEnable"));
    EXPECT_EQ((DWORD)SIPF_OFF, Panel().fdwFlags);
}

TEST_F(SettingsDialog, EmptyPathIsRefusedAndTheDialogShowsTheReloadedRecord)
{
    Store(L"pw1234", 1, 25, kStoredPath, 0);
    std::vector<StoredValue> stored = StoredRecord();
    HWND dialog = NULL;
    DialogRun run = Run([&](HWND hDlg) {
        dialog = hDlg;
        Unlock(hDlg);
        Click(hDlg, IDC_TIMEOUT_UP);
        SetDlgItemTextW(hDlg, IDC_PASS_EDIT, L"typed");
        Click(hDlg, IDC_PASS_ENABLE);     // off: empties the field
        SetDlgItemTextW(hDlg, IDC_PASS_EDIT, L"typed");
        SendDlgItemMessageW(hDlg, IDC_APP_ENABLE, BM_SETCHECK, 1, 0);
        EnableWindow(GetDlgItem(hDlg, IDC_APP_PATH), TRUE);
        SetDlgItemTextW(hDlg, IDC_APP_PATH, L"");

        Command(hDlg, IDOK);
        ASSERT_TRUE(IsWindowVisible(hDlg)) << "a refused save leaves the dialog open";
        EXPECT_TRUE(stored == StoredRecord());
        EXPECT_EQ(25u, Settings.nTimeout) << "the arrows' change is thrown away";
        EXPECT_STREQ(L"pw1234", Settings.Pass);
        EXPECT_STREQ(kStoredPath, Settings.AppPass);
        EXPECT_EQ(1u, Settings.PassEnable);
        EXPECT_EQ(0u, Settings.AppEnable);

        EXPECT_EQ(3, nUnlockStep);
        EXPECT_EQ(L"保存", ItemText(hDlg, IDOK));
        EXPECT_TRUE(Visible(hDlg, IDCANCEL));
        EXPECT_EQ((DWORD)SIPF_ON, Panel().fdwFlags) << "the panel stays for the next try";
        EXPECT_EQ(L"25", ItemText(hDlg, IDC_TIMEOUT_VALUE));
        EXPECT_TRUE(Ticked(hDlg, IDC_PASS_ENABLE));
        EXPECT_EQ(L"pw1234", ItemText(hDlg, IDC_PASS_EDIT));
        EXPECT_TRUE(Enabled(hDlg, IDC_PASS_EDIT));
        EXPECT_FALSE(Ticked(hDlg, IDC_APP_ENABLE));
        EXPECT_EQ(std::wstring(kStoredPath), ItemText(hDlg, IDC_APP_PATH));
        EXPECT_FALSE(Enabled(hDlg, IDC_APP_PATH));

        // What the dialog shows is what a second save stores.
        Command(hDlg, IDOK);
    });
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(L"起動アプリのパスが空白です。", run.boxes[0].text);
    EXPECT_EQ(L"ERR", run.boxes[0].caption);
    EXPECT_EQ(dialog, run.boxes[0].owner);
    EXPECT_EQ(0, run.result);
    EXPECT_EQ(L"pw1234", StoredText(L"Pass", 22));
    EXPECT_EQ(1u, StoredDword(L"PassEnable"));
    EXPECT_EQ(25u, StoredDword(L"nTimeout"));
    EXPECT_EQ(std::wstring(kStoredPath), StoredText(L"AppPass", 200));
    EXPECT_EQ(0u, StoredDword(L"AppEnable"));
}

TEST_F(SettingsDialog, OkStoresAtMostTenPasswordAndNinetyNinePathCharacters)
{
    std::wstring longPass = L"abcdefghijklmno";
    std::wstring longPath = L"\\";
    while (longPath.size() < 150)
        longPath += L"dir\\";
    DialogRun run = Run([&](HWND hDlg) {
        Unlock(hDlg);
        HWND edit = GetDlgItem(hDlg, IDC_PASS_EDIT);
        SetDlgItemTextW(hDlg, IDC_PASS_EDIT, L"");
        for (wchar_t ch : longPass)
            SendMessageW(edit, WM_CHAR, ch, 1);
        EXPECT_EQ(longPass.substr(0, 10), ItemText(hDlg, IDC_PASS_EDIT)) << "typing stops at 10";

        // Texts put in from outside pass the typing limit; reading cuts them.
        SetDlgItemTextW(hDlg, IDC_PASS_EDIT, longPass.c_str());
        SetDlgItemTextW(hDlg, IDC_APP_PATH, longPath.c_str());
        ASSERT_EQ(longPass, ItemText(hDlg, IDC_PASS_EDIT));
        ASSERT_EQ(longPath, ItemText(hDlg, IDC_APP_PATH));
        Command(hDlg, IDOK);
    });
    EXPECT_EQ(0, run.result);
    EXPECT_EQ(longPass.substr(0, 10), StoredText(L"Pass", 22));
    EXPECT_EQ(longPath.substr(0, 99), StoredText(L"AppPass", 200));
}

// ---- Escape and Exit ---------------------------------------------------------------

TEST_F(SettingsDialog, EscapeBeforeUnlockingOnlyCloses)
{
    std::vector<StoredValue> stored = StoredRecord();
    SettingsRecord record = Settings;
    // The Escape key itself, the command alone part-way through the
    // gesture, and the command while another opening left the count at 3.
    const int kWays = 3;
    for (int way = 0; way < kWays; way++) {
        SCOPED_TRACE(testing::Message() << "way " << way);
        SetPanel(SIPF_ON, RECT{0, 210, 240, 294});
        int paints = 0;
        DialogRun run = Run([&](HWND hDlg) {
            SetDlgItemTextW(hDlg, IDC_PASS_EDIT, L"typed");
            paints = g_ownerPaints;
            if (way == 0) {
                MSG msg = {GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {0, 0}};
                ASSERT_TRUE(IsDialogMessageW(hDlg, &msg));
            } else if (way == 1) {
                TapCorner(hDlg, kTopLeft);
                TapCorner(hDlg, kBottomLeft);
                Command(hDlg, IDCANCEL);
            } else {
                nUnlockStep = 3;
                Command(hDlg, IDCANCEL);
            }
            EXPECT_GT(g_ownerPaints, paints) << "closed the way 閉じる closes";
        });
        EXPECT_EQ(0, run.result) << "a locked dialog never asks for the program's end";
        EXPECT_TRUE(stored == StoredRecord());
        EXPECT_EQ(0, memcmp(&record, &Settings, sizeof(record)));
        EXPECT_EQ((DWORD)SIPF_OFF, Panel().fdwFlags);
    }
}

TEST_F(SettingsDialog, ExitSavesPasswordAndTimeoutButNotBoxesOrPath)
{
    DialogRun run = Run([&](HWND hDlg) {
        Unlock(hDlg);
        Click(hDlg, IDC_TIMEOUT_UP);
        Click(hDlg, IDC_TIMEOUT_UP);
        SendDlgItemMessageW(hDlg, IDC_PASS_ENABLE, BM_SETCHECK, 0, 0);
        Click(hDlg, IDC_APP_ENABLE);
        ASSERT_FALSE(Ticked(hDlg, IDC_APP_ENABLE));
        SetDlgItemTextW(hDlg, IDC_APP_PATH, L"\\windows\\other.exe");
        SetDlgItemTextW(hDlg, IDC_PASS_EDIT, L"newpw");
        int paints = g_ownerPaints;
        Click(hDlg, IDCANCEL);
        EXPECT_EQ(paints, g_ownerPaints) << "this road does not repaint the owner";
    });
    EXPECT_EQ(1, run.result);
    EXPECT_EQ(L"newpw", StoredText(L"Pass", 22));
    EXPECT_EQ(27u, StoredDword(L"nTimeout"));
    EXPECT_EQ(1u, StoredDword(L"PassEnable"));
    EXPECT_EQ(std::wstring(kStoredPath), StoredText(L"AppPass", 200));
    EXPECT_EQ(1u, StoredDword(L"AppEnable"));
    EXPECT_EQ((DWORD)SIPF_OFF, Panel().fdwFlags);
}

// ---- the timeout stepper -------------------------------------------------------------

TEST_F(SettingsDialog, ArrowsStepBetweenTenAndSixtyAndAlwaysRedraw)
{
    struct Case {
        DWORD stored;
        int arrow;
        DWORD after;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {60, IDC_TIMEOUT_UP, 60, L"60"},
        {59, IDC_TIMEOUT_UP, 60, L"60"},
        {10, IDC_TIMEOUT_DOWN, 10, L"10"},
        {11, IDC_TIMEOUT_DOWN, 10, L"10"},
        {5, IDC_TIMEOUT_UP, 6, L"6"},
        {5, IDC_TIMEOUT_DOWN, 5, L"5"},
        {75, IDC_TIMEOUT_UP, 75, L"75"},
        {75, IDC_TIMEOUT_DOWN, 74, L"74"},
        // The top bit set: far above 60 as an unsigned number.
        {0x80000000u, IDC_TIMEOUT_UP, 0x80000000u, L"-2147483648"},
        {0x80000000u, IDC_TIMEOUT_DOWN, 0x7FFFFFFFu, L"2147483647"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored " << c.stored << ", arrow " << c.arrow);
        Store(L"", 0, c.stored, kStoredPath, 1);
        Run([&](HWND hDlg) {
            Unlock(hDlg);
            SetDlgItemTextW(hDlg, IDC_TIMEOUT_VALUE, L"?");
            Click(hDlg, c.arrow);
            EXPECT_EQ(c.after, Settings.nTimeout);
            EXPECT_EQ(std::wstring(c.shown), ItemText(hDlg, IDC_TIMEOUT_VALUE));
        });
    }
    EXPECT_EQ(0x80000000u, StoredDword(L"nTimeout")) << "the arrows alone store nothing";

    Store(L"", 0, 10, kStoredPath, 1);
    Run([](HWND hDlg) {
        Unlock(hDlg);
        for (int i = 0; i < 60; i++)
            Click(hDlg, IDC_TIMEOUT_UP);
        EXPECT_EQ(60u, Settings.nTimeout);
        for (int i = 0; i < 60; i++)
            Click(hDlg, IDC_TIMEOUT_DOWN);
        EXPECT_EQ(10u, Settings.nTimeout);
    });
}

TEST_F(SettingsDialog, ArrowCommandsDoNothingBeforeUnlocking)
{
    Run([](HWND hDlg) {
        SetDlgItemTextW(hDlg, IDC_TIMEOUT_VALUE, L"?");
        Command(hDlg, IDC_TIMEOUT_UP);
        Command(hDlg, IDC_TIMEOUT_DOWN);
        TapCorner(hDlg, kTopLeft);
        TapCorner(hDlg, kBottomLeft);
        Command(hDlg, IDC_TIMEOUT_DOWN);
        Command(hDlg, IDC_TIMEOUT_DOWN);
        EXPECT_EQ(25u, Settings.nTimeout);
        EXPECT_EQ(L"?", ItemText(hDlg, IDC_TIMEOUT_VALUE));
    });
}

// ---- the check boxes --------------------------------------------------------------------

TEST_F(SettingsDialog, PasswordBoxEmptiesAndDisablesTheField)
{
    DialogRun run = Run([](HWND hDlg) {
        Unlock(hDlg);
        ASSERT_EQ(L"pw1234", ItemText(hDlg, IDC_PASS_EDIT));
        Click(hDlg, IDC_PASS_ENABLE);
        EXPECT_FALSE(Ticked(hDlg, IDC_PASS_ENABLE));
        EXPECT_EQ(L"", ItemText(hDlg, IDC_PASS_EDIT));
        EXPECT_FALSE(Enabled(hDlg, IDC_PASS_EDIT));
        Click(hDlg, IDC_PASS_ENABLE);
        EXPECT_TRUE(Enabled(hDlg, IDC_PASS_EDIT));
        EXPECT_EQ(GetDlgItem(hDlg, IDC_PASS_EDIT), GetFocus());
        EXPECT_EQ(L"", ItemText(hDlg, IDC_PASS_EDIT)) << "the old password does not come back";
        EXPECT_EQ(1u, Settings.PassEnable) << "the box alone leaves the record";
        EXPECT_STREQ(L"pw1234", Settings.Pass);
        Click(hDlg, IDC_PASS_ENABLE);
        Command(hDlg, IDOK);
    });
    EXPECT_EQ(0, run.result);
    EXPECT_EQ(L"", StoredText(L"Pass", 22));
    EXPECT_EQ(0u, StoredDword(L"PassEnable"));
}

TEST_F(SettingsDialog, ApplicationBoxRefusesAnEmptyPath)
{
    HWND dialog = NULL;
    DialogRun run = Run([&](HWND hDlg) {
        dialog = hDlg;
        Unlock(hDlg);
        ASSERT_TRUE(Enabled(hDlg, IDC_APP_PATH));
        SetDlgItemTextW(hDlg, IDC_APP_PATH, L"");
        Click(hDlg, IDC_APP_ENABLE);
        EXPECT_FALSE(Ticked(hDlg, IDC_APP_ENABLE)) << "the box keeps what the tap gave it";
        EXPECT_EQ(std::wstring(kStoredPath), ItemText(hDlg, IDC_APP_PATH));
        EXPECT_FALSE(Enabled(hDlg, IDC_APP_PATH));

        SetDlgItemTextW(hDlg, IDC_APP_PATH, L"");
        Click(hDlg, IDC_APP_ENABLE);
        EXPECT_TRUE(Ticked(hDlg, IDC_APP_ENABLE));
        EXPECT_EQ(std::wstring(kStoredPath), ItemText(hDlg, IDC_APP_PATH));
        EXPECT_FALSE(Enabled(hDlg, IDC_APP_PATH));

        Click(hDlg, IDC_APP_ENABLE);
        EXPECT_FALSE(Enabled(hDlg, IDC_APP_PATH));
        Click(hDlg, IDC_APP_ENABLE);
        EXPECT_TRUE(Enabled(hDlg, IDC_APP_PATH));
        EXPECT_EQ(GetDlgItem(hDlg, IDC_APP_PATH), GetFocus());
        EXPECT_EQ(1u, Settings.AppEnable);
    });
    ASSERT_EQ(2u, run.boxes.size());
    for (const SeenMessageBox& box : run.boxes) {
        EXPECT_EQ(L"アプリのパスが空白です。", box.text);
        EXPECT_EQ(L"ERR", box.caption);
        EXPECT_EQ(dialog, box.owner);
    }
}

// ---- the arrow faces ------------------------------------------------------------------

// The face as stored in the resources, read without GDI's help.
std::vector<COLORREF> StoredFace(int id)
{
    std::vector<COLORREF> px;
    HRSRC hRes = FindResourceW(g_hInstance, MAKEINTRESOURCEW(id), (LPCWSTR)RT_BITMAP);
    if (!hRes)
        return px;
    const BITMAPINFOHEADER* bih =
        (const BITMAPINFOHEADER*)LockResource(LoadResource(g_hInstance, hRes));
    EXPECT_EQ(32, bih->biWidth);
    EXPECT_EQ(32, bih->biHeight);
    EXPECT_EQ(4, bih->biBitCount);
    EXPECT_EQ((DWORD)BI_RGB, bih->biCompression);
    DWORD colours = bih->biClrUsed;
    EXPECT_TRUE(colours >= 1 && colours <= 16) << colours;
    const RGBQUAD* pal = (const RGBQUAD*)((const BYTE*)bih + bih->biSize);
    const BYTE* bits = (const BYTE*)(pal + colours);
    std::vector<bool> used(colours, false);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) {
            BYTE b = bits[(31 - y) * 16 + x / 2];
            DWORD i = x % 2 ? b & 0xF : b >> 4;
            if (i >= colours) {
                ADD_FAILURE() << "pixel beyond the palette in bitmap " << id;
                i = 0;
            }
            used[i] = true;
            px.push_back(RGB(pal[i].rgbRed, pal[i].rgbGreen, pal[i].rgbBlue));
        }
    for (DWORD i = 0; i < colours; i++)
        EXPECT_TRUE(used[i]) << "unused palette entry " << i << " in bitmap " << id;
    return px;
}

// A 40 x 40 canvas filled with a colour no face uses.
struct Canvas {
    static constexpr int kSide = 40;
    static constexpr COLORREF kBlank = RGB(255, 0, 255);
    HDC dc = NULL;
    HBITMAP bmp = NULL;
    HGDIOBJ old = NULL;
    DWORD* bits = nullptr;
    Canvas()
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = kSide;
        bi.bmiHeader.biHeight = -kSide;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(NULL);
        bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, (void**)&bits, NULL, 0);
        old = SelectObject(dc, bmp);
        Clear();
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    void Clear()
    {
        GdiFlush();
        for (int i = 0; i < kSide * kSide; i++)
            bits[i] = 0x00FF00FF;
    }
    COLORREF At(int x, int y)
    {
        GdiFlush();
        DWORD v = bits[y * kSide + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
};

void SendDrawItem(HWND hDlg, int id, UINT state, HDC dc)
{
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = id;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = GetDlgItem(hDlg, id);
    dis.hDC = dc;
    SetRect(&dis.rcItem, 0, 0, Canvas::kSide, Canvas::kSide);
    SendMessageW(hDlg, WM_DRAWITEM, id, (LPARAM)&dis);
}

TEST_F(SettingsDialog, EachStateDrawsItsFaceInTheTopLeft32Pixels)
{
    struct Case {
        int control;
        UINT state;
        int face;
    };
    const Case cases[] = {
        {IDC_TIMEOUT_UP, 0, IDB_UP_NORMAL},
        {IDC_TIMEOUT_UP, ODS_FOCUS, IDB_UP_NORMAL},
        {IDC_TIMEOUT_UP, ODS_SELECTED, IDB_UP_PRESSED},
        {IDC_TIMEOUT_UP, ODS_SELECTED | ODS_DISABLED | ODS_FOCUS, IDB_UP_PRESSED},
        {IDC_TIMEOUT_UP, ODS_DISABLED, IDB_UP_DISABLED},
        {IDC_TIMEOUT_DOWN, 0, IDB_DOWN_NORMAL},
        {IDC_TIMEOUT_DOWN, ODS_FOCUS, IDB_DOWN_NORMAL},
        {IDC_TIMEOUT_DOWN, ODS_SELECTED, IDB_DOWN_PRESSED},
        {IDC_TIMEOUT_DOWN, ODS_SELECTED | ODS_DISABLED, IDB_DOWN_PRESSED},
        {IDC_TIMEOUT_DOWN, ODS_DISABLED | ODS_FOCUS, IDB_DOWN_DISABLED},
    };
    // The focus faces exist but are never chosen.
    for (int id : {IDB_DOWN_FOCUS, IDB_UP_FOCUS})
        EXPECT_EQ(32u * 32u, StoredFace(id).size());
    Run([&](HWND hDlg) {
        Canvas canvas;
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "control " << c.control << ", state " << c.state);
            std::vector<COLORREF> want = StoredFace(c.face);
            ASSERT_EQ(32u * 32u, want.size());
            canvas.Clear();
            SendDrawItem(hDlg, c.control, c.state, canvas.dc);
            int wrong = 0, outside = 0;
            for (int y = 0; y < Canvas::kSide; y++)
                for (int x = 0; x < Canvas::kSide; x++) {
                    COLORREF got = canvas.At(x, y);
                    if (x < 32 && y < 32)
                        wrong += got != want[y * 32 + x];
                    else
                        outside += got != Canvas::kBlank;
                }
            EXPECT_EQ(0, wrong);
            EXPECT_EQ(0, outside);
        }
        canvas.Clear();
        SendDrawItem(hDlg, IDOK, 0, canvas.dc);
        EXPECT_EQ(Canvas::kBlank, canvas.At(5, 5)) << "other controls are not drawn";
    });
}

// GDI objects alive in the process. Wine leaves GetGuiResources at zero;
// there a handle whose high word is 0 names the table entry of its low
// word whatever its generation, so the table can be walked.
DWORD CountGdiObjects()
{
    DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (n)
        return n;
    for (ULONG_PTR h = 1; h <= 0xFFFF; h++)
        n += GetObjectType((HGDIOBJ)h) != 0;
    return n;
}

TEST_F(SettingsDialog, ThousandsOfDrawingsLeaveNoGdiObjectBehind)
{
    Run([](HWND hDlg) {
        Canvas canvas;
        // The count must see a leak for its silence to mean anything.
        DWORD base = CountGdiObjects();
        HBITMAP probe[3];
        for (HBITMAP& b : probe)
            b = CreateCompatibleBitmap(canvas.dc, 4, 4);
        ASSERT_EQ(base + 3, CountGdiObjects());
        for (HBITMAP b : probe)
            DeleteObject(b);
        ASSERT_EQ(base, CountGdiObjects());

        const UINT states[] = {0, ODS_SELECTED, ODS_DISABLED, ODS_FOCUS};
        for (int i = 0; i < 4000; i++)
            SendDrawItem(hDlg, i % 2 ? IDC_TIMEOUT_UP : IDC_TIMEOUT_DOWN, states[i % 4],
                         canvas.dc);
        EXPECT_EQ(base, CountGdiObjects());
    });
}

// ---- resume -------------------------------------------------------------------------------

TEST_F(SettingsDialog, ResumeClosesWithoutSaving)
{
    std::vector<StoredValue> stored = StoredRecord();
    bool openAfterSuspend = false;
    DialogRun run = Run([&](HWND hDlg) {
        Unlock(hDlg);
        Click(hDlg, IDC_TIMEOUT_UP);
        Click(hDlg, IDC_TIMEOUT_UP);
        SetDlgItemTextW(hDlg, IDC_PASS_EDIT, L"typed");
        SetDlgItemTextW(hDlg, IDC_APP_PATH, L"");
        SendMessageW(hDlg, WM_POWERBROADCAST, 4, 0);
        openAfterSuspend = IsWindowVisible(hDlg) != FALSE;
        SendMessageW(hDlg, WM_POWERBROADCAST, 7, 0);
    });
    EXPECT_TRUE(openAfterSuspend) << "only the resume closes the dialog";
    EXPECT_EQ(0, run.result);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_TRUE(stored == StoredRecord());
    EXPECT_EQ(27u, Settings.nTimeout) << "the arrows' change stays in the record";
    EXPECT_STREQ(L"pw1234", Settings.Pass);
    EXPECT_STREQ(kStoredPath, Settings.AppPass);
    EXPECT_EQ((DWORD)SIPF_ON, Panel().fdwFlags) << "the panel is left alone";
}

}  // namespace
