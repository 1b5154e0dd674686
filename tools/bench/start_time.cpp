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
constexpr DWORD kExitWaitMs = 10000;
constexpr int kDefaultRuns = 31;

struct Program {
    std::wstring path;
    const wchar_t* title;
    std::vector<double> shownMs;
    int failures = 0;
};

// The top-level window with this title that belongs to the process, if any.
HWND FindProcessWindow(const wchar_t* title, DWORD processId) {
    for (HWND window = FindWindowExW(nullptr, nullptr, nullptr, title); window != nullptr;
         window = FindWindowExW(nullptr, window, nullptr, title)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

// Milliseconds from CreateProcess to the window visible, or a negative value when it never showed.
double LaunchOnce(const Program& program) {
    std::wstring commandLine = L"\"" + program.path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bench::Stopwatch watch;
    if (!CreateProcessW(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;

    double shownMs = -1;
    HWND window = nullptr;
    while (watch.ElapsedMs() < kWindowWaitMs) {
        window = FindProcessWindow(program.title, process.dwProcessId);
        if (window != nullptr && IsWindowVisible(window)) {
            shownMs = watch.ElapsedMs();
            break;
        }
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;  // ended without showing it
        Sleep(1);
    }

    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, kExitWaitMs) != WAIT_OBJECT_0) {
        // Our own child, ended by its handle so the next launch starts alone.
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kExitWaitMs);
        shownMs = -1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return shownMs;
}

std::wstring FullPath(const wchar_t* path) {
    wchar_t full[MAX_PATH + 1] = {};
    const DWORD length = GetFullPathNameW(path, MAX_PATH + 1, full, nullptr);
    return length == 0 || length > MAX_PATH ? std::wstring(path) : std::wstring(full);
}

std::string FileName(const std::wstring& path) {
    const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    return std::string(name.begin(), name.end());
}

// Xvfb runs no window manager: a window Wine leaves to one waits for it on being destroyed,
// which would slow every close. Set per program, removed at the end.
constexpr const char* kAppDefaults = "Software\\Wine\\AppDefaults";
std::string WineAppSettings(const std::wstring& path) { return std::string(kAppDefaults) + "\\" + FileName(path); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: start_time.exe PROGRAM.exe MINIMAL.exe [RUNS]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : kDefaultRuns;
    Program programs[] = {{FullPath(argv[1]), form::kTitle, {}, 0}, {FullPath(argv[2]), bench::kMinimalTitle, {}, 0}};

    const std::wstring folder = bench::MakeTempFolder(L"buscavirk-start");
    const std::wstring deviceFile = folder + L"devices.txt";
    bool setupSound = bench::WriteDeviceFile(deviceFile, 1);
    SetEnvironmentVariableW(L"BUSCAVIRK_DEVICES", deviceFile.c_str());  // inherited by the launched programs
    int exitCode = 0;
    std::vector<double> ratios;
    {
        HKEY existing = nullptr;
        const bool appDefaultsExisted =
            RegOpenKeyExA(HKEY_CURRENT_USER, kAppDefaults, 0, KEY_READ, &existing) == ERROR_SUCCESS;
        if (existing != nullptr) RegCloseKey(existing);
        bench::RegistryKeys keys;
        setupSound = bench::AddPortXP(bench::Serial(0), 1) && setupSound;
        for (const Program& program : programs)
            setupSound = bench::SetString(HKEY_CURRENT_USER, WineAppSettings(program.path) + "\\X11 Driver", "Managed", "N") &&
                         setupSound;
        if (!setupSound) std::fprintf(stderr, "start_time: could not write the registry keys or the device file\n");

        // One discarded launch each: the first Wine program of a session also starts Wine's own services.
        for (Program& program : programs) LaunchOnce(program);
        for (int run = 0; run < runs; ++run) {
            // Alternating which goes first, so neither always follows the other's exit.
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
            // Each run's own ratio: load from elsewhere that changes between runs cancels out.
            if (pair[0] > 0 && pair[1] > 0) ratios.push_back(pair[0] / pair[1]);
        }
        for (const Program& program : programs) RegDeleteTreeA(HKEY_CURRENT_USER, WineAppSettings(program.path).c_str());
        if (!appDefaultsExisted) RegDeleteKeyA(HKEY_CURRENT_USER, kAppDefaults);
    }
    DeleteFileW(deviceFile.c_str());
    RemoveDirectoryW(folder.c_str());

    for (const Program& program : programs) {
        if (program.failures > 0 || program.shownMs.empty()) {
            std::fprintf(stderr, "start_time: %s: %d of %d launches showed no window\n", FileName(program.path).c_str(),
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
        std::printf("note\t%s start to window shown: %zu runs, %.1f to %.1f ms\n", FileName(program.path).c_str(),
                    program.shownMs.size(), program.shownMs.empty() ? 0.0 : *low, program.shownMs.empty() ? 0.0 : *high);
    }
    return setupSound ? exitCode : 1;
}
