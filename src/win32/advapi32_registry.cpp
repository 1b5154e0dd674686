// The registry seams on advapi32's ANSI functions: the lookups' and the user's own.
#include "win32/services.h"

#include <windows.h>

namespace {

HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

std::int32_t Advapi32Registry::OpenKeyEx(RegKey parent, const char* subKey, std::uint32_t options,
                                         std::uint32_t access, RegKey* result) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(ToHkey(parent), subKey, options, access, &opened);
    *result = reinterpret_cast<RegKey>(opened);
    return status;
}

std::int32_t Advapi32Registry::OpenKey(RegKey parent, const char* subKey, RegKey* result) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyA(ToHkey(parent), subKey, &opened);
    *result = reinterpret_cast<RegKey>(opened);
    return status;
}

std::int32_t Advapi32Registry::QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type,
                                            std::uint8_t* data, std::uint32_t* size) {
    DWORD valueType = *type;
    DWORD valueSize = *size;
    const LONG status = RegQueryValueExA(ToHkey(key), valueName, nullptr, &valueType, data, &valueSize);
    *type = valueType;
    *size = valueSize;
    return status;
}

std::int32_t Advapi32Registry::CloseKey(RegKey key) { return RegCloseKey(ToHkey(key)); }

std::optional<UserRegistry::Value> Advapi32UserRegistry::Read(const char* key, const char* name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return std::nullopt;
    // A value longer than a number answers ERROR_MORE_DATA, and is no number.
    Value value{REG_NONE, std::string(sizeof(DWORD), '\0')};
    DWORD type = REG_NONE, size = sizeof(DWORD);
    const LONG status = RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(value.Bytes.data()), &size);
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS) return std::nullopt;
    value.Type = type;
    value.Bytes.resize(size);
    return value;
}

bool Advapi32UserRegistry::WriteNumber(const char* key, const char* name, std::uint32_t number) {
    HKEY opened = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &opened,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD value = number;
    const bool written = RegSetValueExA(opened, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                        sizeof value) == ERROR_SUCCESS;
    RegCloseKey(opened);
    return written;
}
