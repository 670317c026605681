// Times Read and Write of the real quarnel.exe in both console modes against
// the simulated converter on a line paced at its real bit rate, and sets each
// median beside the wire-time floor; prints the program's CPU share of one
// core (idle with the port closed, idle with it open, during paced Reads) and
// a soak: Read and Write cycles with the program's memory and handle count
// before and after. A benchmark: it prints figures and fails only when an
// operation itself fails.
//
//   quarnel-bench.exe STATS_FILE [RUNS [PROGRAM [SOAK_CYCLES]]]
//
// Both paths are Linux paths. STATS_FILE holds the line counters of the
// simulator behind COM3 (tarvo-sim --stats); PROGRAM defaults to the
// quarnel.exe of this build tree. QUARNEL_SIM_DIR names the simulator's
// control folder (see tests/wine/with-sims.sh).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tools/bench-driver/process_usage.h"
#include "tools/bench-driver/wire_floor.h"
#include "tools/window-driver/app_driver.h"
#include "tools/window-driver/sim_files.h"

namespace {

constexpr char BENCH_PORT[] = "COM3";
constexpr DWORD STEP_WAIT_MS = 20000;
// The monitor probe goes unanswered for this long before the shell probe.
constexpr double MONITOR_PROBE_TIMEOUT_MS = 1000;
// How long each idle CPU figure is taken over.
constexpr DWORD IDLE_SAMPLE_MS = 5000;

struct Operation {
    const char* mode;  // simulator console mode
    const char* name;
    int button;
    double target;  // allowed median / floor
};

struct Timing {
    bool ok = false;
    double ms = 0;
    double floorMs = 0;
    double cpuMs = 0;  // the program's CPU time over the operation
};

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Polls `done` every millisecond, for at most timeoutMs; no message pumping,
// so the poll itself costs the program under test next to nothing.
template <typename Done>
bool PollUntil(Done done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) return done();
        Sleep(1);
    }
    return true;
}

struct CaptionSearch {
    DWORD pid;
    HWND skip;
    HWND found;
};

BOOL CALLBACK MatchProgressWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<CaptionSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || window == search->skip || !IsWindowVisible(window)) return TRUE;
    // GetWindowText of another process's window reads the stored caption and
    // sends it no message, so the search does not interrupt the program.
    char caption[16] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (std::string(caption) != "Quarnel") return TRUE;
    search->found = window;
    return FALSE;
}

// The progress window (or a message box: they share the caption).
HWND FindProgressWindow(const e2e::AppDriver& app) {
    CaptionSearch search{app.ProcessId(), app.Main(), nullptr};
    EnumWindows(MatchProgressWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowsPath(const std::string& unixPath) {
    std::string path = "Z:";
    for (char c : unixPath) path.push_back(c == '/' ? '\\' : c);
    return path;
}

// The counters once the line has been quiet for a while: the simulator
// rewrites them whenever traffic stops.
bench::LineCounts QuietCounts(const std::string& statsPath) {
    std::string last = e2e::ReadWholeFile(statsPath);
    for (int i = 0; i < 30; ++i) {
        Sleep(150);
        const std::string now = e2e::ReadWholeFile(statsPath);
        if (now == last) break;
        last = now;
    }
    return bench::ParseLineCounts(last);
}

// One operation, from the click until its progress window has gone. Without
// a statsPath the wire floor is not taken.
Timing TimeOnce(e2e::AppDriver& app, const Operation& op, const std::string& statsPath) {
    Timing timing;
    const bench::LineCounts before = statsPath.empty() ? bench::LineCounts{} : QuietCounts(statsPath);
    const bench::ProcessUsage usageBefore = bench::UsageOf(app.ProcessId());
    const double start = NowMs();
    app.Click(op.button);
    HWND progress = nullptr;
    if (!PollUntil([&] { return (progress = FindProgressWindow(app)) != nullptr; }, STEP_WAIT_MS)) {
        std::fprintf(stderr, "quarnel-bench: %s %s: no progress window\n", op.mode, op.name);
        return timing;
    }
    const bool gone = PollUntil([&] { return !IsWindow(progress) || !IsWindowVisible(progress); }, STEP_WAIT_MS);
    const double end = NowMs();
    const bench::ProcessUsage usageAfter = bench::UsageOf(app.ProcessId());
    e2e::ShownBox box;
    if (!gone || app.AnswerBox("Quarnel", statsPath.empty() ? 0 : 300, &box)) {
        std::fprintf(stderr, "quarnel-bench: %s %s did not complete%s%s\n", op.mode, op.name,
                     box.text.empty() ? "" : ": ", box.text.c_str());
        return timing;
    }
    if (!PollUntil([&] { return app.Enabled(IDC_WRITE); }, 2000)) {
        std::fprintf(stderr, "quarnel-bench: %s %s: Write not enabled afterwards\n", op.mode, op.name);
        return timing;
    }
    timing.ok = true;
    if (statsPath.empty()) return timing;
    const bench::LineCounts after = QuietCounts(statsPath);
    timing.ms = end - start;
    timing.cpuMs = usageAfter.cpuMs - usageBefore.cpuMs;
    timing.floorMs = bench::WireMilliseconds(bench::Difference(after, before));
    if (std::string(op.mode) == "shell") timing.floorMs += MONITOR_PROBE_TIMEOUT_MS;
    return timing;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int Fail(const char* what) {
    std::fprintf(stderr, "quarnel-bench: %s\n", what);
    return 1;
}

// The program's CPU share of one core while nothing happens.
double IdleShare(const e2e::AppDriver& app) {
    const bench::ProcessUsage before = bench::UsageOf(app.ProcessId());
    const double start = NowMs();
    Sleep(IDLE_SAMPLE_MS);
    return bench::CpuShare(before, bench::UsageOf(app.ProcessId()), NowMs() - start);
}

void PrintUsage(const char* when, const bench::ProcessUsage& usage) {
    std::printf("  %-6s working set %8.0f KB, private %8.0f KB, handles %4lu\n", when, usage.workingSetKb,
                usage.privateKb, usage.handles);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail("usage: quarnel-bench.exe STATS_FILE [RUNS [PROGRAM]]");
    const std::string statsPath = WindowsPath(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::string program = argc > 3 ? WindowsPath(argv[3]) : e2e::ProgramPath("quarnel.exe");
    const int soakCycles = argc > 4 ? std::max(0, std::atoi(argv[4])) : 100;
    e2e::SimFiles sim(BENCH_PORT);
    if (!sim.Available()) return Fail("QUARNEL_SIM_DIR is not set");

    e2e::AppDriver app;
    if (!app.Launch(program, STEP_WAIT_MS)) return Fail("the main window did not appear");
    int index = -1;
    for (int i = 0; i < app.ItemCount(IDC_PORT); ++i) {
        if (app.Item(IDC_PORT, i) == BENCH_PORT) index = i;
    }
    if (index < 0) return Fail("COM3 is not offered");
    const double idleClosed = IdleShare(app);
    app.Select(IDC_PORT, index);
    app.Click(IDC_OPEN);
    if (!e2e::WaitUntil([&] { return app.Enabled(IDC_READ); }, STEP_WAIT_MS)) return Fail("COM3 did not open");
    const double idleOpen = IdleShare(app);

    const Operation operations[] = {
        {"monitor", "Read", IDC_READ, 1.2},
        {"monitor", "Write", IDC_WRITE, 1.2},
        {"shell", "Read", IDC_READ, 1.2},
        {"shell", "Write", IDC_WRITE, 1.2},
    };
    struct Result {
        const Operation* op;
        double median, floorMs;
    };
    std::vector<Result> results;
    double readCpuMs = 0, readWallMs = 0;
    std::string mode;
    for (const Operation& op : operations) {
        if (mode != op.mode) {
            mode = op.mode;
            if (!sim.Control({"mode " + mode, "fault none"})) return Fail("the simulator did not take the mode");
        }
        std::vector<double> times, floors;
        std::printf("%-7s %-5s runs (ms):", op.mode, op.name);
        for (int i = 0; i < runs; ++i) {
            const Timing t = TimeOnce(app, op, statsPath);
            if (!t.ok) return 1;
            times.push_back(t.ms);
            floors.push_back(t.floorMs);
            if (op.button == IDC_READ) {
                readCpuMs += t.cpuMs;
                readWallMs += t.ms;
            }
            std::printf(" %.1f", t.ms);
            std::fflush(stdout);
        }
        std::printf("\n");
        results.push_back({&op, Median(times), Median(floors)});
    }

    std::printf("\n%-14s %10s %14s %7s %7s\n", "operation", "median ms", "wire floor ms", "ratio", "target");
    for (const Result& r : results) {
        const double ratio = r.median / r.floorMs;
        std::printf("%-7s %-6s %10.1f %14.1f %7.2f %6.1fx %s\n", r.op->mode, r.op->name, r.median, r.floorMs, ratio,
                    r.op->target, ratio <= r.op->target ? "met" : "MISSED");
    }
    std::printf(
        "Write is the whole action: the backup read, the write and the read-back in one console\n"
        "session; its floor counts the bytes of all three (the backup read costs one Read's floor).\n");
    std::printf(
        "\nCPU share of one core: idle, port closed %.1f %%; idle, port open %.1f %%; "
        "during paced Reads %.1f %%\n",
        idleClosed, idleOpen, readWallMs > 0 ? 100.0 * readCpuMs / readWallMs : 0.0);

    if (soakCycles > 0) {
        if (!sim.Control({"mode monitor", "fault none"})) return Fail("the simulator did not take the mode");
        const bench::ProcessUsage start = bench::UsageOf(app.ProcessId());
        for (int i = 0; i < soakCycles; ++i) {
            for (const Operation* op : {&operations[0], &operations[1]}) {
                if (!TimeOnce(app, *op, std::string()).ok) return 1;
            }
        }
        const bench::ProcessUsage end = bench::UsageOf(app.ProcessId());
        std::printf("\nsoak: %d Read and Write cycles\n", soakCycles);
        PrintUsage("start", start);
        PrintUsage("end", end);
    }
    app.Click(IDC_EXIT);
    if (!app.WaitForExit(5000)) app.Kill();
    return 0;
}
