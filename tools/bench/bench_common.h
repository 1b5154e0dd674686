// What the bench programs share: the made-up adapters, their registry keys and device file, timing, and
// starting the program and finding its window.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// Ids no real adapter uses, so the bench never collides with a real device's keys.
inline constexpr const char* kVidText = "1a2b";
inline constexpr const char* kPidText = "c3d4";

inline constexpr const char* kUsbDeviceKey = "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_1a2b&Pid_c3d4&Mi_00";
// Today's drivers: the port device is the USB device itself, USB\VID_1A2B&PID_C3D4\<serial>.
inline constexpr const char* kTodaysDeviceId = "USB\\VID_1A2B&PID_C3D4";
inline constexpr const char* kTodaysDeviceKey = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1A2B&PID_C3D4";
inline constexpr const char* kEnumRoot = "Enum";
inline constexpr const char* kSlabcrKey = "Enum\\SLABCR";
inline constexpr const char* kInstancePrefix = "Enum\\SLABCR\\guid\\000";

inline constexpr const wchar_t* kMinimalTitle = L"Minimal window (bench)";

// Adapter i's serial: upper case and digits, so both layouts spell it as the library gives it.
inline std::string Serial(int index) {
    char text[16];
    std::snprintf(text, sizeof text, "BV%06d", index + 1);
    return text;
}

// The 98 device id of a serial, as the instance keys hold it.
inline std::string DeviceId98(const std::string& serial) { return "USB\\VID_1A2B&PID_C3D4&MI_00\\" + serial + "_00"; }

inline std::string InstancePath98(int index) { return kInstancePrefix + std::to_string(index); }

inline bool SetString(HKEY root, const std::string& keyPath, const char* name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// 2000/XP layout: the adapter's instance key and its PortName.
inline bool AddPortXP(const std::string& serial, int port) {
    return SetString(HKEY_LOCAL_MACHINE, std::string(kUsbDeviceKey) + "\\" + serial + "_00\\Device Parameters",
                     "PortName", "COM" + std::to_string(port));
}

// 98 layout: one instance key with its device id and port.
inline bool AddInstance98(int index, const std::string& deviceId, int port) {
    return SetString(HKEY_LOCAL_MACHINE, InstancePath98(index), "CRLowerDeviceID", deviceId) &&
           SetString(HKEY_LOCAL_MACHINE, InstancePath98(index), "PortName", "COM" + std::to_string(port));
}

// Removes every key the bench creates; HKLM\Enum too when the bench made it, so the prefix ends as it began.
class RegistryKeys {
public:
    RegistryKeys() {
        HKEY key = nullptr;
        enumExisted_ = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEnumRoot, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (key != nullptr) RegCloseKey(key);
        Clear();
    }
    ~RegistryKeys() {
        Clear();
        if (!enumExisted_) RegDeleteTreeA(HKEY_LOCAL_MACHINE, kEnumRoot);
    }
    RegistryKeys(const RegistryKeys&) = delete;
    RegistryKeys& operator=(const RegistryKeys&) = delete;

    // Between scenarios as well, so one layout's keys never add to the next one's cost.
    void Clear() {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUsbDeviceKey);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTodaysDeviceKey);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSlabcrKey);
    }

private:
    bool enumExisted_ = false;
};

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

// Xvfb runs no window manager: a window Wine leaves to one waits for it on being destroyed,
// which would slow every close. Set per program for the guard's life.
class UnmanagedWindows {
public:
    explicit UnmanagedWindows(const std::vector<std::wstring>& programs) {
        HKEY existing = nullptr;
        existed_ = RegOpenKeyExA(HKEY_CURRENT_USER, kAppDefaults, 0, KEY_READ, &existing) == ERROR_SUCCESS;
        if (existing != nullptr) RegCloseKey(existing);
        for (const std::wstring& program : programs) {
            keys_.push_back(std::string(kAppDefaults) + "\\" + FileName(program));
            ok_ = SetString(HKEY_CURRENT_USER, keys_.back() + "\\X11 Driver", "Managed", "N") && ok_;
        }
    }
    ~UnmanagedWindows() {
        for (const std::string& key : keys_) RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
        if (!existed_) RegDeleteKeyA(HKEY_CURRENT_USER, kAppDefaults);
    }
    UnmanagedWindows(const UnmanagedWindows&) = delete;
    UnmanagedWindows& operator=(const UnmanagedWindows&) = delete;
    bool Ok() const { return ok_; }

private:
    static constexpr const char* kAppDefaults = "Software\\Wine\\AppDefaults";
    std::vector<std::string> keys_;
    bool existed_ = false;
    bool ok_ = true;
};

// The top-level window with this title that belongs to the process, if any.
inline HWND FindProcessWindow(const wchar_t* title, DWORD processId) {
    for (HWND window = FindWindowExW(nullptr, nullptr, nullptr, title); window != nullptr;
         window = FindWindowExW(nullptr, window, nullptr, title)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

inline bool StartProgram(const std::wstring& path, PROCESS_INFORMATION& process) {
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process) != FALSE;
}

// Polls for the process's window with this title to be visible; nullptr when the process ended
// first or the wait ran out.
inline HWND WaitForWindow(const wchar_t* title, const PROCESS_INFORMATION& process, double timeoutMs) {
    for (const Stopwatch watch; watch.ElapsedMs() < timeoutMs; Sleep(1)) {
        const HWND window = FindProcessWindow(title, process.dwProcessId);
        if (window != nullptr && IsWindowVisible(window)) return window;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
    }
    return nullptr;
}

// Closes the window and waits for the process to end; a process that does not is ended by its
// handle (our own child) so the next launch starts alone. False when it had to be ended.
inline bool EndProgram(HWND window, PROCESS_INFORMATION& process) {
    constexpr DWORD kExitWaitMs = 10000;
    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    bool ended = WaitForSingleObject(process.hProcess, kExitWaitMs) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kExitWaitMs);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    process = {};
    return ended;
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
