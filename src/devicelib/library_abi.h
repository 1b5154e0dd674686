// The device library's six exports as "BuscaVIRK.dll" defines them: shared by the loader and the stand-in library.
#pragma once

#include "devicelib/device_library.h"

#include <windows.h>

#include <cstdint>

// Statuses are C ints; the program reads them as 16-bit signed values.
using LibraryStatus = int;

// The ids and the serial length are written into 32-bit variables the caller zeroed first,
// so a library that writes only 16 or 8 bits of them still leaves a clean value.
using GetNumDevicesFn = LibraryStatus(WINAPI*)(std::int32_t* numDevices);
using OpenFn = LibraryStatus(WINAPI*)(std::int32_t deviceIndex, LibraryHandle* handle);
using GetDeviceVidFn = LibraryStatus(WINAPI*)(LibraryHandle handle, std::int32_t* vid);
using GetDevicePidFn = LibraryStatus(WINAPI*)(LibraryHandle handle, std::int32_t* pid);
using GetDeviceSerialNumberFn = LibraryStatus(WINAPI*)(LibraryHandle handle, std::uint8_t* serial,
                                                       std::int32_t* length, std::int32_t ascii);
using CloseFn = LibraryStatus(WINAPI*)(LibraryHandle handle);

// The buffer handed to CP210x_GetDeviceSerialNumber: larger than the 64 bytes a serial number
// may hold, so a library that writes a terminator after a 64-byte serial overruns nothing.
inline constexpr std::size_t kLibrarySerialCapacity = 256;
