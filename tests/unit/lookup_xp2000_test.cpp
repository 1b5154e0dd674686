// The Windows 2000/XP port lookup against the fake registry: paths opened, keys closed, serial rewrite.
#include "app/code_page.h"
#include "portlookup/port_lookup.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using Serial = std::array<std::uint8_t, 64>;

Serial MakeSerial(const std::string& text) {
    Serial serial{};
    std::copy(text.begin(), text.end(), serial.begin());
    return serial;
}

std::string SerialText(const Serial& serial, std::size_t length) { return std::string(serial.begin(), serial.begin() + length); }

struct XPLookup : testing::Test {
    std::int16_t Lookup(std::int32_t vid, std::int32_t pid, const std::string& serialText) {
        serial = MakeSerial(serialText);
        return GetPortNumXP2000(registry, codePage, vid, pid, serial, static_cast<std::int32_t>(serialText.size()));
    }
    FakeRegistry registry;
    const WindowsLatin1CodePage codePage;
    Serial serial{};
};

TEST_F(XPLookup, FindsPortOfDeviceWithSpaceInSerial) {
    AddXPPort(registry, "Vid_1a2b&Pid_c3d4&Mi_00\\ABC_12_00", "COM5");
    EXPECT_EQ(Lookup(0x1A2B, 0xC3D4, "ABC 12"), 5);
    const std::string device = "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_1a2b&Pid_c3d4&Mi_00\\ABC_12_00";
    EXPECT_EQ(registry.Journal, (std::vector<std::string>{
                                    "open SYSTEM\\CurrentControlSet\\ access=0x20019 -> 0",
                                    "open Enum\\USB\\ -> 0",
                                    "open Vid_1a2b&Pid_c3d4&Mi_00\\ABC_12_00 -> 0",
                                    "open Device Parameters -> 0",
                                    "query PortName offered=100 -> 0 size=5",
                                    "close " + device + "\\Device Parameters",
                                    "close " + device,
                                    "close SYSTEM\\CurrentControlSet\\Enum\\USB",
                                    "close SYSTEM\\CurrentControlSet",
                                }));
    EXPECT_EQ(SerialText(serial, 6), "ABC_12");
    EXPECT_EQ(registry.OpenKeyCount(), 1u);  // only HKEY_LOCAL_MACHINE itself
}

struct PathCase {
    std::int32_t vid;
    std::int32_t pid;
    std::string serial;
    std::string devicePath;
};

class XPDevicePath : public XPLookup, public testing::WithParamInterface<PathCase> {};

TEST_P(XPDevicePath, OpensTheKeyWindowsNamesForTheDevice) {
    AddXPPort(registry, GetParam().devicePath, "COM9");
    EXPECT_EQ(Lookup(GetParam().vid, GetParam().pid, GetParam().serial), 9);
    EXPECT_EQ(registry.Journal.at(2), "open " + GetParam().devicePath + " -> 0");
}

INSTANTIATE_TEST_SUITE_P(
    Paths, XPDevicePath,
    testing::Values(PathCase{0x0ABC, 0x00FF, "X1", "Vid_0abc&Pid_00ff&Mi_00\\X1_00"},
                    PathCase{0x1A2B, 0xC3D4, "", "Vid_1a2b&Pid_c3d4&Mi_00\\_00"},
                    PathCase{0, 0, "", "Vid_0000&Pid_0000&Mi_00\\_00"},
                    PathCase{0x1A2B, 0xC3D4, "abc Def", "Vid_1a2b&Pid_c3d4&Mi_00\\abc_Def_00"},
                    PathCase{0x1A2B, 0xC3D4, "  ", "Vid_1a2b&Pid_c3d4&Mi_00\\___00"},
                    PathCase{-1, 0x12345, "S", "Vid_ffffffff&Pid_12345&Mi_00\\S_00"},
                    PathCase{0x1A2B, 0xC3D4, "\xE9\xFF", "Vid_1a2b&Pid_c3d4&Mi_00\\\xE9\xFF_00"}));

TEST_F(XPLookup, KeyNamesMatchWhateverTheirCase) {
    AddXPPort(registry, "VID_1A2B&PID_C3D4&MI_00\\ABC_12_00", "COM6");
    EXPECT_EQ(Lookup(0x1A2B, 0xC3D4, "ABC 12"), 6);
}

TEST_F(XPLookup, UnpaddedKeyIsNotTheDevice) {
    AddXPPort(registry, "Vid_abc&Pid_ff&Mi_00\\X_00", "COM6");
    EXPECT_EQ(Lookup(0x0ABC, 0x00FF, "X"), -1);
}

TEST_F(XPLookup, AsksOnlyForReadAccess) {
    registry.ReadOnlyForUser = true;
    AddXPPort(registry, "Vid_1a2b&Pid_c3d4&Mi_00\\S_00", "COM3");
    EXPECT_EQ(Lookup(0x1A2B, 0xC3D4, "S"), 3);
}

TEST_F(XPLookup, ValueTypeIsNotLookedAt) {
    const std::string parameters = kUsbEnum + "Vid_1a2b&Pid_c3d4&Mi_00\\S_00\\Device Parameters";
    registry.SetValue(parameters, "PortName", {'C', 'O', 'M', '3', 0}, 3 /* binary */);
    EXPECT_EQ(Lookup(0x1A2B, 0xC3D4, "S"), 3);
}

TEST_F(XPLookup, ValueLongerThanOfferedFindsNothing) {
    AddXPPort(registry, "Vid_1a2b&Pid_c3d4&Mi_00\\S_00", "COM" + std::string(97, '1'));  // 101 bytes
    EXPECT_EQ(Lookup(0x1A2B, 0xC3D4, "S"), -1);
    EXPECT_EQ(registry.Journal.at(4), "query PortName offered=100 -> 234 size=101");
    EXPECT_EQ(registry.OpenKeyCount(), 1u);
}

// Each missing piece ends the lookup with -1 and closes what was opened, innermost first.
struct MissingCase {
    const char* name;
    std::string existing;  // the deepest key present, or a value
    bool withPortNameValue;
    std::vector<std::string> closes;
    bool serialRewritten;
};

class XPMissingPiece : public XPLookup, public testing::WithParamInterface<MissingCase> {};

TEST_P(XPMissingPiece, ClosesEveryOpenedKeyInnermostFirst) {
    const MissingCase& c = GetParam();
    if (c.withPortNameValue)
        registry.SetString(c.existing, "Other", "x");
    else if (!c.existing.empty())
        registry.AddKey(c.existing);
    EXPECT_EQ(Lookup(0x1A2B, 0xC3D4, "A B"), -1);

    std::vector<std::string> closes;
    for (const std::string& line : registry.Journal)
        if (line.rfind("close ", 0) == 0) closes.push_back(line.substr(6));
    EXPECT_EQ(closes, c.closes);
    EXPECT_EQ(registry.OpenKeyCount(), 1u);
    EXPECT_EQ(SerialText(serial, 3), c.serialRewritten ? "A_B" : "A B");
}

const std::string kCS = "SYSTEM\\CurrentControlSet";
const std::string kDev = kCS + "\\Enum\\USB\\Vid_1a2b&Pid_c3d4&Mi_00\\A_B_00";

INSTANTIATE_TEST_SUITE_P(
    Levels, XPMissingPiece,
    testing::Values(MissingCase{"NoControlSet", "", false, {}, false},
                    MissingCase{"NoUsbEnum", kCS + "\\Enum", false, {kCS}, false},
                    MissingCase{"NoDeviceKey", kCS + "\\Enum\\USB\\Vid_1a2b&Pid_c3d4&Mi_00", false,
                                {kCS + "\\Enum\\USB", kCS}, true},
                    MissingCase{"NoDeviceParameters", kDev, false, {kDev, kCS + "\\Enum\\USB", kCS}, true},
                    MissingCase{"NoPortName", kDev + "\\Device Parameters", true,
                                {kDev + "\\Device Parameters", kDev, kCS + "\\Enum\\USB", kCS}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(XPLookup, SerialLengthPastTheBufferStopsAtItsEnd) {
    registry.AddKey(kUsbEnum);
    serial.fill('Z');
    serial[0] = ' ';
    EXPECT_EQ(GetPortNumXP2000(registry, codePage, 1, 2, serial, 1000), -1);
    EXPECT_EQ(serial[0], '_');
    EXPECT_EQ(registry.Journal.at(2), "open Vid_0001&Pid_0002&Mi_00\\_" + std::string(63, 'Z') + "_00 -> 2");
}

TEST_F(XPLookup, NegativeSerialLengthIsAnEmptySerial) {
    serial = MakeSerial(" ");
    AddXPPort(registry, "Vid_0001&Pid_0002&Mi_00\\_00", "COM2");
    EXPECT_EQ(GetPortNumXP2000(registry, codePage, 1, 2, serial, -5), 2);
    EXPECT_EQ(serial[0], ' ');
}

}  // namespace
