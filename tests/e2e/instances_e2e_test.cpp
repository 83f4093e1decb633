// Many starts while one instance runs: each ends at once with 0, and the
// running one stays the only one, undisturbed.
#include "e2e/e2e.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <iostream>
#include <utility>
#include <vector>

#include "resource.h"
#include "support/scratch_registry.h"

namespace {

const int kStarts = 100;
const int kAtOnce = 10;     // started together, then waited for

int ProgramProcesses()
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return -1;
    PROCESSENTRY32W pe = {};
    pe.dwSize = sizeof(pe);
    int n = 0;
    for (BOOL more = Process32FirstW(snap, &pe); more; more = Process32NextW(snap, &pe))
        n += lstrcmpiW(pe.szExeFile, L"brondelkit.exe") == 0;
    CloseHandle(snap);
    return n;
}

int ResidentWindows()
{
    int n = 0;
    for (HWND h = NULL; (h = FindWindowExW(NULL, h, L"Brondelkit", L"Brondelkit"));)
        n++;
    return n;
}

class Instances : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(NULL, ResidentWindow()) << "an instance from an earlier test still runs";
        DeleteSettingsKey();
        PutRecord(L"", 0, 20, L"", 0);
        Network("up");
    }
    void TearDown() override
    {
        EndProgram(first);
        WaitUntil([] { return ResidentWindow() == NULL; });
        DeleteSettingsKey();
        Network("down");
    }
    ::Program first;
};

// Starts at the same moment with none running: each looks for a window that
// none of them has made yet.
TEST_F(Instances, StartsAtTheSameMomentLeaveOne)
{
    std::vector<::Program> starts;
    for (int i = 0; i < 6; i++)
        starts.push_back(StartProgram());
    EXPECT_TRUE(WaitUntil([] { return ProgramProcesses() == 1; }))
        << ProgramProcesses() << " instances run";
    for (::Program& p : starts) {
        DWORD code = ExitCode(p);
        if (code == STILL_ACTIVE)
            std::swap(first, p);
        else
            EXPECT_EQ(0u, code);
        EndProgram(p);
    }
    DWORD owner = 0;
    GetWindowThreadProcessId(ResidentWindow(), &owner);
    EXPECT_EQ(1, ResidentWindows());
    EXPECT_EQ(first.pid, owner);
}

TEST_F(Instances, HundredStartsWhileOneRunsEachEndWithZero)
{
    first = StartProgram();
    ASSERT_TRUE(WaitUntil([&] { return LockScreen(first.pid) != NULL; }));
    // Gone, not only hidden: EndDialog hides it before the window goes.
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND h : TopWindows(first.pid))
            if (GetDlgItem(h, IDC_LOCK_PICTURE))
                return false;
        return true;
    }));
    HWND resident = ResidentWindow();
    ASSERT_TRUE(resident);
    ASSERT_TRUE(TrayIconPresent(resident));
    size_t windows = TopWindows(first.pid).size();

    int started = 0, endedWithZero = 0;
    while (started < kStarts) {
        std::vector<::Program> batch;
        for (int i = 0; i < kAtOnce && started < kStarts; i++, started++)
            batch.push_back(StartProgram());
        for (::Program& p : batch) {
            DWORD code = WaitExit(p);
            EXPECT_EQ(0u, code) << "start " << started;
            endedWithZero += code == 0;
            EndProgram(p);
        }
    }
    std::cout << "[ hardening ] " << started << " starts while one ran, " << endedWithZero
              << " ended with 0" << std::endl;
    RecordProperty("attempts", started);
    EXPECT_EQ(kStarts, endedWithZero);

    // Still exactly one, the first, with nothing opened by the others.
    EXPECT_EQ(1, ProgramProcesses());
    EXPECT_EQ(1, ResidentWindows());
    EXPECT_EQ(resident, ResidentWindow());
    EXPECT_EQ(STILL_ACTIVE, ExitCode(first));
    EXPECT_EQ(0, VisibleLockScreens(first.pid));
    EXPECT_EQ(NULL, SettingsDialog(first.pid));
    EXPECT_EQ(windows, TopWindows(first.pid).size());
    EXPECT_TRUE(TrayIconPresent(resident));

    // And it still works: a resume opens its lock screen.
    PostResume(first.pid);
    EXPECT_TRUE(WaitUntil([&] { return LockScreen(first.pid) != NULL; }));
}

}  // namespace
