// The device scan: counts the attached devices, reads each one's identity, finds its COM port and builds the report.
#include "scan/device_scan.h"

#include "app/ascii_text.h"
#include "app/convert_to_string.h"
#include "portlookup/device_names.h"
#include "portlookup/port_lookup.h"
#include "portlookup/port_number.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <tuple>

namespace {

constexpr std::u16string_view LineBreak = u"\r\n";
constexpr std::u16string_view kSerialLabel = u"Número de Serie =";
constexpr std::u16string_view kPortLabel = u"Número de Puerto COM: ";

constexpr std::int32_t kAsciiSerial = 1;

struct DeviceIdentity {
    std::int32_t Vid = 0;
    std::int32_t Pid = 0;
    std::array<std::uint8_t, kSerialBufferSize> SerialBuffer{};
    std::int32_t SerialLength = 0;
};

// Opens device `index`, reads its identity and closes it again. A device that opened is
// closed exactly once, whichever read fails; nullopt when the open or any read failed.
std::optional<DeviceIdentity> ReadDevice(DeviceLibrary& library, SharedState& state, std::int32_t index) {
    state.LastStatus = library.Open(index, &state.DeviceHandle);
    if (state.LastStatus != 0) return std::nullopt;
    state.DeviceOpen = true;

    DeviceIdentity identity;
    const bool read = (state.LastStatus = library.GetDeviceVid(state.DeviceHandle, &identity.Vid)) == 0 &&
                      (state.LastStatus = library.GetDevicePid(state.DeviceHandle, &identity.Pid)) == 0 &&
                      (state.LastStatus = library.GetDeviceSerialNumber(state.DeviceHandle, identity.SerialBuffer.data(),
                                                                        &identity.SerialLength, kAsciiSerial)) == 0;
    library.Close(state.DeviceHandle);
    state.DeviceOpen = false;
    if (!read) return std::nullopt;
    identity.SerialLength = std::min(identity.SerialLength, kSerialBufferSize);
    return identity;
}

// The present port devices, listed at most once a scan and only once a device needs them.
class ScanPresentPorts {
public:
    explicit ScanPresentPorts(PresentPorts& seam) : seam_(seam) {}
    // Null when Windows cannot list them.
    const std::vector<PresentPort>* Get() {
        if (!listed_) listed_ = seam_.List();
        return *listed_ ? &**listed_ : nullptr;
    }

private:
    PresentPorts& seam_;
    std::optional<std::optional<std::vector<PresentPort>>> listed_;
};

// The name (vid, pid, serial) under which Windows records a device read and looked up, and how many devices of the
// scan each name has: two that share one cannot be told apart by any lookup.
using Name = std::tuple<std::int32_t, std::int32_t, std::u16string>;
std::optional<Name> NameOf(const ScannedDevice& device) {
    if (!device.Read || !device.LookedUp) return std::nullopt;
    return Name{device.Read->Vid, device.Read->Pid, RecordedSerial(device.Read->Serial)};
}
std::map<Name, int> CountNames(const std::vector<ScannedDevice>& devices) {
    std::map<Name, int> devicesNamed;
    for (const ScannedDevice& device : devices)
        if (const auto name = NameOf(device)) ++devicesNamed[*name];
    return devicesNamed;
}
bool SharesName(const ScannedDevice& device, const std::map<Name, int>& devicesNamed) {
    const auto name = NameOf(device);
    return name && devicesNamed.at(*name) > 1;
}

// A port found for a shared name is not known to be either device's.
void ForgetSharedPorts(std::vector<ScannedDevice>& devices) {
    const auto devicesNamed = CountNames(devices);
    for (ScannedDevice& device : devices) {
        if (!SharesName(device, devicesNamed)) continue;
        device.PortNumber = kNoPort;
        device.Location.reset();
    }
}

// The ports of devices read on 2000, XP or later: a present port device named after the device, else, where a
// port device of its vid and pid is listed under a made-up ID, the one the whole scan leaves it, else the
// registry's record of it.
class PortsOfNT {
public:
    explicit PortsOfNT(Platform& platform) : platform_(platform), presentPorts_(platform.Ports) {}

    // The port of the device at index; nullopt when it waits for the whole scan (Pair).
    std::optional<std::int16_t> Look(DeviceIdentity& identity, bool read, ScannedDevice& scanned, std::size_t index) {
        unread_ |= !read;
        // A device that could not be read has no identity to look for among the present ports.
        if (const auto* ports = read ? presentPorts_.Get() : nullptr) {
            if (auto found = GetPortNumPresent(*ports, platform_.CodePage, identity.Vid, identity.Pid,
                                               identity.SerialBuffer, identity.SerialLength)) {
                named_.resize(ports->size());
                for (const std::size_t named : found->Named) named_[named] = true;
                scanned.Location = std::move(found->Location);
                return found->PortNumber;
            }
            if (MadeUpPortListed(*ports, identity.Vid, identity.Pid, platform_.CodePage)) {
                waiting_.push_back({index, identity});
                return std::nullopt;
            }
        }
        return Recorded(identity);
    }

    // The devices that waited: paired with the made-up port left over, no port where that cannot be told, or
    // the registry's record where every made-up port of their vid and pid turned out to be another's.
    void Pair(std::vector<ScannedDevice>& devices) {
        if (waiting_.empty()) return;
        const auto devicesNamed = CountNames(devices);
        std::vector<Waiting> alone;
        std::vector<UnpairedAdapter> adapters;
        for (const Waiting& waiting : waiting_) {
            devices[waiting.Index].PortNumber = kNoPort;  // one that shares its name stays without a port
            if (SharesName(devices[waiting.Index], devicesNamed)) continue;
            alone.push_back(waiting);
            adapters.push_back({waiting.Identity.Vid, waiting.Identity.Pid});
        }
        const auto pairings =
            PairMadeUpPorts(*presentPorts_.Get(), named_, adapters, unread_, platform_.CodePage);
        for (std::size_t i = 0; i < alone.size(); ++i) {
            ScannedDevice& scanned = devices[alone[i].Index];
            if (!pairings[i].MadeUpListed) {
                scanned.PortNumber = Recorded(alone[i].Identity);
            } else if (pairings[i].Port) {
                scanned.PortNumber = pairings[i].Port->PortNumber;
                scanned.Location = pairings[i].Port->Location;
            }
        }
    }

private:
    // Kept as the fallback, also where it may be stale: it is what 2000 and XP with the older drivers record.
    std::int16_t Recorded(DeviceIdentity& identity) {
        return GetPortNumXP2000(platform_.Reg, platform_.CodePage, identity.Vid, identity.Pid, identity.SerialBuffer,
                                identity.SerialLength);
    }

    struct Waiting {
        std::size_t Index;
        DeviceIdentity Identity;
    };
    Platform& platform_;
    ScanPresentPorts presentPorts_;
    std::vector<bool> named_;  // the present ports some device of the scan was named after
    std::vector<Waiting> waiting_;
    bool unread_ = false;  // a device the scan could not read may be any socket's
};

std::u16string FormatPortNumber(std::int16_t PortNumber) {
    std::u16string text = PortNumber >= 0 ? u" " : u"";
    return text.append(AsciiText(std::to_string(PortNumber)));
}

}  // namespace

std::u16string FillDeviceList(Platform& platform, SharedState& state) {
    EnumDevices(platform, state);
    return GetDeviceData(platform, state);
}

std::vector<ScannedDevice> ScanDevices(Platform& platform, SharedState& state) {
    EnumDevices(platform, state);
    return ReadDevices(platform, state);
}

void CloseDeviceLeftOpen(DeviceLibrary& library, SharedState& state) {
    if (!state.DeviceOpen) return;
    library.Close(state.DeviceHandle);
    state.DeviceOpen = false;
}

void EnumDevices(Platform& platform, SharedState& state) {
    // A failed count is not told apart: the walk uses whatever the count holds.
    state.LastStatus = platform.Devices.GetNumDevices(&state.NumDevices);
}

std::u16string GetDeviceData(Platform& platform, SharedState& state) { return ReportText(ReadDevices(platform, state)); }

std::vector<ScannedDevice> ReadDevices(Platform& platform, SharedState& state) {
    std::vector<ScannedDevice> devices;
    std::int16_t PortNumber = 0;  // kept when no lookup runs for the Windows version
    PortsOfNT portsOfNT(platform);
    const std::int32_t deviceCount = std::min(state.NumDevices, kMaxDevices);
    devices.reserve(static_cast<std::size_t>(std::max(deviceCount, 0)));

    for (std::int32_t index = 0; index < deviceCount; ++index) {
        ScannedDevice& scanned = devices.emplace_back();
        // Each device starts from an empty identity, so one whose reads fail finds no port
        // rather than the port of the device before it.
        DeviceIdentity identity;
        const auto read = ReadDevice(platform.Devices, state, index);
        if (read) {
            identity = *read;
            // Taken before the lookups rewrite the serial bytes.
            scanned.Read = ScannedDevice::Identity{
                identity.Vid, identity.Pid, ConvertToString(identity.SerialBuffer, identity.SerialLength, platform.CodePage)};
        }

        const PortLayout layout = DecodeVersion(platform.Version.GetVersion()).Layout;
        scanned.LookedUp = true;
        if (layout == PortLayout::XP2000) {
            PortNumber = portsOfNT.Look(identity, read.has_value(), scanned, devices.size() - 1).value_or(kNoPort);
        } else if (layout == PortLayout::Windows98) {
            PortNumber = GetPortNum98(platform.Reg, platform.CodePage, identity.Vid, identity.Pid,
                                      identity.SerialBuffer, identity.SerialLength);
        } else {
            scanned.LookedUp = false;
        }
        scanned.PortNumber = PortNumber;
    }
    portsOfNT.Pair(devices);
    ForgetSharedPorts(devices);
    return devices;
}

std::u16string ReportText(std::span<const ScannedDevice> devices) {
    std::u16string ReportText;
    for (const ScannedDevice& device : devices) {
        if (device.Read) ReportText.append(kSerialLabel).append(device.Read->Serial).append(LineBreak);
        ReportText.append(kPortLabel).append(FormatPortNumber(device.PortNumber)).append(LineBreak).append(LineBreak);
    }
    return ReportText.append(LineBreak).append(LineBreak);
}

std::u16string AsShown(std::u16string text) {
    std::replace(text.begin(), text.end(), u'\0', u'\uFFFD');
    return text;
}
