// A port whose USB device Windows named after its socket, paired with the one adapter the serial numbers left over.
#include "portlookup/device_names.h"
#include "portlookup/port_lookup.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <utility>

namespace {

// The made-up ID that names the port's USB device for the vid and pid (prefix USB\VID_v&PID_p\), if one does:
// the port's own, else its parent's. A serial number never has & in it; a socket's ID always has.
std::optional<std::string_view> MadeUpDeviceId(const PresentPort& port, std::string_view prefix) {
    for (const std::string_view id : {std::string_view(port.InstanceId), std::string_view(port.ParentInstanceId)}) {
        if (id.size() <= prefix.size() || !SameInstanceId(id.substr(0, prefix.size()), prefix)) continue;
        const std::string_view rest = id.substr(prefix.size());
        if (rest.find('&') != std::string_view::npos && rest.find('\\') == std::string_view::npos) return id;
    }
    return std::nullopt;
}

struct IdBefore {
    bool operator()(std::string_view a, std::string_view b) const { return InstanceIdBefore(a, b); }
};
// The made-up USB devices of a vid and pid among the ports no adapter named, each with its lowest port.
using MadeUpDevices = std::map<std::string_view, const PresentPort*, IdBefore>;

MadeUpDevices MadeUpDevicesOf(std::span<const PresentPort> ports, const std::vector<bool>& portNamed,
                              std::string_view prefix) {
    MadeUpDevices devices;
    for (std::size_t index = 0; index < ports.size(); ++index) {
        if (index < portNamed.size() && portNamed[index]) continue;
        const PresentPort& port = ports[index];
        const auto id = MadeUpDeviceId(port, prefix);
        if (!id) continue;
        const auto [device, added] = devices.try_emplace(*id, &port);
        if (!added && InstanceIdBefore(port.InstanceId, device->second->InstanceId)) device->second = &port;
    }
    return devices;
}

std::string MadeUpPrefix(std::int32_t Vid, std::int32_t Pid, const AnsiCodePage& codePage) {
    return codePage.ToAnsi(UsbDeviceId(Vid, Pid, u""));
}

}  // namespace

bool MadeUpPortListed(std::span<const PresentPort> ports, std::int32_t Vid, std::int32_t Pid,
                      const AnsiCodePage& codePage) {
    const std::string prefix = MadeUpPrefix(Vid, Pid, codePage);
    return std::ranges::any_of(ports, [&](const PresentPort& port) { return MadeUpDeviceId(port, prefix).has_value(); });
}

std::vector<MadeUpPairing> PairMadeUpPorts(std::span<const PresentPort> ports, const std::vector<bool>& portNamed,
                                           std::span<const UnpairedAdapter> adapters, bool adapterUnread,
                                           const AnsiCodePage& codePage) {
    // Each vid and pid once: a scan has many adapters of few kinds.
    std::map<std::pair<std::int32_t, std::int32_t>, std::vector<std::size_t>> kinds;
    for (std::size_t index = 0; index < adapters.size(); ++index)
        kinds[{adapters[index].Vid, adapters[index].Pid}].push_back(index);
    std::vector<MadeUpPairing> pairings(adapters.size());
    for (const auto& [kind, adapterIndexes] : kinds) {
        const MadeUpDevices devices = MadeUpDevicesOf(ports, portNamed, MadeUpPrefix(kind.first, kind.second, codePage));
        for (const std::size_t index : adapterIndexes) pairings[index].MadeUpListed = !devices.empty();
        if (devices.size() == 1 && adapterIndexes.size() == 1 && !adapterUnread)
            pairings[adapterIndexes.front()].Port = PresentPortNumber(*devices.begin()->second, codePage);
    }
    return pairings;
}
