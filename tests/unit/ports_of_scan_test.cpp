// The ports of whole scans with port devices that Windows lists as present: which port each device gets, why one has
// none, and when the listing and the registry are asked.
#include "cli/utf8.h"
#include "fakes.h"
#include "scan/device_scan.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

constexpr std::uint32_t kXP = 0x0A280105, k98 = 0xC0000A04, kNT4 = 0x05650004;
const std::string kToday = "USB\\VID_5E1A&PID_B007\\";  // today's drivers: the USB device named by its serial
const std::string kOlder = "USB\\VID_5E1A&PID_B007&MI_00\\";
const std::string kHub = "Port_#0002.Hub_#0003";

PresentPort Port(const std::string& id, const std::string& portName, const std::string& parent = "",
                 std::optional<std::string> location = {}) {
    return {id, parent, portName + '\0', std::move(location)};
}

// A device's port as the table gives it: "14 at <location>", "5 problem 10", "-1 shared"...
std::string Found(const ScannedDevice& device) {
    static const char* const kWhy[] = {"unread", "shared", "socket", "none", "no lookup"};
    std::string text = std::to_string(device.PortNumber);
    if (device.Location) text += " at " + ToUtf8(*device.Location);
    if (device.Problem) text += " problem " + std::to_string(*device.Problem);
    if (device.Reason) text += " "s + kWhy[int(*device.Reason)];
    return text;
}

struct PresentCase {
    const char* name;
    std::vector<FakeDevice> devices;
    std::optional<std::vector<PresentPort>> present;
    std::vector<RegValue> registry;
    std::vector<std::string> found;
    int listings = 1;
    bool registryRead = false;
    std::uint32_t version = kXP;
    std::map<std::string, std::uint32_t> problems = {};  // by instance ID, as Device Manager shows them
};

const std::vector<FakeDevice> kAB12 = {{.Serial = "AB 12"}};
const std::vector<FakeDevice> kW1 = {{.Serial = "W1"}};
const std::string kMadeUp = kToday + "5&2A0E1B13&0&";  // from the USB socket, as where serial numbers are ignored

const PresentCase kCases[] = {
    {"TodaysDriver", kAB12, {{Port(kToday + "AB_12", "COM14", "USB\\ROOT_HUB30\\4&1", kHub)}}, {}, {"14 at " + kHub}},
    {"OlderDriver", kAB12, {{Port(kOlder + "AB_12_00", "COM3")}}, {}, {"3"}},
    {"CompositeInterface", kAB12,
     {{Port("USB\\VID_5E1A&PID_B007&MI_02\\7&9&0&0002", "COM21", kToday + "AB_12"),
       Port("USB\\VID_5E1A&PID_B007&MI_00\\7&9&0&0000", "COM20", kToday + "AB_12", "0000.0014.0000.001")}},
     {}, {"20 at 0000.0014.0000.001"}},
    // The record of a driver since replaced stays behind in the registry with the port the adapter had then.
    {"PresentWinsOverAStaleRecord", kAB12, {{Port(kToday + "AB_12", "COM9")}}, {Older("AB_12", "COM3")}, {"9"}},
    {"NoMatchFallsBackToTheRecord", {{.Serial = "AB 12"}, {.Serial = "W1"}},
     {{Port(kToday + "AB_1", "COM4"),                    // a shorter serial
       Port(kToday + "AB_120", "COM5"),                  // a longer one with the same start
       Port("USB\\VID_5E1B&PID_B007\\AB_12", "COM6"),     // another vendor
       Port("USB\\VID_5E1A&PID_B008\\AB_12", "COM7"),     // another product
       Port(kToday + "AB 12", "COM8"),                   // the space not spelt as Windows spells it
       Port(kOlder + "AB_12", "COM9"),                   // the older layout without its _00
       Port("USB\\VID_5E1A&PID_B007&MI_01\\6&2B", "COM10", kToday + "AB_120"),  // under another device
       Port("FTDIBUS\\X", "COM11", "USB\\VID_5E1A&PID_B007\\AB_12\\0"),           // a parent whose ID runs on
       Port(kToday + "W10", "COM12")}},
     {Older("AB_12", "COM3")}, {"3", "-1 none"}, 1, true},
    {"EitherCase", {{.Serial = "ab 12"}, {.Serial = "CD"}},
     {{Port(kToday + "AB_12", "COM5"), Port("usb\\vid_5e1a&pid_b007\\cd", "COM6")}}, {}, {"5", "6"}},
    // Only ASCII letters fold: a locale's folding would also take é for É.
    {"OnlyAsciiFolds", {{.Serial = "\xE9"}}, {{Port(kToday + "\xC9", "COM5")}}, {}, {"-1 none"}, 1, true},
    {"ShortIdsHaveFourDigits", {{.Vid = 0x0ABC, .Pid = 0x00D4, .Serial = "S1"}, {.Vid = 0x0ABC, .Pid = 0x00D4, .Serial = "S2"}},
     {{Port("USB\\VID_0ABC&PID_00D4\\S1", "COM5"), Port("USB\\VID_ABC&PID_D4\\S2", "COM6")}}, {}, {"5", "-1 none"}, 1, true},
    {"PortNameReadAsTheRegistrysIs", {{.Serial = "A"}, {.Serial = "B"}, {.Serial = "C"}},
     {{Port(kToday + "A", "COM256"), Port(kToday + "B", "COM40000"), Port(kToday + "C", "COM")}}, {},
     {"256", "-1 none", "0 none"}},
    // Windows cannot tell these apart, so no port is known to be either one's, whichever way it was found.
    {"TwoAdaptersOneSerial", {{.Serial = "S1"}, {.Serial = "S1"}, {.Serial = "S2"}},
     {{Port(kToday + "S1", "COM5", "", kHub), Port(kToday + "S2", "COM6")}}, {}, {"-1 shared", "-1 shared", "6"}},
    {"TwoAdaptersOneRecord", {{.Serial = "S 1"}, {.Serial = "s_1"}}, {{}}, {Older("S_1", "COM5")}, {"-1 shared", "-1 shared"}, 1, true},
    {"TwoAdaptersOneRecordOn98", {{.Serial = "S1"}, {.Serial = "s1"}}, {{}},
     {{"Enum\\SLABCR\\guid\\0000", "CRLowerDeviceID", "USB\\VID_5E1A&PID_B007&MI_00\\S1_00\0"s},
      {"Enum\\SLABCR\\guid\\0000", "PortName", "COM5\0"s}},
     {"-1 shared", "-1 shared"}, 0, true, k98},
    {"SetupapiUnavailable", kAB12, std::nullopt, {Older("AB_12", "COM3")}, {"3"}, 1, true},
    // Named after the USB socket, not a serial: paired only where one adapter and one such USB device are left
    // over for the vid and pid, and then no older record is believed.
    {"MadeUpOverAStaleRecord", kW1, {{Port(kMadeUp + "2", "COM30", "USB\\ROOT_HUB30\\4&1", kHub)}}, {Older("W1", "COM3")},
     {"30 at " + kHub}},
    {"MadeUpTwoPortsOneAdapter", kW1, {{Port(kMadeUp + "2", "COM30"), Port(kMadeUp + "3", "COM31")}}, {Older("W1", "COM3")},
     {"-1 socket"}},
    {"MadeUpTwoAdaptersTwoPorts", {{.Serial = "W1"}, {.Serial = "W2"}},
     {{Port(kMadeUp + "2", "COM30"), Port(kMadeUp + "3", "COM31")}}, {Older("W1", "COM3")}, {"-1 socket", "-1 socket"}},
    {"MadeUpTwoAdaptersOnePort", {{.Serial = "W1"}, {.Serial = "W2"}}, {{Port(kMadeUp + "2", "COM30")}}, {Older("W1", "COM3")},
     {"-1 socket", "-1 socket"}},
    {"MadeUpTwoAdaptersOneSerial", {{.Serial = "W1"}, {.Serial = "w1"}}, {{Port(kMadeUp + "2", "COM30")}}, {},
     {"-1 shared", "-1 shared"}},
    {"MadeUpBesideASerialMatch", {{.Serial = "W1"}, {.Serial = "W2"}},
     {{Port(kMadeUp + "2", "COM30"), Port(kToday + "W1", "COM5")}}, {}, {"5", "30"}},
    {"SerialMatchBesideAnExtraMadeUpPort", kW1, {{Port(kToday + "W1", "COM5"), Port(kMadeUp + "2", "COM30")}}, {}, {"5"}},
    // Each vid and pid alone: W1 (B007) reads its record beside made-up ports of another vid and another pid.
    {"MadeUpOfAnotherVidOrPid", {{.Serial = "W1"}, {.Pid = 0xB008, .Serial = "W2"}, {.Pid = 0xB009, .Serial = "W3"}},
     {{Port("USB\\VID_5E1B&PID_B007\\5&1&0&2", "COM30"), Port("USB\\VID_5E1A&PID_B008\\5&1&0&3", "COM31"),
       Port("USB\\VID_5E1A&PID_B009\\5&1&0&4", "COM32")}},
     {Older("W1", "COM3")}, {"3", "31", "32"}, 1, true},
    // An adapter that could not be read may be the one in the socket; its own line stays as it was.
    {"MadeUpWithAnUnreadAdapter", {{.Serial = "W1"}, {.Serial = "W2", .Failures = {{"Pid", 3}}}},
     {{Port(kMadeUp + "2", "COM30")}}, {Older("W1", "COM3")}, {"-1 socket", "-1 unread"}, 1, true},
    {"MadeUpEmptySerial", {{.Serial = ""}}, {{Port("usb\\vid_5e1a&pid_b007\\5&2a0e1b13&0&2", "COM30")}}, {Older("", "COM3")}, {"30"}},
    {"MadeUpCompositeParent", kW1,
     {{Port("USB\\VID_5E1A&PID_B007&MI_02\\6&1F&0&0002", "COM22", kMadeUp + "2"),
       Port("USB\\VID_5E1A&PID_B007&MI_00\\6&1F&0&0000", "COM21", kMadeUp + "2", kHub)}},
     {}, {"21 at " + kHub}},
    // The lowest interface whatever order Windows lists them in.
    {"MadeUpCompositeParentListedInOrder", kW1,
     {{Port("USB\\VID_5E1A&PID_B007&MI_00\\6&1F&0&0000", "COM21", kMadeUp + "2"),
       Port("USB\\VID_5E1A&PID_B007&MI_02\\6&1F&0&0002", "COM22", kMadeUp + "2")}},
     {}, {"21"}},
    // A serial with & in it looks made up, but once an adapter is named by it that port is no socket's.
    {"SerialWithAmpersandBesideAWaitingAdapter", {{.Serial = "A&B"}, {.Serial = "W1"}},
     {{Port(kToday + "A&B", "COM5")}}, {Older("W1", "COM3")}, {"5", "3"}, 1, true},
    // Wine lists every device ever recorded: another serial's port, or one a level below, is no socket's.
    {"SerialNamedPortIsNotMadeUp", kW1, {{Port(kToday + "W9", "COM9"), Port(kToday + "5&1\\0", "COM8")}},
     {Older("W1", "COM3")}, {"3"}, 1, true},
    // Each adapter's own port device tells its problem, and the port keeps its number; no other device is asked.
    {"ProblemOfEachOwnPort", {{.Serial = "A"}, {.Serial = "B"}, {.Serial = "W1"}},
     {{Port(kToday + "Z", "COM7"), Port(kToday + "A", "COM5"), Port(kOlder + "B_00", "COM6"), Port(kMadeUp + "2", "COM30"),
       Port(kToday + "Y", "COM8")}},
     {}, {"5 problem 10", "6 problem 22", "30 problem 28"}, 1, false, kXP,
     {{kToday + "Z", 43}, {kToday + "A", 10}, {kOlder + "B_00", 22}, {kMadeUp + "2", 28}, {kToday + "Y", 24}}},
    // Listed once a scan, and only where a device read needs it.
    {"UnreadAdapter", {{.Serial = "AB 12", .Failures = {{"Serial", 3}}}}, {{Port(kToday, "COM4")}}, {}, {"-1 unread"}, 0, true},
    {"Windows98", kAB12, {{Port(kToday + "AB_12", "COM4")}}, {}, {"-1 none"}, 0, true, k98},
    {"NT4", {{.Serial = "AB 12"}, {.Serial = "CD", .Failures = {{"Open", 3}}}}, {{Port(kToday + "AB_12", "COM4")}}, {},
     {"0 no lookup", "0 unread"}, 0, false, kNT4},
};

TEST(Present, GivesEachDeviceItsPort) {
    for (const PresentCase& c : kCases) {
        SCOPED_TRACE(c.name);
        ScanRig rig;
        rig.Given(c.devices, c.version, c.registry);
        rig.ports.Ports = c.present;
        rig.ports.Problems = c.problems;
        std::vector<std::string> found;
        for (const ScannedDevice& device : ScanDevices(rig.platform, rig.state)) found.push_back(Found(device));
        EXPECT_EQ(found, c.found);
        EXPECT_LE(rig.ports.ProblemsAsked.size(), c.devices.size()) << "asked of port devices not the adapters'";
        EXPECT_EQ(rig.ports.Listings, c.listings);
        EXPECT_EQ(!rig.registry.Journal.empty(), c.registryRead);
        EXPECT_EQ(rig.Leftovers(), "");
    }
}

}  // namespace
