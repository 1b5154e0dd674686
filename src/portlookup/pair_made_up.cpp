// A port whose USB device Windows named after its socket, paired with the one adapter the serial numbers left over.
#include "portlookup/device_names.h"
#include "portlookup/port_lookup.h"

#include <algorithm>
#include <string_view>

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

struct MadeUpDevice {
    std::string_view Id;
    const PresentPort* LowestPort;
};

// The made-up USB devices of the vid and pid among the ports no adapter named, each with its lowest port.
std::vector<MadeUpDevice> MadeUpDevices(std::span<const PresentPort> ports, const std::vector<bool>& portNamed,
                                        std::string_view prefix) {
    std::vector<MadeUpDevice> devices;
    for (std::size_t index = 0; index < ports.size(); ++index) {
        if (index < portNamed.size() && portNamed[index]) continue;
        const PresentPort& port = ports[index];
        const auto id = MadeUpDeviceId(port, prefix);
        if (!id) continue;
        const auto same = std::ranges::find_if(devices, [&](const MadeUpDevice& d) { return SameInstanceId(d.Id, *id); });
        if (same == devices.end())
            devices.push_back({*id, &port});
        else if (InstanceIdBefore(port.InstanceId, same->LowestPort->InstanceId))
            same->LowestPort = &port;
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
    std::vector<MadeUpPairing> pairings;
    pairings.reserve(adapters.size());
    for (const UnpairedAdapter& adapter : adapters) {
        const std::string prefix = MadeUpPrefix(adapter.Vid, adapter.Pid, codePage);
        const std::vector<MadeUpDevice> devices = MadeUpDevices(ports, portNamed, prefix);
        const auto kin = std::ranges::count_if(
            adapters, [&](const UnpairedAdapter& other) { return other.Vid == adapter.Vid && other.Pid == adapter.Pid; });
        MadeUpPairing pairing{!devices.empty(), std::nullopt};
        if (devices.size() == 1 && kin == 1 && !adapterUnread)
            pairing.Port = PresentPortNumber(*devices.front().LowestPort, codePage);
        pairings.push_back(std::move(pairing));
    }
    return pairings;
}
