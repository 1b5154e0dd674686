// The operating system's version word, which picks the registry layout of the port lookup.
#pragma once

#include <cstdint>

class OsVersion {
public:
    virtual ~OsVersion() = default;
    // Bit 31 set on the Windows 95/98/Me family; low byte the major version.
    virtual std::uint32_t GetVersion() = 0;
};
