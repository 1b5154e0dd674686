// How the registry names a device: the serial number's spelling, the 2000/XP key path and the 98 device id.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Rewrite in place the first SerialLength bytes (at most the buffer's size):
// spaces become underscores, as Windows 2000/XP names the device's instance key.
void SerialForXP2000(std::span<std::uint8_t> SerialString, std::int32_t SerialLength);

// Spaces become underscores and a..z become A..Z, as Windows 98 writes the device id;
// bytes from 128 up are left alone.
void SerialFor98(std::span<std::uint8_t> SerialString, std::int32_t SerialLength);

// A serial's text folded the same way: the one name under which Windows' records (2000/XP key names, which
// compare in either case, and 98 device ids) hold an adapter, so two adapters of one name cannot be told apart.
std::u16string RecordedSerial(std::u16string serial);

// Vid_1a2b&Pid_c3d4&Mi_00\<serial>_00: the device key and its instance key below Enum\USB.
std::u16string DeviceKeyPathXP2000(std::int32_t Vid, std::int32_t Pid, std::u16string_view serialText);

// USB\VID_1A2B&PID_C3D4&MI_00\<serial>_00: the "CRLowerDeviceID" of the device's instance.
std::u16string ExpectedDeviceId98(std::int32_t Vid, std::int32_t Pid, std::u16string_view serialText);

// USB\VID_1A2B&PID_C3D4\<serial>: the instance ID Windows gives a USB device after its serial number.
std::u16string UsbDeviceId(std::int32_t Vid, std::int32_t Pid, std::u16string_view serialText);
// USB\VID_1A2B&PID_C3D4&MI_00\<serial>_00: its first interface, where the older drivers put the port.
std::u16string UsbFirstInterfaceId(std::int32_t Vid, std::int32_t Pid, std::u16string_view serialText);

// Windows writes instance IDs in either case: equal when only ASCII a..z differ from A..Z. Not by locale, which
// would fold the Turkish dotless and dotted i into I.
bool SameInstanceId(std::string_view a, std::string_view b);
// The order of instance IDs with the same folding, for a choice that does not hang on Windows' listing order.
bool InstanceIdBefore(std::string_view a, std::string_view b);
