// Waiting for what other processes of this Wine session do, with no bound
// that a busy machine can exceed: a wait gives up only once the session has
// stopped working towards it. Shared by the tools and the tests (C++17).
//
// Working means that processes of the session other than the waiter use
// CPU time, or that one starts or ends. A wait fails when the session has
// done no work for `idleMs` (nothing is left that could bring the awaited
// state), or when it has spent kBusyLimitMs of CPU time without reaching
// it (a program going round in circles). A loaded machine gives the
// session less CPU time a second, never none, and the same work costs the
// same CPU time however slowly it comes.
#ifndef BRONDELKIT_TOOLS_PATIENCE_H
#define BRONDELKIT_TOOLS_PATIENCE_H

#include <windows.h>
#include <winternl.h>

#include <map>
#include <vector>

namespace patience {

const DWORD kIdleMs = 15000;
const LONGLONG kWorkMs = 200;
const LONGLONG kBusyLimitMs = 120000;

// CPU milliseconds of each process of the session but this one. Wine gives
// other processes' times only through the system's process list
// (GetProcessTimes answers with the caller's own).
inline std::map<ULONG_PTR, LONGLONG> CpuByProcess()
{
    static auto query = (decltype(&NtQuerySystemInformation))(void*)GetProcAddress(
        GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation");
    std::map<ULONG_PTR, LONGLONG> cpu;
    static std::vector<BYTE> buf(1 << 16);
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = query(SystemProcessInformation, buf.data(), (ULONG)buf.size(), &needed)) ==
           (NTSTATUS)0xC0000004 /* STATUS_INFO_LENGTH_MISMATCH */)
        buf.resize(buf.size() * 2);
    if (status < 0)
        return cpu;
    const DWORD self = GetCurrentProcessId();
    for (size_t at = 0;;) {
        const SYSTEM_PROCESS_INFORMATION* p = (const SYSTEM_PROCESS_INFORMATION*)&buf[at];
        if ((ULONG_PTR)p->UniqueProcessId != self)
            cpu[(ULONG_PTR)p->UniqueProcessId] =
                (p->UserTime.QuadPart + p->KernelTime.QuadPart) / 10000;
        if (!p->NextEntryOffset)
            break;
        at += p->NextEntryOffset;
    }
    return cpu;
}

enum class End { Reached, Idle, Busy };

inline const wchar_t* Why(End end)
{
    return end == End::Idle ? L"the session sat idle" : L"the session kept busy without it";
}

// Polls `reached` until it holds, while the session works.
template <class Condition>
End WaitWhileWorking(Condition reached, DWORD idleMs = kIdleMs)
{
    std::map<ULONG_PTR, LONGLONG> last = CpuByProcess();
    LONGLONG spent = 0, sinceWork = 0;
    DWORD lastWork = GetTickCount(), lastLook = lastWork;
    while (!reached()) {
        Sleep(20);
        DWORD now = GetTickCount();
        // The process list costs a round trip to the server for each process.
        if (now - lastLook < 200)
            continue;
        lastLook = now;
        std::map<ULONG_PTR, LONGLONG> cpu = CpuByProcess();
        bool startedOrEnded = cpu.size() != last.size();
        for (const auto& p : cpu) {
            auto before = last.find(p.first);
            if (before == last.end())
                startedOrEnded = true;
            else if (p.second > before->second)
                sinceWork += p.second - before->second;
        }
        last.swap(cpu);
        // Wine's own services wake now and then, and the waiter's reads of
        // another program's windows cost that program a little: below
        // kWorkMs in a whole idle time, that is no work.
        if (startedOrEnded || sinceWork >= kWorkMs) {
            spent += sinceWork;
            sinceWork = 0;
            lastWork = now;
        } else if (now - lastWork > idleMs) {
            return End::Idle;
        }
        if (spent > kBusyLimitMs)
            return End::Busy;
    }
    return End::Reached;
}

// Once the process's thread waits for input again, as a hand waits before
// a tap.
inline void WaitInputIdle(HANDLE process)
{
    WaitWhileWorking([&] { return WaitForInputIdle(process, 100) == 0; });
}

// Whether the window's thread takes a message sent to it, that is once it
// has handled everything queued before it; false when the window is gone
// or the session stopped working first.
inline bool Answers(HWND h)
{
    DWORD_PTR r;
    bool answered = false;
    WaitWhileWorking([&] {
        answered = SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_NORMAL, 200, &r) != 0;
        return answered || !IsWindow(h);
    });
    return answered;
}

}  // namespace patience

#endif
