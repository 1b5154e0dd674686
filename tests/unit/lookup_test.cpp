// The two port lookups against the fake registry: keys opened, values read, port found, serial rewritten.
#include "fakes.h"
#include "portlookup/port_lookup.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using namespace std::string_literals;

// Runs a lookup on a 64-byte buffer that starts with serial and checks it left no key open; gives
// the port and as many bytes of the buffer after it as the serial has.
template <typename Lookup>
std::pair<std::int16_t, std::string> RunLookup(FakeRegistry& registry, Lookup lookup, std::int32_t vid, std::int32_t pid, const std::string& serial,
          std::int32_t length) {
    const WindowsLatin1CodePage codePage;
    std::array<std::uint8_t, 64> buffer{};
    std::copy(serial.begin(), serial.end(), buffer.begin());
    const std::int16_t port = lookup(registry, codePage, vid, pid, buffer, length);
    EXPECT_EQ(registry.KeysOpen(), 0u);
    for (const std::string& line : registry.Journal) EXPECT_EQ(line.find("bad handle"), std::string::npos);
    return {port, std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(serial.size()))};
}

struct XPCase {
    std::int32_t vid, pid;
    std::string serial;
    std::int32_t length;
    std::vector<std::pair<std::string, std::string>> ports;  // device key below Enum\USB, "PortName" bytes
    std::int16_t port;
    std::string deviceKeyOpen;  // the third open, as journaled
    std::string serialAfter;
};

const std::string kZ63(63, 'Z');

const XPCase kXPCases[] = {
    {0x1A2B, 0xC3D4, "AB 12", 5, {{"Vid_1a2b&Pid_c3d4&Mi_00\\AB_12_00", "COM5\0"s}}, 5,
     "open Vid_1a2b&Pid_c3d4&Mi_00\\AB_12_00 -> 0", "AB_12"},
    {0x0ABC, 0x00FF, "X1", 2, {{"Vid_abc&Pid_ff&Mi_00\\X1_00", "COM6\0"s}, {"Vid_0abc&Pid_00ff&Mi_00\\X1_00", "COM9\0"s}},
     9, "open Vid_0abc&Pid_00ff&Mi_00\\X1_00 -> 0", "X1"},
    {-1, 0x12345, "S", 1, {}, -1, "open Vid_ffffffff&Pid_12345&Mi_00\\S_00 -> 2", "S"},
    {0x1A2B, 0xC3D4, "abc Def", 7, {{"VID_1A2B&PID_C3D4&MI_00\\ABC_DEF_00", "COM6\0"s}}, 6,
     "open Vid_1a2b&Pid_c3d4&Mi_00\\abc_Def_00 -> 0", "abc_Def"},
    {1, 2, "\xE9\xFF", 2, {{"Vid_0001&Pid_0002&Mi_00\\\xE9\xFF_00", "COM3"}}, 3,
     "open Vid_0001&Pid_0002&Mi_00\\\xE9\xFF_00 -> 0", "\xE9\xFF"},
    // SerialLength past the buffer stops at its end; negative is an empty serial; bytes past it stay.
    {1, 2, " " + kZ63, 1000, {}, -1, "open Vid_0001&Pid_0002&Mi_00\\_" + kZ63 + "_00 -> 2", "_" + kZ63},
    {1, 2, " ", -5, {{"Vid_0001&Pid_0002&Mi_00\\_00", "COM2\0"s}}, 2, "open Vid_0001&Pid_0002&Mi_00\\_00 -> 0", " "},
    {1, 2, "   ", 2, {}, -1, "open Vid_0001&Pid_0002&Mi_00\\___00 -> 2", "__ "},
    // "PortName": 101 bytes is more than offered; a key without Device Parameters has none.
    {1, 2, "S", 1, {{"Vid_0001&Pid_0002&Mi_00\\S_00", "COM" + std::string(97, '1') + '\0'}}, -1,
     "open Vid_0001&Pid_0002&Mi_00\\S_00 -> 0", "S"},
    {1, 2, "S", 1, {{"Vid_0001&Pid_0002&Mi_00\\S_00\\Other", "COM4\0"s}}, -1,
     "open Vid_0001&Pid_0002&Mi_00\\S_00 -> 0", "S"},
};

void PrintTo(const XPCase& c, std::ostream* out) { *out << c.serial; }

class XPLookup : public testing::TestWithParam<XPCase> {};

TEST_P(XPLookup, OpensTheDeviceKeyAndReadsItsPort) {
    const XPCase& c = GetParam();
    FakeRegistry registry;
    registry.AddKey("SYSTEM\\CurrentControlSet\\Enum\\USB");
    for (const auto& [key, bytes] : c.ports)
        registry.SetValue("SYSTEM\\CurrentControlSet\\Enum\\USB\\" + key + "\\Device Parameters", "PortName", bytes);
    EXPECT_EQ(RunLookup(registry, GetPortNumXP2000, c.vid, c.pid, c.serial, c.length),
              std::make_pair(c.port, c.serialAfter));
    EXPECT_EQ(registry.Journal.at(2), c.deviceKeyOpen);
}

INSTANTIATE_TEST_SUITE_P(Table, XPLookup, testing::ValuesIn(kXPCases));

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
    std::optional<std::uint32_t> insist = {};
    std::vector<std::string> calls = {};  // the whole journal, when given
};

const std::string kId = "USB\\VID_1A2B&PID_C3D4&MI_00\\ABC_12_00\0"s;  // of serial "abc 12"

// The instance keys 0000, 0001, ... 000<last>, all found, as a WalkCase's opens lists them.
std::string InstancesUpTo(int last) {
    std::string opens;
    for (int index = 0; index <= last; ++index) opens += (index == 0 ? "000" : " 000") + std::to_string(index);
    return opens;
}
const std::string kOther = "USB\\VID_1A2B&PID_C3D4&MI_00\\OTHER_00\0"s;

const WalkCase kWalks[] = {
    {"NoInstance", "abc 12", 0, {}, -1, "0000!"},
    {"MatchAmongOthers", "abc 12", 1, {{"0001", kId, "COM5\0"s}, {"0002", kOther, "COM4\0"s}}, 5,
     "0000 0001 0001 0002 0002 0003!"},
    {"GapEndsTheWalk", "abc 12", 1, {{"0002", kId, "COM5\0"s}}, -1, "0000 0001!"},
    {"IndexTenIs00010", "abc 12", 10, {{"0010", kId, "COM5\0"s}}, -1,
     "0000 0001 0002 0003 0004 0005 0006 0007 0008 0009 00010!"},
    {"IndexTenFound", "abc 12", 10, {{"00010", kId, "COM6\0"s}}, 6, ""},
    {"LastMatchWins", "abc 12", 0,
     {{"0000", kId, "COM3\0"s}, {"0001", kOther, "COM4\0"s}, {"0002", kOther, "COM4\0"s}, {"0003", kId, "COM8\0"s}}, 8, ""},
    {"MatchWithoutPortKeepsTheEarlierPort", "abc 12", 0, {{"0000", kId, "COM3\0"s}, {"0001", kId, ""}}, 3, ""},
    {"IdCaseCounts", "abc 12", 0,
     {{"0000", "USB\\VID_1A2B&PID_C3D4&MI_00\\abc_12_00\0"s, "COM3"},
      {"0001", "usb\\vid_1a2b&pid_c3d4&mi_00\\ABC_12_00\0"s, "COM4"}}, -1, ""},
    {"IdWithoutZeroByte", "abc 12", 0, {{"0000", kId.substr(0, kId.size() - 1), "COM7\0"s}}, 7, ""},
    {"HighBytesNotUpperCased", "\xE9x z", 0, {{"0000", "USB\\VID_1A2B&PID_C3D4&MI_00\\\xE9X_Z_00\0"s, "COM3"}}, 3, ""},
    {"PortNameLongerThanTheIdIsNotRead", "abc 12", 0, {{"0000", kId, "COM" + std::string(40, '1')}}, -1, ""},
    // An id past the 102-byte buffer draws 234 twice and is passed over.
    {"IdPastTheBuffer", "abc 12", 0, {{"0000", std::string(102, 'X') + '\0', "COM3"}, {"0001", kId, "COM5\0"s}}, 5,
     "0000 0000 0001 0002!"},
    // A registry that keeps answering 234 is read again only while it asks for more room.
    {"Insists0", "", 0, {{"0000", "", ""}}, -1, "0000 0001!", 0u},
    {"Insists50", "", 0, {{"0000", "", ""}}, -1, "0000 0001!", 50u},
    {"Insists102", "", 0, {{"0000", "", ""}}, -1, "0000 0000 0001!", 102u},
    {"InsistsMax", "", 0, {{"0000", "", ""}}, -1, "0000 0000 0001!", 0xFFFFFFFFu},
    // The last index (read twice: its id is a byte longer than the others'): a walk that went on would take
    // the port of 00032768, or open a key for a negative index.
    {"StopsAtInstanceIndex32767", "abc 12", 32767, {{"00032767", kId, "COM16\0"s}, {"00032768", kId, "COM17\0"s}}, 16,
     InstancesUpTo(32767) + " 00032767"},
    // A short "PortName" is the size offered to the next id, which draws 234 and is read again.
    {"SizeCarriedOverAndReadAgain", "abc 12", 0,
     {{"0000", kId, "COM12\0"s}, {"0001", "USB\\VID_1A2B&PID_C3D4&MI_00\\ZZZZZZZZ_00\0"s, "COM4\0"s}}, 12, "", {},
     {"open Enum\\SLABCR\\guid\\0000 -> 0", "query CRLowerDeviceID offered=100 -> 0 size=38",
      "query PortName offered=38 -> 0 size=6", "close Enum\\SLABCR\\guid\\0000", "open Enum\\SLABCR\\guid\\0001 -> 0",
      "query CRLowerDeviceID offered=6 -> 234 size=40", "close Enum\\SLABCR\\guid\\0001",
      "open Enum\\SLABCR\\guid\\0001 -> 0", "query CRLowerDeviceID offered=40 -> 0 size=40",
      "close Enum\\SLABCR\\guid\\0001", "open Enum\\SLABCR\\guid\\0002 -> 2"}},
};

void PrintTo(const WalkCase& c, std::ostream* out) { *out << c.name; }

class Walk98 : public testing::TestWithParam<WalkCase> {};

TEST_P(Walk98, FindsThePortOfTheLastMatchingInstance) {
    const WalkCase& c = GetParam();
    const std::string guid = "Enum\\SLABCR\\guid\\";
    FakeRegistry registry;
    registry.Insist = c.insist;
    for (int i = 0; i < c.others; ++i) registry.SetValue(guid + "000" + std::to_string(i), "CRLowerDeviceID", kOther);
    for (const Instance& instance : c.instances) {
        registry.AddKey(guid + instance.index);
        if (!instance.id.empty()) registry.SetValue(guid + instance.index, "CRLowerDeviceID", instance.id);
        if (!instance.port.empty()) registry.SetValue(guid + instance.index, "PortName", instance.port);
    }
    EXPECT_EQ(RunLookup(registry, GetPortNum98, 0x1A2B, 0xC3D4, c.serial, static_cast<std::int32_t>(c.serial.size())).first,
              c.port);
    std::string opens;
    for (const std::string& line : registry.Journal)
        if (line.starts_with("open "))
            opens += line.substr(5 + guid.size(), line.find(" ->") - 5 - guid.size()) + (line.ends_with("> 0") ? " " : "! ");
    if (!c.opens.empty()) EXPECT_EQ(opens, c.opens + " ");
    if (!c.calls.empty()) EXPECT_EQ(registry.Journal, c.calls);
}

INSTANTIATE_TEST_SUITE_P(Table, Walk98, testing::ValuesIn(kWalks), [](const auto& info) { return info.param.name; });

}  // namespace
