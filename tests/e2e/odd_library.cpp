// A test device library with odd but legal habits: a handle above 4 GiB, a status past 16 bits, 65 serial bytes.
// Built twice: as OddLibrary.dll, and without CP210x_Close as FiveFunctions.dll.
#include "devicelib/library_abi.h"

#include <cstring>

// Exported by their plain names on both architectures (the build links with --kill-at).
#define EXPORT extern "C" __declspec(dllexport)

namespace {

// Above 4 GiB on x86_64, like a user-space address; its low half, sign-extended, is another value.
constexpr LibraryHandle kHandle = sizeof(LibraryHandle) > 4 ? LibraryHandle(0x7FFE'8000'1234ull) : 0x8000'1234u;
constexpr LibraryStatus kBadHandle = 1;

}  // namespace

// Not zero, though its low 16 bits are.
EXPORT LibraryStatus WINAPI CP210x_GetNumDevices(std::int32_t* numDevices) { return *numDevices = 1, 0x10000; }

EXPORT LibraryStatus WINAPI CP210x_Open(std::int32_t deviceIndex, LibraryHandle* handle) {
    return deviceIndex != 0 ? 2 : (*handle = kHandle, 0);
}

EXPORT LibraryStatus WINAPI CP210x_GetDeviceVid(LibraryHandle handle, std::int32_t* vid) {
    return handle != kHandle ? kBadHandle : (*vid = 0xB007, 0);
}

EXPORT LibraryStatus WINAPI CP210x_GetDevicePid(LibraryHandle handle, std::int32_t* pid) {
    return handle != kHandle ? kBadHandle : (*pid = 0x5E1A, 0);
}

// 64 characters and a terminating zero: one byte more than the serial holds.
EXPORT LibraryStatus WINAPI CP210x_GetDeviceSerialNumber(LibraryHandle handle, std::uint8_t* serial, std::int32_t* length,
                                                         std::int32_t ascii) {
    if (handle != kHandle || ascii == 0) return kBadHandle;
    std::memset(serial, 'S', 64);
    serial[64] = 0;
    *length = 64;
    return 0;
}

#ifndef WITHOUT_CLOSE
EXPORT LibraryStatus WINAPI CP210x_Close(LibraryHandle handle) { return handle == kHandle ? 0 : kBadHandle; }
#endif
