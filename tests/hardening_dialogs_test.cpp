// Trying to break the two dialogs: the lock screen in each state against
// every way out a user has without the password, and both dialogs run over
// and over with the platform's object counts taken before and after.
#include <gtest/gtest.h>

#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "lock/lockdlg.h"
#include "resource.h"
#include "settings/settings.h"
#include "settingsui/settingsdlg.h"
#include "shell/shell.h"
#include "support/dialog_driver.h"
#include "support/fake_network.h"
#include "support/gui_objects.h"
#include "support/scratch_registry.h"

namespace {

const wchar_t kPass[] = L"Secret12";
const std::wstring kWrongPassword = L"パスワードが不正です。";
const std::wstring kPreparing = L"無線LAN起動準備中";
const wchar_t kMissingExe[] = L"C:\\windows\\no-such-program.exe";
const int kWrongPasswords = 1000;

enum State { kWaiting, kPasswordWanted, kTimedOut };
const char* const kStateNames[] = {"waiting", "password wanted", "timed out"};

// What the modal loop does with what it takes from the queue.
void PumpDialog(HWND h)
{
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (IsWindow(h) && IsDialogMessageW(h, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Retype(HWND h, const std::wstring& text)
{
    HWND edit = GetDlgItem(h, IDC_LOCK_PASSWORD);
    SetWindowTextW(edit, L"");
    for (wchar_t c : text)
        SendMessageW(edit, WM_CHAR, c, 1);
}

void PostKey(HWND to, UINT msg, WPARAM key, LPARAM flags = 0)
{
    PostMessageW(to, msg, key, flags | 1);
    PostMessageW(to, msg == WM_KEYDOWN ? WM_KEYUP : WM_SYSKEYUP, key, flags | 0xC0000001);
}

// A tap at a screen point, delivered to whatever visible window lies there.
void Tap(HWND h, POINT screen)
{
    POINT pt = screen;
    ScreenToClient(h, &pt);
    HWND target = ChildWindowFromPointEx(h, pt, CWP_SKIPINVISIBLE);
    if (!target)
        target = h;
    POINT local = screen;
    ScreenToClient(target, &local);
    LPARAM lp = MAKELPARAM(local.x, local.y);
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, lp);
    PostMessageW(target, WM_LBUTTONUP, 0, lp);
}

void EnterState(HWND h, State s)
{
    if (s == kPasswordWanted) {
        SetNetworkUsable(true);
        SendMessageW(h, WM_TIMER, TIMER_POLL, 0);
    } else if (s == kTimedOut) {
        SendMessageW(h, WM_TIMER, TIMER_TIMEOUT, 0);
    }
}

// Passwords a user might try: near misses first, then random ones.
std::vector<std::wstring> WrongPasswords(int count)
{
    std::vector<std::wstring> out = {L"", L"secret12", L"SECRET12", L"Secret1", L"Secret123",
                                     L"Secret12 ", L" Secret12", L"Secret13", L"ecret12",
                                     L"Secret\u00B912", L"Ｓecret12", L"Secret1_2"};
    std::mt19937 rng(0x10CC);
    const wchar_t alphabet[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
    while ((int)out.size() < count) {
        std::wstring s;
        int len = 1 + (int)(rng() % 12);    // past the 10-character limit too
        for (int i = 0; i < len; i++)
            s += alphabet[rng() % (sizeof(alphabet) / sizeof(wchar_t) - 1)];
        // What the edit keeps of it is what counts; that must never be the password.
        if (s.substr(0, 10) != kPass)
            out.push_back(s);
    }
    return out;
}

class HardeningLock : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettingsRecord();
        Settings.nTimeout = 3600;       // the real timeout never falls due here
        Settings.PassEnable = 1;
        Settings.AppEnable = 1;
        wcscpy(Settings.Pass, kPass);
        wcscpy(LaunchPath, kMissingExe);
        g_bLaunched = 0;
        g_nStarCount = 0;
        ZeroMemory(g_szStars, sizeof(g_szStars));
        InstallFakeNetwork();
        SetNetworkUsable(false);
    }
    void TearDown() override
    {
        RemoveFakeNetwork();
        ClearSettingsRecord();
    }
};

TEST_F(HardeningLock, NoWayOutWithoutThePasswordInAnyState)
{
    const std::wstring typed = L"guess";
    int attempts = 0, escaped = 0;
    for (State state : {kWaiting, kPasswordWanted, kTimedOut}) {
        SCOPED_TRACE(kStateNames[state]);
        SetUp();
        int before = attempts;
        std::wstring statusBeforeTries;
        DialogRun run = RunDialog(IDD_LOCK, LockDlgProc, [&](HWND h) {
            EnterState(h, state);
            statusBeforeTries = ItemText(h, IDC_LOCK_STATUS);
            Retype(h, typed);
            // After each try: open, on top over the whole screen, the typed
            // text as it was, nothing launched.
            auto stays = [&](const char* how) {
                PumpDialog(h);
                attempts++;
                RECT rc = {};
                GetWindowRect(h, &rc);
                bool ok = IsWindow(h) && IsWindowVisible(h) && g_bLaunched == 0 &&
                          ItemText(h, IDC_LOCK_PASSWORD) == typed && rc.left == 0 && rc.top == 0 &&
                          rc.right == GetSystemMetrics(SM_CXSCREEN) &&
                          rc.bottom == GetSystemMetrics(SM_CYSCREEN) &&
                          (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
                if (!ok) {
                    escaped++;
                    ADD_FAILURE() << "got out by " << how;
                }
                return ok;
            };
            HWND edit = GetDlgItem(h, IDC_LOCK_PASSWORD);
            SetFocus(edit);
            PostKey(edit, WM_KEYDOWN, VK_ESCAPE);
            if (!stays("Escape on the password field")) return;
            PostKey(h, WM_KEYDOWN, VK_ESCAPE);
            if (!stays("Escape on the dialog")) return;
            PostKey(edit, WM_KEYDOWN, VK_RETURN);
            if (!stays("Enter with a wrong password")) return;
            PostKey(edit, WM_SYSKEYDOWN, VK_F4, 1 << 29);
            if (!stays("Alt+F4 on the password field")) return;
            PostKey(h, WM_SYSKEYDOWN, VK_F4, 1 << 29);
            if (!stays("Alt+F4 on the dialog")) return;
            PostMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
            if (!stays("the close system command")) return;
            SendMessageW(h, WM_CLOSE, 0, 0);
            if (!stays("WM_CLOSE")) return;
            SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            if (!stays("IDCANCEL")) return;
            // Every other command a control could send, and every
            // notification code on the Close button's id.
            for (UINT id = 0; id <= 1100; id++)
                if (id != IDOK)
                    SendMessageW(h, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
            if (!stays("commands 0 to 1100")) return;
            // Taps all over the screen, the Close button included where shown.
            int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
            for (int y = 2; y < cy; y += 9) {
                for (int x = 2; x < cx; x += 9)
                    Tap(h, POINT{x, y});
                // The edit keeps focus taps may move; what was typed must stay.
                if (!stays("taps")) return;
            }

            // A thousand wrong passwords, typed, each confirmed one way or another.
            std::vector<std::wstring> wrong = WrongPasswords(kWrongPasswords);
            for (size_t i = 0; i < wrong.size(); i++) {
                Retype(h, wrong[i]);
                std::wstring kept = ItemText(h, IDC_LOCK_PASSWORD);
                ASSERT_NE(kPass, kept) << "the edit turned a wrong try into the password";
                SetDlgItemTextW(h, IDC_LOCK_STATUS, L"-");
                switch (i % 3) {
                case 0:
                    SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                 (LPARAM)GetDlgItem(h, IDOK));
                    break;
                case 1:
                    PostKey(edit, WM_KEYDOWN, VK_RETURN);
                    break;
                default:
                    SendMessageW(GetDlgItem(h, IDOK), BM_CLICK, 0, 0);
                    break;
                }
                PumpDialog(h);
                attempts++;
                // While waiting, a real poll tick may have had the last word.
                std::wstring status = ItemText(h, IDC_LOCK_STATUS);
                bool ok = IsWindow(h) && IsWindowVisible(h) && g_bLaunched == 0 &&
                          ItemText(h, IDC_LOCK_PASSWORD) == kept && kept.size() <= 10 &&
                          (status == kWrongPassword || (state == kWaiting && status == kPreparing));
                if (!ok) {
                    escaped++;
                    ADD_FAILURE() << "wrong password " << i << " \"" << wrong[i] << "\"";
                    return;
                }
            }
            // The state is still the one it was in: the timers of waiting
            // run on, the other two have none.
            EXPECT_EQ(state == kWaiting, KillTimer(h, TIMER_POLL) != 0);
            EXPECT_EQ(state == kWaiting, KillTimer(h, TIMER_TIMEOUT) != 0);
            EXPECT_EQ(state != kWaiting, ItemShown(h, IDOK));

            // And the password still opens it.
            Retype(h, kPass);
            SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            EXPECT_FALSE(IsWindow(h) && IsWindowVisible(h));
        });
        EXPECT_EQ(0, run.result) << "closed by the right password at last";
        EXPECT_EQ(1u, g_bLaunched);
        EXPECT_NE(kWrongPassword, statusBeforeTries);
        std::cout << "[ hardening ] lock screen, " << kStateNames[state] << ": "
                  << attempts - before << " ways out tried" << std::endl;
    }
    std::cout << "[ hardening ] lock screen: " << attempts << " attempts without the password, "
              << escaped << " got out" << std::endl;
    RecordProperty("attempts", attempts);
    EXPECT_EQ(0, escaped);
    EXPECT_GT(attempts, 3 * kWrongPasswords);
}

}  // namespace

namespace {

const int kDrawItems = 10000;
const int kLockScreens = 1000;
// Wine's own caches may settle a little; a leak of even 16 bytes per round
// would show as many times this.
const long long kHeapSlack = 4096;

void ExpectNothingLeft(const GuiObjects& before, const GuiObjects& after, const char* what)
{
    std::cout << "[ hardening ] " << what << ": before " << Describe(before) << "; after "
              << Describe(after) << std::endl;
    ASSERT_GE(before.gdi, 0) << "the GDI handle table cannot be read";
    ASSERT_GE(before.heap, 0) << "the heap cannot be walked";
    EXPECT_EQ(before.gdi, after.gdi) << what << ": GDI objects left behind ("
                                     << Describe(before, after) << ")";
    EXPECT_EQ(before.user, after.user) << what << ": windows left behind";
    EXPECT_EQ(before.gdiReported, after.gdiReported);
    EXPECT_EQ(before.userReported, after.userReported);
    EXPECT_LT(after.heap - before.heap, kHeapSlack) << what << ": heap grew";
}

TEST(HardeningCounts, CountersSeeWhatIsLeftBehind)
{
    // While a thread has windows the platform keeps an input-method window
    // beside them; one window held throughout keeps that count steady.
    HWND holder = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    GuiObjects before = CountGuiObjects();
    ASSERT_GE(before.gdi, 0);
    HBRUSH brushes[3];
    for (HBRUSH& b : brushes)
        b = CreateSolidBrush(RGB(1, 2, 3));
    HDC dc = CreateCompatibleDC(NULL);
    HWND w = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    void* block = HeapAlloc(GetProcessHeap(), 0, 100000);
    GuiObjects during = CountGuiObjects();
    EXPECT_LE(before.gdi + 4, during.gdi);
    EXPECT_EQ(before.user + 1, during.user);
    EXPECT_LE(before.heap + 100000, during.heap);
    HeapFree(GetProcessHeap(), 0, block);
    DestroyWindow(w);
    DeleteDC(dc);
    for (HBRUSH b : brushes)
        DeleteObject(b);
    GuiObjects after = CountGuiObjects();
    EXPECT_EQ(before.user, after.user);
    EXPECT_EQ(during.gdi - 4, after.gdi);
    DestroyWindow(holder);
}

class HardeningSettingsDialog : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettingsRecord();
        Settings.nTimeout = 30;
        wcscpy(Settings.AppPass, L"\\windows\\iesample.exe");
    }
    void TearDown() override { ClearSettingsRecord(); }
};

TEST_F(HardeningSettingsDialog, TenThousandArrowDrawingsLeaveNothingBehind)
{
    const UINT states[] = {0, ODS_SELECTED, ODS_DISABLED, ODS_FOCUS, ODS_SELECTED | ODS_DISABLED,
                           ODS_DISABLED | ODS_FOCUS};
    const int ids[] = {IDC_TIMEOUT_UP, IDC_TIMEOUT_DOWN, IDC_TIMEOUT_UP, IDC_TIMEOUT_DOWN,
                       IDC_APP_PATH};
    int draws = 0, notTrue = 0;
    GuiObjects before, after;
    DialogRun run = RunDialog(IDD_SETTINGS, SettingsDlgProc, [&](HWND h) {
        auto draw = [&](int n) {
            int id = ids[n % 5];
            HWND item = GetDlgItem(h, id);
            HDC dc = GetDC(item);
            DRAWITEMSTRUCT dis = {};
            dis.CtlType = ODT_BUTTON;
            dis.CtlID = id;
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = states[n % 6];
            dis.hwndItem = item;
            dis.hDC = dc;
            GetClientRect(item, &dis.rcItem);
            // Through the dialog manager mostly; straight to the procedure
            // now and then, to see the TRUE it returns.
            if (n % 10 == 0)
                notTrue += SettingsDlgProc(h, WM_DRAWITEM, id, (LPARAM)&dis) != TRUE;
            else
                SendMessageW(h, WM_DRAWITEM, id, (LPARAM)&dis);
            ReleaseDC(item, dc);
        };
        for (int n = 0; n < 60; n++)
            draw(n);
        before = CountGuiObjects();
        for (int n = 0; n < kDrawItems; n++, draws++)
            draw(n);
        after = CountGuiObjects();
    });
    EXPECT_EQ(kStillOpen, run.result);
    std::cout << "[ hardening ] settings dialog: " << draws << " WM_DRAWITEM" << std::endl;
    RecordProperty("attempts", draws);
    EXPECT_EQ(kDrawItems, draws);
    EXPECT_EQ(0, notTrue);
    ExpectNothingLeft(before, after, "WM_DRAWITEM");
}

// Opens the lock screen over and over through the program's opener; each
// one is painted once and then closed by one of the ways it closes: by a
// resume, by a poll that finds the network, by its Close button.
struct LockRounds {
    HWND dlg = NULL;
    int round = 0;
    HHOOK cbt = NULL, getMessage = NULL;
};
LockRounds* g_rounds;
const UINT kMarker = WM_APP + 0x4B1;

LRESULT CALLBACK RoundsCbt(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && g_rounds) {
        WCHAR cls[16];
        HWND h = (HWND)wParam;
        if (GetClassNameW(h, cls, 16) && wcscmp(cls, L"#32770") == 0) {
            g_rounds->dlg = h;
            PostMessageW(h, kMarker, 0, 0);     // handled once the modal loop runs
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

LRESULT CALLBACK RoundsGetMessage(int code, WPARAM wParam, LPARAM lParam)
{
    MSG* msg = (MSG*)lParam;
    if (code == HC_ACTION && wParam == PM_REMOVE && g_rounds && msg->message == kMarker &&
        msg->hwnd == g_rounds->dlg) {
        msg->message = WM_NULL;
        HWND h = g_rounds->dlg;
        UpdateWindow(h);
        switch (g_rounds->round % 3) {
        case 0:
            PostMessageW(h, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
            break;
        case 1:
            SetNetworkUsable(true);
            PostMessageW(h, WM_TIMER, TIMER_POLL, 0);
            break;
        default:
            PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            break;
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

TEST_F(HardeningLock, ThousandLockScreensOpenedAndClosedLeaveNothingBehind)
{
    Settings.Pass[0] = 0;
    Settings.AppEnable = 0;
    LockRounds rounds;
    g_rounds = &rounds;
    rounds.cbt = SetWindowsHookExW(WH_CBT, RoundsCbt, NULL, GetCurrentThreadId());
    rounds.getMessage = SetWindowsHookExW(WH_GETMESSAGE, RoundsGetMessage, NULL,
                                          GetCurrentThreadId());
    int opened = 0, closedWithZero = 0;
    GuiObjects before;
    for (int n = -10; n < kLockScreens; n++) {
        if (n == 0) {
            PumpMessages();
            before = CountGuiObjects();
        }
        rounds.round = n + 10;
        rounds.dlg = NULL;
        SetNetworkUsable(false);
        INT_PTR result = OpenDialog(NULL, IDD_LOCK, LockDlgProc);
        if (n < 0)
            continue;
        opened += rounds.dlg != NULL;
        closedWithZero += result == 0 && !IsWindow(rounds.dlg);
    }
    PumpMessages();
    GuiObjects after = CountGuiObjects();
    UnhookWindowsHookEx(rounds.getMessage);
    UnhookWindowsHookEx(rounds.cbt);
    g_rounds = nullptr;

    std::cout << "[ hardening ] lock screen: " << opened << " opened, " << closedWithZero
              << " closed with 0" << std::endl;
    RecordProperty("attempts", opened);
    EXPECT_EQ(kLockScreens, opened);
    EXPECT_EQ(kLockScreens, closedWithZero);
    EXPECT_EQ(0u, g_bLaunched);
    ExpectNothingLeft(before, after, "lock screens");
}

}  // namespace
