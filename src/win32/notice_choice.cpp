// The user's choice of plug-in notices under HKEY_CURRENT_USER, through advapi32's ANSI functions (98 has no others).
#include "win32/notice_choice.h"

#include <windows.h>

namespace {

constexpr const char* kChoiceKey = "Software\\Talvenor\\BuscadorVIRK";
constexpr const char* kChoiceValue = "Avisos";

}  // namespace

bool NoticesWanted() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kChoiceKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return true;
    DWORD type = 0, value = 1, size = sizeof value;
    const bool read = RegQueryValueExA(key, kChoiceValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                          ERROR_SUCCESS && type == REG_DWORD && size == sizeof value;
    RegCloseKey(key);
    return !read || value != 0;
}

bool KeepNoticesWanted(bool wanted) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kChoiceKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD value = wanted ? 1 : 0;
    const bool written = RegSetValueExA(key, kChoiceValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                        sizeof value) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}
