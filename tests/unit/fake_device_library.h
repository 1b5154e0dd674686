// A device library of made-up devices: any call of any device can fail, and every call is journaled.
#pragma once

#include "devicelib/device_library.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct FakeDevice {
    std::int32_t Vid = 0;
    std::int32_t Pid = 0;
    std::string Serial;
    std::optional<std::int32_t> ReportedLength;  // written instead of the serial's size
    std::map<std::string, std::int16_t> Failures;  // "Open", "Vid", "Pid", "Serial", "Close" -> status
    bool VidFaults = false;  // the Vid read throws, cutting the scan short with the device open
};

class FakeDeviceLibrary final : public DeviceLibrary {
public:
    std::vector<FakeDevice> Devices;
    std::optional<std::int32_t> Count;  // reported instead of Devices.size()
    std::int16_t CountStatus = 0;

    std::int16_t GetNumDevices(std::int32_t* numDevices) override;
    std::int16_t Open(std::int32_t deviceIndex, LibraryHandle* handle) override;
    std::int16_t GetDeviceVid(LibraryHandle handle, std::int32_t* vid) override;
    std::int16_t GetDevicePid(LibraryHandle handle, std::int32_t* pid) override;
    std::int16_t GetDeviceSerialNumber(LibraryHandle handle, std::uint8_t* serial, std::int32_t* length,
                                       std::int32_t ascii) override;
    std::int16_t Close(LibraryHandle handle) override;

    // One line per call, e.g. "Open 0 -> 0", "Vid 0 -> 0", "Serial 0 ascii=1 -> 0", "Close 0".
    // Devices are named by index; a call with a handle that is not open is journaled as "bad handle".
    std::vector<std::string> Journal;
    std::set<std::int32_t> OpenDevices;

private:
    // Above 4 GiB, as a library's own addresses are: a handle narrowed anywhere finds no device.
    static constexpr LibraryHandle kHandleBase =
        static_cast<LibraryHandle>(sizeof(LibraryHandle) > 4 ? 0x1'0000'0100ull : 0x100);
    const FakeDevice* DeviceOf(LibraryHandle handle, const char* call);
    std::int16_t Failure(const FakeDevice& device, const char* call) const;
};
