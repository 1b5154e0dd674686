// The floor of a scan: the library and registry calls a scan makes, issued directly; shared by the scan and click benches.
#pragma once

#include "devicelib/device_library.h"

#include "bench_common.h"

#include <string>
#include <vector>

namespace bench {

struct CallCounts {
    long library = 0;
    long registry = 0;
    long portListings = 0;  // setupapi listings of the present ports
    bool operator==(const CallCounts&) const = default;
};

// Everything the floor needs that is not a call, made before timing: the floor is the calls alone.
struct FloorInputs {
    bool layout98 = false;
    bool todaysDrivers = false;              // the ports are present port devices, not registry records
    std::vector<std::string> devicePaths;    // 2000/XP: Vid_1a2b&Pid_c3d4&Mi_00\<serial>_00
    std::vector<std::string> deviceIds;      // 98: each adapter's CRLowerDeviceID, terminator included in size
    std::vector<std::string> instancePaths;  // 98: every instance key, then the first missing one
};

// The floor of one scan: returns the ports found.
int Floor(DeviceLibrary& library, const FloorInputs& inputs, CallCounts& counts);

// Only the library's part of the floor, to show where the time goes.
void FloorLibraryOnly(DeviceLibrary& library);

// Writes the registry keys and device file of `devices` adapters (on the 98 layout when
// `instances` > 0, spread over that many instance keys; recorded as today's drivers record them, as present
// port devices, when todaysDrivers), points the library at the file, and returns the floor's inputs to
// match; ok is false when a key or the file could not be written.
FloorInputs PrepareAdapters(int devices, int instances, RegistryKeys& keys, const std::wstring& deviceFile, bool& ok,
                            bool todaysDrivers = false);

// The scan must have found every adapter's port, or it timed a failed lookup.
bool ReportIsComplete(const std::u16string& report, int devices);

}  // namespace bench
