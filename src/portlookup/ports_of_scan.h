// Every port of one scan, decided in the scan's order: each device's as the scan reaches it, save those only the
// whole scan can tell (a port named after its USB socket, two adapters of one name), settled at its end.
#pragma once

#include "app/code_page.h"
#include "app/os_version.h"
#include "app/present_ports.h"
#include "app/registry.h"
#include "devicelib/device_library.h"
#include "portlookup/no_port_reason.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A device's identity as the library wrote it; an unread device's is all zeros, which names no device.
struct DeviceIdentity {
    std::int32_t Vid = 0;
    std::int32_t Pid = 0;
    std::array<std::uint8_t, kSerialBufferSize> SerialBuffer{};
    std::int32_t SerialLength = 0;
};

struct DevicePort {
    std::int16_t PortNumber = 0;  // as the report shows it: a lookup's result, else the one before it (0 at first)
    bool LookedUp = false;        // a lookup ran for this Windows version
    // Where Windows says the port's device is plugged in (Port_#0002.Hub_#0003 and the like), opaque;
    // none when the port came from the registry layout of the older drivers.
    std::optional<std::u16string> Location;
    // The problem number Device Manager shows for the port device found; the port keeps its number all the same.
    std::optional<std::uint32_t> Problem;
    // Where no port 1 or above is its own: why not.
    std::optional<NoPortReason> Reason;
};

class PortsOfScan {
public:
    PortsOfScan(Registry& registry, PresentPorts& presentPorts, const AnsiCodePage& codePage);

    // The device at the scan's next place, looked up in `layout` with its identity, or with an empty one where it
    // could not be read. nullopt: decided at the end.
    std::optional<DevicePort> Next(PortLayout layout, const std::optional<DeviceIdentity>& read);
    // Every device's final port, by its place in the scan; the waiting ones paired, or given the registry's record;
    // the problem of each port device found, and why a device has no port.
    std::vector<DevicePort> Settle();

private:
    // The name (vid, pid, serial) under which Windows records a device read and looked up.
    struct Name {
        std::int32_t Vid, Pid;
        std::u16string Serial;
        auto operator<=>(const Name&) const = default;
    };
    struct Place {
        DevicePort Port;
        bool Read = false;
        std::optional<Name> Named;
        std::optional<DeviceIdentity> Waiting;  // its identity, where only the whole scan tells its port
        bool Unpaired = false;                  // it waited for a port named after a USB socket, and got none
        const PresentPort* Device = nullptr;    // the present port device its port was read from
    };
    std::int16_t LookUpXP2000(const DeviceIdentity& identity, bool read, Place& place);
    std::int16_t Recorded(DeviceIdentity identity);
    const std::vector<PresentPort>* Present();
    // How many devices of the scan each name has.
    std::map<Name, int> CountNames() const;
    void PairWaiting();
    void ForgetSharedNames();
    static std::optional<NoPortReason> WhyNoPort(const Place& place, const std::map<Name, int>& devicesNamed);

    Registry& registry_;
    PresentPorts& presentPorts_;
    const AnsiCodePage& codePage_;
    // Listed at most once a scan and only once a device needs them; the inner nullopt where Windows cannot.
    std::optional<std::optional<std::vector<PresentPort>>> listed_;
    std::vector<bool> portNamed_;  // the present ports some device of the scan was named after
    bool unread_ = false;          // a device the scan could not read may be any socket's
    std::int16_t last_ = 0;        // kept where no lookup runs for the Windows version
    std::vector<Place> places_;
};
