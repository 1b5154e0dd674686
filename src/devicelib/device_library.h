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

// The library cannot be loaded or lacks a function: nothing can be scanned, and the
// program shows Message (Spanish, naming the file or the function) and ends.
class DeviceLibraryFault : public std::runtime_error {
public:
    explicit DeviceLibraryFault(std::u16string message)
        : std::runtime_error("device library fault"), Message(std::move(message)) {}
    std::u16string Message;
};
