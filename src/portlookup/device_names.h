// How the registry names a device: the serial number's spelling, the 2000/XP key path and the 98 device id.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// Rewrite in place the first SerialLength bytes (at most the buffer's size):
// spaces become underscores, as Windows 2000/XP names the device's instance key.
void SerialForXP2000(std::span<std::uint8_t> SerialString, std::int32_t SerialLength);

// Spaces become underscores and a..z become A..Z, as Windows 98 writes the device id;
// bytes from 128 up are left alone.
void SerialFor98(std::span<std::uint8_t> SerialString, std::int32_t SerialLength);

// Vid_1a2b&Pid_c3d4&Mi_00\<serial>_00: the device key and its instance key below Enum\USB.
std::u16string DeviceKeyPathXP2000(std::int32_t Vid, std::int32_t Pid, std::u16string_view serialText);

// USB\VID_1A2B&PID_C3D4&MI_00\<serial>_00: the "CRLowerDeviceID" of the device's instance.
std::u16string ExpectedDeviceId98(std::int32_t Vid, std::int32_t Pid, std::u16string_view serialText);
