// The operating system's version word, which picks the registry layout of the port lookup.
#pragma once

#include <cstdint>

// Bit 31 of the version word: the Windows 95/98/Me family, whose wide-character functions are mostly stubs
// that fail.
inline constexpr std::uint32_t kWindows9xFamily = 0x80000000;
inline constexpr bool IsWindows9xFamily(std::uint32_t versionWord) { return (versionWord & kWindows9xFamily) != 0; }

class OsVersion {
public:
    virtual ~OsVersion() = default;
    // Bit 31 set on the Windows 95/98/Me family; low byte the major version.
    virtual std::uint32_t GetVersion() = 0;
};
