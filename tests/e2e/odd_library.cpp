// A test device library with odd but legal habits: wide handles, statuses past 16 bits, a serial with a terminator.
// Built twice: as OddLibrary.dll, and without CP210x_Close as FiveFunctions.dll.
#include "devicelib/library_abi.h"

#include <cstring>

namespace {

// Above 4 GiB on x86_64, like a user-space address; its low half, sign-extended, is another value.
constexpr LibraryHandle kHandle =
    static_cast<LibraryHandle>(sizeof(LibraryHandle) > 4 ? 0x7FFE'8000'1234ull : 0x8000'1234u);
constexpr LibraryStatus kBadHandle = 1;

}  // namespace

extern "C" {

// Not zero, though its low 16 bits are.
LibraryStatus WINAPI CP210x_GetNumDevices(std::int32_t* numDevices) {
    *numDevices = 1;
    return 0x10000;
}

LibraryStatus WINAPI CP210x_Open(std::int32_t deviceIndex, LibraryHandle* handle) {
    if (deviceIndex != 0) return 2;
    *handle = kHandle;
    return 0;
}

// Writes only 16 bits, as a library with WORD ids does.
LibraryStatus WINAPI CP210x_GetDeviceVid(LibraryHandle handle, std::int32_t* vid) {
    if (handle != kHandle) return kBadHandle;
    const std::uint16_t id = 0xB007;
    std::memcpy(vid, &id, sizeof id);
    return 0;
}

LibraryStatus WINAPI CP210x_GetDevicePid(LibraryHandle handle, std::int32_t* pid) {
    if (handle != kHandle) return kBadHandle;
    *pid = 0x5E1A;
    return 0;
}

// 64 characters and a terminating zero: one byte more than the serial holds.
LibraryStatus WINAPI CP210x_GetDeviceSerialNumber(LibraryHandle handle, std::uint8_t* serial, std::int32_t* length,
                                                  std::int32_t ascii) {
    if (handle != kHandle || ascii == 0) return kBadHandle;
    std::memset(serial, 'S', 64);
    serial[64] = 0;
    *length = 64;
    return 0;
}

#ifndef WITHOUT_CLOSE
LibraryStatus WINAPI CP210x_Close(LibraryHandle handle) { return handle == kHandle ? 0 : kBadHandle; }
#endif

}  // extern "C"
