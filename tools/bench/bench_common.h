// What the bench programs share: the made-up adapters and their device file, timing, and waiting for a window;
// the registry keys, Wine's settings and starting programs are the fixtures the Wine tests use too.
#pragma once

#include "fixtures/program_run.h"
#include "fixtures/registry_tree.h"
#include "fixtures/wine_settings.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// Ids no real adapter uses, so the bench never collides with a real device's keys.
inline constexpr const char* kVidText = "1a2b";
inline constexpr const char* kPidText = "c3d4";

// Today's drivers: the port device is the USB device itself, USB\VID_1A2B&PID_C3D4\<serial>.
inline constexpr const char* kTodaysDeviceId = "USB\\VID_1A2B&PID_C3D4";

inline constexpr const wchar_t* kMinimalTitle = L"Minimal window (bench)";

// Adapter i's serial: upper case and digits, so both layouts spell it as the library gives it.
inline std::string Serial(int index) {
    char text[16];
    std::snprintf(text, sizeof text, "BV%06d", index + 1);
    return text;
}

// The 98 instance key of index i: Enum\SLABCR\guid\000<i>.
inline std::string Instance98(int index) { return "000" + std::to_string(index); }

using RegistryKeys = fixtures::AdapterKeys;

// "COM<n>" with its terminator, as Windows writes a port name.
inline std::string PortName(int port) { return "COM" + std::to_string(port) + '\0'; }

// Closes the window (if any) and waits for the process to end; one that does not is ended by its handle, so the
// next start runs alone. False when it had to be ended. The handles are closed.
inline bool EndProgram(HWND window, PROCESS_INFORMATION& process, DWORD waitMs = 10000) {
    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(process.hProcess, waitMs) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, waitMs);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    process = {};
    return ended;
}

// A program's start as a prompt makes it, by its full path.
inline bool StartProgram(const std::wstring& path, PROCESS_INFORMATION& process) {
    return fixtures::StartProgram({L"\"" + path + L"\""}, process);
}

// The stand-in library's device file for the first `count` adapters.
inline bool WriteDeviceFile(const std::wstring& path, int count) {
    std::string text = "# bench adapters\n";
    for (int i = 0; i < count; ++i) text += std::string(kVidText) + " " + kPidText + " " + Serial(i) + "\n";
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
    CloseHandle(file);
    return ok;
}

// A fresh folder under the temp folder for this run's files.
inline std::wstring MakeTempFolder(const wchar_t* stem) {
    wchar_t base[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, base);
    if (length == 0 || length > MAX_PATH) return {};
    const std::wstring folder = std::wstring(base) + stem + L"-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

class Stopwatch {
public:
    Stopwatch() {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        msPerTick_ = 1000.0 / static_cast<double>(frequency.QuadPart);
        QueryPerformanceCounter(&start_);
    }
    double ElapsedMs() const {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) * msPerTick_;
    }

private:
    LARGE_INTEGER start_{};
    double msPerTick_ = 0;
};

inline std::wstring FullPath(const wchar_t* path) {
    wchar_t full[MAX_PATH + 1] = {};
    const DWORD length = GetFullPathNameW(path, MAX_PATH + 1, full, nullptr);
    return length == 0 || length > MAX_PATH ? std::wstring(path) : std::wstring(full);
}

inline std::string FileName(const std::wstring& path) {
    const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    return std::string(name.begin(), name.end());
}

// Polls for the process's window with this title to be visible; nullptr when the process ended
// first or the wait ran out.
inline HWND WaitForWindow(const wchar_t* title, const PROCESS_INFORMATION& process, double timeoutMs) {
    for (const Stopwatch watch; watch.ElapsedMs() < timeoutMs; Sleep(1)) {
        if (const HWND window = fixtures::VisibleWindowOf(process.dwProcessId, nullptr, title)) return window;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
    }
    return nullptr;
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 == 1) return *middle;
    const double upper = *middle;
    return (*std::max_element(values.begin(), middle) + upper) / 2;
}

}  // namespace bench
