// The COM port number the registry records for a device, in the Windows 2000/XP and Windows 98 layouts.
#pragma once

#include "app/code_page.h"
#include "app/registry.h"

#include <cstdint>
#include <span>

// Both lookups return -1 when no port is found and rewrite the serial bytes in place to the
// registry's spelling of them (see device_names.h); SerialLength is read, never written.

// Enum\USB\<device key>\Device Parameters, value "PortName", below the current control set.
std::int16_t GetPortNumXP2000(Registry& registry, const AnsiCodePage& codePage, std::int32_t Vid, std::int32_t Pid,
                              std::span<std::uint8_t> SerialString, std::int32_t SerialLength);

// The instance keys Enum\SLABCR\guid\000<n> from n = 0 until one is missing; the "PortName"
// of the last instance whose "CRLowerDeviceID" names the device.
std::int16_t GetPortNum98(Registry& registry, const AnsiCodePage& codePage, std::int32_t Vid, std::int32_t Pid,
                          std::span<std::uint8_t> SerialString, std::int32_t SerialLength);
