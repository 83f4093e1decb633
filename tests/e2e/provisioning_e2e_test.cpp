// A fleet's way of setting the program up: the example docs/brondelkit.reg
// imported with the platform's own importer, then the program started.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/e2e.h"
#include "regedit.h"
#include "resource.h"
#include "support/scratch_registry.h"

namespace {

const wchar_t kWaiting[] = L"無線LAN起動準備中";
const wchar_t kTimedOut[] = L"無線LANが使用可能な状態になっていません。";
const wchar_t kWrongPassword[] = L"パスワードが不正です。";

// The Windows path of a file of the source tree (BK_ROOT is a Linux path).
std::wstring SourceFile(const wchar_t* relative)
{
    WCHAR root[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"BK_ROOT", root, MAX_PATH);
    std::wstring path = std::wstring(L"Z:") + root + L"/" + relative;
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

DWORD RunImporter(const std::wstring& regFile)
{
    DWORD code = 1;
    EXPECT_TRUE(RunRegedit(regFile, &code)) << "regedit did not run to its end: " << GetLastError();
    return code;
}

std::wstring StoredText(const wchar_t* name)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!GetValue(name, &type, &data) || type != REG_SZ)
        return L"<missing or not REG_SZ>";
    data.resize(data.size() + 2, 0);
    return (const wchar_t*)data.data();
}

DWORD StoredDword(const wchar_t* name)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!GetValue(name, &type, &data) || type != REG_DWORD || data.size() != 4)
        return 0xDEADBEEF;
    return *(const DWORD*)data.data();
}

class Provisioning : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(NULL, ResidentWindow()) << "an instance from an earlier test still runs";
        DeleteSettingsKey();
        Network("down");
    }
    void TearDown() override
    {
        EndProgram(prog);
        WaitUntil([] { return ResidentWindow() == NULL; });
        DeleteSettingsKey();
    }
    ::Program prog;
};

TEST_F(Provisioning, ImportedExampleSkipsTheFirstRunAndSetsTimeoutAndPassword)
{
    DWORD type;
    std::vector<BYTE> data;
    ASSERT_FALSE(GetValue(L"AppEnable", &type, &data)) << "the registry is not fresh";

    ASSERT_EQ(0u, RunImporter(SourceFile(L"docs/brondelkit.reg")));
    // Every value with its type, as the example states it.
    EXPECT_EQ(L"4821", StoredText(L"Pass"));
    EXPECT_EQ(1u, StoredDword(L"PassEnable"));
    EXPECT_EQ(30u, StoredDword(L"nTimeout"));
    EXPECT_EQ(L"\\windows\\iesample.exe", StoredText(L"AppPass"));
    EXPECT_EQ(1u, StoredDword(L"AppEnable"));

    prog = StartProgram();
    HWND lock = NULL;
    DWORD shown = 0;
    ASSERT_TRUE(WaitUntil([&] {
        EXPECT_EQ(NULL, SettingsDialog(prog.pid)) << "first-run settings dialog shown";
        return (lock = LockScreen(prog.pid)) != NULL;
    }));
    shown = GetTickCount();
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(lock, IDC_LOCK_PASSWORD)));

    // Without a network it waits the imported 30 seconds, not the default
    // 20: still waiting after 25, then timed out (the upper bound is loose:
    // a loaded machine may deliver the timer late, never early).
    while (GetTickCount() - shown < 25000) {
        ASSERT_NE(std::wstring(kTimedOut), ItemText(lock, IDC_LOCK_STATUS))
            << "timed out after " << GetTickCount() - shown << " ms";
        Sleep(200);
    }
    EXPECT_EQ(kWaiting, ItemText(lock, IDC_LOCK_STATUS));
    ASSERT_TRUE(WaitUntil([&] { return ItemText(lock, IDC_LOCK_STATUS) == kTimedOut; }));
    EXPECT_EQ(NULL, SettingsDialog(prog.pid));

    // The imported password, and only it, passes.
    SetDlgItemTextW(lock, IDC_LOCK_PASSWORD, L"1234");
    SendMessageW(lock, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(kWrongPassword, ItemText(lock, IDC_LOCK_STATUS));
    EXPECT_EQ(lock, LockScreen(prog.pid));
    SetDlgItemTextW(lock, IDC_LOCK_PASSWORD, L"4821");
    PostMessageW(lock, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return VisibleLockScreens(prog.pid) == 0; }));
    EXPECT_EQ(STILL_ACTIVE, ExitCode(prog));
    // Starting changed nothing that was imported.
    EXPECT_EQ(L"4821", StoredText(L"Pass"));
    EXPECT_EQ(30u, StoredDword(L"nTimeout"));
}

}  // namespace
