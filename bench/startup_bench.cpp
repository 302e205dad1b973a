// Start-up benchmark (a report, not a test): how long Tarnix.exe takes from CreateProcess
// until its main window is visible, and how much private memory it then holds, against a
// minimal Win32 window program started the same way in the same Wine; and beside both, a
// program that shows the client's windows from its own templates and does nothing else
// (template_window.exe), which tells Wine's price for those windows from the client's work.
//
//   startup_bench.exe [RUNS [TARNIX_EXE [MINIMAL_EXE]]]
//
// RUNS starts of each (10 by default); the programs default to the ones built beside this
// one. Each start copies the program into a fresh temporary folder; Tarnix gets a lab-mode
// LinkAgent.ini aimed at a port where nothing listens so that it never dials, or, with
// TARNIX_BENCH_SYSTEM=1 in the environment, none: it then uses the system's remote access
// as a subscriber's client does (under Wine, Wine's), without lab mode's watch thread.
//
// Wine's own start-up is kept out of the figures: this driver is itself a Wine process, so
// the wineserver and the prefix's services are up for every measured start, and one
// unmeasured start of each program comes first to warm the file and font caches. The
// programs take turns, in another order each round, so that drift hits them alike.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "resource.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The property the client's main window carries: "澄远宽带拨号客户端".
constexpr wchar_t kMainWindowProperty[] = L"\u6f84\u8fdc\u5bbd\u5e26\u62e8\u53f7\u5ba2\u6237\u7aef";
constexpr double kTimeTarget = 1.3;
constexpr double kMemoryTarget = 1.5;
constexpr auto kWindowLimit = std::chrono::seconds(20);

struct Program {
    const wchar_t* label;
    fs::path exe;
    bool isClient;     // Tarnix: needs its settings and ends by its exit command
    bool hasProperty;  // its main window carries the client's property
};

struct Sample {
    double ms;
    double privateKiB;
    double workingSetKiB;
};

bool systemMode() {
    const char* value = std::getenv("TARNIX_BENCH_SYSTEM");
    return value && *value == '1';
}

struct Search {
    DWORD pid;
    bool needProperty;
    HWND found;
};

HWND visibleWindowOf(DWORD pid, bool needProperty) {
    Search search{pid, needProperty, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner != s->pid || !IsWindowVisible(w)) return TRUE;
            if (s->needProperty && !GetPropW(w, kMainWindowProperty)) return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

fs::path freshFolder(int run) {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    fs::path folder = fs::path(base) / (L"tarnix-startup-" + std::to_wstring(GetCurrentProcessId()) +
                                        L"-" + std::to_wstring(run));
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder);
    return folder;
}

// Asks the program to end as a user would, and kills it if it has not within 10 s.
void endProgram(const Program& program, HANDLE process, HWND window) {
    if (program.isClient)
        PostMessageW(window, WM_COMMAND, ID_MENU_EXIT, 0);
    else
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) {
        std::fwprintf(stderr, L"%ls did not end within 10 s; killed\n", program.label);
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    }
}

// One start: false when the program could not be started or showed no window in time.
bool measureOnce(const Program& program, int run, Sample& sample) {
    const fs::path folder = freshFolder(run);
    const fs::path exe = folder / program.exe.filename();
    std::error_code ec;
    fs::copy_file(program.exe, exe, ec);
    if (ec) {
        std::fwprintf(stderr, L"cannot copy %ls\n", program.exe.c_str());
        return false;
    }
    if (program.isClient && !systemMode()) {
        std::ofstream(folder / "LinkAgent.ini", std::ios::binary)
            << "[LinkAgent]\r\nMode=lab\r\nConcentrator=127.0.0.1:9\r\n";
    }

    std::wstring line = L"\"" + exe.wstring() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    const auto started = Clock::now();
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &pi)) {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
        return false;
    }
    HWND window = nullptr;
    bool ended = false;
    while (!(window = visibleWindowOf(pi.dwProcessId, program.hasProperty))) {
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        if (Clock::now() - started > kWindowLimit) break;
        Sleep(1);
    }
    const auto shown = Clock::now();

    bool ok = window != nullptr;
    if (ok) {
        sample.ms = std::chrono::duration<double, std::milli>(shown - started).count();
        // Let the window finish painting and any start-up work settle before reading.
        Sleep(300);
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof(counters);
        if (GetProcessMemoryInfo(pi.hProcess,
                                 reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof(counters))) {
            // Windows reports the commit charge in both fields; Wine leaves PrivateUsage of
            // another process at 0 and puts its resident anonymous memory (plus swap) in
            // PagefileUsage, the nearest it has to private memory.
            const SIZE_T privateBytes =
                counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
            sample.privateKiB = privateBytes / 1024.0;
            sample.workingSetKiB = counters.WorkingSetSize / 1024.0;
        } else {
            std::fwprintf(stderr, L"cannot read the memory of %ls (error %lu)\n", program.label,
                          GetLastError());
            ok = false;
        }
        endProgram(program, pi.hProcess, window);
    } else {
        std::fwprintf(stderr, L"%ls %ls without showing its window\n", program.label,
                      ended ? L"ended" : L"timed out");
        if (!ended) {
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, 5000);
        }
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    fs::remove_all(folder, ec);
    return ok;
}

struct Summary {
    double median = 0, min = 0, max = 0;
};

Summary summarise(std::vector<double> values) {
    Summary s;
    if (values.empty()) return s;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    s.min = values.front();
    s.max = values.back();
    return s;
}

void printRow(const char* figure, const char* unit, const std::vector<Sample>& samples,
              double Sample::*field) {
    std::vector<double> values;
    for (const auto& s : samples) values.push_back(s.*field);
    Summary sum = summarise(values);
    std::printf("  %-34s %-4s %10.1f %10.1f %10.1f\n", figure, unit, sum.median, sum.min, sum.max);
}

double medianOf(const std::vector<Sample>& samples, double Sample::*field) {
    std::vector<double> values;
    for (const auto& s : samples) values.push_back(s.*field);
    return summarise(values).median;
}

fs::path besideThisProgram(const wchar_t* relative) {
    wchar_t buffer[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return fs::path(std::wstring(buffer, n)).parent_path() / relative;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 10;
    Program client{L"Tarnix.exe", argc > 2 ? fs::path(argv[2]) : besideThisProgram(L"../Tarnix.exe"),
                   true, true};
    Program minimal{L"minimal_window.exe",
                    argc > 3 ? fs::path(argv[3]) : besideThisProgram(L"minimal_window.exe"), false,
                    false};
    Program windowsOnly{L"template_window.exe", besideThisProgram(L"template_window.exe"), false,
                        true};
    std::vector<const Program*> programs{&client, &minimal};
    for (const Program* p : programs) {
        if (!fs::exists(p->exe)) {
            std::fwprintf(stderr, L"no program at %ls\n", p->exe.c_str());
            return 0;
        }
    }
    // Only beside the programs built with this driver: a client given by path may have
    // other windows.
    if (argc <= 2 && fs::exists(windowsOnly.exe)) programs.push_back(&windowsOnly);

    // Unmeasured warm-up starts.
    Sample ignored{};
    for (const Program* p : programs) measureOnce(*p, 0, ignored);

    std::vector<std::vector<Sample>> samples(programs.size());
    for (int run = 1; run <= runs; ++run) {
        // Each round in another order, so that drift hits every program alike.
        for (size_t k = 0; k < programs.size(); ++k) {
            const size_t i = (k + static_cast<size_t>(run)) % programs.size();
            Sample s{};
            if (!measureOnce(*programs[i], run, s)) continue;
            samples[i].push_back(s);
            std::fwprintf(stderr, L"round %d of %d: %-19ls %7.1f ms %9.0f KiB private\n", run,
                          runs, programs[i]->label, s.ms, s.privateKiB);
        }
    }

    std::printf("Start-up until the main window is visible, %d starts each, the client in %s\n\n",
                runs, systemMode() ? "system mode" : "lab mode");
    std::printf("  %-34s %-4s %10s %10s %10s\n", "figure", "unit", "median", "min", "max");
    const std::pair<const char*, double Sample::*> figures[] = {
        {"time", &Sample::ms}, {"private", &Sample::privateKiB}, {"working set", &Sample::workingSetKiB}};
    for (const auto& [name, field] : figures)
        for (size_t i = 0; i < programs.size(); ++i) {
            char figure[64];
            std::snprintf(figure, sizeof figure, "%ls %s", programs[i]->label, name);
            printRow(figure, field == &Sample::ms ? "ms" : "KiB", samples[i], field);
        }

    for (const auto& programSamples : samples)
        if (programSamples.empty()) {
            std::printf("\nNo ratios: a program never showed its window.\n");
            return 0;
        }
    auto ratio = [&](size_t a, size_t b, double Sample::*field) {
        return medianOf(samples[a], field) / medianOf(samples[b], field);
    };
    const double timeRatio = ratio(0, 1, &Sample::ms);
    const double privateRatio = ratio(0, 1, &Sample::privateKiB);
    std::printf("\n  time ratio (median)            %5.2fx  target <= %.1fx  %s\n", timeRatio,
                kTimeTarget, timeRatio <= kTimeTarget ? "met" : "NOT met");
    std::printf("  private memory ratio (median)  %5.2fx  target <= %.1fx  %s\n", privateRatio,
                kMemoryTarget, privateRatio <= kMemoryTarget ? "met" : "NOT met");
    std::printf("  working set ratio (median)     %5.2fx  (no target)\n",
                ratio(0, 1, &Sample::workingSetKiB));
    if (programs.size() > 2) {
        std::printf("\n  The client's windows alone (template_window.exe) against the minimal window:\n"
                    "  time %.2fx, private memory %.2fx. The client against them: time %.2fx,"
                    " private memory %.2fx.\n",
                    ratio(2, 1, &Sample::ms), ratio(2, 1, &Sample::privateKiB),
                    ratio(0, 2, &Sample::ms), ratio(0, 2, &Sample::privateKiB));
    }
    return 0;
}
