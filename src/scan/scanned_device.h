// One device of a scan as both programs take it: what the library read and the port found for it.
#pragma once

#include "portlookup/no_port_reason.h"
#include "portlookup/port_number.h"

#include <cstdint>
#include <optional>
#include <string>

// One device of a scan, in the library's index order.
struct ScannedDevice {
    // The identity the library gave, when the open and every read succeeded; the serial as text through the
    // code page, before a lookup rewrote its bytes.
    struct Identity {
        std::int32_t Vid;
        std::int32_t Pid;
        std::u16string Serial;
    };
    std::optional<Identity> Read;
    std::int16_t PortNumber = 0;  // as the report shows it: a lookup's result, else the one before it (0 at first)
    bool LookedUp = false;        // a lookup ran for this Windows version
    // Where Windows says the port's device is plugged in (Port_#0002.Hub_#0003 and the like), opaque;
    // none when the port came from the registry layout of the older drivers.
    std::optional<std::u16string> Location;
    std::optional<std::uint32_t> Problem;  // Device Manager's problem number for its port device, if it has one
    std::optional<NoPortReason> Reason;    // where no port is known to be its own: why not
};

// A port Windows gave this device: a lookup ran for it, on its own identity, and found 1 or more.
inline std::optional<std::int16_t> KnownPort(const ScannedDevice& device) {
    if (!device.Read || !device.LookedUp || device.PortNumber < kFirstPort) return std::nullopt;
    return device.PortNumber;
}
