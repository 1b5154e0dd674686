// Whole scans through the fakes: the exact report text, the library's calls and the registry's calls.
#include "fakes.h"
#include "scan/device_scan.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using Journal = std::vector<std::string>;

const std::u16string S = u"Número de Serie =";
const std::u16string P = u"Número de Puerto COM: ";
const std::u16string E = u"\r\n\r\n";
const std::string kUsb = "SYSTEM\\CurrentControlSet\\Enum\\USB\\";
const std::string kGuid = "Enum\\SLABCR\\guid\\";

struct Value {
    std::string key, name, bytes;
};

// "PortName" of the 2000/XP device key below Enum\USB.
Value XP(const std::string& deviceKey, const std::string& port) {
    return {kUsb + deviceKey + "\\Device Parameters", "PortName", port + '\0'};
}

std::u16string Times(const std::u16string& text, int count) {
    std::u16string all;
    while (count-- > 0) all += text;
    return all;
}

struct ScanCase {
    const char* name;
    std::vector<FakeDevice> devices;
    std::vector<Value> registry;
    std::u16string report;
    Journal library = {};  // checked when given
    Journal calls = {};    // the registry's, checked when given
    std::uint32_t version = 0x0A280105;  // XP, 5.1
    std::optional<std::int32_t> count = {};
    std::int16_t countStatus = 0;
};

const std::vector<Value> kBothLayouts = {
    XP("Vid_5e1a&Pid_b007&Mi_00\\S1_00", "COM3"),
    {kGuid + "0000", "CRLowerDeviceID", "USB\\VID_5E1A&PID_B007&MI_00\\S1_00\0"s},
    {kGuid + "0000", "PortName", "COM8\0"s},
};
const std::vector<FakeDevice> kS1 = {{.Serial = "S1"}};
const std::string kK64(64, 'K');

const ScanCase kScans[] = {
    {"NoDevice", {}, {}, E, {"Count -> 0"}, {}},
    {"OneDeviceKeyReadOnlyClosedInnermostFirst",
     {{.Serial = "AB 12"}},
     {XP("Vid_5e1a&Pid_b007&Mi_00\\AB_12_00", "COM12")},
     S + u"AB 12\r\n" + P + u" 12" + E + E,
     {"Count -> 0", "Open 0 -> 0", "Vid 0 -> 0", "Pid 0 -> 0", "Serial 0 ascii=1 -> 0", "Close 0 -> 0"},
     {"open SYSTEM\\CurrentControlSet\\ access=0x20019 -> 0", "open Enum\\USB\\ -> 0",
      "open Vid_5e1a&Pid_b007&Mi_00\\AB_12_00 -> 0", "open Device Parameters -> 0",
      "query PortName offered=100 -> 0 size=6", "close Device Parameters", "close Vid_5e1a&Pid_b007&Mi_00\\AB_12_00",
      "close Enum\\USB\\", "close SYSTEM\\CurrentControlSet\\"}},
    {"TwoDevicesInIndexOrder",
     {{.Serial = "FIRST"}, {.Serial = "SECOND"}},
     {XP("Vid_5e1a&Pid_b007&Mi_00\\FIRST_00", "COM3"), XP("Vid_5e1a&Pid_b007&Mi_00\\SECOND_00", "COM7")},
     S + u"FIRST\r\n" + P + u" 3" + E + S + u"SECOND\r\n" + P + u" 7" + E + E,
     {"Count -> 0", "Open 0 -> 0", "Vid 0 -> 0", "Pid 0 -> 0", "Serial 0 ascii=1 -> 0", "Close 0 -> 0", "Open 1 -> 0",
      "Vid 1 -> 0", "Pid 1 -> 0", "Serial 1 ascii=1 -> 0", "Close 1 -> 0"}},
    // The version word picks the layout: NT from major 5 up (the whole low byte: 16 is no 0) 2000/XP, 4.10 of the
    // 95/98/Me family 98, anything else no lookup and the port of no lookup, 0.
    {"NT16", kS1, kBothLayouts, S + u"S1\r\n" + P + u" 3" + E + E, {}, {}, 0x00000010},
    {"Windows98", kS1, kBothLayouts, S + u"S1\r\n" + P + u" 8" + E + E, {}, {}, 0xC0000A04},
    {"NT4", kS1, kBothLayouts, S + u"S1\r\n" + P + u" 0" + E + E, {}, {}, 0x05650004},
    // A device whose open or read fails shows no serial and finds no port, not the port of the
    // device before it; one that opened is closed once, one that did not is never closed.
    {"OpenFails",
     {{.Serial = "S1", .Failures = {{"Open", 4}}}, {.Serial = "S2"}},
     {XP("Vid_5e1a&Pid_b007&Mi_00\\S2_00", "COM7")},
     P + u"-1" + E + S + u"S2\r\n" + P + u" 7" + E + E},
    {"VidFails",
     {{.Serial = "S1"}, {.Serial = "S2", .Failures = {{"Vid", 9}}}},
     {XP("Vid_5e1a&Pid_b007&Mi_00\\S1_00", "COM3")},
     S + u"S1\r\n" + P + u" 3" + E + P + u"-1" + E + E,
     {"Count -> 0", "Open 0 -> 0", "Vid 0 -> 0", "Pid 0 -> 0", "Serial 0 ascii=1 -> 0", "Close 0 -> 0", "Open 1 -> 0",
      "Vid 1 -> 9", "Close 1 -> 0"}},
    {"SerialFails",
     {{.Serial = "S1"}, {.Serial = "S2", .Failures = {{"Serial", 9}}}},
     {XP("Vid_5e1a&Pid_b007&Mi_00\\S1_00", "COM3")},
     S + u"S1\r\n" + P + u" 3" + E + P + u"-1" + E + E},
    {"CloseFails", {{.Serial = "S1", .Failures = {{"Close", 5}}}}, {}, S + u"S1\r\n" + P + u"-1" + E + E},
    // SerialLength as the library claims it, kept inside the 64-byte buffer.
    {"SerialLengthMinus1",
     {{.Serial = kK64, .ReportedLength = -1}},
     {XP("Vid_5e1a&Pid_b007&Mi_00\\_00", "COM2")},
     S + u"\r\n" + P + u" 2" + E + E},
    {"SerialLength65",
     {{.Serial = kK64, .ReportedLength = 65}},
     {XP("Vid_5e1a&Pid_b007&Mi_00\\" + kK64 + "_00", "COM64")},
     S + std::u16string(64, u'K') + u"\r\n" + P + u" 64" + E + E},
    {"SerialLength1000", {{.Serial = kK64, .ReportedLength = 1000}}, {}, S + std::u16string(64, u'K') + u"\r\n" + P + u"-1" + E + E},
    // Serial bytes through the code page, NUL bytes kept in the 98 id and shown as U+FFFD, which ends no text.
    {"SerialHighAndNulBytes", {{.Serial = "\xFA\x80\0Z"s}}, {}, S + u"ú€\uFFFDZ\r\n" + P + u"-1" + E + E},
    {"SerialNulMatchesThe98Id",
     {{.Serial = "a\0b "s}},
     {{kGuid + "0000", "CRLowerDeviceID", "USB\\VID_5E1A&PID_B007&MI_00\\A\0B__00\0"s},
      {kGuid + "0000", "PortName", "COM6\0"s}},
     S + u"a\uFFFDb \r\n" + P + u" 6" + E + E, {}, {}, 0xC0000A04},
    // Counts are walked as the library reports them, whatever the status, up to a cap.
    {"CountMinus1", kS1, {}, E, {"Count -> 0"}, {}, 0x0A280105, -1},
    {"CountInt32Min", kS1, {}, E, {"Count -> 0"}, {}, 0x0A280105, INT32_MIN},
    {"CountZero", kS1, {}, E, {"Count -> 0"}, {}, 0x0A280105, 0},
    {"CountFailedStillWalked", kS1, {}, S + u"S1\r\n" + P + u"-1" + E + E, {}, {}, 0x0A280105, {}, 3},
    {"CountPastTheDevices", kS1, {}, S + u"S1\r\n" + P + u"-1" + E + P + u"-1" + E + E,
     {"Count -> 0", "Open 0 -> 0", "Vid 0 -> 0", "Pid 0 -> 0", "Serial 0 ascii=1 -> 0", "Close 0 -> 0", "Open 1 -> 2"},
     {}, 0x0A280105, 2},
    {"Count1025", {}, {}, Times(P + u"-1" + E, 1024) + E, {}, {}, 0x0A280105, 1025},
    {"CountInt32Max", {}, {}, Times(P + u"-1" + E, 1024) + E, {}, {}, 0x0A280105, INT32_MAX},
};

void PrintTo(const ScanCase& c, std::ostream* out) { *out << c.name; }

class Scan : public testing::TestWithParam<ScanCase> {};

TEST_P(Scan, ReportsAndLeavesNothingOpen) {
    const ScanCase& c = GetParam();
    ScanRig rig;
    rig.devices.Devices = c.devices;
    rig.devices.Count = c.count;
    rig.devices.CountStatus = c.countStatus;
    rig.version.Value = c.version;
    for (const Value& value : c.registry) rig.registry.SetValue(value.key, value.name, value.bytes);
    EXPECT_EQ(FillDeviceList(rig.platform, rig.state).Report, c.report);
    if (!c.library.empty()) EXPECT_EQ(rig.devices.Journal, c.library);
    if (!c.calls.empty() || c.report == E) EXPECT_EQ(rig.registry.Journal, c.calls);
    EXPECT_EQ(rig.Leftovers(), "");
}

INSTANTIATE_TEST_SUITE_P(Table, Scan, testing::ValuesIn(kScans), [](const auto& info) { return info.param.name; });

// A fault between open and close leaves the device to the unload step, which closes the very
// handle the library gave out, once.
TEST(Unload, ClosesTheHandleAFaultLeftOpen) {
    ScanRig rig;
    rig.devices.Devices = {{.Serial = "S1", .Throws = "Vid"}};
    EXPECT_THROW(FillDeviceList(rig.platform, rig.state), DeviceLibraryFault);
    EXPECT_TRUE(rig.state.DeviceOpen);
    CloseDeviceLeftOpen(rig.devices, rig.state);
    CloseDeviceLeftOpen(rig.devices, rig.state);
    EXPECT_EQ(rig.devices.Journal, (Journal{"Count -> 0", "Open 0 -> 0", "Close 0 -> 0"}));
    EXPECT_EQ(rig.Leftovers(), "");
}

}  // namespace
