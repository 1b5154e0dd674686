// The device scan: counts the attached devices, reads each one's identity, finds its COM port and builds the report.
#pragma once

#include "app/platform.h"
#include "app/shared_state.h"

#include <cstdint>
#include <string>

// Counts beyond any real machine are garbage from the library: capped, so a bad count can
// neither hang the window nor exhaust memory building the report.
inline constexpr std::int32_t kMaxDevices = 1024;

// The whole scan: EnumDevices, then GetDeviceData. Returns the report for the report box.
// A DeviceLibraryFault from the library's loading passes through.
std::u16string FillDeviceList(Platform& platform, SharedState& state);

// The unload step: closes the device a scan left open, the very handle the library gave out.
// A finished scan closes everything it opens, so this finds something only after a fault.
void CloseDeviceLeftOpen(DeviceLibrary& library, SharedState& state);

// Asks the library for the number of attached devices.
void EnumDevices(Platform& platform, SharedState& state);

// Reads every counted device and looks up its port; returns the report text.
std::u16string GetDeviceData(Platform& platform, SharedState& state);
