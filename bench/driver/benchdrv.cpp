// Times Brondelkit and the bench's baselines side by side, from another
// process in the same Wine session, the way the platform drives them:
//   benchdrv START_RUNS RESUME_RUNS PROBE_RUNS PROGRAM.exe BASELINE.exe CLASS
//            [VARIANT.exe CLASS]...
// (CLASS: class and title of that program's resident window). Prints
// "@@RESULT key unit baseline program variants..." lines for run.sh, and
// "@@IDLE" when all sit idle with no dialog open; the script around it
// measures them from Linux and answers "ok" on stdin.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "../baseline/bare_probe.h"
#include "lock/probe.h"

namespace {

const wchar_t kProgramName[] = L"Brondelkit";   // class and title of its resident window
const wchar_t kBaselineName[] = L"BenchBaseline";
const DWORD kPatienceMs = 20000;

struct Subject {
    const char* label;
    std::wstring exe;
    std::wstring name;
    HANDLE process = NULL;
    DWORD pid = 0;
};

double NowMs()
{
    static LARGE_INTEGER freq;
    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)freq.QuadPart;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Every process started and not yet ended: a failed run ends them too, so
// that none keeps running (and holding the script's pipe) after the driver.
std::vector<HANDLE> g_running;

[[noreturn]] void Fail(const std::string& why)
{
    std::cout << "@@FAIL " << why << std::endl;
    for (HANDLE h : g_running)
        TerminateProcess(h, 99);
    ExitProcess(2);
}

struct Find {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND h, LPARAM lp)
{
    Find* f = (Find*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    WCHAR cls[16];
    if (pid == f->pid && IsWindowVisible(h) && GetClassNameW(h, cls, 16) &&
        lstrcmpW(cls, L"#32770") == 0) {
        f->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleDialog(DWORD pid)
{
    Find f = {pid, NULL};
    EnumWindows(FindDialog, (LPARAM)&f);
    return f.found;
}

// Polls every millisecond: the figure is as fine as the poll.
HWND WaitDialog(const Subject& s)
{
    double start = NowMs();
    HWND h;
    while (!(h = VisibleDialog(s.pid))) {
        if (NowMs() - start > kPatienceMs)
            Fail(std::string(s.label) + ": no dialog shown");
        if (WaitForSingleObject(s.process, 0) == WAIT_OBJECT_0)
            Fail(std::string(s.label) + ": ended before showing a dialog");
        Sleep(1);
    }
    return h;
}

// A poll tick: the lock screen finds the network usable and, with no
// password stored, closes; the baseline closes on any tick.
void PassDialog(const Subject& s, HWND dlg)
{
    PostMessageW(dlg, WM_TIMER, 2, 0);
    double start = NowMs();
    while (VisibleDialog(s.pid)) {
        if (NowMs() - start > kPatienceMs)
            Fail(std::string(s.label) + ": dialog did not close on a tick");
        Sleep(5);
    }
}

void Launch(Subject& s)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(s.exe.c_str(), NULL, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        Fail(std::string(s.label) + ": cannot start, error " + std::to_string(GetLastError()));
    CloseHandle(pi.hThread);
    s.process = pi.hProcess;
    s.pid = pi.dwProcessId;
    g_running.push_back(s.process);
}

void Stop(Subject& s)
{
    HWND resident = FindWindowW(s.name.c_str(), s.name.c_str());
    if (resident)
        PostMessageW(resident, WM_CLOSE, 0, 0);
    DWORD code = 1;
    if (WaitForSingleObject(s.process, 10000) != WAIT_OBJECT_0) {
        std::cout << s.label << ": did not end on WM_CLOSE; terminated" << std::endl;
        TerminateProcess(s.process, 99);
        WaitForSingleObject(s.process, 10000);
    }
    GetExitCodeProcess(s.process, &code);
    if (code != 0)
        std::cout << s.label << ": exit code " << code << std::endl;
    g_running.erase(std::find(g_running.begin(), g_running.end(), s.process));
    CloseHandle(s.process);
    s.process = NULL;
    // The next start must not find this one's window.
    double start = NowMs();
    while (FindWindowW(s.name.c_str(), s.name.c_str()) && NowMs() - start < kPatienceMs)
        Sleep(5);
}

double StartToDialog(Subject& s)
{
    double t0 = NowMs();
    Launch(s);
    HWND dlg = WaitDialog(s);
    double ms = NowMs() - t0;
    PassDialog(s, dlg);
    Stop(s);
    return ms;
}

double ResumeToDialog(Subject& s)
{
    HWND resident = FindWindowW(s.name.c_str(), s.name.c_str());
    if (!resident)
        Fail(std::string(s.label) + ": resident window gone");
    double t0 = NowMs();
    PostMessageW(resident, WM_POWERBROADCAST, 7, 0);
    HWND dlg = WaitDialog(s);
    double ms = NowMs() - t0;
    PassDialog(s, dlg);
    return ms;
}

// Figures in the order of the subjects: baseline, program, variants.
void Result(const char* key, const char* unit, const std::vector<double>& values)
{
    std::cout << "@@RESULT " << key << " " << unit;
    for (double v : values) {
        char figure[32];
        snprintf(figure, sizeof(figure), " %.3f", v);
        std::cout << figure;
    }
    std::cout << std::endl;
}

// Stored settings that let the lock screen pass by itself on a usable
// network: no password, nothing to launch.
void StoreQuietRecord()
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\TAVIK\\Brondelkit", 0, NULL, 0,
                        KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS)
        Fail("cannot create the settings key");
    BYTE zeros[200] = {};
    DWORD zero = 0, timeout = 20;
    RegSetValueExW(key, L"PassEnable", 0, REG_DWORD, (BYTE*)&zero, 4);
    RegSetValueExW(key, L"Pass", 0, REG_SZ, zeros, 22);
    RegSetValueExW(key, L"nTimeout", 0, REG_DWORD, (BYTE*)&timeout, 4);
    RegSetValueExW(key, L"AppPass", 0, REG_SZ, zeros, 200);
    LONG rc = RegSetValueExW(key, L"AppEnable", 0, REG_DWORD, (BYTE*)&zero, 4);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        Fail("cannot store the settings");
}

void BenchProbe(int runs, size_t subjects)
{
    if (ProbeWirelessLan() != 0 || BareProbeCalls() != 0)
        Fail("the network is not usable: the probe would not make every call");
    std::vector<double> probe, bare;
    for (int i = 0; i < runs + 10; i++) {
        // Interleaved, so that drift of the name service hits both alike.
        double t0 = NowMs();
        ProbeWirelessLan();
        double t1 = NowMs();
        BareProbeCalls();
        double t2 = NowMs();
        if (i >= 10) {
            probe.push_back((t1 - t0) * 1000);
            bare.push_back((t2 - t1) * 1000);
        }
    }
    // The bare calls are every baseline's figure.
    std::vector<double> figures(subjects, Median(bare));
    figures[1] = Median(probe);
    Result("probe", "us", figures);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 7 || argc % 2 == 0) {
        std::cout << "usage: benchdrv START RESUME PROBE PROGRAM.exe BASELINE.exe CLASS"
                     " [VARIANT.exe CLASS]..." << std::endl;
        return 2;
    }
    int startRuns = _wtoi(argv[1]), resumeRuns = _wtoi(argv[2]), probeRuns = _wtoi(argv[3]);
    // Figures are reported in this order: baseline, program, variants.
    std::vector<Subject> subjects;
    subjects.push_back({"baseline", argv[5], argv[6]});
    subjects.push_back({"program", argv[4], kProgramName});
    for (int i = 7; i + 1 < argc; i += 2)
        subjects.push_back({"variant", argv[i], argv[i + 1]});
    const size_t n = subjects.size();

    if (FindWindowW(kProgramName, kProgramName))
        Fail("an instance of the program already runs");
    StoreQuietRecord();
    WSADATA wsa;
    WSAStartup(MAKEWORD(1, 1), &wsa);

    BenchProbe(probeRuns, n);

    // One unmeasured start of each first: the first process of a session
    // pays for loading Wine's libraries from disk.
    for (Subject& s : subjects)
        StartToDialog(s);
    std::vector<std::vector<double>> start(n), resume(n);
    for (int i = 0; i < startRuns; i++) {
        // Rotate who goes first, so that none always runs on a warmer cache.
        for (size_t j = 0; j < n; j++) {
            size_t k = (i + j) % n;
            start[k].push_back(StartToDialog(subjects[k]));
        }
    }
    std::vector<double> figures;
    for (auto& v : start)
        figures.push_back(Median(v));
    Result("start", "ms", figures);

    for (Subject& s : subjects) {
        Launch(s);
        PassDialog(s, WaitDialog(s));
        ResumeToDialog(s);
    }
    for (int i = 0; i < resumeRuns; i++) {
        for (size_t j = 0; j < n; j++) {
            size_t k = (i + j) % n;
            resume[k].push_back(ResumeToDialog(subjects[k]));
        }
    }
    figures.clear();
    for (auto& v : resume)
        figures.push_back(Median(v));
    Result("resume", "ms", figures);

    // All resident, their dialogs passed: let them settle, then the script
    // measures memory and CPU over the idle minute.
    Sleep(2000);
    std::cout << "@@IDLE" << std::endl;
    std::string ack;
    std::getline(std::cin, ack);
    for (Subject& s : subjects) {
        if (VisibleDialog(s.pid))
            Fail(std::string(s.label) + ": a dialog opened while idle");
        if (WaitForSingleObject(s.process, 0) == WAIT_OBJECT_0)
            Fail(std::string(s.label) + ": ended while idle");
    }
    for (Subject& s : subjects)
        Stop(s);
    WSACleanup();
    std::cout << "@@DONE" << std::endl;
    return 0;
}
