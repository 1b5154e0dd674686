// The COM port number the registry records for a device, in the Windows 2000/XP and Windows 98 layouts.
#pragma once

#include "app/code_page.h"
#include "app/present_ports.h"
#include "app/registry.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

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
};
std::optional<PresentPortFound> GetPortNumPresent(std::span<const PresentPort> ports, const AnsiCodePage& codePage,
                                                  std::int32_t Vid, std::int32_t Pid,
                                                  std::span<const std::uint8_t> SerialString, std::int32_t SerialLength);
