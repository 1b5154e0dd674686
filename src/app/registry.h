// The four registry calls the port lookups make, with the platform's statuses, so the lookups run against any registry.
#pragma once

#include <cstdint>

// A key handle. Predefined roots carry the platform's own values (sign-extended on 64-bit).
using RegKey = std::uintptr_t;

inline const RegKey kLocalMachine = static_cast<RegKey>(static_cast<std::intptr_t>(std::int32_t(0x80000002u)));

inline constexpr std::int32_t kRegSuccess = 0;
inline constexpr std::int32_t kRegMoreData = 234;  // value longer than the capacity offered; size written back

inline constexpr std::uint32_t kKeyRead = 0x20019;

// Key paths and value names are NUL-terminated ANSI strings, as the platform takes them:
// anything after an embedded NUL is not seen.
class Registry {
public:
    virtual ~Registry() = default;
    virtual std::int32_t OpenKeyEx(RegKey parent, const char* subKey, std::uint32_t options,
                                   std::uint32_t access, RegKey* result) = 0;
    virtual std::int32_t OpenKey(RegKey parent, const char* subKey, RegKey* result) = 0;
    virtual std::int32_t QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type,
                                      std::uint8_t* data, std::uint32_t* size) = 0;
    virtual std::int32_t CloseKey(RegKey key) = 0;
};
