// The device scan: counts the attached devices, reads each one's identity, finds its COM port and builds the report.
#pragma once

#include "app/platform.h"
#include "app/shared_state.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Counts beyond any real machine are garbage from the library: capped, so a bad count can
// neither hang the window nor exhaust memory building the report.
inline constexpr std::int32_t kMaxDevices = 1024;

// One device of a scan, in the library's index order.
struct ScannedDevice {
    // The identity the library gave, when the open and every read succeeded; the serial as text through the
    // code page, before a lookup rewrote its bytes.
    struct Identity {
        std::int32_t Vid;
        std::int32_t Pid;
        std::u16string Serial;
    };
    std::optional<Identity> Read;
    std::int16_t PortNumber = 0;  // as the report shows it: a lookup's result, else the one before it (0 at first)
    bool LookedUp = false;        // a lookup ran for this Windows version
    // Where Windows says the port's device is plugged in (Port_#0002.Hub_#0003 and the like), opaque;
    // none when the port came from the registry layout of the older drivers.
    std::optional<std::u16string> Location;
};

// The whole scan: EnumDevices, then GetDeviceData. Returns the report for the report box.
// A DeviceLibraryFault from the library's loading passes through.
std::u16string FillDeviceList(Platform& platform, SharedState& state);

// The same scan, as the devices it found, for the console listing.
std::vector<ScannedDevice> ScanDevices(Platform& platform, SharedState& state);

// The report of a scan's devices: a serial line for each device read, a port line for each.
std::u16string ReportText(std::span<const ScannedDevice> devices);

// A text as the report box shows it: a zero byte's NUL, which would end the box's text, as U+FFFD.
std::u16string AsShown(std::u16string text);

// The unload step: closes the device a scan left open, the very handle the library gave out.
// A finished scan closes everything it opens, so this finds something only after a fault.
void CloseDeviceLeftOpen(DeviceLibrary& library, SharedState& state);

// Asks the library for the number of attached devices.
void EnumDevices(Platform& platform, SharedState& state);

// Reads every counted device and looks up its port; returns the report text.
std::u16string GetDeviceData(Platform& platform, SharedState& state);

// Reads every counted device and looks up its port.
std::vector<ScannedDevice> ReadDevices(Platform& platform, SharedState& state);
