// The device scan: counts the attached devices, reads each one's identity, asks for its COM port and reports.
#include "scan/device_scan.h"

#include "app/convert_to_string.h"
#include "portlookup/ports_of_scan.h"
#include "scan/report_text.h"

#include <algorithm>
#include <optional>

namespace {

constexpr std::int32_t kAsciiSerial = 1;

// Opens device `index`, reads its identity and closes it again. A device that opened is
// closed exactly once, whichever read fails; nullopt when the open or any read failed.
std::optional<DeviceIdentity> ReadDevice(DeviceLibrary& library, SharedState& state, std::int32_t index) {
    state.LastStatus = library.Open(index, &state.DeviceHandle);
    if (state.LastStatus != 0) return std::nullopt;
    state.DeviceOpen = true;

    DeviceIdentity identity;
    const bool read = (state.LastStatus = library.GetDeviceVid(state.DeviceHandle, &identity.Vid)) == 0 &&
                      (state.LastStatus = library.GetDevicePid(state.DeviceHandle, &identity.Pid)) == 0 &&
                      (state.LastStatus = library.GetDeviceSerialNumber(state.DeviceHandle, identity.SerialBuffer.data(),
                                                                        &identity.SerialLength, kAsciiSerial)) == 0;
    library.Close(state.DeviceHandle);
    state.DeviceOpen = false;
    if (!read) return std::nullopt;
    identity.SerialLength = std::min(identity.SerialLength, kSerialBufferSize);
    return identity;
}

void TakePort(ScannedDevice& device, const DevicePort& port) {
    device.PortNumber = port.PortNumber;
    device.LookedUp = port.LookedUp;
    device.Location = port.Location;
    device.Problem = port.Problem;
    device.Reason = port.Reason;
}

}  // namespace

FilledList FillDeviceList(Platform& platform, SharedState& state) {
    FilledList list{ScanDevices(platform, state), {}};
    // A zero byte in a serial number would cut the report short in the box.
    list.Report = AsShown(ReportText(list.Devices));
    return list;
}

std::vector<ScannedDevice> ScanDevices(Platform& platform, SharedState& state) {
    EnumDevices(platform, state);
    return GetDeviceData(platform, state);
}

void CloseDeviceLeftOpen(DeviceLibrary& library, SharedState& state) {
    if (!state.DeviceOpen) return;
    library.Close(state.DeviceHandle);
    state.DeviceOpen = false;
}

void EnumDevices(Platform& platform, SharedState& state) {
    // A failed count is not told apart: the walk uses whatever the count holds.
    state.LastStatus = platform.Devices.GetNumDevices(&state.NumDevices);
}

std::vector<ScannedDevice> GetDeviceData(Platform& platform, SharedState& state) {
    std::vector<ScannedDevice> devices;
    PortsOfScan ports(platform.Reg, platform.Ports, platform.CodePage);
    const std::int32_t deviceCount = std::min(state.NumDevices, kMaxDevices);
    devices.reserve(static_cast<std::size_t>(std::max(deviceCount, 0)));

    for (std::int32_t index = 0; index < deviceCount; ++index) {
        ScannedDevice& scanned = devices.emplace_back();
        const auto read = ReadDevice(platform.Devices, state, index);
        // Taken before the lookups rewrite the serial bytes.
        if (read)
            scanned.Read = ScannedDevice::Identity{read->Vid, read->Pid,
                                                   ConvertToString(read->SerialBuffer, read->SerialLength, platform.CodePage)};
        // The version word once an index, as the layout has always been asked.
        const auto port = ports.Next(DecodeVersion(platform.Version.GetVersion()).Layout, read);
        if (port) TakePort(scanned, *port);
    }
    auto device = devices.begin();
    for (const DevicePort& port : ports.Settle()) TakePort(*device++, port);
    return devices;
}
