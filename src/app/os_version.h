// The operating system's version word, and what it decides, decoded in this one place.
#pragma once

#include <cstdint>

class OsVersion {
public:
    virtual ~OsVersion() = default;
    // Bit 31 set on the Windows 95/98/Me family; low byte the major version.
    virtual std::uint32_t GetVersion() = 0;
};

// The registry layout the port lookup reads: none where neither applies (NT 4.0, say).
enum class PortLayout { None, XP2000, Windows98 };

// The 95/98/Me family's wide-character window functions are mostly stubs that fail: it gets the ANSI ones.
enum class OsFamily { NT, Windows9x };

struct WindowsVersion {
    OsFamily Family;
    PortLayout Layout;
};

constexpr WindowsVersion DecodeVersion(std::uint32_t versionWord) {
    constexpr std::uint32_t kWindows9xFamily = 0x80000000;
    // The 95/98/Me flag and the whole major version byte, so no future major number wraps into an old one.
    constexpr std::uint32_t kLayoutMask = kWindows9xFamily | 0xFF;
    constexpr std::uint32_t kWindows98Layout = 0x80000004;
    constexpr std::uint32_t kFirstXP2000LayoutMajor = 5;

    const std::uint32_t masked = versionWord & kLayoutMask;
    const OsFamily family = (versionWord & kWindows9xFamily) != 0 ? OsFamily::Windows9x : OsFamily::NT;
    const PortLayout layout = family == OsFamily::NT && masked >= kFirstXP2000LayoutMajor ? PortLayout::XP2000
                              : masked == kWindows98Layout                               ? PortLayout::Windows98
                                                                                          : PortLayout::None;
    return {family, layout};
}
