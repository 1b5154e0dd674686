// The registry keys a window test may write, and their removal.
#include "test_registry.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace window_test {

namespace {

using namespace std::string_literals;

constexpr const char* kDeviceKey = "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_1a2b&Pid_c3d4&Mi_00";
constexpr const char* kSlabcr = "Enum\\SLABCR";
constexpr const char* kWine = "Software\\Wine";
// Settings Wine applies to BuscadorVIRK.exe alone.
constexpr const char* kProgramSettings = "Software\\Wine\\AppDefaults\\BuscadorVIRK.exe";

void RemoveTestKeys() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kDeviceKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSlabcr);
    RegDeleteTreeA(HKEY_CURRENT_USER, kProgramSettings);
}

void SetValue(HKEY root, const std::string& keyPath, const char* name, const std::string& bytes, DWORD type) {
    HKEY key = nullptr;
    const LONG created =
        RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ASSERT_EQ(created, ERROR_SUCCESS) << keyPath;
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS)
        << keyPath << " " << name;
    RegCloseKey(key);
}

std::optional<std::string> ReadWineVersion() {
    char value[64] = {};
    DWORD size = sizeof value - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, kWine, "Version", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(value);
}

}  // namespace

TestRegistry::TestRegistry() : savedVersion_(ReadWineVersion()) {
    RemoveTestKeys();
    // Xvfb runs no window manager: a window Wine leaves to one would wait two seconds for it
    // on being destroyed, so every end of the program would take that long.
    SetValue(HKEY_CURRENT_USER, std::string(kProgramSettings) + "\\X11 Driver", "Managed", "N"s + '\0', REG_SZ);
}

TestRegistry::~TestRegistry() {
    RemoveTestKeys();
    if (savedVersion_) {
        SetValue(HKEY_CURRENT_USER, kWine, "Version", *savedVersion_ + '\0', REG_SZ);
    } else {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kWine, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "Version");
            RegCloseKey(key);
        }
    }
}

void TestRegistry::SetWineVersion(const std::string& version) {
    SetValue(HKEY_CURRENT_USER, kWine, "Version", version + '\0', REG_SZ);
}

void TestRegistry::SetPortXP(const std::string& serialKey, const std::string& portName) {
    SetPortXPBytes(serialKey, portName + '\0', REG_SZ);
}

void TestRegistry::SetPortXPBytes(const std::string& serialKey, const std::string& bytes, unsigned long type) {
    SetValue(HKEY_LOCAL_MACHINE, std::string(kDeviceKey) + "\\" + serialKey + "_00\\Device Parameters", "PortName",
             bytes, type);
}

void TestRegistry::SetInstance98(const std::string& instance, const std::string& lowerDeviceId,
                                 const std::string& portName) {
    const std::string key = std::string(kSlabcr) + "\\guid\\" + instance;
    SetValue(HKEY_LOCAL_MACHINE, key, "CRLowerDeviceID", lowerDeviceId + '\0', REG_SZ);
    SetValue(HKEY_LOCAL_MACHINE, key, "PortName", portName + '\0', REG_SZ);
}

}  // namespace window_test
