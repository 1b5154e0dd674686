// State that outlives a scan: what the window reads at unload and what the last library call said.
#pragma once

#include "devicelib/device_library.h"

#include <cstdint>

struct SharedState {
    std::int32_t NumDevices = 0;   // as last written by CP210x_GetNumDevices
    LibraryHandle DeviceHandle = 0;  // handle of the device opened last, at its full width
    std::int16_t LastStatus = 0;   // status of the last counting, open or read call
    bool DeviceOpen = false;       // DeviceHandle refers to a device not yet closed
};
