// The real brondelkit.exe, started and used from another process in the same
// Wine session, inside the network namespace the test script made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/e2e.h"
#include "patience.h"
#include "platform/power.h"
#include "resource.h"
#include "support/dialog_driver.h"
#include "support/scratch_registry.h"
#include "topwindows.h"

namespace {

const wchar_t kWaiting[] = L"無線LAN起動準備中";
const wchar_t kTimedOut[] = L"無線LANが使用可能な状態になっていません。";
const wchar_t kWantPassword[] = L"パスワードを正しく入力してください。";

class Program : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(NULL, ResidentWindow()) << "an instance from an earlier test still runs";
        DeleteSettingsKey();
        DeleteFileW(MarkerPath().c_str());
        SetEnvironmentVariableW(L"BK_MARKER", MarkerPath().c_str());
        Network("down");
    }
    void TearDown() override
    {
        EndProgram(prog);
        WaitUntil([] { return ResidentWindow() == NULL; });
        SetEnvironmentVariableW(L"BK_POWER_MANAGER", NULL);
    }

    void Start()
    {
        prog = StartProgram();
        ASSERT_TRUE(WaitUntil([] { return ResidentWindow() != NULL; }));
        resident = ResidentWindow();
    }

    HWND WaitLock()
    {
        HWND h = NULL;
        WaitUntil([&] { return (h = LockScreen(prog.pid)) != NULL; });
        return h;
    }

    // The lock screen of the start-up opens after the icon exists; wait
    // until it has been shown and has closed by itself.
    void PassStartupLock()
    {
        ASSERT_TRUE(WaitLock());
        ASSERT_TRUE(WaitUntil([&] { return VisibleLockScreens(prog.pid) == 0; }));
        ASSERT_TRUE(TrayIconPresent(resident));
    }

    // A picture of the screen once the program has painted and waits.
    void Shot(const wchar_t* name)
    {
        patience::WaitInputIdle(prog.process);
        SaveScreenshot(name);
    }

    // One poll of the lock screen, as its 1-second timer would deliver it.
    void Poll(HWND lock) { PostMessageW(lock, WM_TIMER, 2, 0); }

    // Polled on a usable network, the lock screen asks for the password.
    void AskPassword(HWND lock)
    {
        Poll(lock);
        ASSERT_TRUE(WaitUntil([&] { return ItemText(lock, IDC_LOCK_STATUS) == kWantPassword; }));
    }

    // The password typed and Close pressed: the lock screen goes.
    void AnswerPassword(HWND lock, const wchar_t* pass);
    void ResumePassedByOnePassword(const wchar_t* road, HWND lock, const wchar_t* pass);

    void StoreNoPasswordLaunching(DWORD appEnable = 1)
    {
        PutRecord(L"", 0, 20, MarkerExe(), appEnable);
    }

    // Past the start-up lock screen: the settings dialog from the icon,
    // unlocked by taps on its corners.
    void OpenUnlockedSettings(HWND* dlg);

    // Started with that password stored and the network usable: the start-up
    // lock screen, asking for the password.
    void StartAtPasswordLock(const wchar_t* pass, HWND* lock)
    {
        PutRecord(pass, 1, 20, MarkerExe(), 1);
        Network("up");
        Start();
        ASSERT_TRUE(*lock = WaitLock());
        ASSERT_NO_FATAL_FAILURE(AskPassword(*lock));
    }

    ::Program prog;
    HWND resident = NULL;
};

// Corners of the settings dialog's client area, in screen pixels, a few
// pixels inside each corner.
POINT Corner(HWND dlg, bool right, bool bottom)
{
    RECT rc;
    GetClientRect(dlg, &rc);
    POINT pt = {right ? rc.right - 5 : 5, bottom ? rc.bottom - 5 : 5};
    ClientToScreen(dlg, &pt);
    return pt;
}

void UnlockWithClicks(const ::Program& p, HWND dlg)
{
    const bool order[3][2] = {{false, false}, {false, true}, {true, false}};
    for (const auto& c : order) {
        // Each tap once the program waits for input again, as a hand would.
        patience::WaitInputIdle(p.process);
        POINT pt = Corner(dlg, c[0], c[1]);
        Click(pt.x, pt.y);
    }
}

bool Unlocked(HWND dlg)
{
    return IsWindowVisible(GetDlgItem(dlg, IDCANCEL)) && ItemText(dlg, IDOK) == L"保存";
}

void PressButton(HWND dlg, int id)
{
    PostMessageW(GetDlgItem(dlg, id), BM_CLICK, 0, 0);
}

// The settings dialog's visible message box, or NULL.
HWND ErrorBox(DWORD pid)
{
    for (HWND h : TopWindows(pid)) {
        WCHAR caption[8] = L"";
        GetWindowTextW(h, caption, 8);
        if (IsWindowVisible(h) && wcscmp(caption, L"ERR") == 0)
            return h;
    }
    return NULL;
}

void Program::AnswerPassword(HWND lock, const wchar_t* pass)
{
    SetDlgItemTextW(lock, IDC_LOCK_PASSWORD, pass);
    PressButton(lock, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(lock); }));
}

// Past the start-up lock screen: the settings dialog from the icon,
// unlocked by taps on its corners.
void Program::OpenUnlockedSettings(HWND* dlg)
{
    StoreNoPasswordLaunching(0);
    Network("up");
    Start();
    PassStartupLock();
    PostMessageW(resident, WM_TRAYNOTIFY, ID_TRAYICON, WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([&] { return (*dlg = SettingsDialog(prog.pid)) != NULL; }));
    UnlockWithClicks(prog, *dlg);
    ASSERT_TRUE(WaitUntil([&] { return Unlocked(*dlg); }));
}

TEST_F(Program, FirstRunStoresDefaultsAndShowsSettingsBeforeLockAndIcon)
{
    Start();
    HWND dlg = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (dlg = SettingsDialog(prog.pid)) != NULL; }));
    EXPECT_EQ(NULL, LockScreen(prog.pid));
    EXPECT_FALSE(TrayIconPresent(resident));
    EXPECT_EQ(L"\\windows\\iesample.exe", ItemText(dlg, IDC_APP_PATH));

    DWORD type;
    std::vector<BYTE> data;
    ASSERT_TRUE(GetValue(L"AppPass", &type, &data));
    EXPECT_EQ(std::wstring(L"\\windows\\iesample.exe"), (const wchar_t*)data.data());
    ASSERT_TRUE(GetValue(L"AppEnable", &type, &data));
    EXPECT_EQ(1u, *(DWORD*)data.data());
    Shot(L"e2e_first_run_settings");

    // The exit choice of the first-run dialog must not end the program.
    UnlockWithClicks(prog, dlg);
    ASSERT_TRUE(WaitUntil([&] { return Unlocked(dlg); }));
    Shot(L"e2e_settings_unlocked");
    PressButton(dlg, IDCANCEL);
    HWND lock = WaitLock();
    ASSERT_TRUE(lock);
    EXPECT_TRUE(TrayIconPresent(resident));
    EXPECT_EQ(STILL_ACTIVE, ExitCode(prog));
}

TEST_F(Program, PathStoredInTheFirstRunDialogIsLaunchedInThatRun)
{
    Start();
    HWND dlg = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (dlg = SettingsDialog(prog.pid)) != NULL; }));
    UnlockWithClicks(prog, dlg);
    ASSERT_TRUE(WaitUntil([&] { return Unlocked(dlg); }));
    SetDlgItemTextW(dlg, IDC_APP_PATH, MarkerExe().c_str());
    PressButton(dlg, IDOK);

    HWND lock = WaitLock();
    ASSERT_TRUE(lock);
    Network("up");
    Poll(lock);
    ASSERT_TRUE(WaitUntil([&] { return LaunchCount() == 1; }));
    EXPECT_TRUE(WaitUntil([&] { return VisibleLockScreens(prog.pid) == 0; }));
}

TEST_F(Program, StoredSettingsOpenTheLockScreenWithWinsockRunning)
{
    // Only the own host name can make this network usable, and only when
    // Winsock was started before the first poll: an interface without an
    // address, and a short host name the namespace's hosts file knows.
    StoreNoPasswordLaunching(0);
    Network("noaddress-shortname");
    Start();
    HWND lock = WaitLock();
    ASSERT_TRUE(lock);
    EXPECT_EQ(NULL, SettingsDialog(prog.pid));
    EXPECT_TRUE(TrayIconPresent(resident));
    Poll(lock);
    EXPECT_TRUE(WaitUntil([&] { return VisibleLockScreens(prog.pid) == 0; }));
    EXPECT_EQ(0, LaunchCount());
}

TEST_F(Program, ApplicationStartsOncePerRunAcrossResumes)
{
    StoreNoPasswordLaunching();
    Network("up");
    Start();
    HWND lock = WaitLock();
    ASSERT_TRUE(lock);
    // The real poll timer, not a delivered tick, closes this one.
    ASSERT_TRUE(WaitUntil([&] { return VisibleLockScreens(prog.pid) == 0; }));
    ASSERT_TRUE(WaitUntil([&] { return LaunchCount() == 1; }));

    for (int i = 0; i < 3; i++) {
        PostResume(prog.pid);
        HWND again = WaitLock();
        ASSERT_TRUE(again);
        Poll(again);
        ASSERT_TRUE(WaitUntil([&] { return VisibleLockScreens(prog.pid) == 0; }));
    }
    EXPECT_EQ(1, LaunchCount());
}

TEST_F(Program, WaitsWithStarsThenTimesOutWithoutNetwork)
{
    PutRecord(L"", 0, 2, MarkerExe(), 1);
    Start();
    HWND lock = WaitLock();
    ASSERT_TRUE(lock);
    for (int i = 0; i < 3; i++)
        Poll(lock);
    ASSERT_TRUE(WaitUntil([&] { return ItemText(lock, IDC_LOCK_STATUS) == kWaiting; }));
    EXPECT_FALSE(ItemText(lock, IDC_LOCK_PROGRESS).empty());
    Shot(L"e2e_lock_waiting");

    // The stored two seconds run out on the real timer.
    ASSERT_TRUE(WaitUntil([&] { return ItemText(lock, IDC_LOCK_STATUS) == kTimedOut; }));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(lock, IDOK)));
    Shot(L"e2e_lock_timed_out");
    EXPECT_EQ(0, LaunchCount());

    // Closing after the timeout still launches; the button's middle is on
    // the screen and takes a real tap.
    RECT rc;
    GetWindowRect(GetDlgItem(lock, IDOK), &rc);
    EXPECT_LT((rc.top + rc.bottom) / 2, GetSystemMetrics(SM_CYSCREEN));
    patience::WaitInputIdle(prog.process);
    Click((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ASSERT_TRUE(WaitUntil([&] { return LaunchCount() == 1; }));
    EXPECT_TRUE(WaitUntil([&] { return VisibleLockScreens(prog.pid) == 0; }));
}

TEST_F(Program, ClosesByItselfOnceAnInterfaceComesUp)
{
    PutRecord(L"", 0, 60, MarkerExe(), 0);
    Start();
    HWND lock = WaitLock();
    ASSERT_TRUE(lock);
    Poll(lock);
    ASSERT_TRUE(WaitUntil([&] { return ItemText(lock, IDC_LOCK_STATUS) == kWaiting; }));
    Network("up");
    ASSERT_TRUE(WaitUntil([&] { return VisibleLockScreens(prog.pid) == 0; }));
    EXPECT_EQ(STILL_ACTIVE, ExitCode(prog));
}

TEST_F(Program, PasswordWantedWhenSet)
{
    HWND lock = NULL;
    ASSERT_NO_FATAL_FAILURE(StartAtPasswordLock(L"pw", &lock));
    Shot(L"e2e_lock_password");
    SetDlgItemTextW(lock, IDC_LOCK_PASSWORD, L"pw");
    PressButton(lock, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return LaunchCount() == 1; }));
    EXPECT_TRUE(WaitUntil([&] { return VisibleLockScreens(prog.pid) == 0; }));
}

TEST_F(Program, IconButtonDownOpensSettingsAndExitEndsTheProgram)
{
    StoreNoPasswordLaunching(0);
    Network("up");
    Start();
    PassStartupLock();

    // Only the button-down notification opens the dialog.
    PostMessageW(resident, WM_TRAYNOTIFY, ID_TRAYICON, WM_LBUTTONUP);
    PostMessageW(resident, WM_TRAYNOTIFY, ID_TRAYICON, WM_MOUSEMOVE);
    PostMessageW(resident, WM_TRAYNOTIFY, ID_TRAYICON, WM_RBUTTONDOWN);
    PostMessageW(resident, WM_COMMAND, IDOK, 0);
    PostResume(prog.pid, 4);
    // Ordered behind the messages above: when it shows, they were handled.
    PostMessageW(resident, WM_TRAYNOTIFY, ID_TRAYICON, WM_LBUTTONDOWN);
    HWND dlg = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (dlg = SettingsDialog(prog.pid)) != NULL; }));
    EXPECT_EQ(0, VisibleLockScreens(prog.pid));
    int dialogs = 0;
    for (HWND h : TopWindows(prog.pid))
        dialogs += IsWindowVisible(h) && GetDlgItem(h, IDC_TIMEOUT_VALUE) ? 1 : 0;
    EXPECT_EQ(1, dialogs);

    // The same from a real tap on the icon: Wine shows it in its tray window.
    PressButton(dlg, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return SettingsDialog(prog.pid) == NULL; }));
    HWND tray = FindWindowW(NULL, L"Wine System Tray");
    ASSERT_TRUE(tray) << "no tray window on the display";
    RECT rc;
    GetWindowRect(tray, &rc);
    patience::WaitInputIdle(prog.process);
    Click(rc.left + 13, rc.top + 32);
    ASSERT_TRUE(WaitUntil([&] { return (dlg = SettingsDialog(prog.pid)) != NULL; }));

    UnlockWithClicks(prog, dlg);
    ASSERT_TRUE(WaitUntil([&] { return Unlocked(dlg); }));
    GetWindowRect(dlg, &rc);
    EXPECT_EQ(0, rc.left);
    EXPECT_EQ(0, rc.top);
    // "終了", clicked on the screen.
    GetWindowRect(GetDlgItem(dlg, IDCANCEL), &rc);
    Click((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    EXPECT_EQ(0u, WaitExit(prog));
    EXPECT_FALSE(TrayIconPresent(resident));
}

TEST_F(Program, LockedSettingsDialogClosesWithoutEndingTheProgram)
{
    StoreNoPasswordLaunching(0);
    Network("up");
    Start();
    PassStartupLock();
    PostMessageW(resident, WM_TRAYNOTIFY, ID_TRAYICON, WM_LBUTTONDOWN);
    HWND dlg = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (dlg = SettingsDialog(prog.pid)) != NULL; }));
    // Escape while locked closes like "閉じる".
    PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return SettingsDialog(prog.pid) == NULL; }));
    // Its closing has been handled once the window takes the next message.
    EXPECT_TRUE(patience::Answers(resident));
    EXPECT_EQ(STILL_ACTIVE, ExitCode(prog));
    EXPECT_TRUE(TrayIconPresent(resident));
}

// Values under a stand-in's key of the session whose names begin so.
int Registrations(const wchar_t* path, const std::wstring& prefix)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key))
        return 0;
    int n = 0;
    WCHAR name[256];
    for (DWORD i = 0, cch = 256; !RegEnumValueW(key, i, name, &cch, NULL, NULL, NULL, NULL);
         i++, cch = 256)
        n += std::wstring(name).compare(0, prefix.size(), prefix) == 0;
    RegCloseKey(key);
    return n;
}

// Queues of that process registered for the Power Manager's notices.
int PowerRegistrations(DWORD pid)
{
    return Registrations(PM_STANDIN_KEY, std::to_wstring(pid) + L".");
}

TEST_F(Program, CloseRequestFromOutsideEndsWithZero)
{
    StoreNoPasswordLaunching(0);
    Network("up");
    Start();
    PassStartupLock();
    ASSERT_EQ(1, PowerRegistrations(prog.pid));
    ASSERT_EQ(1, Registrations(NOTIFY_STANDIN_KEY, NAMED_EVENTS_PREFIX));
    PostMessageW(resident, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitExit(prog));
    EXPECT_FALSE(TrayIconPresent(resident));
    EXPECT_EQ(0, PowerRegistrations(prog.pid)) << "its power notices outlived the program";
    EXPECT_EQ(0, Registrations(NOTIFY_STANDIN_KEY, NAMED_EVENTS_PREFIX))
        << "its wakeup registration outlived the program";
    EXPECT_EQ(1u, RunResumeTool(L"wakeup"));
}

// On a device without a Power Manager the broadcast still ends the dialog.
TEST_F(Program, ResumeOverTheSettingsDialogLeavesOneLockScreen)
{
    SetEnvironmentVariableW(L"BK_POWER_MANAGER", L"none");
    StoreNoPasswordLaunching(0);
    Start();
    HWND first = WaitLock();
    ASSERT_TRUE(first);
    // Pass the first lock screen by its Close button after the timeout.
    PostMessageW(first, WM_TIMER, 1, 0);
    PressButton(first, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return VisibleLockScreens(prog.pid) == 0; }));

    PostMessageW(resident, WM_TRAYNOTIFY, ID_TRAYICON, WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([&] { return SettingsDialog(prog.pid) != NULL; }));
    PostResume(prog.pid);
    ASSERT_TRUE(WaitUntil([&] { return SettingsDialog(prog.pid) == NULL &&
                                       VisibleLockScreens(prog.pid) == 1; }));
    EXPECT_EQ(STILL_ACTIVE, ExitCode(prog));
    EXPECT_EQ(0, PowerRegistrations(prog.pid));
}

// The icon's tap is queued behind everything posted before it to the
// program's one thread: once its settings dialog shows, all of that has been
// handled. Returns how many lock screens were visible then; the dialog is
// closed again with "閉じる".
int LockScreensOnceHandled(const ::Program& p, HWND resident)
{
    PostMessageW(resident, WM_TRAYNOTIFY, ID_TRAYICON, WM_LBUTTONDOWN);
    HWND dlg = NULL;
    if (!WaitUntil([&] { return (dlg = SettingsDialog(p.pid)) != NULL; }))
        return -1;
    int locks = VisibleLockScreens(p.pid);
    PressButton(dlg, IDOK);
    WaitUntil([&] { return !IsWindow(dlg); });
    return locks;
}

// A resume by that road over a lock screen that asks for the password: once
// the program has caught up, one fresh lock screen has replaced it, asks
// again, and one right password passes it for good.
void Program::ResumePassedByOnePassword(const wchar_t* road, HWND lock, const wchar_t* pass)
{
    ASSERT_EQ(0u, RunResumeTool(road));
    ASSERT_EQ(1, LockScreensOnceHandled(prog, resident));
    HWND fresh = LockScreen(prog.pid);
    ASSERT_NE(lock, fresh);
    ASSERT_NO_FATAL_FAILURE(AskPassword(fresh));
    ASSERT_NO_FATAL_FAILURE(AnswerPassword(fresh, pass));
    ASSERT_EQ(0, LockScreensOnceHandled(prog, resident)) << "passed once, asked again";
}

TEST_F(Program, ManyResumesAtTheLockScreenKeepExactlyOne)
{
    StoreNoPasswordLaunching(0);
    Start();
    HWND lock = WaitLock();
    ASSERT_TRUE(lock);
    PumpMessages();
    size_t windowsBefore = TopWindows(prog.pid).size();

    HWND current = lock;
    for (int i = 0; i < 1000; i++) {
        PostResume(prog.pid);
        if (i % 50 == 49) {
            // Once the program has caught up, a fresh lock screen has
            // replaced the old one, and it is the only one.
            ASSERT_EQ(1, LockScreensOnceHandled(prog, resident));
            HWND fresh = LockScreen(prog.pid);
            ASSERT_NE(current, fresh);
            current = fresh;
        }
    }
    EXPECT_EQ(windowsBefore, TopWindows(prog.pid).size());
    EXPECT_EQ(STILL_ACTIVE, ExitCode(prog));
    // The surviving lock screen still works.
    PostMessageW(current, WM_TIMER, 1, 0);
    EXPECT_TRUE(WaitUntil([&] { return ItemText(current, IDC_LOCK_STATUS) == kTimedOut; }));
}

TEST_F(Program, BurstOfResumesIsPassedWithOnePassword)
{
    PutRecord(L"pw", 1, 20, MarkerExe(), 1);
    Network("up");
    Start();
    size_t idleWindows = 0;
    for (Delivery order : {Delivery::ResidentLast, Delivery::ResidentFirst}) {
        for (int burst : {2, 3, 200}) {
            SCOPED_TRACE(testing::Message() << burst << " resumes, resident "
                                            << (order == Delivery::ResidentFirst ? "first" : "last"));
            if (idleWindows)
                PostResume(prog.pid);   // the lock screen the burst arrives at
            HWND lock = WaitLock();
            ASSERT_TRUE(lock);
            ASSERT_NO_FATAL_FAILURE(AskPassword(lock));

            for (int i = 0; i < burst; i++)
                PostResume(prog.pid, 7, order);
            ASSERT_EQ(1, LockScreensOnceHandled(prog, resident));
            HWND fresh = LockScreen(prog.pid);
            ASSERT_TRUE(fresh);
            EXPECT_NE(lock, fresh);

            ASSERT_NO_FATAL_FAILURE(AskPassword(fresh));
            ASSERT_NO_FATAL_FAILURE(AnswerPassword(fresh, L"pw"));
            ASSERT_EQ(0, LockScreensOnceHandled(prog, resident)) << "passed once, asked again";
            if (!idleWindows)
                idleWindows = TopWindows(prog.pid).size();
            EXPECT_EQ(idleWindows, TopWindows(prog.pid).size());
        }
    }

    // A device that takes every road (the Power Manager's notices, the
    // wakeup, the broadcast): each resume of it reaches the resident window
    // more than once.
    HWND lock = NULL;
    for (int i = 0; i < 5; i++)
        ASSERT_EQ(0u, RunResumeTool());
    ASSERT_EQ(1, LockScreensOnceHandled(prog, resident));
    ASSERT_TRUE(lock = LockScreen(prog.pid));
    ASSERT_NO_FATAL_FAILURE(AskPassword(lock));
    ASSERT_NO_FATAL_FAILURE(AnswerPassword(lock, L"pw"));
    ASSERT_EQ(0, LockScreensOnceHandled(prog, resident)) << "passed once, asked again";
    EXPECT_EQ(STILL_ACTIVE, ExitCode(prog));
    EXPECT_EQ(1, LaunchCount());
}

// Resumes spaced as a device's power button spaces them, each road in a
// burst of its own, over a lock screen that waits for the password: once
// a burst stops, the thread is free, one lock screen shows and none is
// left hidden, it asks for the password, and one right password passes it.
TEST_F(Program, SpacedBurstsOfResumesLeaveOneWorkingLockScreen)
{
    HWND lock = NULL;
    ASSERT_NO_FATAL_FAILURE(StartAtPasswordLock(L"abc", &lock));
    const std::function<void()> roads[] = {
        [] { ASSERT_EQ(0u, RunResumeTool(L"pm")); },    // each run a process: spaced
        [] { ASSERT_EQ(0u, RunResumeTool(L"broadcast")); },
        [] { ASSERT_EQ(0u, RunResumeTool()); },
        [&] { PostMessageW(resident, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0); Sleep(150); },
    };
    for (size_t road = 0; road < 4; road++) {
        SCOPED_TRACE(testing::Message() << "road " << road);
        for (int i = 0; i < 12; i++)
            ASSERT_NO_FATAL_FAILURE(roads[road]());
        ASSERT_TRUE(WaitUntil([&] {
            return patience::Answers(resident) && VisibleLockScreens(prog.pid) == 1 &&
                   HiddenDialogsOf(prog.pid) == 0;
        })) << VisibleLockScreens(prog.pid) << " lock screens shown, "
            << HiddenDialogsOf(prog.pid) << " dialogs hidden";
        HWND fresh = LockScreen(prog.pid);
        ASSERT_NE(lock, fresh);
        ASSERT_NO_FATAL_FAILURE(AskPassword(lock = fresh));
    }
    ASSERT_NO_FATAL_FAILURE(AnswerPassword(lock, L"abc"));
    EXPECT_EQ(0, LockScreensOnceHandled(prog, resident));
    EXPECT_EQ(1, LaunchCount());
}

// Each road a device may take alone: the notification subsystem's wakeup on
// an image without the Power Manager, where its notices reach nothing, and
// the Power Manager's transitions without its resume notice.
TEST_F(Program, WakeupOrTransitionsAloneResumeToOneFreshLockScreen)
{
    for (const wchar_t* road : {L"wakeup", L"transition"}) {
        SCOPED_TRACE(testing::Message() << (road[0] == L'w' ? "wakeup" : "transition"));
        SetEnvironmentVariableW(L"BK_POWER_MANAGER", road[0] == L'w' ? L"none" : NULL);
        HWND lock = NULL;
        ASSERT_NO_FATAL_FAILURE(StartAtPasswordLock(L"pw", &lock));
        if (road[0] == L'w') {
            EXPECT_EQ(1u, RunResumeTool(L"pm")) << "a Power Manager reached the program";
        }
        ASSERT_NO_FATAL_FAILURE(ResumePassedByOnePassword(road, lock, L"pw"));
        PostMessageW(resident, WM_CLOSE, 0, 0);
        ASSERT_EQ(0u, WaitExit(prog));
        EndProgram(prog);
    }
}

// Taps on the icon open settings dialogs over each other, up to the places
// the program keeps; a resume on the Power Manager's road ends every one.
TEST_F(Program, ResumeEndsEverySettingsDialogOfManyTaps)
{
    StoreNoPasswordLaunching(0);
    Network("up");
    Start();
    PassStartupLock();
    auto settingsShown = [&] { return (int)VisibleWithControl(prog.pid, IDC_TIMEOUT_VALUE).size(); };
    // Each tap once the last dialog shows, as a hand would; past the places
    // kept a tap opens nothing that stays.
    for (int i = 1; i <= 70; i++) {
        PostMessageW(resident, WM_TRAYNOTIFY, ID_TRAYICON, WM_LBUTTONDOWN);
        if (i <= 63) {
            ASSERT_TRUE(WaitUntil([&] { return settingsShown() == i; })) << settingsShown();
        }
    }
    PostMessageW(resident, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    EXPECT_TRUE(WaitUntil([&] {
        return settingsShown() == 0 && VisibleLockScreens(prog.pid) == 1 &&
               HiddenDialogsOf(prog.pid) == 0;
    })) << settingsShown() << " settings dialogs left";
}

TEST_F(Program, ResumeDuringTheFirstRunDialogLeavesOneLockScreenAfterWinsock)
{
    // The broadcast in either order, then the Power Manager's notice, which
    // reaches the resident window alone.
    struct Road {
        const char* name;
        bool notice;
        Delivery order;
    };
    for (const Road& road : {Road{"resident first", false, Delivery::ResidentFirst},
                             Road{"resident last", false, Delivery::ResidentLast},
                             Road{"power manager", true, Delivery::ResidentLast}}) {
        SCOPED_TRACE(road.name);
        // A password stored, yet never run; the network usable only once
        // Winsock is running.
        DeleteSettingsKey();
        PutText(L"Pass", L"pw");
        PutDword(L"PassEnable", 1);
        Network("noaddress-shortname");
        Start();
        ASSERT_TRUE(WaitUntil([&] { return SettingsDialog(prog.pid) != NULL; }));
        if (road.notice)
            ASSERT_EQ(0u, RunResumeTool(L"pm"));
        else
            PostResume(prog.pid, 7, road.order);
        // The icon comes just before the start-up's own resume is posted.
        ASSERT_TRUE(WaitUntil([&] {
            return SettingsDialog(prog.pid) == NULL && LockScreen(prog.pid) != NULL &&
                   TrayIconPresent(resident);
        }));
        ASSERT_EQ(1, LockScreensOnceHandled(prog, resident));
        HWND lock = LockScreen(prog.pid);
        ASSERT_NO_FATAL_FAILURE(AskPassword(lock));
        ASSERT_NO_FATAL_FAILURE(AnswerPassword(lock, L"pw"));
        ASSERT_EQ(0, LockScreensOnceHandled(prog, resident)) << "passed once, asked again";
        PostMessageW(resident, WM_CLOSE, 0, 0);
        ASSERT_EQ(0u, WaitExit(prog));
        EndProgram(prog);
    }
}

// The other one's opening and closing leave the first unlocked dialog's
// Exit as it was.
TEST_F(Program, ExitOfTheFirstOfTwoSettingsDialogsEndsTheProgram)
{
    HWND first = NULL;
    ASSERT_NO_FATAL_FAILURE(OpenUnlockedSettings(&first));
    SetDlgItemTextW(first, IDC_PASS_EDIT, L"pw2");

    PostMessageW(resident, WM_TRAYNOTIFY, ID_TRAYICON, WM_LBUTTONDOWN);
    HWND second = NULL;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND h : TopWindows(prog.pid))
            if (h != first && IsWindowVisible(h) && GetDlgItem(h, IDC_TIMEOUT_VALUE))
                second = h;
        return second != NULL;
    }));
    PressButton(second, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(second); }));
    // Still unlocked for its arrows too, not only for Exit.
    PressButton(first, IDC_TIMEOUT_UP);
    EXPECT_TRUE(WaitUntil([&] { return ItemText(first, IDC_TIMEOUT_VALUE) == L"21"; }))
        << "timeout shows " << ItemText(first, IDC_TIMEOUT_VALUE).size() << " units";
    PressButton(first, IDCANCEL);
    EXPECT_EQ(0u, WaitExit(prog));
    DWORD type;
    std::vector<BYTE> data;
    ASSERT_TRUE(GetValue(L"Pass", &type, &data));
    EXPECT_EQ(std::wstring(L"pw2"), (const wchar_t*)data.data());
}

TEST_F(Program, ResumeOverAMessageBoxOfTheSettingsDialogLeavesNothingOfIt)
{
    HWND dlg = NULL;
    ASSERT_NO_FATAL_FAILURE(OpenUnlockedSettings(&dlg));
    SetDlgItemTextW(dlg, IDC_APP_PATH, L"");
    PressButton(dlg, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return ErrorBox(prog.pid) != NULL; }));

    PostResume(prog.pid);
    HWND lock = WaitLock();
    ASSERT_TRUE(lock);
    Poll(lock);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(lock); }));
    ASSERT_EQ(0, LockScreensOnceHandled(prog, resident));
    EXPECT_EQ(NULL, ErrorBox(prog.pid));
    EXPECT_FALSE(IsWindow(dlg));
}

// The Power Manager tells the resident window alone: every dialog of the
// program must still end, message boxes included, and one lock screen stay,
// passed by one right password without a second launch.
TEST_F(Program, PowerManagerNoticeEndsEveryDialogAndLeavesOneLockScreen)
{
    PutRecord(L"pw", 1, 20, MarkerExe(), 1);
    Network("up");
    Start();
    HWND lock = WaitLock();
    ASSERT_NO_FATAL_FAILURE(AskPassword(lock));
    ASSERT_NO_FATAL_FAILURE(AnswerPassword(lock, L"pw"));
    ASSERT_TRUE(WaitUntil([] { return LaunchCount() == 1; }));

    PostMessageW(resident, WM_TRAYNOTIFY, ID_TRAYICON, WM_LBUTTONDOWN);
    HWND dlg = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (dlg = SettingsDialog(prog.pid)) != NULL; }));
    UnlockWithClicks(prog, dlg);
    ASSERT_TRUE(WaitUntil([&] { return Unlocked(dlg); }));
    SetDlgItemTextW(dlg, IDC_APP_PATH, L"");
    PressButton(dlg, IDOK);
    HWND box = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (box = ErrorBox(prog.pid)) != NULL; }));

    ASSERT_EQ(0u, RunResumeTool(L"pm"));
    // Hidden at once; gone once the lock screen opened inside their loops
    // has been passed.
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(dlg) && !IsWindowVisible(box); }))
        << "the settings dialog or its message box is still shown";
    lock = WaitLock();
    ASSERT_NO_FATAL_FAILURE(AskPassword(lock));

    // At a lock screen that wants the password: a fresh one replaces it.
    ASSERT_NO_FATAL_FAILURE(ResumePassedByOnePassword(L"pm", lock, L"pw"));
    EXPECT_FALSE(IsWindow(dlg));
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(1, LaunchCount());
    EXPECT_EQ(STILL_ACTIVE, ExitCode(prog));
}

TEST_F(Program, SecondStartChangesNothingAndEndsWithZero)
{
    StoreNoPasswordLaunching(0);
    Start();
    HWND lock = WaitLock();
    ASSERT_TRUE(lock);
    size_t windows = TopWindows(prog.pid).size();

    ::Program second = StartProgram();
    EXPECT_EQ(0u, WaitExit(second));
    EndProgram(second);
    EXPECT_EQ(lock, LockScreen(prog.pid));
    EXPECT_EQ(1, VisibleLockScreens(prog.pid));
    EXPECT_EQ(windows, TopWindows(prog.pid).size());
    EXPECT_EQ(NULL, SettingsDialog(prog.pid));
}

}  // namespace

namespace {

LRESULT CALLBACK DecoyProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    return DefWindowProcW(h, m, w, l);
}

HWND MakeDecoy(const wchar_t* cls, const wchar_t* title)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DecoyProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = cls;
    RegisterClassW(&wc);
    return CreateWindowExW(0, cls, title, WS_POPUP | WS_VISIBLE, 0, 0, 1, 1, NULL, NULL,
                           GetModuleHandleW(NULL), NULL);
}

TEST_F(Program, ResidentWindowIsOffScreenAndFoundOnlyByClassAndTitle)
{
    // Windows that match on one key only are not a running instance.
    HWND decoys[] = {MakeDecoy(L"Brondelkit", L"Other"), MakeDecoy(L"Other", L"Brondelkit")};
    StoreNoPasswordLaunching(0);
    prog = StartProgram();
    HWND lock = WaitLock();
    ASSERT_TRUE(lock);
    for (HWND d : decoys)
        DestroyWindow(d);
    UnregisterClassW(L"Brondelkit", GetModuleHandleW(NULL));
    UnregisterClassW(L"Other", GetModuleHandleW(NULL));

    resident = ResidentWindow();
    ASSERT_TRUE(resident);
    DWORD pid = 0;
    GetWindowThreadProcessId(resident, &pid);
    EXPECT_EQ(prog.pid, pid);
    // Created with no size at the screen's lower-right corner; the window
    // manager may give an overlapped window a minimum size, all of which
    // lies outside the screen.
    RECT rc;
    GetWindowRect(resident, &rc);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), rc.left);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), rc.top);
    EXPECT_TRUE(GetWindowLongW(resident, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(IsWindowVisible(resident));
}

}  // namespace
