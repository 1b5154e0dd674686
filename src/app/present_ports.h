// The COM port devices Windows lists as present, so the port lookup runs against any list of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One present device of the Ports class. Texts are the ANSI bytes Windows gives, without terminator.
struct PresentPort {
    std::string InstanceId;        // USB\VID_1A2B&PID_C3D4\0001 and the like, in whatever case Windows wrote it
    std::string ParentInstanceId;  // empty when the parent cannot be read
    std::string PortName;          // the bytes of its "PortName" as the query returned them
    std::optional<std::string> Location;  // where Windows says it is plugged in; none when it does not say
    std::uintptr_t Node = 0;       // Windows' handle of the device node, for asking after its state later
};

class PresentPorts {
public:
    virtual ~PresentPorts() = default;
    // nullopt when Windows cannot list them (no setupapi, a function missing, the listing refused): the
    // lookup then reads the registry alone. A device Windows cannot fully describe is left out.
    virtual std::optional<std::vector<PresentPort>> List() = 0;
    // The problem number Device Manager shows for a device of the last listing (10 cannot start, 22 disabled,
    // 28 no driver...); none where it has none, or where Windows cannot say. Asked only of an adapter's port.
    virtual std::optional<std::uint32_t> Problem(const PresentPort& port) = 0;
};
