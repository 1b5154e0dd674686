// BuscaVIRK.dll stand-in: the device library's six exports, serving devices from a text file for demos and tests.
#include "devicelib/library_abi.h"

#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "device_file.h"
#include "held_objects.h"
#include "journal_format.h"

extern "C" {
LibraryStatus WINAPI CP210x_GetNumDevices(std::int32_t* numDevices);
LibraryStatus WINAPI CP210x_Open(std::int32_t deviceIndex, LibraryHandle* handle);
LibraryStatus WINAPI CP210x_GetDeviceVid(LibraryHandle handle, std::int32_t* vid);
LibraryStatus WINAPI CP210x_GetDevicePid(LibraryHandle handle, std::int32_t* pid);
LibraryStatus WINAPI CP210x_GetDeviceSerialNumber(LibraryHandle handle, std::uint8_t* serial, std::int32_t* length,
                                                  std::int32_t ascii);
LibraryStatus WINAPI CP210x_Close(LibraryHandle handle);
}

// The exports must have exactly the types the loader casts GetProcAddress results to.
[[maybe_unused]] static constexpr GetNumDevicesFn kCheckGetNumDevices = &CP210x_GetNumDevices;
[[maybe_unused]] static constexpr OpenFn kCheckOpen = &CP210x_Open;
[[maybe_unused]] static constexpr GetDeviceVidFn kCheckGetDeviceVid = &CP210x_GetDeviceVid;
[[maybe_unused]] static constexpr GetDevicePidFn kCheckGetDevicePid = &CP210x_GetDevicePid;
[[maybe_unused]] static constexpr GetDeviceSerialNumberFn kCheckGetDeviceSerialNumber = &CP210x_GetDeviceSerialNumber;
[[maybe_unused]] static constexpr CloseFn kCheckClose = &CP210x_Close;

namespace {

constexpr LibraryStatus kStatusSuccess = 0;
constexpr LibraryStatus kStatusBadHandle = 1;     // handle not open (never opened, closed, or unknown)
constexpr LibraryStatus kStatusBadIndex = 2;      // Open index outside the device lines
constexpr LibraryStatus kStatusNullPointer = 3;   // an output pointer is null
constexpr LibraryStatus kStatusInternal = 4;      // out of memory or similar; never let it escape as an exception

// Handles are a base + index, so a zeroed or small bogus handle is never mistaken for a device.
// In the 64-bit build the base lies above 4 GiB, as the addresses a library hands out as handles
// do: a program that narrows handles to 32 bits sees every read refused.
constexpr LibraryHandle kHandleBase = static_cast<LibraryHandle>(sizeof(LibraryHandle) > 4 ? 0x1'0000'0100ull : 0x100);

// Files bigger than this are treated as unreadable, so a wrong path cannot exhaust memory.
constexpr DWORD kMaxDeviceFileBytes = 4u << 20;

// The device list read by the latest GetNumDevices, and which indices are open. Default construction
// of these members cannot fail, so the DLL loads even when memory is short.
struct LibraryState {
    standin::DeviceFile file;
    std::vector<bool> open;  // by device index; survives re-reads so earlier handles stay usable
};
LibraryState g_state;

// An environment variable's value; empty when unset (set-but-empty counts as unset).
std::wstring GetEnv(const wchar_t* name) {
    std::wstring value(256, L'\0');
    for (;;) {
        const DWORD needed = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (needed == 0) return {};
        if (needed < value.size()) {
            value.resize(needed);
            return value;
        }
        value.resize(needed);  // too small: `needed` includes the terminator
    }
}

// The folder holding this DLL (with its trailing separator), found from an address inside it.
std::wstring ModuleFolder() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&g_state), &module))
        return {};
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD written = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (written == 0) return {};
        if (written < path.size()) {
            path.resize(written);
            break;
        }
        if (path.size() >= 32768) return {};  // longer than any Windows path; give up
        path.resize(path.size() * 2);           // truncated: retry with a larger buffer
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring{} : path.substr(0, slash + 1);
}

std::wstring DeviceFilePath() {
    std::wstring path = GetEnv(L"BUSCAVIRK_DEVICES");
    if (!path.empty()) return path;
    const std::wstring folder = ModuleFolder();
    return folder.empty() ? std::wstring{} : folder + L"BuscaVIRK-devices.txt";
}

// The whole file, or empty when it is missing, unreadable or too big (all meaning "no devices").
std::string ReadWholeFile(const std::wstring& path) {
    if (path.empty()) return {};
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char chunk[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
            text.clear();
            break;
        }
        if (got == 0) break;
        if (text.size() + got > kMaxDeviceFileBytes) {
            text.clear();
            break;
        }
        text.append(chunk, got);
    }
    CloseHandle(file);
    return text;
}

// Appends one line to the file an environment variable names (the journal: BUSCAVIRK_JOURNAL), opening
// and closing it each time so a crash right after a call still leaves that call's line on disk.
void Journal(const std::string& line, const wchar_t* variable = L"BUSCAVIRK_JOURNAL") {
    const std::wstring path = GetEnv(variable);
    if (path.empty()) return;
    const HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// The open device a handle names, or nullptr when the handle is not currently open.
const standin::DeviceEntry* OpenDevice(LibraryHandle handle) {
    if (handle < kHandleBase) return nullptr;
    const LibraryHandle index = handle - kHandleBase;
    if (index >= g_state.file.devices.size() || index >= g_state.open.size() || !g_state.open[index]) return nullptr;
    return &g_state.file.devices[index];
}

// Runs an export's body, turning any C++ exception into a status: exceptions must not cross the DLL boundary.
template <typename Body>
LibraryStatus Guarded(Body body) noexcept {
    try {
        return body();
    } catch (...) {
        return kStatusInternal;
    }
}

}  // namespace

extern "C" LibraryStatus WINAPI CP210x_GetNumDevices(std::int32_t* numDevices) {
    return Guarded([&] {
        // Before this call opens anything: what the program holds between two scans.
        if (!GetEnv(L"BUSCAVIRK_HELD").empty()) Journal(HeldObjectsLine(), L"BUSCAVIRK_HELD");
        // Re-read on every scan so a test can plug in or remove devices between scans.
        g_state.file = standin::ParseDeviceFile(ReadWholeFile(DeviceFilePath()));
        if (g_state.open.size() < g_state.file.devices.size()) g_state.open.resize(g_state.file.devices.size());

        const std::int32_t count = g_state.file.ReportedCount();
        const LibraryStatus status = numDevices == nullptr ? kStatusNullPointer : g_state.file.countStatus;
        if (numDevices != nullptr) *numDevices = count;
        Journal(standin::JournalGetNumDevices(status, count));
        return status;
    });
}

extern "C" LibraryStatus WINAPI CP210x_Open(std::int32_t deviceIndex, LibraryHandle* handle) {
    return Guarded([&] {
        LibraryStatus status = kStatusSuccess;
        LibraryHandle opened = 0;
        if (deviceIndex < 0 || static_cast<std::size_t>(deviceIndex) >= g_state.file.devices.size()) {
            status = kStatusBadIndex;
        } else if (handle == nullptr) {
            status = kStatusNullPointer;
        } else {
            const auto index = static_cast<std::size_t>(deviceIndex);
            status = g_state.file.devices[index].openStatus;
            if (status == kStatusSuccess) {
                g_state.open[index] = true;
                opened = kHandleBase + index;
                *handle = opened;
            }
        }
        Journal(standin::JournalOpen(deviceIndex, status, opened));
        return status;
    });
}

extern "C" LibraryStatus WINAPI CP210x_GetDeviceVid(LibraryHandle handle, std::int32_t* vid) {
    return Guarded([&] {
        const standin::DeviceEntry* device = OpenDevice(handle);
        LibraryStatus status = device == nullptr ? kStatusBadHandle
                               : vid == nullptr  ? kStatusNullPointer
                                                 : device->vidStatus;
        if (status == kStatusSuccess) *vid = static_cast<std::int32_t>(device->vid);
        Journal(standin::JournalVid(handle, status, device ? device->vid : 0));
        return status;
    });
}

extern "C" LibraryStatus WINAPI CP210x_GetDevicePid(LibraryHandle handle, std::int32_t* pid) {
    return Guarded([&] {
        const standin::DeviceEntry* device = OpenDevice(handle);
        LibraryStatus status = device == nullptr ? kStatusBadHandle
                               : pid == nullptr  ? kStatusNullPointer
                                                 : device->pidStatus;
        if (status == kStatusSuccess) *pid = static_cast<std::int32_t>(device->pid);
        Journal(standin::JournalPid(handle, status, device ? device->pid : 0));
        return status;
    });
}

extern "C" LibraryStatus WINAPI CP210x_GetDeviceSerialNumber(LibraryHandle handle, std::uint8_t* serial,
                                                             std::int32_t* length, std::int32_t ascii) {
    return Guarded([&] {
        const standin::DeviceEntry* device = OpenDevice(handle);
        LibraryStatus status = device == nullptr                       ? kStatusBadHandle
                               : serial == nullptr || length == nullptr ? kStatusNullPointer
                                                                        : device->serialStatus;
        std::size_t byteCount = 0;
        std::int32_t reported = 0;
        if (status == kStatusSuccess) {
            // The parser already caps serials; cap again so this buffer contract never depends on it.
            byteCount = device->serial.size() < standin::kMaxSerialBytes ? device->serial.size()
                                                                         : standin::kMaxSerialBytes;
            reported = device->reportedLength ? *device->reportedLength : static_cast<std::int32_t>(byteCount);
            if (byteCount != 0) std::memcpy(serial, device->serial.data(), byteCount);
            *length = reported;
        }
        const std::span<const std::uint8_t> written =
            device ? std::span<const std::uint8_t>(device->serial.data(), byteCount) : std::span<const std::uint8_t>{};
        Journal(standin::JournalSerial(handle, ascii, status, reported, written));
        return status;
    });
}

extern "C" LibraryStatus WINAPI CP210x_Close(LibraryHandle handle) {
    return Guarded([&] {
        const standin::DeviceEntry* device = OpenDevice(handle);
        const LibraryStatus status = device == nullptr ? kStatusBadHandle : device->closeStatus;
        // Even a failing Close releases the handle, so a program that retries Close shows up as status=1.
        if (device != nullptr) g_state.open[handle - kHandleBase] = false;
        Journal(standin::JournalClose(handle, status));
        return status;
    });
}
