// The COM port number the registry records for a device, in the Windows 2000/XP and Windows 98 layouts.
#pragma once

#include "app/code_page.h"
#include "app/present_ports.h"
#include "app/registry.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Both lookups return -1 when no port is found and rewrite the serial bytes in place to the
// registry's spelling of them (see device_names.h); SerialLength is read, never written.

// Enum\USB\<device key>\Device Parameters, value "PortName", below the current control set.
std::int16_t GetPortNumXP2000(Registry& registry, const AnsiCodePage& codePage, std::int32_t Vid, std::int32_t Pid,
                              std::span<std::uint8_t> SerialString, std::int32_t SerialLength);

// The instance keys Enum\SLABCR\guid\000<n> from n = 0 until one is missing; the "PortName"
// of the last instance whose "CRLowerDeviceID" names the device.
std::int16_t GetPortNum98(Registry& registry, const AnsiCodePage& codePage, std::int32_t Vid, std::int32_t Pid,
                          std::span<std::uint8_t> SerialString, std::int32_t SerialLength);

// The port device Windows lists as present for the device: named after it (USB\VID_v&PID_p\<serial>, or
// ...&MI_00\<serial>_00 of the older drivers) or the child of a device so named, the serial spelt as the
// 2000/XP key path spells it; nullopt when none is. SerialString is not rewritten.
struct PresentPortFound {
    std::int16_t PortNumber;
    std::optional<std::u16string> Location;
    const PresentPort* Device;       // the port device it was read from, in ports
    std::vector<std::size_t> Named;  // the indexes in ports of every port device named after the device
};
std::optional<PresentPortFound> GetPortNumPresent(std::span<const PresentPort> ports, const AnsiCodePage& codePage,
                                                  std::int32_t Vid, std::int32_t Pid,
                                                  std::span<const std::uint8_t> SerialString, std::int32_t SerialLength);

// A port device's "PortName" read as the registry's is, and its location.
PresentPortFound PresentPortNumber(const PresentPort& port, const AnsiCodePage& codePage);

// Where Windows does not name a device after its serial number (none it accepts, one already in use, or serial
// numbers ignored for its vid and pid) it makes the instance ID up from the USB socket: USB\VID_v&PID_p\5&2A0E1B13&0&2,
// with & in it, which no serial number of these adapters has. Such a device's port can only be told by elimination.
struct UnpairedAdapter {
    std::int32_t Vid;
    std::int32_t Pid;
};
struct MadeUpPairing {
    bool MadeUpListed;                    // a made-up device of its vid and pid is left over: no older record counts
    std::optional<PresentPortFound> Port;  // that device's, where it and this adapter are the only ones left
};
// Whether a port device of the vid and pid under a made-up ID is listed at all.
bool MadeUpPortListed(std::span<const PresentPort> ports, std::int32_t Vid, std::int32_t Pid,
                      const AnsiCodePage& codePage);
// For each adapter read that named no port device and whose name is its own, in order: the port devices that no
// adapter named (portNamed false), made up for its vid and pid, one USB device per made-up ID (its own, or its
// parent's for a composite device's interfaces), the lowest instance ID giving its port. An adapter that could
// not be read may be the one in the socket: then no adapter is paired.
std::vector<MadeUpPairing> PairMadeUpPorts(std::span<const PresentPort> ports, const std::vector<bool>& portNamed,
                                           std::span<const UnpairedAdapter> adapters, bool adapterUnread,
                                           const AnsiCodePage& codePage);
