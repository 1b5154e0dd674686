// ListaVIRK --json from start to exit, 64 adapters on the 2000/XP layout, against its floor (list_floor.exe:
// the same calls made directly, the same bytes written). Prints rows for run-bench.sh:
//   row  LABEL  PROGRAM_MS  FLOOR_MS  RATIO  TARGET  MET
//   note TEXT
// Usage: list_time.exe ListaVIRK.exe list_floor.exe [RUNS]
// Exits 1 when the setup is broken (the listing not complete, or the floor writing other bytes).
#include "scan_floor.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kAdapters = 64;
constexpr int kDefaultRuns = 61;  // a Wine start varies by tens of milliseconds from one to the next
constexpr DWORD kExitWaitMs = 60000;
constexpr double kTarget = 1.10;

// Milliseconds from CreateProcess to exit, standard output to `output`; negative when it failed.
double RunOnce(const std::wstring& commandLine, const std::wstring& output) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE out = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return -1;
    PROCESS_INFORMATION process{};
    const bench::Stopwatch watch;
    const bool started = fixtures::StartProgram({commandLine, nullptr, out, GetStdHandle(STD_ERROR_HANDLE)}, process);
    CloseHandle(out);
    if (!started) return -1;
    const bool ended = WaitForSingleObject(process.hProcess, kExitWaitMs) == WAIT_OBJECT_0;
    const double ms = watch.ElapsedMs();
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    if (!ended) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended && code == 0 ? ms : -1;
}

std::string Contents(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: list_time.exe ListaVIRK.exe list_floor.exe [RUNS]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : kDefaultRuns;
    const std::wstring folder = bench::MakeTempFolder(L"buscavirk-list");
    const std::wstring expected = folder + L"expected.json", output = folder + L"output.json";
    const std::wstring commands[] = {L"\"" + bench::FullPath(argv[1]) + L"\" --json",
                                     L"\"" + bench::FullPath(argv[2]) + L"\" \"" + expected + L"\" " +
                                         std::to_wstring(kAdapters)};
    bench::RegistryKeys keys;
    bool setupSound = true;
    bench::PrepareAdapters(kAdapters, 0, keys, folder + L"devices.txt", setupSound);

    // Untimed: the listing itself, which the floor then writes; both must give the same bytes.
    setupSound = RunOnce(commands[0], expected) >= 0 && setupSound;
    const std::string listing = Contents(expected);
    setupSound = setupSound && std::ranges::count(listing, '\n') == kAdapters + 2 &&
                 listing.find("\"puerto\": null") == std::string::npos;
    setupSound = RunOnce(commands[1], output) >= 0 && Contents(output) == listing && setupSound;
    if (!setupSound) std::fprintf(stderr, "list_time: the listing or its floor did not come out whole and alike\n");

    std::vector<double> times[2], ratios;
    int failures = 0;
    // Back-to-back pairs, alternating which goes first.
    for (int run = 0; run < runs && setupSound; ++run) {
        double pair[2] = {-1, -1};
        for (int half = 0; half < 2; ++half) {
            const int which = (run + half) % 2;
            pair[which] = RunOnce(commands[which], output);
            if (pair[which] >= 0) times[which].push_back(pair[which]);
        }
        if (pair[0] > 0 && pair[1] > 0)
            ratios.push_back(pair[0] / pair[1]);
        else
            ++failures;
    }
    for (const std::wstring& file : {expected, output, folder + L"devices.txt"}) DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
    if (!setupSound || ratios.empty()) return 1;

    const double ratio = bench::Median(ratios);
    std::printf("row\tListaVIRK --json, %d adapters\t%.1f\t%.1f\t%.2f\tratio <= %.2f\t%s\n", kAdapters,
                bench::Median(times[0]), bench::Median(times[1]), ratio, kTarget, ratio <= kTarget ? "yes" : "no");
    std::printf("note\tListaVIRK --json, start to exit, against list_floor.exe: %zu pairs, %d failed\n", ratios.size(),
                failures);
    return failures > 0 ? 1 : 0;
}
