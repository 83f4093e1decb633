// The run command's resume tool against the real program: what the device's
// power notification must do, whether or not a lock screen is open.
#include <gtest/gtest.h>

#include "e2e/e2e.h"
#include "resource.h"
#include "support/scratch_registry.h"

namespace {

TEST(ResumeTool, OpensOneLockScreenThenReplacesIt)
{
    ASSERT_EQ(NULL, ResidentWindow()) << "an instance from an earlier test still runs";
    DeleteSettingsKey();
    PutRecord(L"pw", 1, 20, L"", 0);
    Network("down");
    Program prog = StartProgram();
    HWND lock = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (lock = LockScreen(prog.pid)) != NULL; }));
    // Past the start-up lock screen: timed out, then the password.
    PostMessageW(lock, WM_TIMER, 1, 0);
    SetDlgItemTextW(lock, IDC_LOCK_PASSWORD, L"pw");
    PostMessageW(GetDlgItem(lock, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return VisibleLockScreens(prog.pid) == 0; }));

    EXPECT_EQ(0u, RunResumeTool());
    ASSERT_TRUE(WaitUntil([&] { return (lock = LockScreen(prog.pid)) != NULL; }));
    EXPECT_TRUE(WaitUntil([&] { return VisibleLockScreens(prog.pid) == 1; }));

    EXPECT_EQ(0u, RunResumeTool());
    EXPECT_TRUE(WaitUntil([&] {
        HWND fresh = LockScreen(prog.pid);
        return fresh && fresh != lock && !IsWindow(lock) && VisibleLockScreens(prog.pid) == 1;
    }));
    EXPECT_EQ(STILL_ACTIVE, ExitCode(prog));
    EndProgram(prog);
    WaitUntil([] { return ResidentWindow() == NULL; });
}

}  // namespace
