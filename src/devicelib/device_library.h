// The device library's six calls as the scan makes them: 32-bit arguments, 16-bit signed statuses.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

inline constexpr std::int32_t kSerialBufferSize = 64;

// A device handle exactly as the library hands it out: as wide as a pointer (32 bits in the
// i686 program, 64 in the x86_64 one), since a library may give out addresses of its own records.
using LibraryHandle = std::uintptr_t;

class DeviceLibrary {
public:
    virtual ~DeviceLibrary() = default;
    virtual std::int16_t GetNumDevices(std::int32_t* numDevices) = 0;
    virtual std::int16_t Open(std::int32_t deviceIndex, LibraryHandle* handle) = 0;
    virtual std::int16_t GetDeviceVid(LibraryHandle handle, std::int32_t* vid) = 0;
    virtual std::int16_t GetDevicePid(LibraryHandle handle, std::int32_t* pid) = 0;
    // Writes at most kSerialBufferSize bytes into serial; ascii non-zero asks for 8-bit characters.
    virtual std::int16_t GetDeviceSerialNumber(LibraryHandle handle, std::uint8_t* serial,
                                               std::int32_t* length, std::int32_t ascii) = 0;
    virtual std::int16_t Close(LibraryHandle handle) = 0;
};

// The library cannot be loaded or lacks a function: nothing can be scanned. Told as data, so each program words
// it its own way (the window in a box, ListaVIRK as one line) and ends.
class DeviceLibraryFault : public std::runtime_error {
public:
    DeviceLibraryFault(std::string file, std::string function, std::uint32_t error)
        : std::runtime_error("device library fault"), File(std::move(file)), Function(std::move(function)), Error(error) {}
    std::string File;      // the library's file name
    std::string Function;  // the function it lacks; empty when the library itself could not be loaded
    std::uint32_t Error;   // what Windows said of the failed load or look-up (GetLastError)
};
