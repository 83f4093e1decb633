// Times Brondelkit and the bench's baselines side by side, from another
// process in the same Wine session, the way the platform drives them:
//   benchdrv START_RUNS RESUME_RUNS PROBE_RUNS PROGRAM.exe BASELINE.exe CLASS
//            [VARIANT.exe CLASS]...
// (CLASS: class and title of that program's resident window). Prints
// "@@RESULT key unit baseline program variants..." lines for run.sh, and
// "@@IDLE" when all sit idle with no dialog open; the script around it
// measures them from Linux and answers "ok" on stdin.
//   benchdrv burst RUNS PROGRAM.exe: bursts of resumes alone (see Bursts).
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "../baseline/bare_probe.h"
#include "../../tools/topwindows.h"
#include "lock/probe.h"
#include "resource.h"

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

// True once the condition holds; false when it did not within the patience.
template <class Condition> bool WaitFor(Condition c)
{
    double start = NowMs();
    while (!c()) {
        if (NowMs() - start > kPatienceMs)
            return false;
        Sleep(5);
    }
    return true;
}

// A poll tick: the lock screen finds the network usable and, with no
// password stored, closes; the baseline closes on any tick.
void PassDialog(const Subject& s, HWND dlg)
{
    PostMessageW(dlg, WM_TIMER, 2, 0);
    if (!WaitFor([&] { return VisibleDialog(s.pid) == NULL; }))
        Fail(std::string(s.label) + ": dialog did not close on a tick");
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

// A resume while the dialog of the last one is still open: until a fresh
// dialog shows in its place. The fresh one stays open for the next.
double ResumeOverOpenDialog(Subject& s)
{
    HWND resident = FindWindowW(s.name.c_str(), s.name.c_str());
    HWND old = VisibleDialog(s.pid);
    if (!resident || !old)
        Fail(std::string(s.label) + ": no open dialog to resume over");
    double t0 = NowMs();
    PostMessageW(resident, WM_POWERBROADCAST, 7, 0);
    HWND fresh;
    while ((fresh = VisibleDialog(s.pid)) == old || !fresh) {
        if (NowMs() - t0 > kPatienceMs)
            Fail(std::string(s.label) + ": no fresh dialog after a resume over the open one");
        Sleep(1);
    }
    return NowMs() - t0;
}

// The median of `runs` measurements of each subject, in the order of the
// subjects. Who goes first rotates, so that none always runs on a warmer
// cache.
template <class Measure>
std::vector<double> Medians(std::vector<Subject>& subjects, int runs, Measure measure)
{
    size_t n = subjects.size();
    std::vector<std::vector<double>> times(n);
    for (int i = 0; i < runs; i++) {
        for (size_t j = 0; j < n; j++) {
            size_t k = (i + j) % n;
            times[k].push_back(measure(subjects[k]));
        }
    }
    std::vector<double> figures;
    for (auto& v : times)
        figures.push_back(Median(v));
    return figures;
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

// Stored settings with that password and nothing to launch; with none the
// lock screen passes by itself on a usable network.
void StoreRecord(const wchar_t* pass)
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\TAVIK\\Brondelkit", 0, NULL, 0,
                        KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS)
        Fail("cannot create the settings key");
    BYTE zeros[200] = {};
    DWORD enable = pass[0] != 0, zero = 0, timeout = 20;
    RegSetValueExW(key, L"PassEnable", 0, REG_DWORD, (BYTE*)&enable, 4);
    WCHAR stored[11] = {};
    lstrcpynW(stored, pass, 11);
    RegSetValueExW(key, L"Pass", 0, REG_SZ, (const BYTE*)stored, sizeof(stored));
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

// --- The soak: resumes in bursts over a lock screen that asks for a password.

// The icon's tap is queued behind every resume posted before it: once its
// settings dialog shows, they have all been handled. The lock screens
// visible then; the dialog is closed again. `shownAt`: when it showed.
int LocksOnceCaughtUp(const Subject& s, HWND resident, double* shownAt = nullptr)
{
    PostMessageW(resident, WM_TRAYNOTIFY, ID_TRAYICON, WM_LBUTTONDOWN);
    HWND settings = NULL;
    if (!WaitFor([&] {
            std::vector<HWND> shown = VisibleWithControl(s.pid, IDC_TIMEOUT_VALUE);
            settings = shown.size() == 1 ? shown[0] : NULL;
            return settings != NULL;
        }))
        Fail("soak: the program did not catch up with a burst");
    if (shownAt)
        *shownAt = NowMs();
    int locks = (int)VisibleWithControl(s.pid, IDC_LOCK_PICTURE).size();
    PostMessageW(GetDlgItem(settings, IDOK), BM_CLICK, 0, 0);
    if (!WaitFor([&] { return !IsWindow(settings); }))
        Fail("soak: the settings dialog did not close");
    return locks;
}

// The program's memory and threads as Linux counts them, from the script.
struct Footprint {
    long rss = 0, peak = 0, threads = 0;
};

Footprint AskFootprint()
{
    std::cout << "@@FOOTPRINT" << std::endl;
    std::string line;
    std::getline(std::cin, line);
    Footprint f;
    if (sscanf(line.c_str(), "%ld %ld %ld", &f.rss, &f.peak, &f.threads) != 3)
        Fail("soak: no footprint of the program: " + line);
    return f;
}

void RunResumeTool(const std::wstring& tool)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;     // its report is not ours
    PROCESS_INFORMATION pi = {};
    std::wstring line = L"\"" + tool + L"\" pm";
    std::vector<wchar_t> cmd(line.begin(), line.end());
    cmd.push_back(0);
    if (!CreateProcessW(NULL, cmd.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        Fail("soak: cannot run the resume tool");
    WaitForSingleObject(pi.hProcess, kPatienceMs);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

// One burst on one road: the Power Manager's (the resume tool, a process
// per notice), what its notices become (the resident window alone), or the
// broadcast to every window of the program.
enum class Road { PowerManager, Resident, Broadcast };

void Burst(const Subject& s, HWND resident, Road road, int resumes, const std::wstring& tool)
{
    for (int i = 0; i < resumes; i++) {
        if (road == Road::PowerManager) {
            RunResumeTool(tool);
            continue;
        }
        if (road == Road::Resident)
            PostMessageW(resident, WM_POWERBROADCAST, 7, 0);
        else
            for (HWND h : TopWindowsOf(s.pid))
                PostMessageW(h, WM_POWERBROADCAST, 7, 0);
        Sleep(20);
    }
}

// Bursts over a lock screen that asks for a password, after one burst
// that warms everything up: the lock screens visible after each, and the
// program's memory, threads and windows before and after them all.
void Soak(Subject& s, const std::wstring& tool, int bursts, int perBurst)
{
    StoreRecord(L"abc");
    Launch(s);
    PostMessageW(WaitDialog(s), WM_TIMER, 2, 0);   // the network is usable: the password is asked
    HWND resident = FindWindowW(s.name.c_str(), s.name.c_str());
    const Road roads[] = {Road::PowerManager, Road::Resident, Road::Broadcast};
    Burst(s, resident, Road::Resident, perBurst, tool);
    LocksOnceCaughtUp(s, resident);
    Footprint before = AskFootprint(), least = before, most = before;
    size_t windowsBefore = TopWindowsOf(s.pid).size();
    int fewestLocks = 1 << 30, mostLocks = 0, hidden = 0;
    for (int b = 0; b < bursts; b++) {
        // The Power Manager's road, a process per notice, in two bursts only.
        Road road = b < 6 ? roads[b % 3] : roads[1 + b % 2];
        Burst(s, resident, road, perBurst, tool);
        int locks = LocksOnceCaughtUp(s, resident);
        fewestLocks = std::min(fewestLocks, locks);
        mostLocks = std::max(mostLocks, locks);
        hidden = std::max(hidden, HiddenDialogsOf(s.pid));
        Footprint f = AskFootprint();
        least.rss = std::min(least.rss, f.rss);
        most.rss = std::max(most.rss, f.rss);
    }
    Footprint after = AskFootprint();
    size_t windowsAfter = TopWindowsOf(s.pid).size();
    // The one lock screen left still works: the password passes it.
    std::vector<HWND> locks = VisibleWithControl(s.pid, IDC_LOCK_PICTURE);
    HWND last = locks.empty() ? NULL : locks.back();
    SetDlgItemTextW(last, IDC_LOCK_PASSWORD, L"abc");
    PostMessageW(GetDlgItem(last, IDOK), BM_CLICK, 0, 0);
    bool passed = last && WaitFor([&] { return VisibleDialog(s.pid) == NULL; });
    std::cout << "@@SOAK " << bursts * perBurst << " resumes in " << bursts << " bursts of "
              << perBurst << " after one more that warms up; visible lock screens after each"
              << " burst: " << fewestLocks << " to " << mostLocks << "; hidden dialogs at most "
              << hidden << "; top-level windows " << windowsBefore << " -> " << windowsAfter
              << "; threads " << before.threads << " -> " << after.threads << "; resident "
              << before.rss << " -> " << after.rss << " KiB (" << least.rss << " to " << most.rss
              << " between bursts), peak " << before.peak << " -> " << after.peak
              << " KiB; the last lock screen " << (passed ? "passed" : "NOT passed")
              << " with the password" << std::endl;
    Stop(s);
    StoreRecord(L"");
    if (fewestLocks != 1 || mostLocks != 1 || hidden || !passed)
        Fail("soak: not one working lock screen after every burst");
    if (windowsAfter != windowsBefore || after.threads != before.threads)
        Fail("soak: windows or threads grew");
}

// --- Bursts: N resumes posted at once over a lock screen that asks for the
// password, until the icon's tap, posted right after them, is answered.

double BurstToTap(const Subject& s, HWND resident, int resumes)
{
    double t0 = NowMs(), shown = 0;
    for (int i = 0; i < resumes; i++)
        PostMessageW(resident, WM_POWERBROADCAST, 7, 0);
    if (LocksOnceCaughtUp(s, resident, &shown) != 1)
        Fail("burst: not one lock screen after " + std::to_string(resumes) + " resumes");
    return shown - t0;
}

// The median of each size, measured in turns.
void Bursts(Subject& s, int runs)
{
    StoreRecord(L"abc");
    Launch(s);
    PostMessageW(WaitDialog(s), WM_TIMER, 2, 0);   // the network is usable: the password is asked
    HWND resident = FindWindowW(s.name.c_str(), s.name.c_str());
    const int sizes[] = {1, 10, 200};
    std::vector<double> times[3];
    BurstToTap(s, resident, 10);
    for (int i = 0; i < runs; i++) {
        for (int j = 0; j < 3; j++) {
            int k = (i + j) % 3;
            times[k].push_back(BurstToTap(s, resident, sizes[k]));
        }
    }
    for (int k = 0; k < 3; k++)
        Result(("burst_" + std::to_string(sizes[k])).c_str(), "ms", {Median(times[k])});
    Stop(s);
    StoreRecord(L"");
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    // On its own session: a desktop of the device's, where replacing a lock
    // screen costs what it costs the device, not a bare display's wait.
    if (argc == 4 && wcscmp(argv[1], L"burst") == 0) {
        Subject program = {"program", argv[3], kProgramName};
        Bursts(program, _wtoi(argv[2]));
        std::cout << "@@DONE" << std::endl;
        return 0;
    }
    if (argc < 7 || argc % 2 == 0) {
        std::cout << "usage: benchdrv START RESUME PROBE PROGRAM.exe BASELINE.exe CLASS"
                     " [VARIANT.exe CLASS]..." << std::endl;
        return 2;
    }
    int startRuns = _wtoi(argv[1]), resumeRuns = _wtoi(argv[2]), probeRuns = _wtoi(argv[3]);
    const wchar_t* soakEnv = _wgetenv(L"BENCH_SOAK_BURSTS");
    int soakBursts = soakEnv ? _wtoi(soakEnv) : 20;
    // Figures are reported in this order: baseline, program, variants.
    std::vector<Subject> subjects;
    subjects.push_back({"baseline", argv[5], argv[6]});
    subjects.push_back({"program", argv[4], kProgramName});
    for (int i = 7; i + 1 < argc; i += 2)
        subjects.push_back({"variant", argv[i], argv[i + 1]});
    const size_t n = subjects.size();

    if (FindWindowW(kProgramName, kProgramName))
        Fail("an instance of the program already runs");
    StoreRecord(L"");
    WSADATA wsa;
    WSAStartup(MAKEWORD(1, 1), &wsa);

    BenchProbe(probeRuns, n);

    // One unmeasured start of each first: the first process of a session
    // pays for loading Wine's libraries from disk.
    for (Subject& s : subjects)
        StartToDialog(s);
    Result("start", "ms", Medians(subjects, startRuns, StartToDialog));

    for (Subject& s : subjects) {
        Launch(s);
        PassDialog(s, WaitDialog(s));
        ResumeToDialog(s);
    }
    Result("resume", "ms", Medians(subjects, resumeRuns, ResumeToDialog));

    // Each with its dialog open, which every resume then replaces.
    for (Subject& s : subjects) {
        PostMessageW(FindWindowW(s.name.c_str(), s.name.c_str()), WM_POWERBROADCAST, 7, 0);
        WaitDialog(s);
    }
    std::vector<double> over = Medians(subjects, resumeRuns, ResumeOverOpenDialog);
    for (Subject& s : subjects)
        PassDialog(s, VisibleDialog(s.pid));
    Result("resume_open", "ms", over);

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

    std::wstring tool = subjects[1].exe.substr(0, subjects[1].exe.find_last_of(L'\\') + 1) +
                        L"resume.exe";
    Soak(subjects[1], tool, soakBursts, 50);
    WSACleanup();
    std::cout << "@@DONE" << std::endl;
    return 0;
}
