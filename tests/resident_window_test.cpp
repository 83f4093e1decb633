// The resident window's own procedure, in-process, answering bursts of
// resumes: a CBT hook sees every dialog it creates.
#include <gtest/gtest.h>

#include "lock/lockdlg.h"
#include "shell/shell.h"
#include "support/dialog_driver.h"
#include "support/fake_network.h"
#include "support/scratch_registry.h"

namespace {

const int kBurst = 50;

// The first lock screen of a round gets the burst, as the platform's
// broadcast posts it (to the lock screen and the resident window, in the
// round's order); any later one the poll that passes it.
struct Round {
    HWND resident = NULL;
    bool residentFirst = false;
    int locks = 0;
};
Round g_round;

LRESULT CALLBACK OnCreateWindow(int code, WPARAM wParam, LPARAM lParam)
{
    WCHAR cls[16];
    HWND h = (HWND)wParam;
    if (code == HCBT_CREATEWND && GetClassNameW(h, cls, 16) && wcscmp(cls, L"#32770") == 0) {
        if (++g_round.locks == 1) {
            HWND order[2] = {h, g_round.resident};
            if (g_round.residentFirst)
                std::swap(order[0], order[1]);
            for (int i = 0; i < kBurst; i++)
                for (HWND to : order)
                    PostMessageW(to, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
        } else {
            SetNetworkUsable(true);
            PostMessageW(h, WM_TIMER, TIMER_POLL, 0);
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

TEST(ResidentWindow, BurstOfResumesCostsOneFreshLockScreen)
{
    PutRecord(L"", 0, 20, L"", 0);
    InstallFakeNetwork();
    HHOOK hook = SetWindowsHookExW(WH_CBT, OnCreateWindow, NULL, GetCurrentThreadId());
    const wchar_t kClass[] = L"BrondelkitResidentTest";
    RegisterMainClass(g_hInstance, kClass);
    // Its creation posts the start-up's resume: the first round's lock screen.
    HWND resident = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, NULL, NULL, g_hInstance, NULL);
    ASSERT_TRUE(resident);
    for (bool residentFirst : {true, false}) {
        SCOPED_TRACE(residentFirst ? "resident first" : "resident last");
        g_round = Round{resident, residentFirst, 0};
        SetNetworkUsable(false);
        if (!residentFirst)
            PostMessageW(resident, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
        PumpMessages();
        EXPECT_EQ(2, g_round.locks) << "lock screens for one resume and then " << kBurst
                                    << " more at once";
        EXPECT_FALSE(DialogsOpen());
    }
    UnhookWindowsHookEx(hook);
    DestroyWindow(resident);
    // The quit message it posts on its way is the program's, not the tests'.
    MSG msg;
    PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
    UnregisterClassW(kClass, g_hInstance);
    RemoveFakeNetwork();
    DeleteSettingsKey();
}

}  // namespace
