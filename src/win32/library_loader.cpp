// The device library "BuscaVIRK.dll", loaded on the first call and reached through its six exports.
#include "win32/library_loader.h"

#include "app/ascii_text.h"
#include "win32/library_search.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace {

// The program's folder, ending in its separator, through GetModuleFileNameW or GetModuleFileNameA.
template <typename Char, typename GetModuleFileNameFn>
std::basic_string<Char> ProgramFolder(GetModuleFileNameFn getModuleFileName) {
    std::basic_string<Char> path(MAX_PATH, Char{});
    for (;;) {
        const DWORD length = getModuleFileName(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(std::basic_string<Char>{Char('\\'), Char('/')}) + 1);
}

// From the program's folder only. The 98 family goes straight to the full path, with the ANSI functions
// (the wide ones are stubs there); later Windows use the search flags, and the full path where they are
// refused.
HMODULE LoadFromProgramFolder(const std::string& fileName, bool windows9x) {
    if (windows9x) return LoadLibraryA((ProgramFolder<char>(GetModuleFileNameA) + fileName).c_str());
    return LoadWithSearchFlags(fileName, LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32, [&] {
        const std::wstring path =
            ProgramFolder<wchar_t>(GetModuleFileNameW) + reinterpret_cast<const wchar_t*>(AsciiText(fileName).c_str());
        return LoadLibraryW(path.c_str());
    });
}

template <typename Fn>
Fn Resolve(HMODULE module, const std::string& fileName, const char* name) {
    const Fn function = ExportOf<Fn>(module, name);
    if (function == nullptr) throw DeviceLibraryFault(fileName, name, GetLastError());
    return function;
}

// A status that does not fit 16 bits must not read as success once narrowed.
std::int16_t ToStatus(LibraryStatus status) {
    if (status >= std::numeric_limits<std::int16_t>::min() && status <= std::numeric_limits<std::int16_t>::max())
        return static_cast<std::int16_t>(status);
    return status < 0 ? std::numeric_limits<std::int16_t>::min() : std::numeric_limits<std::int16_t>::max();
}

}  // namespace

LoadedDeviceLibrary::LoadedDeviceLibrary(bool windows9x, std::string fileName)
    : fileName_(std::move(fileName)), windows9x_(windows9x) {}

LoadedDeviceLibrary::~LoadedDeviceLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
}

const LibraryFunctions& LoadedDeviceLibrary::Functions() {
    if (module_ != nullptr) return functions_;
    HMODULE module = LoadFromProgramFolder(fileName_, windows9x_);
    if (module == nullptr) throw DeviceLibraryFault(fileName_, {}, GetLastError());
    try {
        // All six at once: a library lacking one must fail before any device is opened.
        functions_ = LibraryFunctions{
            Resolve<GetNumDevicesFn>(module, fileName_, "CP210x_GetNumDevices"),
            Resolve<OpenFn>(module, fileName_, "CP210x_Open"),
            Resolve<GetDeviceVidFn>(module, fileName_, "CP210x_GetDeviceVid"),
            Resolve<GetDevicePidFn>(module, fileName_, "CP210x_GetDevicePid"),
            Resolve<GetDeviceSerialNumberFn>(module, fileName_, "CP210x_GetDeviceSerialNumber"),
            Resolve<CloseFn>(module, fileName_, "CP210x_Close"),
        };
    } catch (...) {
        FreeLibrary(module);
        throw;
    }
    module_ = module;
    return functions_;
}

std::int16_t LoadedDeviceLibrary::GetNumDevices(std::int32_t* numDevices) {
    return ToStatus(Functions().GetNumDevices(numDevices));
}

std::int16_t LoadedDeviceLibrary::Open(std::int32_t deviceIndex, LibraryHandle* handle) {
    return ToStatus(Functions().Open(deviceIndex, handle));
}

std::int16_t LoadedDeviceLibrary::GetDeviceVid(LibraryHandle handle, std::int32_t* vid) {
    return ToStatus(Functions().GetDeviceVid(handle, vid));
}

std::int16_t LoadedDeviceLibrary::GetDevicePid(LibraryHandle handle, std::int32_t* pid) {
    return ToStatus(Functions().GetDevicePid(handle, pid));
}

std::int16_t LoadedDeviceLibrary::GetDeviceSerialNumber(LibraryHandle handle, std::uint8_t* serial,
                                                        std::int32_t* length, std::int32_t ascii) {
    std::array<std::uint8_t, kLibrarySerialCapacity> received{};
    const LibraryStatus status = Functions().GetDeviceSerialNumber(handle, received.data(), length, ascii);
    std::memcpy(serial, received.data(), kSerialBufferSize);
    return ToStatus(status);
}

std::int16_t LoadedDeviceLibrary::Close(LibraryHandle handle) {
    return ToStatus(Functions().Close(handle));
}
