// The lock screen from its real template with its real procedure, driven
// by real messages; timers are ticked by sending WM_TIMER with their ids.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lock/lockdlg.h"
#include "platform/sip.h"
#include "resource.h"
#include "settings/settings.h"
#include "support/dialog_driver.h"
#include "support/fake_network.h"
#include "support/launch_marker_watch.h"
#include "support/scratch_registry.h"

namespace {

const std::wstring kPreparing = L"無線LAN起動準備中";
const std::wstring kNotUsable = L"無線LANが使用可能な状態になっていません。";
const std::wstring kEnterPassword = L"パスワードを正しく入力してください。";
const std::wstring kHint = L"Fn + 0 でキーボード表示";
const std::wstring kWrongPassword = L"パスワードが不正です。";
const COLORREF kBlue = RGB(58, 62, 162);
const wchar_t kMissingExe[] = L"C:\\windows\\no-such-program.exe";

enum State { kWaiting, kPasswordWanted, kTimedOut };
const char* const kStateNames[] = {"waiting", "password wanted", "timed out"};

void Tick(HWND h, WPARAM id) { SendMessageW(h, WM_TIMER, id, 0); }

void Type(HWND h, const wchar_t* text)
{
    HWND edit = GetDlgItem(h, IDC_LOCK_PASSWORD);
    for (; *text; text++)
        SendMessageW(edit, WM_CHAR, *text, 1);
}

void PressClose(HWND h)
{
    SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(h, IDOK));
}

void Resume(HWND h) { SendMessageW(h, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0); }

bool Open(HWND h) { return IsWindow(h) && IsWindowVisible(h); }

// Whether the timer was running; it is stopped by asking.
bool StopTimer(HWND h, UINT_PTR id) { return KillTimer(h, id) != 0; }

DWORD PanelFlags()
{
    SIPINFO si = {};
    si.cbSize = sizeof(si);
    SipGetInfo(&si);
    return si.fdwFlags;
}

void ShowPanel()
{
    ShowSoftInputPanel(0, 210);
    ASSERT_EQ((DWORD)SIPF_ON, PanelFlags());
}

std::wstring Stars(int n) { return std::wstring(n, L'\x2605'); }

void EnterState(HWND h, State s)
{
    if (s == kPasswordWanted) {
        SetNetworkUsable(true);
        Tick(h, TIMER_POLL);
    } else if (s == kTimedOut) {
        Tick(h, TIMER_TIMEOUT);
    }
}

class LockScreen : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettingsRecord();
        Settings.nTimeout = 3600;       // no real timeout within a test
        Settings.PassEnable = 1;
        g_bLaunched = 0;
        g_nStarCount = 0;
        ZeroMemory(g_szStars, sizeof(g_szStars));
        InstallFakeNetwork();
        SetNetworkUsable(false);
        ShowPanel();
    }
    void TearDown() override { RemoveFakeNetwork(); }

    static void LaunchHelperWhenDone()
    {
        Settings.AppEnable = 1;
        wcscpy(LaunchPath, HelperExePath(L"launch_marker.exe").c_str());
        UseFreshMarkerFile();
    }
};

TEST_F(LockScreen, OpensFullScreenTopMostWithTimersAndLimits)
{
    DialogRun run = RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        RECT rc;
        GetWindowRect(h, &rc);
        EXPECT_EQ(0, rc.left);
        EXPECT_EQ(0, rc.top);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), rc.right);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), rc.bottom);
        EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_FALSE(ItemShown(h, IDC_LOCK_WARNING));
        EXPECT_FALSE(ItemShown(h, IDOK));
        EXPECT_TRUE(ItemShown(h, IDC_LOCK_PASSWORD));
        EXPECT_TRUE(ItemShown(h, IDC_LOCK_PASS_LABEL));
        EXPECT_EQ(L"", ItemText(h, IDC_LOCK_STATUS));
        EXPECT_EQ(L"", ItemText(h, IDC_LOCK_PROGRESS));
        EXPECT_EQ(GetDlgItem(h, IDC_LOCK_PASSWORD), GetFocus());
        EXPECT_EQ((UINT_PTR)TIMER_TIMEOUT, g_uTimerTimeout);
        EXPECT_EQ((UINT_PTR)TIMER_POLL, g_uTimerPoll);

        Type(h, L"abcdefghijkl");
        EXPECT_EQ(L"abcdefghij", ItemText(h, IDC_LOCK_PASSWORD));

        // Every tick takes the whole screen back, above everything.
        SetWindowPos(h, HWND_NOTOPMOST, 20, 30, 100, 80, 0);
        Tick(h, TIMER_POLL);
        GetWindowRect(h, &rc);
        EXPECT_EQ(0, rc.left);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), rc.bottom);
        EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);

        // Escape, a close request and other commands leave it open.
        SendMessageW(h, WM_COMMAND, IDCANCEL, 0);
        SendMessageW(h, WM_CLOSE, 0, 0);
        SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDC_LOCK_PASSWORD, EN_CHANGE), 0);
        EXPECT_TRUE(Open(h));
    });
    EXPECT_EQ(kStillOpen, run.result);
}

TEST_F(LockScreen, PassEnableOnlyDecidesVisibility)
{
    // Hidden field, password set: still asked, and typed blind it counts.
    Settings.PassEnable = 0;
    wcscpy(Settings.Pass, L"abc");
    DialogRun run = RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        EXPECT_FALSE(ItemShown(h, IDC_LOCK_PASSWORD));
        EXPECT_FALSE(ItemShown(h, IDC_LOCK_PASS_LABEL));
        EXPECT_EQ(GetDlgItem(h, IDC_LOCK_PASSWORD), GetFocus());
        EnterState(h, kPasswordWanted);
        EXPECT_EQ(kEnterPassword, ItemText(h, IDC_LOCK_STATUS));
        EXPECT_FALSE(ItemShown(h, IDC_LOCK_PASSWORD));
        Type(h, L"abc");
        PressClose(h);
    });
    EXPECT_EQ(0, run.result);

    // Field shown, no password: nothing is asked.
    Settings.PassEnable = 1;
    Settings.Pass[0] = 0;
    SetNetworkUsable(false);
    run = RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        EXPECT_TRUE(ItemShown(h, IDC_LOCK_PASSWORD));
        SetNetworkUsable(true);
        Tick(h, TIMER_POLL);
        EXPECT_FALSE(Open(h));
    });
    EXPECT_EQ(0, run.result);
}

TEST_F(LockScreen, StarsCountEveryTickFromNoneToSixThenNone)
{
    wcscpy(g_szStars, Stars(5).c_str());    // left over from an earlier lock screen
    g_nStarCount = 5;
    RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        const int expected[] = {0, 1, 2, 3, 4, 5, 6, 0, 1, 2, 3, 4, 5, 6, 0};
        for (int i = 0; i < 15; i++) {
            // Both timers and unknown ids count alike.
            Tick(h, i % 3 == 2 ? 77 : TIMER_POLL);
            EXPECT_EQ(Stars(expected[i]), ItemText(h, IDC_LOCK_PROGRESS)) << "tick " << i + 1;
        }
        EXPECT_EQ(10, ProbeCalls()) << "only the poll's ticks probe";
        Tick(h, TIMER_TIMEOUT);                 // the final tick counts too
        EXPECT_EQ(Stars(1), ItemText(h, IDC_LOCK_PROGRESS));
        EXPECT_EQ(kNotUsable, ItemText(h, IDC_LOCK_STATUS));
    });
    EXPECT_EQ(Stars(1), std::wstring(g_szStars)) << "the star text outlives the dialog";
    EXPECT_EQ(std::wstring(g_szStars), std::wstring(g_szProgress));
}

TEST_F(LockScreen, PollThatFindsNoNetworkKeepsWaiting)
{
    RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        for (int i = 0; i < 3; i++)
            Tick(h, TIMER_POLL);
        EXPECT_EQ(3, ProbeCalls());
        EXPECT_EQ(kPreparing, ItemText(h, IDC_LOCK_STATUS));
        EXPECT_EQ(L"", ItemText(h, IDC_LOCK_HINT));
        EXPECT_FALSE(ItemShown(h, IDOK));
        EXPECT_FALSE(ItemShown(h, IDC_LOCK_WARNING));
        EXPECT_EQ((UINT_PTR)TIMER_POLL, g_uTimerPoll);
        EXPECT_TRUE(StopTimer(h, TIMER_POLL)) << "armed again after the probe";
        EXPECT_TRUE(StopTimer(h, TIMER_TIMEOUT));
    });
}

TEST_F(LockScreen, PollThatFindsTheNetworkWithAPasswordSetAsksForIt)
{
    wcscpy(Settings.Pass, L"abc");
    DialogRun run = RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        Tick(h, TIMER_POLL);
        EnterState(h, kPasswordWanted);
        EXPECT_TRUE(Open(h));
        EXPECT_EQ(kEnterPassword, ItemText(h, IDC_LOCK_STATUS));
        EXPECT_EQ(kHint, ItemText(h, IDC_LOCK_HINT));
        EXPECT_TRUE(ItemShown(h, IDC_LOCK_WARNING));
        EXPECT_TRUE(ItemShown(h, IDOK));
        EXPECT_FALSE(StopTimer(h, TIMER_POLL));
        EXPECT_FALSE(StopTimer(h, TIMER_TIMEOUT));
    });
    EXPECT_EQ(kStillOpen, run.result);
    EXPECT_EQ((DWORD)SIPF_ON, PanelFlags());
}

TEST_F(LockScreen, TimeoutStopsPollingAndOffersClose)
{
    DialogRun run = RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        Tick(h, TIMER_POLL);
        EnterState(h, kTimedOut);
        EXPECT_EQ(kNotUsable, ItemText(h, IDC_LOCK_STATUS));
        EXPECT_TRUE(ItemShown(h, IDOK));
        EXPECT_FALSE(ItemShown(h, IDC_LOCK_WARNING));
        EXPECT_EQ(L"", ItemText(h, IDC_LOCK_HINT));
        EXPECT_FALSE(StopTimer(h, TIMER_POLL));
        EXPECT_FALSE(StopTimer(h, TIMER_TIMEOUT));
        EXPECT_EQ(1, ProbeCalls());
    });
    EXPECT_EQ(kStillOpen, run.result);
}

TEST_F(LockScreen, NetworkWithoutPasswordClosesAndStartsTheSnapshot)
{
    LaunchHelperWhenDone();
    wcscpy(Settings.AppPass, kMissingExe);  // the snapshot counts, not AppPass
    DialogRun run = RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        Tick(h, TIMER_POLL);
        EXPECT_TRUE(Open(h));
        SetNetworkUsable(true);
        Tick(h, TIMER_POLL);
        EXPECT_FALSE(Open(h));
    });
    EXPECT_EQ(0, run.result);
    EXPECT_EQ(1u, g_bLaunched);
    EXPECT_EQ(0u, PanelFlags()) << "the soft input panel is hidden";
    ASSERT_TRUE(WaitForLaunchMarkers());
    EXPECT_EQ(1, MarkerLines()) << "the helper ran";
}

TEST_F(LockScreen, PasswordTypedInAdvanceClosesWithoutLaunch)
{
    LaunchHelperWhenDone();
    wcscpy(Settings.Pass, L"abc");
    DialogRun run = RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        Type(h, L"abc");
        Tick(h, TIMER_POLL);
        EXPECT_TRUE(Open(h));
        SetNetworkUsable(true);
        Tick(h, TIMER_POLL);
    });
    EXPECT_EQ(0, run.result);
    EXPECT_EQ(0u, g_bLaunched);
    EXPECT_EQ(0u, PanelFlags());

    // Confirmed with the Close button instead, the same password launches.
    ShowPanel();
    run = RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        Tick(h, TIMER_POLL);
        Type(h, L"abc");
        PressClose(h);
    });
    EXPECT_EQ(0, run.result);
    EXPECT_EQ(1u, g_bLaunched);
    ASSERT_TRUE(WaitForLaunchMarkers());
    EXPECT_EQ(1, MarkerLines());
}

struct CloseCase {
    State state;
    const wchar_t* pass;
    const wchar_t* typed;
    bool closes;
};

TEST_F(LockScreen, CloseButtonChecksThePasswordInEveryState)
{
    const CloseCase cases[] = {
        {kWaiting, L"", L"", true},
        {kWaiting, L"", L"anything", true},
        {kWaiting, L"Secret", L"Secret", true},
        {kWaiting, L"Secret", L"secret", false},
        {kWaiting, L"Secret", L"", false},
        {kPasswordWanted, L"Secret", L"Secret", true},
        {kPasswordWanted, L"Secret", L"Secret ", false},
        {kPasswordWanted, L"Secret", L"Secre", false},
        {kTimedOut, L"", L"", true},
        {kTimedOut, L"Secret", L"Secret", true},
        {kTimedOut, L"Secret", L"SECRET", false},
        {kWaiting, L"0123456789", L"0123456789", true},
    };
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(testing::Message() << kStateNames[c.state] << ", Pass \""
                                        << std::wstring(c.pass) << "\", typed \""
                                        << std::wstring(c.typed) << "\"");
        SetUp();
        Settings.AppEnable = 1;
        wcscpy(LaunchPath, kMissingExe);
        wcscpy(Settings.Pass, c.pass);
        DialogRun run = RunDialog(IDD_LOCK, LockDlgProc, [&](HWND h) {
            EnterState(h, c.state);
            Type(h, c.typed);
            std::wstring statusBefore = ItemText(h, IDC_LOCK_STATUS);
            bool buttonBefore = ItemShown(h, IDOK);
            PressClose(h);
            EXPECT_EQ(!c.closes, Open(h));
            if (c.closes)
                return;
            EXPECT_EQ(kWrongPassword, ItemText(h, IDC_LOCK_STATUS));
            EXPECT_NE(kWrongPassword, statusBefore);
            EXPECT_EQ(std::wstring(c.typed), ItemText(h, IDC_LOCK_PASSWORD));
            EXPECT_EQ(buttonBefore, ItemShown(h, IDOK));
            EXPECT_EQ(c.state == kWaiting, StopTimer(h, TIMER_POLL));
            EXPECT_EQ(c.state == kWaiting, StopTimer(h, TIMER_TIMEOUT));
        });
        EXPECT_EQ(c.closes ? 0 : kStillOpen, run.result);
        EXPECT_EQ(c.closes ? 1u : 0u, g_bLaunched);
        EXPECT_EQ(c.closes ? 0u : (DWORD)SIPF_ON, PanelFlags());
    }
}

int g_ownerPaints;

LRESULT CALLBACK CountPaints(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    g_ownerPaints += m == WM_PAINT;
    return DefWindowProcW(w, m, wp, lp);
}

TEST_F(LockScreen, WrongPasswordMayBeCorrectedAndRepaintsTheOwner)
{
    wcscpy(Settings.Pass, L"abc");
    g_ownerPaints = 0;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CountPaints;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = L"LockOwnerProbe";
    RegisterClassW(&wc);
    HWND owner = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 NULL, NULL, wc.hInstance, NULL);
    ASSERT_NE(nullptr, owner);
    PumpMessages();
    DialogRun run = RunDialog(
        IDD_LOCK, LockDlgProc,
        [](HWND h) {
            EnterState(h, kTimedOut);
            g_ownerPaints = 0;
            Type(h, L"abd");
            PressClose(h);
            EXPECT_EQ(0, g_ownerPaints);
            EXPECT_TRUE(Open(h));
            SendMessageW(GetDlgItem(h, IDC_LOCK_PASSWORD), WM_CHAR, VK_BACK, 1);
            Type(h, L"c");
            PressClose(h);
            EXPECT_FALSE(Open(h));
            EXPECT_EQ(1, g_ownerPaints) << "the owner is painted before the lock screen goes";
        },
        owner);
    EXPECT_EQ(0, run.result);
    DestroyWindow(owner);
}

TEST_F(LockScreen, ResumeClosesInEveryStateAndLeavesTheLaunchFree)
{
    for (State s : {kWaiting, kPasswordWanted, kTimedOut}) {
        SCOPED_TRACE(kStateNames[s]);
        SetUp();
        Settings.AppEnable = 1;
        wcscpy(LaunchPath, kMissingExe);
        wcscpy(Settings.Pass, L"abc");
        DialogRun run = RunDialog(IDD_LOCK, LockDlgProc, [&](HWND h) {
            EnterState(h, s);
            Type(h, L"abc");
            SendMessageW(h, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
            SendMessageW(h, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
            EXPECT_TRUE(Open(h)) << "only a resume from suspend closes";
            Resume(h);
            EXPECT_FALSE(Open(h));
        });
        EXPECT_EQ(0, run.result);
        EXPECT_EQ(0u, g_bLaunched);
        EXPECT_EQ((DWORD)SIPF_ON, PanelFlags()) << "the panel is left alone";
    }
    // The next lock screen may still launch.
    Settings.Pass[0] = 0;
    RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) { PressClose(h); });
    EXPECT_EQ(1u, g_bLaunched);
}

TEST_F(LockScreen, LaunchesAtMostOncePerRunEvenWhenTheLaunchFailed)
{
    auto closeByNetwork = [](HWND h) {
        SetNetworkUsable(true);
        Tick(h, TIMER_POLL);
    };
    // A failed attempt uses up the one launch of the run.
    LaunchHelperWhenDone();
    EXPECT_EQ(0, LaunchApplication(kMissingExe));
    wcscpy(LaunchPath, kMissingExe);
    EXPECT_EQ(0, RunDialog(IDD_LOCK, LockDlgProc, closeByNetwork).result);
    EXPECT_EQ(1u, g_bLaunched);
    wcscpy(LaunchPath, HelperExePath(L"launch_marker.exe").c_str());
    SetNetworkUsable(false);
    EXPECT_EQ(0, RunDialog(IDD_LOCK, LockDlgProc, closeByNetwork).result);
    ASSERT_TRUE(WaitForLaunchMarkers());
    EXPECT_EQ(0, MarkerLines());

    // A started one as well: only the first of two lock screens launches.
    g_bLaunched = 0;
    SetNetworkUsable(false);
    EXPECT_EQ(0, RunDialog(IDD_LOCK, LockDlgProc, closeByNetwork).result);
    SetNetworkUsable(false);
    EXPECT_EQ(0, RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) { PressClose(h); }).result);
    ASSERT_TRUE(WaitForLaunchMarkers());
    EXPECT_EQ(1, MarkerLines());
}

TEST_F(LockScreen, NothingStartsUnlessAppEnableIsOneAndASnapshotExists)
{
    LaunchHelperWhenDone();
    for (DWORD appEnable : {0u, 2u, 0xFFFFFFFFu}) {
        Settings.AppEnable = appEnable;
        RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) { PressClose(h); });
        EXPECT_EQ(0u, g_bLaunched) << "AppEnable " << appEnable;
    }
    Settings.AppEnable = 1;
    WCHAR snapshot[APPPASS_UNITS];
    wcscpy(snapshot, LaunchPath);
    LaunchPath[0] = 0;
    RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) { PressClose(h); });
    EXPECT_EQ(0u, g_bLaunched) << "an empty snapshot";
    ASSERT_TRUE(WaitForLaunchMarkers());
    EXPECT_EQ(0, MarkerLines());

    wcscpy(LaunchPath, snapshot);
    RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) { PressClose(h); });
    EXPECT_EQ(1u, g_bLaunched);
    ASSERT_TRUE(WaitForLaunchMarkers());
    EXPECT_EQ(1, MarkerLines());
}

TEST_F(LockScreen, ColourMessagesPaintTheTextBlueOnWhite)
{
    RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        HDC dc = GetDC(h);
        HBRUSH white = (HBRUSH)GetStockObject(WHITE_BRUSH);
        for (int id : {IDC_LOCK_PASS_LABEL, IDC_LOCK_HINT, IDC_LOCK_PROGRESS, IDC_LOCK_STATUS}) {
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, RGB(1, 2, 3));
            HWND ctl = GetDlgItem(h, id);
            EXPECT_EQ((INT_PTR)white, LockDlgProc(h, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)ctl));
            EXPECT_EQ(OPAQUE, GetBkMode(dc)) << id;
            EXPECT_EQ(kBlue, GetTextColor(dc)) << id;
            EXPECT_EQ(RGB(1, 2, 3), GetBkColor(dc)) << "no background colour is set";
        }
        for (int id : {IDC_LOCK_PICTURE, IDC_LOCK_WARNING}) {
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0, 0, 0));
            HWND ctl = GetDlgItem(h, id);
            EXPECT_EQ(FALSE, LockDlgProc(h, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)ctl));
            EXPECT_EQ(TRANSPARENT, GetBkMode(dc)) << id;
            EXPECT_EQ(RGB(0, 0, 0), GetTextColor(dc)) << id;
        }
        EXPECT_EQ((INT_PTR)white, LockDlgProc(h, WM_CTLCOLORDLG, (WPARAM)dc, (LPARAM)h));
        HWND edit = GetDlgItem(h, IDC_LOCK_PASSWORD);
        EXPECT_EQ(FALSE, LockDlgProc(h, WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)edit));
        ReleaseDC(h, dc);
        // Handled messages answer FALSE too.
        EXPECT_EQ(FALSE, LockDlgProc(h, WM_TIMER, 77, 0));
        EXPECT_EQ(FALSE, LockDlgProc(h, WM_COMMAND, IDCANCEL, 0));
    });
}

TEST_F(LockScreen, PicturesAreFreedWithTheDialog)
{
    std::vector<HGDIOBJ> pictures;
    RunDialog(IDD_LOCK, LockDlgProc, [&](HWND h) {
        for (int id : {IDC_LOCK_PICTURE, IDC_LOCK_WARNING})
            pictures.push_back((HGDIOBJ)SendDlgItemMessageW(h, id, STM_GETIMAGE, IMAGE_BITMAP, 0));
        for (HGDIOBJ bmp : pictures)
            EXPECT_EQ((DWORD)OBJ_BITMAP, GetObjectType(bmp));
        Resume(h);
    });
    for (HGDIOBJ bmp : pictures)
        EXPECT_EQ(0u, GetObjectType(bmp)) << "a picture left behind by a closed lock screen";
}

TEST(LockTimeout, PeriodIsSecondsTimesThousandHeldToTheLongestTimer)
{
    EXPECT_EQ(5000u, TimeoutPeriod(5));
    EXPECT_EQ(20000u, TimeoutPeriod(20));
    EXPECT_EQ(300000u, TimeoutPeriod(300));
    EXPECT_EQ(0u, TimeoutPeriod(0));
    EXPECT_EQ(2147483000u, TimeoutPeriod(2147483));
    // These wrapped around in 32 bits: 4294968 s came out as 704 ms.
    EXPECT_EQ(0x7FFFFFFFu, TimeoutPeriod(2147484));
    EXPECT_EQ(0x7FFFFFFFu, TimeoutPeriod(4294968));
    EXPECT_EQ(0x7FFFFFFFu, TimeoutPeriod(0xFFFFFFFFu));
}

// Real timers this once: a wrapped 704 ms timeout would fire before the
// first 1000 ms poll.
TEST_F(LockScreen, HugeTimeoutDoesNotEndTheWaitEarly)
{
    Settings.nTimeout = 4294968;
    RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        DWORD start = GetTickCount();
        while (ProbeCalls() < 2 && !ItemShown(h, IDOK) && GetTickCount() - start < 15000) {
            MsgWaitForMultipleObjects(0, NULL, FALSE, 100, QS_ALLINPUT);
            PumpMessages();
        }
        EXPECT_EQ(2, ProbeCalls()) << "the poll timer stopped ticking";
        EXPECT_EQ(kPreparing, ItemText(h, IDC_LOCK_STATUS));
        EXPECT_FALSE(ItemShown(h, IDOK));
        EXPECT_TRUE(StopTimer(h, TIMER_TIMEOUT));
        StopTimer(h, TIMER_POLL);
    });
}

// Pixels of one colour inside a control, read back from the screen.
int CountOnScreen(HWND h, int id, COLORREF colour)
{
    RECT rc;
    GetWindowRect(GetDlgItem(h, id), &rc);
    rc.right = std::min(rc.right, (LONG)GetSystemMetrics(SM_CXSCREEN));
    rc.bottom = std::min(rc.bottom, (LONG)GetSystemMetrics(SM_CYSCREEN));
    int w = rc.right - rc.left, ht = rc.bottom - rc.top;
    HDC screen = GetDC(NULL), mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, ht);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, ht, screen, rc.left, rc.top, SRCCOPY);
    int n = 0;
    for (int y = 0; y < ht; y++)
        for (int x = 0; x < w; x++)
            n += GetPixel(mem, x, y) == colour;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    return n;
}

void ExpectTextsAndPicturesShow(HWND h, const std::vector<int>& texts)
{
    UpdateWindow(h);
    PumpMessages();
    GdiFlush();
    EXPECT_GT(CountOnScreen(h, IDC_LOCK_PICTURE, kBlue), 2000) << "the large picture";
    for (int id : texts)
        EXPECT_GT(CountOnScreen(h, id, kBlue), 40) << "blue text in control " << id;
}

TEST_F(LockScreen, ScreensOfTheThreeStates)
{
    wcscpy(Settings.Pass, L"abc");
    RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        for (int i = 0; i < 4; i++)
            Tick(h, TIMER_POLL);
        StopTimer(h, TIMER_POLL);           // no real tick during the picture
        StopTimer(h, TIMER_TIMEOUT);
        Type(h, L"ab");
        ExpectTextsAndPicturesShow(h, {IDC_LOCK_STATUS, IDC_LOCK_PROGRESS, IDC_LOCK_PASS_LABEL});
        SaveScreenshot(L"lock_waiting");
    });
    RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        Tick(h, TIMER_POLL);
        Tick(h, TIMER_POLL);
        EnterState(h, kPasswordWanted);
        ExpectTextsAndPicturesShow(h, {IDC_LOCK_STATUS, IDC_LOCK_HINT, IDC_LOCK_PROGRESS, IDC_LOCK_PASS_LABEL});
        EXPECT_GT(CountOnScreen(h, IDC_LOCK_WARNING, kBlue), 100) << "the warning picture";
        SaveScreenshot(L"lock_password");
    });
    SetNetworkUsable(false);
    RunDialog(IDD_LOCK, LockDlgProc, [](HWND h) {
        for (int i = 0; i < 5; i++)
            Tick(h, TIMER_POLL);
        EnterState(h, kTimedOut);
        ExpectTextsAndPicturesShow(h, {IDC_LOCK_STATUS, IDC_LOCK_PROGRESS});
        SaveScreenshot(L"lock_timeout");
    });
}

}  // namespace
