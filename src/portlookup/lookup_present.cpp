// The COM port of a device among the port devices Windows lists as present, as today's drivers record it.
#include "portlookup/device_names.h"
#include "portlookup/port_lookup.h"
#include "portlookup/registry_value.h"
#include "app/convert_to_string.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

bool NamesDevice(const std::string& instanceId, const std::array<std::string, 2>& deviceIds) {
    return std::ranges::any_of(deviceIds, [&](const std::string& id) { return SameInstanceId(instanceId, id); });
}

std::u16string BytesAsText(const std::string& bytes, const AnsiCodePage& codePage) {
    const std::span data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return ConvertToString(data, static_cast<std::int32_t>(data.size()), codePage);
}

}  // namespace

std::optional<PresentPortFound> GetPortNumPresent(std::span<const PresentPort> ports, const AnsiCodePage& codePage,
                                                  std::int32_t Vid, std::int32_t Pid,
                                                  std::span<const std::uint8_t> SerialString, std::int32_t SerialLength) {
    // The registry lookup that may follow rewrites the caller's bytes itself; this one spells a copy.
    std::vector<std::uint8_t> serial(SerialString.begin(), SerialString.end());
    SerialForXP2000(serial, SerialLength);
    const std::u16string serialText = ConvertToString(serial, SerialLength, codePage);
    const std::array<std::string, 2> deviceIds = {codePage.ToAnsi(UsbDeviceId(Vid, Pid, serialText)),
                                                  codePage.ToAnsi(UsbFirstInterfaceId(Vid, Pid, serialText))};

    const PresentPort* found = nullptr;
    std::vector<std::size_t> named;
    for (std::size_t index = 0; index < ports.size(); ++index) {
        const PresentPort& port = ports[index];
        // Exact IDs only: a longer serial with the same start names another device.
        if (!NamesDevice(port.InstanceId, deviceIds) && !NamesDevice(port.ParentInstanceId, deviceIds)) continue;
        named.push_back(index);
        // Where several interfaces of one composite device are ports, the same one wins whatever order Windows
        // lists them in: the lowest instance ID, so MI_00 before MI_02.
        if (found == nullptr || InstanceIdBefore(port.InstanceId, found->InstanceId)) found = &port;
    }
    if (found == nullptr) return std::nullopt;
    PresentPortFound result = PresentPortNumber(*found, codePage);
    result.Named = std::move(named);
    return result;
}

PresentPortFound PresentPortNumber(const PresentPort& port, const AnsiCodePage& codePage) {
    // The same reading as the registry's "PortName": COM14 gives 14, a number past 16 bits no port. A name longer
    // than the lookups offer never gets here (PortsOfScan leaves its device out); the copy stays in the buffer.
    ValueBuffer buffer{};
    const std::size_t size = std::min(port.PortName.size(), static_cast<std::size_t>(kValueCapacity));
    std::copy_n(port.PortName.begin(), size, buffer.begin());
    PresentPortFound result{PortNumberFromValue(buffer, static_cast<std::uint32_t>(size), codePage), std::nullopt, &port, {}};
    if (port.Location) result.Location = BytesAsText(*port.Location, codePage);
    return result;
}
