// Start time: from CreateProcess to the program's window being visible, for BuscadorVIRK.exe (stand-in
// library, one adapter with its port in the registry) against a program that only shows a window.
// Usage: start_time.exe PROGRAM.exe MINIMAL.exe [RUNS]   (under a display; prints rows for run-bench.sh)
//   row  LABEL  PROGRAM_MS  MINIMAL_MS  RATIO  TARGET  MET
//   note TEXT
#include "ui/form_texts.h"

#include "bench_common.h"

#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr double kWindowWaitMs = 30000;
constexpr int kDefaultRuns = 31;

struct Program {
    std::wstring path;
    const wchar_t* title;
    std::vector<double> shownMs;
    int failures = 0;
};

// Milliseconds from CreateProcess to the window visible, or a negative value when it never showed.
double LaunchOnce(const Program& program) {
    PROCESS_INFORMATION process{};
    const bench::Stopwatch watch;
    if (!bench::StartProgram(program.path, process)) return -1;
    const HWND window = bench::WaitForWindow(program.title, process, kWindowWaitMs);
    const double shownMs = window != nullptr ? watch.ElapsedMs() : -1;
    return bench::EndProgram(window, process) ? shownMs : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: start_time.exe PROGRAM.exe MINIMAL.exe [RUNS]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : kDefaultRuns;
    Program programs[] = {{bench::FullPath(argv[1]), form::kTitle, {}, 0},
                          {bench::FullPath(argv[2]), bench::kMinimalTitle, {}, 0}};

    const std::wstring folder = bench::MakeTempFolder(L"buscavirk-start");
    const std::wstring deviceFile = folder + L"devices.txt";
    bool setupSound = bench::WriteDeviceFile(deviceFile, 1);
    SetEnvironmentVariableW(L"BUSCAVIRK_DEVICES", deviceFile.c_str());  // inherited by the launched programs
    int exitCode = 0;
    std::vector<double> ratios;
    {
        bench::RegistryKeys keys;
        setupSound = fixtures::SetPortXP(bench::Serial(0), bench::PortName(1)) && setupSound;
        if (!setupSound) std::fprintf(stderr, "start_time: could not write the registry keys or the device file\n");

        // One discarded launch each: the first Wine program of a session also starts Wine's own services.
        for (Program& program : programs) LaunchOnce(program);
        // Back-to-back pairs, alternating which goes first, so neither always follows the other's exit.
        for (int run = 0; run < runs; ++run) {
            double pair[2] = {-1, -1};
            for (int half = 0; half < 2; ++half) {
                const int which = (run + half) % 2;
                Program& program = programs[which];
                pair[which] = LaunchOnce(program);
                if (pair[which] < 0)
                    ++program.failures;
                else
                    program.shownMs.push_back(pair[which]);
            }
            // Each pair's own ratio: load from elsewhere that changes between pairs cancels out.
            if (pair[0] > 0 && pair[1] > 0) ratios.push_back(pair[0] / pair[1]);
        }
    }
    DeleteFileW(deviceFile.c_str());
    RemoveDirectoryW(folder.c_str());

    for (const Program& program : programs) {
        if (program.failures > 0 || program.shownMs.empty()) {
            std::fprintf(stderr, "start_time: %s: %d of %d launches showed no window\n", bench::FileName(program.path).c_str(),
                         program.failures, runs);
            exitCode = 1;
        }
    }
    const double programMs = bench::Median(programs[0].shownMs);
    const double minimal = bench::Median(programs[1].shownMs);
    const double ratio = bench::Median(ratios);
    std::printf("row\tstart to window shown\t%.1f\t%.1f\t%.2f\tratio <= 1.15\t%s\n", programMs, minimal, ratio,
                ratio <= 1.15 ? "yes" : "no");
    for (const Program& program : programs) {
        const auto [low, high] = std::minmax_element(program.shownMs.begin(), program.shownMs.end());
        std::printf("note\t%s start to window shown: %zu runs, %.1f to %.1f ms\n", bench::FileName(program.path).c_str(),
                    program.shownMs.size(), program.shownMs.empty() ? 0.0 : *low, program.shownMs.empty() ? 0.0 : *high);
    }
    return setupSound ? exitCode : 1;
}
