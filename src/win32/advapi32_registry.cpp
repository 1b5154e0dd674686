// The registry seam on advapi32's ANSI functions.
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
