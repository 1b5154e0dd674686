// The COM port of a device in the Windows 98 registry layout: a walk over the port driver's instance keys.
#include "portlookup/device_names.h"
#include "portlookup/port_lookup.h"
#include "portlookup/port_number.h"
#include "portlookup/registry_value.h"
#include "portlookup/scoped_key.h"
#include "app/convert_to_string.h"

#include <algorithm>
#include <limits>
#include <string>

namespace {

constexpr const char* kInstancePathPrefix = "Enum\\SLABCR\\guid\\000";
constexpr const char* kDeviceIdValue = "CRLowerDeviceID";
constexpr std::int16_t kLastInstanceIndex = std::numeric_limits<std::int16_t>::max();

// The three zeros stand before the whole decimal index: 0000, 0009, 00010, 000123.
std::string InstanceKeyPath(std::int16_t InstanceIndex) {
    return kInstancePathPrefix + std::to_string(InstanceIndex);
}

// A query is offered what ValueSize holds, but never more than the buffer.
std::uint32_t Capacity(std::uint32_t ValueSize) {
    return std::min<std::uint32_t>(ValueSize, kValueBufferSize);
}

}  // namespace

std::int16_t GetPortNum98(Registry& registry, const AnsiCodePage& codePage, std::int32_t Vid, std::int32_t Pid,
                          std::span<std::uint8_t> SerialString, std::int32_t SerialLength) {
    std::int16_t PortNumber = kNoPort;
    ValueBuffer buffer{};
    // Carried over from query to query: each is offered the length the one before returned.
    std::uint32_t ValueSize = kValueCapacity;
    std::uint32_t valueType = 0;  // any type will do: only the bytes count

    SerialFor98(SerialString, SerialLength);
    const std::u16string ExpectedDeviceId =
        ExpectedDeviceId98(Vid, Pid, ConvertToString(SerialString, SerialLength, codePage));

    // Every instance is examined, not just up to the first match: the last match wins.
    std::int16_t InstanceIndex = 0;
    for (;;) {
        RegKey InstanceKey = 0;
        if (registry.OpenKey(kLocalMachine, InstanceKeyPath(InstanceIndex).c_str(), &InstanceKey) != kRegSuccess) break;
        const ScopedKey instance(registry, InstanceKey);

        const std::uint32_t offered = Capacity(ValueSize);
        ValueSize = offered;
        const std::int32_t status = registry.QueryValueEx(InstanceKey, kDeviceIdValue, &valueType, buffer.data(), &ValueSize);
        // The id was longer than offered: read the same instance again with the length it
        // needs, as long as that offers more than before (an id past the buffer is passed over).
        const bool readAgain = status == kRegMoreData && Capacity(ValueSize) > offered;

        if (status == kRegSuccess && ValueText(buffer, ValueSize, codePage) == ExpectedDeviceId) {
            ValueSize = Capacity(ValueSize);
            if (registry.QueryValueEx(InstanceKey, kPortNameValue, &valueType, buffer.data(), &ValueSize) == kRegSuccess)
                PortNumber = PortNumberFromValue(buffer, ValueSize, codePage);
        }

        if (!readAgain) {
            if (InstanceIndex == kLastInstanceIndex) break;
            ++InstanceIndex;
        }
    }
    return PortNumber;
}
