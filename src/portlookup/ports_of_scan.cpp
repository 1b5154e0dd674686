// Every port of one scan, decided in the scan's order, the few only the whole scan can tell settled at its end.
#include "portlookup/ports_of_scan.h"

#include "app/convert_to_string.h"
#include "portlookup/device_names.h"
#include "portlookup/port_lookup.h"
#include "portlookup/port_number.h"
#include "portlookup/registry_value.h"

#include <algorithm>
#include <map>

PortsOfScan::PortsOfScan(Registry& registry, PresentPorts& presentPorts, const AnsiCodePage& codePage)
    : registry_(registry), presentPorts_(presentPorts), codePage_(codePage) {}

std::optional<DevicePort> PortsOfScan::Next(PortLayout layout, const std::optional<DeviceIdentity>& read) {
    // Each device starts from an empty identity, so one whose reads fail finds no port rather than the port of
    // the device before it.
    const DeviceIdentity identity = read.value_or(DeviceIdentity{});
    Place& place = places_.emplace_back();
    place.Read = read.has_value();
    if (layout == PortLayout::None) {
        place.Port.PortNumber = last_;
        return place.Port;
    }
    if (read) {
        place.Named = Name{identity.Vid, identity.Pid,
                           RecordedSerial(ConvertToString(identity.SerialBuffer, identity.SerialLength, codePage_))};
    }
    place.Port.LookedUp = true;
    if (layout == PortLayout::Windows98) {
        DeviceIdentity spelt = identity;  // the lookup rewrites the serial bytes it is given
        place.Port.PortNumber =
            GetPortNum98(registry_, codePage_, spelt.Vid, spelt.Pid, spelt.SerialBuffer, spelt.SerialLength);
    } else {
        place.Port.PortNumber = LookUpXP2000(identity, read.has_value(), place);
    }
    last_ = place.Port.PortNumber;
    if (place.Waiting) return std::nullopt;
    return place.Port;
}

// 2000, XP or later: a present port device named after the device, else, where a port device of its vid and pid
// is listed under a made-up ID, the one the whole scan leaves it (it waits), else the registry's record of it.
std::int16_t PortsOfScan::LookUpXP2000(const DeviceIdentity& identity, bool read, Place& place) {
    unread_ |= !read;
    // A device that could not be read has no identity to look for among the present ports.
    if (const auto* ports = read ? Present() : nullptr) {
        if (auto found = GetPortNumPresent(*ports, codePage_, identity.Vid, identity.Pid, identity.SerialBuffer,
                                           identity.SerialLength)) {
            portNamed_.resize(ports->size());
            for (const std::size_t named : found->Named) portNamed_[named] = true;
            place.Port.Location = std::move(found->Location);
            place.Device = found->Device;
            return found->PortNumber;
        }
        if (MadeUpPortListed(*ports, identity.Vid, identity.Pid, codePage_)) {
            place.Waiting = identity;
            return kNoPort;
        }
    }
    return Recorded(identity);
}

// Kept as the fallback, also where it may be stale: it is what 2000 and XP with the older drivers record.
std::int16_t PortsOfScan::Recorded(DeviceIdentity identity) {
    return GetPortNumXP2000(registry_, codePage_, identity.Vid, identity.Pid, identity.SerialBuffer,
                            identity.SerialLength);
}

// A port device whose "PortName" is longer than the lookups offer is left out, as setupapi's query of that many
// bytes, and the registry's, refuse it: the device then finds its port as if that one were not listed.
const std::vector<PresentPort>* PortsOfScan::Present() {
    if (!listed_) {
        listed_ = presentPorts_.List();
        if (*listed_)
            std::erase_if(**listed_, [](const PresentPort& port) { return port.PortName.size() > kValueCapacity; });
    }
    return *listed_ ? &**listed_ : nullptr;
}

std::map<PortsOfScan::Name, int> PortsOfScan::CountNames() const {
    std::map<Name, int> devicesNamed;
    for (const Place& place : places_)
        if (place.Named) ++devicesNamed[*place.Named];
    return devicesNamed;
}

std::vector<DevicePort> PortsOfScan::Settle() {
    PairWaiting();
    ForgetSharedNames();
    const auto devicesNamed = CountNames();
    std::vector<DevicePort> ports;
    ports.reserve(places_.size());
    for (Place& place : places_) {
        // Asked only now, of the port devices the scan's adapters turned out to have.
        if (place.Device != nullptr) place.Port.Problem = presentPorts_.Problem(*place.Device);
        place.Port.Reason = WhyNoPort(place, devicesNamed);
        ports.push_back(place.Port);
    }
    return ports;
}

// The devices that waited: paired with the made-up port left over, no port where that cannot be told, or the
// registry's record where every made-up port of their vid and pid turned out to be another's.
void PortsOfScan::PairWaiting() {
    if (std::ranges::none_of(places_, [](const Place& place) { return place.Waiting.has_value(); })) return;
    const auto devicesNamed = CountNames();
    std::vector<Place*> alone;
    std::vector<UnpairedAdapter> adapters;
    for (Place& place : places_) {
        // One that shares its name stays without a port.
        if (!place.Waiting || devicesNamed.at(*place.Named) > 1) continue;
        alone.push_back(&place);
        adapters.push_back({place.Waiting->Vid, place.Waiting->Pid});
    }
    const auto pairings = PairMadeUpPorts(*Present(), portNamed_, adapters, unread_, codePage_);
    for (std::size_t i = 0; i < alone.size(); ++i) {
        DevicePort& port = alone[i]->Port;
        if (!pairings[i].MadeUpListed) {
            port.PortNumber = Recorded(*alone[i]->Waiting);
        } else if (pairings[i].Port) {
            port.PortNumber = pairings[i].Port->PortNumber;
            port.Location = pairings[i].Port->Location;
            alone[i]->Device = pairings[i].Port->Device;
        } else {
            alone[i]->Unpaired = true;
        }
    }
}

// Two devices of one name cannot be told apart by any lookup: a port found for it is not known to be either's.
void PortsOfScan::ForgetSharedNames() {
    const auto devicesNamed = CountNames();
    for (Place& place : places_) {
        if (!place.Named || devicesNamed.at(*place.Named) < 2) continue;
        place.Port.PortNumber = kNoPort;
        place.Port.Location.reset();
        place.Device = nullptr;
    }
}

// The reason a user can act on first: a device not read has no name to look for, and the version decides whether
// any lookup runs at all.
std::optional<NoPortReason> PortsOfScan::WhyNoPort(const Place& place, const std::map<Name, int>& devicesNamed) {
    if (!place.Read) return NoPortReason::Unread;
    if (!place.Port.LookedUp) return NoPortReason::NoLookup;
    if (place.Port.PortNumber >= kFirstPort) return std::nullopt;
    if (devicesNamed.at(*place.Named) > 1) return NoPortReason::SharedSerial;
    if (place.Unpaired) return NoPortReason::NoOwnSerial;
    return NoPortReason::NoPortDevice;
}
