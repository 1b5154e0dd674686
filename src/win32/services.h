// The registry, version word and code page of the running Windows, behind the seams the scan uses.
#pragma once

#include "app/code_page.h"
#include "app/notice_choice.h"
#include "app/os_version.h"
#include "app/registry.h"

// advapi32's ANSI registry functions.
class Advapi32Registry final : public Registry {
public:
    std::int32_t OpenKeyEx(RegKey parent, const char* subKey, std::uint32_t options, std::uint32_t access,
                           RegKey* result) override;
    std::int32_t OpenKey(RegKey parent, const char* subKey, RegKey* result) override;
    std::int32_t QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) override;
    std::int32_t CloseKey(RegKey key) override;
};

// HKEY_CURRENT_USER through advapi32's ANSI functions (98 has no others).
class Advapi32UserRegistry final : public UserRegistry {
public:
    std::optional<Value> Read(const char* key, const char* name) override;
    bool WriteNumber(const char* key, const char* name, std::uint32_t number) override;
};

class Kernel32Version final : public OsVersion {
public:
    std::uint32_t GetVersion() override;
};

// The system's ANSI code page (CP_ACP).
class SystemCodePage final : public AnsiCodePage {
public:
    SystemCodePage();
    const std::array<char16_t, 256>& ByteChars() const override { return chars_; }
    std::string ToAnsi(std::u16string_view text) const override;

private:
    std::array<char16_t, 256> chars_{};
};
