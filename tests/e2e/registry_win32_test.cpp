// The port lookups and a whole scan against Wine's real registry, the stand-in library and the system code page.
#include "app/platform.h"
#include "app/win32_services.h"
#include "devicelib/library_loader_win32.h"
#include "portlookup/port_lookup.h"
#include "scan/device_scan.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsbEnum = "SYSTEM\\CurrentControlSet\\Enum\\USB";
constexpr const char* kSlabcr = "Enum\\SLABCR";
// Device keys this test owns, so it removes only what it made.
constexpr const char* kDeviceKey = "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_1a2b&Pid_c3d4&Mi_00";

void SetValue(const std::string& keyPath, const char* name, const std::string& bytes, DWORD type = REG_BINARY) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << keyPath;
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void RemoveTestKeys() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kDeviceKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSlabcr);
}

using namespace std::string_literals;

struct RealRegistry : testing::Test {
    void SetUp() override { RemoveTestKeys(); }
    void TearDown() override { RemoveTestKeys(); }

    std::int16_t LookupXP(const std::string& serialText) {
        std::array<std::uint8_t, 64> serial{};
        std::copy(serialText.begin(), serialText.end(), serial.begin());
        return GetPortNumXP2000(registry, codePage, 0x1A2B, 0xC3D4, serial, static_cast<std::int32_t>(serialText.size()));
    }
    std::int16_t Lookup98(const std::string& serialText) {
        std::array<std::uint8_t, 64> serial{};
        std::copy(serialText.begin(), serialText.end(), serial.begin());
        return GetPortNum98(registry, codePage, 0x1A2B, 0xC3D4, serial, static_cast<std::int32_t>(serialText.size()));
    }

    Advapi32Registry registry;
    SystemCodePage codePage;
};

struct XPValueCase {
    std::string portName;
    DWORD type;
    std::int16_t expected;
};

class RealRegistryXP : public RealRegistry, public testing::WithParamInterface<XPValueCase> {};

TEST_P(RealRegistryXP, ReadsPortName) {
    SetValue(std::string(kDeviceKey) + "\\AB_12_00\\Device Parameters", "PortName", GetParam().portName, GetParam().type);
    EXPECT_EQ(LookupXP("AB 12"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, RealRegistryXP,
                         testing::Values(XPValueCase{"COM5\0"s, REG_SZ, 5}, XPValueCase{"COM12"s, REG_BINARY, 12},
                                         XPValueCase{"COM3\0"s, REG_BINARY, 3}, XPValueCase{"COM\0"s, REG_SZ, 0},
                                         XPValueCase{"COM40000\0"s, REG_SZ, -1},
                                         XPValueCase{"COM" + std::string(98, '1'), REG_BINARY, -1}));

TEST_F(RealRegistry, XPKeyNamesIgnoreCaseAndMissingKeysFindNothing) {
    SetValue("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_1A2B&PID_C3D4&MI_00\\AB_12_00\\Device Parameters", "PortName",
             "COM7\0"s, REG_SZ);
    EXPECT_EQ(LookupXP("AB 12"), 7);
    EXPECT_EQ(LookupXP("AB 13"), -1);
}

TEST_F(RealRegistry, Walk98ReReadsAfterShortValueAndPassesOverLongIds) {
    const std::string guid = std::string(kSlabcr) + "\\guid\\";
    const std::string id = "USB\\VID_1A2B&PID_C3D4&MI_00\\AB_12_00\0"s;
    SetValue(guid + "0000", "CRLowerDeviceID", id, REG_SZ);
    SetValue(guid + "0000", "PortName", "COM4\0"s, REG_SZ);
    SetValue(guid + "0001", "CRLowerDeviceID", std::string(120, 'X') + '\0', REG_SZ);  // past the buffer
    SetValue(guid + "0002", "CRLowerDeviceID", id, REG_SZ);                            // after a 5-byte value
    SetValue(guid + "0002", "PortName", "COM9\0"s, REG_SZ);
    EXPECT_EQ(Lookup98("ab 12"), 9);
}

TEST_F(RealRegistry, LookupsLeaveNoKeyOpen) {
    SetValue(std::string(kDeviceKey) + "\\AB_12_00\\Device Parameters", "PortName", "COM5\0"s, REG_SZ);
    SetValue(std::string(kSlabcr) + "\\guid\\0000", "CRLowerDeviceID", "x\0"s, REG_SZ);
    DWORD before = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
    for (int i = 0; i < 50; ++i) {
        LookupXP("AB 12");
        LookupXP("none");
        Lookup98("ab 12");
    }
    DWORD after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_EQ(after, before);
}

TEST(SystemCodePage, AsciiAndLatinBytesSurviveTheRoundTrip) {
    const SystemCodePage codePage;
    std::u16string text;
    for (unsigned byte = 1; byte < 0x80; ++byte) text.push_back(codePage.ByteChars()[byte]);
    const std::string back = codePage.ToAnsi(text);
    ASSERT_EQ(back.size(), 0x7Fu);
    for (unsigned byte = 1; byte < 0x80; ++byte) EXPECT_EQ(static_cast<unsigned char>(back[byte - 1]), byte);
    EXPECT_EQ(codePage.ByteChars()[0], u'\0');
}

class WindowsXPVersion final : public OsVersion {
public:
    std::uint32_t GetVersion() override { return 0x0A280105; }
};

// The whole scan with every real seam but the version: the stand-in library next to this
// program, the registry and the system code page.
TEST_F(RealRegistry, WholeScanThroughTheStandInLibrary) {
    SetValue(std::string(kDeviceKey) + "\\AB_12_00\\Device Parameters", "PortName", "COM3\0"s, REG_SZ);
    SetValue(std::string(kDeviceKey) + "\\CD_00\\Device Parameters", "PortName", "COM7\0"s, REG_SZ);
    const std::filesystem::path devices = std::filesystem::temp_directory_path() / "busca-scan-devices.txt";
    std::ofstream(devices) << "1a2b c3d4 AB%2012\n1a2b c3d4 CD\n1a2b c3d4 EF pid=3\n";
    ASSERT_TRUE(SetEnvironmentVariableW(L"BUSCAVIRK_DEVICES", devices.wstring().c_str()));

    LoadedDeviceLibrary library;
    WindowsXPVersion version;
    Platform platform{library, registry, version, codePage};
    SharedState state;
    const std::u16string report = FillDeviceList(platform, state);
    SetEnvironmentVariableW(L"BUSCAVIRK_DEVICES", nullptr);
    std::filesystem::remove(devices);

    EXPECT_EQ(report, u"Número de Serie =AB 12\r\nNúmero de Puerto COM:  3\r\n\r\n"
                      u"Número de Serie =CD\r\nNúmero de Puerto COM:  7\r\n\r\n"
                      u"Número de Puerto COM: -1\r\n\r\n\r\n\r\n");
    EXPECT_EQ(state.NumDevices, 3);
    EXPECT_EQ(state.LastStatus, 3);
    EXPECT_FALSE(state.DeviceOpen);
}

}  // namespace
