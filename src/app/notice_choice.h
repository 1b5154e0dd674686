// The user's choice of plug-in notices, kept per user: the one registry value the programs write, through a seam
// of its own (HKEY_LOCAL_MACHINE is only read, through the lookups' Registry).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The user's own registry (HKEY_CURRENT_USER), as far as the choice takes it.
class UserRegistry {
public:
    struct Value {
        std::uint32_t Type;
        std::string Bytes;
    };
    virtual ~UserRegistry() = default;
    // The value of that name under the key; none where the key or the value cannot be read.
    virtual std::optional<Value> Read(const char* key, const char* name) = 0;
    // A REG_DWORD of that name, the key made where it is missing; false where it could not be written.
    virtual bool WriteNumber(const char* key, const char* name, std::uint32_t number) = 0;
};

// HKEY_CURRENT_USER\Software\Talvenor\BuscadorVIRK, REG_DWORD "Avisos".
class NoticeChoice {
public:
    // Read once: on unless it holds the number 0; absent or unreadable (not a REG_DWORD), on.
    explicit NoticeChoice(UserRegistry& registry);
    bool Wanted() const { return wanted_; }
    // The user turned it the other way: written then, and only then.
    void Toggle();

private:
    UserRegistry& registry_;
    bool wanted_;
};
