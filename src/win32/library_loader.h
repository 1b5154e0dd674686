// The device library "BuscaVIRK.dll", loaded on the first call and reached through its six exports.
#pragma once

#include "devicelib/device_library.h"
#include "devicelib/library_abi.h"

#include <string>

inline constexpr const char* kLibraryFileName = "BuscaVIRK.dll";

// The six exports, resolved together when the library is loaded.
struct LibraryFunctions {
    GetNumDevicesFn GetNumDevices;
    OpenFn Open;
    GetDeviceVidFn GetDeviceVid;
    GetDevicePidFn GetDevicePid;
    GetDeviceSerialNumberFn GetDeviceSerialNumber;
    CloseFn Close;
};

class LoadedDeviceLibrary final : public DeviceLibrary {
public:
    // fileName is looked for in the program's folder, then the system folders; never in
    // the current directory, where anybody could have dropped a library of that name.
    // windows9x: the running Windows is 98 or Me, which only has the ANSI forms.
    LoadedDeviceLibrary(bool windows9x, std::string fileName = kLibraryFileName);
    ~LoadedDeviceLibrary() override;
    LoadedDeviceLibrary(const LoadedDeviceLibrary&) = delete;
    LoadedDeviceLibrary& operator=(const LoadedDeviceLibrary&) = delete;

    // Each call throws DeviceLibraryFault when the library cannot be loaded or lacks a function.
    std::int16_t GetNumDevices(std::int32_t* numDevices) override;
    std::int16_t Open(std::int32_t deviceIndex, LibraryHandle* handle) override;
    std::int16_t GetDeviceVid(LibraryHandle handle, std::int32_t* vid) override;
    std::int16_t GetDevicePid(LibraryHandle handle, std::int32_t* pid) override;
    std::int16_t GetDeviceSerialNumber(LibraryHandle handle, std::uint8_t* serial, std::int32_t* length,
                                       std::int32_t ascii) override;
    std::int16_t Close(LibraryHandle handle) override;

private:
    const LibraryFunctions& Functions();

    std::string fileName_;
    bool windows9x_;
    HMODULE module_ = nullptr;
    LibraryFunctions functions_{};
};
