// The device scan: counts the attached devices, reads each one's identity, asks for its COM port and reports.
#pragma once

#include "app/platform.h"
#include "app/shared_state.h"
#include "scan/scanned_device.h"

#include <cstdint>
#include <string>
#include <vector>

// Counts beyond any real machine are garbage from the library: capped, so a bad count can
// neither hang the window nor exhaust memory building the report.
inline constexpr std::int32_t kMaxDevices = 1024;

// A whole scan as the window takes it: the devices found, and the report its box shows of them.
struct FilledList {
    std::vector<ScannedDevice> Devices;
    std::u16string Report;
};

// The whole scan as the window shows it: ScanDevices, and its report (report_text.h) as AsShown gives it.
// A DeviceLibraryFault from the library's loading passes through.
FilledList FillDeviceList(Platform& platform, SharedState& state);

// The whole scan, EnumDevices then GetDeviceData: the devices it found, in index order.
std::vector<ScannedDevice> ScanDevices(Platform& platform, SharedState& state);

// The unload step: closes the device a scan left open, the very handle the library gave out.
// A finished scan closes everything it opens, so this finds something only after a fault.
void CloseDeviceLeftOpen(DeviceLibrary& library, SharedState& state);

// Asks the library for the number of attached devices.
void EnumDevices(Platform& platform, SharedState& state);

// Reads every counted device and has its port looked up.
std::vector<ScannedDevice> GetDeviceData(Platform& platform, SharedState& state);
