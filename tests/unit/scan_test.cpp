// Whole scans through the fakes: the exact report text, the library's calls and the registry's calls, and on
// Windows 98 the walk over the port driver's instance keys.
#include "app/ascii_text.h"
#include "fakes.h"
#include "scan/device_scan.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using Journal = std::vector<std::string>;

const std::u16string S = u"Número de Serie =";
const std::u16string P = u"Número de Puerto COM: ";
const std::u16string E = u"\r\n\r\n";
const std::string kGuid = "Enum\\SLABCR\\guid\\";

// "PortName" of the 2000/XP device key below Enum\USB.
RegValue XP(const std::string& deviceKey, const std::string& port) {
    return {"SYSTEM\\CurrentControlSet\\Enum\\USB\\" + deviceKey + "\\Device Parameters", "PortName", port + '\0'};
}

struct ScanCase {
    const char* name;
    std::vector<FakeDevice> devices;
    std::vector<RegValue> registry;
    std::u16string report;
    Journal library = {};  // checked when given
    Journal calls = {};    // the registry's, checked when given
    std::uint32_t version = 0x0A280105;  // XP, 5.1
    std::optional<std::int32_t> count = {};
    std::int16_t countStatus = 0;
};

const std::vector<RegValue> kBothLayouts = {
    Older("S1", "COM3"),
    {kGuid + "0000", "CRLowerDeviceID", "USB\\VID_5E1A&PID_B007&MI_00\\S1_00\0"s},
    {kGuid + "0000", "PortName", "COM8\0"s},
};
const std::vector<FakeDevice> kS1 = {{.Serial = "S1"}};
const std::string kK64(64, 'K');
const std::u16string kNoPortLine = P + u"-1" + E;

// The report of each device's serial (none where it was not read) and port.
std::u16string Report(std::initializer_list<std::pair<const char16_t*, int>> devices) {
    std::u16string report;
    for (const auto& [serial, port] : devices) {
        if (serial != nullptr) report += S + serial + u"\r\n";
        report += P + (port >= 0 ? u" " : u"") + AsciiText(std::to_string(port)) + E;
    }
    return report + E;
}

const ScanCase kScans[] = {
    {"NoDevice", {}, {}, E, {"Count -> 0"}, {}},
    // The key names the serial as the device gave it, its spaces as underscores.
    {"KeyReadOnlyClosedInnermostFirst", {{.Serial = "ab 12"}}, {Older("AB_12", "COM12")}, Report({{u"ab 12", 12}}), {},
     {"open SYSTEM\\CurrentControlSet\\ -> 0", "open Enum\\USB\\ -> 0",
      "open Vid_5e1a&Pid_b007&Mi_00\\ab_12_00 -> 0", "open Device Parameters -> 0",
      "query PortName offered=100 -> 0 size=6", "close Device Parameters", "close Vid_5e1a&Pid_b007&Mi_00\\ab_12_00",
      "close Enum\\USB\\", "close SYSTEM\\CurrentControlSet\\"}},
    {"TwoDevicesInIndexOrder", {{.Serial = "FIRST"}, {.Serial = "SECOND"}}, {Older("FIRST", "COM3"), Older("SECOND", "COM7")},
     S + u"FIRST\r\n" + P + u" 3" + E + S + u"SECOND\r\n" + P + u" 7" + E + E,
     {"Count -> 0", "Open 0 -> 0", "Vid 0 -> 0", "Pid 0 -> 0", "Serial 0 ascii=1 -> 0", "Close 0 -> 0", "Open 1 -> 0",
      "Vid 1 -> 0", "Pid 1 -> 0", "Serial 1 ascii=1 -> 0", "Close 1 -> 0"}},
    // The key names ids in lower-case hex of at least four digits.
    {"ShortIdsHaveFourDigits", {{.Vid = 0x0ABC, .Pid = 0x00FF, .Serial = "X1"}},
     {XP("Vid_abc&Pid_ff&Mi_00\\X1_00", "COM6"), XP("Vid_0abc&Pid_00ff&Mi_00\\X1_00", "COM9")}, Report({{u"X1", 9}})},
    // "PortName": 101 bytes is more than offered; a key without Device Parameters has none.
    {"PortNamePastTheOffer", kS1, {Older("S1", "COM" + std::string(97, '1'))}, Report({{u"S1", -1}})},
    {"NoDeviceParameters", kS1, {XP("Vid_5e1a&Pid_b007&Mi_00\\S1_00\\Other", "COM4")}, Report({{u"S1", -1}})},
    // The version word picks the layout: NT from major 5 up (the whole low byte: 16 is no 0) 2000/XP, over the 98
    // layout's record.
    {"NT16", kS1, kBothLayouts, Report({{u"S1", 3}}), {}, {}, 0x00000010},
    // A device whose open or read fails shows no serial and finds no port, not the port of the
    // device before it; one that opened is closed once, one that did not is never closed.
    {"OpenFails", {{.Serial = "S1", .Failures = {{"Open", 4}}}, {.Serial = "S2"}}, {Older("S2", "COM7")},
     Report({{nullptr, -1}, {u"S2", 7}})},
    {"VidFails", {{.Serial = "S1"}, {.Serial = "S2", .Failures = {{"Vid", 9}}}}, {Older("S1", "COM3")},
     S + u"S1\r\n" + P + u" 3" + E + kNoPortLine + E,
     {"Count -> 0", "Open 0 -> 0", "Vid 0 -> 0", "Pid 0 -> 0", "Serial 0 ascii=1 -> 0", "Close 0 -> 0", "Open 1 -> 0",
      "Vid 1 -> 9", "Close 1 -> 0"}},
    {"SerialFails", {{.Serial = "S1"}, {.Serial = "S2", .Failures = {{"Serial", 9}}}}, {Older("S1", "COM3")},
     Report({{u"S1", 3}, {nullptr, -1}})},
    {"CloseFails", {{.Serial = "S1", .Failures = {{"Close", 5}}}}, {}, Report({{u"S1", -1}})},
    // SerialLength as the library claims it, kept inside the 64-byte buffer.
    {"SerialLengthMinus1", {{.Serial = kK64, .ReportedLength = -1}}, {Older("", "COM2")}, Report({{u"", 2}})},
    {"SerialLength65", {{.Serial = kK64, .ReportedLength = 65}}, {Older(kK64, "COM64")},
     Report({{std::u16string(64, u'K').c_str(), 64}})},
    // Serial bytes through the code page, NUL bytes kept in the 98 id and shown as U+FFFD, which ends no text.
    {"SerialHighAndNulBytes", {{.Serial = "\xFA\x80\0Z"s}}, {}, Report({{u"ú€\uFFFDZ", -1}})},
    {"SerialNulMatchesThe98Id", {{.Serial = "a\0b "s}},
     {{kGuid + "0000", "CRLowerDeviceID", "USB\\VID_5E1A&PID_B007&MI_00\\A\0B__00\0"s}, {kGuid + "0000", "PortName", "COM6\0"s}},
     Report({{u"a\uFFFDb ", 6}}), {}, {}, 0xC0000A04},
    // Counts are walked as the library reports them, whatever the status, up to a cap.
    {"CountMinus1", kS1, {}, E, {"Count -> 0"}, {}, 0x0A280105, -1},
    {"CountFailedStillWalked", kS1, {}, Report({{u"S1", -1}}), {}, {}, 0x0A280105, {}, 3},
    {"Count1025", {}, {}, Repeat(kNoPortLine, 1024) + E, {}, {}, 0x0A280105, 1025},
};

TEST(Scan, ReportsAndLeavesNothingOpen) {
    for (const ScanCase& c : kScans) {
        SCOPED_TRACE(c.name);
        ScanRig rig;
        rig.Given(c.devices, c.version, c.registry);
        rig.devices.Count = c.count;
        rig.devices.CountStatus = c.countStatus;
        EXPECT_EQ(FillDeviceList(rig.platform, rig.state).Report, c.report);
        if (!c.library.empty()) EXPECT_EQ(rig.devices.Journal, c.library);
        if (!c.calls.empty() || c.report == E) EXPECT_EQ(rig.registry.Journal, c.calls);
        EXPECT_EQ(rig.Leftovers(), "");
    }
}

// On Windows 98 the lookup walks the port driver's instance keys: keys opened, values read, port found.
struct Instance {
    std::string index, id, port;  // a value is left out when empty
};

struct WalkCase {
    const char* name;
    std::string serial;
    int others;  // instances 0000, 0001, ... ahead of the case's own, each naming another device
    std::vector<Instance> instances;
    std::int16_t port;
    std::string opens;  // instance keys opened, in order, "!" when missing; checked when given
    std::vector<std::string> calls = {};  // the whole journal, when given
};

const std::string kId = "USB\\VID_1A2B&PID_C3D4&MI_00\\ABC_12_00\0"s;  // of serial "abc 12"
const std::string kOther = "USB\\VID_1A2B&PID_C3D4&MI_00\\OTHER_00\0"s;

// The instance keys 0000, 0001, ... 000<last>, all found, as a WalkCase's opens lists them.
std::string InstancesUpTo(int last) {
    std::string opens;
    for (int index = 0; index <= last; ++index) opens += (index == 0 ? "000" : " 000") + std::to_string(index);
    return opens;
}

const WalkCase kWalks[] = {
    {"NoInstance", "abc 12", 0, {}, -1, "0000!"},
    {"GapEndsTheWalk", "abc 12", 1, {{"0002", kId, "COM5\0"s}}, -1, "0000 0001!"},
    // The three zeros stand before the whole index: the eleventh instance is 00010.
    {"IndexTenIs00010", "abc 12", 10, {{"00010", kId, "COM6\0"s}}, 6, ""},
    {"LastMatchWins", "abc 12", 0,
     {{"0000", kId, "COM3\0"s}, {"0001", kOther, "COM4\0"s}, {"0002", kOther, "COM4\0"s}, {"0003", kId, "COM8\0"s}}, 8, ""},
    {"MatchWithoutPortKeepsTheEarlierPort", "abc 12", 0, {{"0000", kId, "COM3\0"s}, {"0001", kId, ""}}, 3, ""},
    {"IdCaseCounts", "abc 12", 0,
     {{"0000", "USB\\VID_1A2B&PID_C3D4&MI_00\\abc_12_00\0"s, "COM3"},
      {"0001", "usb\\vid_1a2b&pid_c3d4&mi_00\\ABC_12_00\0"s, "COM4"}}, -1, ""},
    {"HighBytesNotUpperCased", "\xE9x z", 0, {{"0000", "USB\\VID_1A2B&PID_C3D4&MI_00\\\xE9X_Z_00\0"s, "COM3"}}, 3, ""},
    {"IdWithoutZeroByte", "abc 12", 0, {{"0000", kId.substr(0, kId.size() - 1), "COM7\0"s}}, 7, ""},
    {"PortNameLongerThanTheIdIsNotRead", "abc 12", 0, {{"0000", kId, "COM" + std::string(40, '1')}}, -1, ""},
    // An id past the 102-byte buffer draws 234 twice and is passed over.
    {"IdPastTheBuffer", "abc 12", 0, {{"0000", std::string(102, 'X') + '\0', "COM3"}, {"0001", kId, "COM5\0"s}}, 5,
     "0000 0000 0001 0002!"},
    // The last index (read twice: its id is a byte longer than the others'): a walk that went on would take
    // the port of 00032768, or open a key for a negative index.
    {"StopsAtInstanceIndex32767", "abc 12", 32767, {{"00032767", kId, "COM16\0"s}, {"00032768", kId, "COM17\0"s}}, 16,
     InstancesUpTo(32767) + " 00032767"},
    // A short "PortName" is the size offered to the next id, which draws 234 and is read again.
    {"SizeCarriedOverAndReadAgain", "abc 12", 0,
     {{"0000", kId, "COM12\0"s}, {"0001", "USB\\VID_1A2B&PID_C3D4&MI_00\\ZZZZZZZZ_00\0"s, "COM4\0"s}}, 12, "",
     {"open Enum\\SLABCR\\guid\\0000 -> 0", "query CRLowerDeviceID offered=100 -> 0 size=38",
      "query PortName offered=38 -> 0 size=6", "close Enum\\SLABCR\\guid\\0000", "open Enum\\SLABCR\\guid\\0001 -> 0",
      "query CRLowerDeviceID offered=6 -> 234 size=40", "close Enum\\SLABCR\\guid\\0001",
      "open Enum\\SLABCR\\guid\\0001 -> 0", "query CRLowerDeviceID offered=40 -> 0 size=40",
      "close Enum\\SLABCR\\guid\\0001", "open Enum\\SLABCR\\guid\\0002 -> 2"}},
};

TEST(Walk98, FindsThePortOfTheLastMatchingInstance) {
    for (const WalkCase& c : kWalks) {
        SCOPED_TRACE(c.name);
        ScanRig rig;
        rig.version.Value = 0xC0000A04;
        rig.devices.Devices = {{.Vid = 0x1A2B, .Pid = 0xC3D4, .Serial = c.serial}};
        for (int i = 0; i < c.others; ++i) rig.registry.SetValue(kGuid + "000" + std::to_string(i), "CRLowerDeviceID", kOther);
        for (const Instance& instance : c.instances) {
            rig.registry.AddKey(kGuid + instance.index);
            if (!instance.id.empty()) rig.registry.SetValue(kGuid + instance.index, "CRLowerDeviceID", instance.id);
            if (!instance.port.empty()) rig.registry.SetValue(kGuid + instance.index, "PortName", instance.port);
        }
        EXPECT_EQ(ScanDevices(rig.platform, rig.state).at(0).PortNumber, c.port);
        std::string opens;
        for (const std::string& line : rig.registry.Journal)
            if (line.starts_with("open "))
                opens += line.substr(5 + kGuid.size(), line.find(" ->") - 5 - kGuid.size()) + (line.ends_with("> 0") ? " " : "! ");
        if (!c.opens.empty()) EXPECT_EQ(opens, c.opens + " ");
        if (!c.calls.empty()) EXPECT_EQ(rig.registry.Journal, c.calls);
        EXPECT_EQ(rig.Leftovers(), "");
    }
}

}  // namespace
