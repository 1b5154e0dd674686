// Helpers shared by the unit tests: readable text, registry layouts, a fixed version word.
#pragma once

#include "app/code_page.h"
#include "app/os_version.h"
#include "app/platform.h"
#include "app/shared_state.h"
#include "fake_device_library.h"
#include "fake_registry.h"

#include <functional>
#include <string>

// UTF-8 of 16-bit text, so failures print readably and expectations can be written as plain literals.
std::string Utf8(std::u16string_view text);

inline constexpr std::uint32_t kVersionXP = 0x0A280105;     // 5.1
inline constexpr std::uint32_t kVersion98 = 0xC0000A04;     // 4.10, 95/98/Me family
inline constexpr std::uint32_t kVersionNT4 = 0x05650004;    // 4.0
inline constexpr std::uint32_t kVersionWin10 = 0x4A61000A;  // 10.0
inline constexpr std::uint32_t kVersionVista = 0x17700006;  // 6.0

class FixedVersion final : public OsVersion {
public:
    explicit FixedVersion(std::uint32_t value) : Value(value) {}
    std::uint32_t GetVersion() override {
        ++Calls;
        if (OnCall) OnCall();
        return Value;
    }
    std::uint32_t Value;
    int Calls = 0;
    std::function<void()> OnCall;  // runs at each call: the moment before a lookup
};

// The Windows 2000/XP layout: Enum\USB\<devicePath>\Device Parameters with "PortName".
inline const std::string kUsbEnum = "SYSTEM\\CurrentControlSet\\Enum\\USB\\";
void AddXPPort(FakeRegistry& registry, const std::string& devicePath, const std::string& portName, bool withZero = true);

// The Windows 98 layout: Enum\SLABCR\guid\<instanceName> with "CRLowerDeviceID" and "PortName".
void Add98Instance(FakeRegistry& registry, const std::string& instanceName, const std::string& deviceId,
                   const std::string& portName);

// Everything a whole scan runs against: fake library and registry, Windows XP, Windows-1252.
struct ScanRig {
    FakeDeviceLibrary devices;
    FakeRegistry registry;
    FixedVersion version{kVersionXP};
    const WindowsLatin1CodePage codePage;
    SharedState state;
    Platform platform{devices, registry, version, codePage};
};
