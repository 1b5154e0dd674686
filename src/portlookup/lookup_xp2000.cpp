// The COM port of a device in the Windows 2000/XP registry layout (also used by every later Windows).
#include "portlookup/device_names.h"
#include "portlookup/port_lookup.h"
#include "portlookup/port_number.h"
#include "portlookup/registry_value.h"
#include "portlookup/scoped_key.h"
#include "app/convert_to_string.h"

#include <string>

namespace {

constexpr const char* kControlSetPath = "SYSTEM\\CurrentControlSet\\";
constexpr const char* kUsbEnumPath = "Enum\\USB\\";
constexpr const char* kParametersPath = "Device Parameters";

}  // namespace

std::int16_t GetPortNumXP2000(Registry& registry, const AnsiCodePage& codePage, std::int32_t Vid, std::int32_t Pid,
                              std::span<std::uint8_t> SerialString, std::int32_t SerialLength) {
    // Read access only: standard users are refused anything more on this key.
    RegKey ControlSetKey = 0;
    if (registry.OpenKeyEx(kLocalMachine, kControlSetPath, 0, kKeyRead, &ControlSetKey) != kRegSuccess) return kNoPort;
    const ScopedKey controlSet(registry, ControlSetKey);

    RegKey UsbEnumKey = 0;
    if (registry.OpenKey(ControlSetKey, kUsbEnumPath, &UsbEnumKey) != kRegSuccess) return kNoPort;
    const ScopedKey usbEnum(registry, UsbEnumKey);

    SerialForXP2000(SerialString, SerialLength);
    const std::string DeviceKeyPath =
        codePage.ToAnsi(DeviceKeyPathXP2000(Vid, Pid, ConvertToString(SerialString, SerialLength, codePage)));

    RegKey DeviceKey = 0;
    if (registry.OpenKey(UsbEnumKey, DeviceKeyPath.c_str(), &DeviceKey) != kRegSuccess) return kNoPort;
    const ScopedKey device(registry, DeviceKey);

    RegKey ParametersKey = 0;
    if (registry.OpenKey(DeviceKey, kParametersPath, &ParametersKey) != kRegSuccess) return kNoPort;
    const ScopedKey parameters(registry, ParametersKey);

    ValueBuffer buffer{};
    std::uint32_t ValueSize = kValueCapacity;
    std::uint32_t valueType = 0;  // any type will do: only the bytes count
    if (registry.QueryValueEx(ParametersKey, kPortNameValue, &valueType, buffer.data(), &ValueSize) != kRegSuccess)
        return kNoPort;
    return PortNumberFromValue(buffer, ValueSize, codePage);
}
