// Garbage from the device library and the registry: every case gives its exact report, faults
// nothing, and leaves no registry key and no device open.
#include "app/code_page.h"
#include "app/platform.h"
#include "fake_device_library.h"
#include "portlookup/port_lookup.h"
#include "portlookup/port_number.h"
#include "scan/device_scan.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

constexpr std::int32_t kVid = 0x1A2B;
constexpr std::int32_t kPid = 0xC3D4;
const std::string kDeviceKey = "Vid_1a2b&Pid_c3d4&Mi_00\\";       // + <serial>_00, below Enum\USB
const std::string kDeviceId98 = "USB\\VID_1A2B&PID_C3D4&MI_00\\";  // + <SERIAL>_00
const std::string kInstance98 = "Enum\\SLABCR\\guid\\";

struct Rig : ScanRig {
    FakeDevice& AddDevice(std::string serial) {
        devices.Devices.push_back(FakeDevice{kVid, kPid, std::move(serial), {}, {}});
        return devices.Devices.back();
    }
    // "PortName" of the device whose serial reads `serialKey` in its instance key name.
    void SetPortName(const std::string& serialKey, std::vector<std::uint8_t> bytes, std::uint32_t type = kRegSz) {
        registry.SetValue(kUsbEnum + kDeviceKey + serialKey + "_00\\Device Parameters", "PortName", std::move(bytes),
                          type);
    }
};

struct HostileCase {
    const char* name;
    std::function<void(Rig&)> arrange;
    std::string expected;  // the whole report, UTF-8
};

void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }

// Report pieces, written out rather than produced by the code under test.
std::string SerialLine(const std::string& shown) { return "Número de Serie =" + shown + "\r\n"; }
std::string PortLine(const std::string& port) { return "Número de Puerto COM: " + port + "\r\n\r\n"; }
const std::string kEnd = "\r\n\r\n";

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::string ByteRange(unsigned first, unsigned last) {
    std::string bytes;
    for (unsigned byte = first; byte <= last; ++byte) bytes.push_back(static_cast<char>(byte));
    return bytes;
}

// Windows-1252 0x80..0xBF as UTF-8: the 0x80..0x9F row by hand, then Latin-1.
const std::string kShown80ToBF =
    "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ"
    "\u00A0¡¢£¤¥¦§¨©ª«¬\u00AD®¯°±²³´µ¶·¸¹º»¼½¾¿";
const std::string kShownC0ToFF = "ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ×ØÙÚÛÜÝÞßàáâãäåæçèéêëìíîïðñòóôõö÷øùúûüýþÿ";

// One device "S1" on XP whose "PortName" holds `bytes`, typed `type`.
HostileCase PortNameCase(const char* name, std::string bytes, const std::string& port, std::uint32_t type = kRegSz) {
    return {name,
            [bytes, type](Rig& rig) {
                rig.AddDevice("S1");
                rig.SetPortName("S1", Bytes(bytes), type);
            },
            SerialLine("S1") + PortLine(port) + kEnd};
}

// One device whose serial is 64 'K' and whose library reports `length`; its key names all 64.
HostileCase SerialLengthCase(const char* name, std::int32_t length, std::size_t shown) {
    return {name,
            [length](Rig& rig) {
                rig.AddDevice(std::string(64, 'K')).ReportedLength = length;
                rig.SetPortName(std::string(64, 'K'), Bytes("COM64\0"s));
                rig.SetPortName("", Bytes("COM2\0"s));  // what an empty serial finds
            },
            SerialLine(std::string(shown, 'K')) + PortLine(shown == 0 ? " 2" : " 64") + kEnd};
}

const std::vector<HostileCase> kCases = {
    // Device counts.
    {"CountMinusOne",
     [](Rig& rig) {
         rig.AddDevice("S1");
         rig.devices.Count = -1;
     },
     kEnd},
    {"CountZeroWithADevicePresent",
     [](Rig& rig) {
         rig.AddDevice("S1");
         rig.devices.Count = 0;
     },
     kEnd},
    {"Count65536NoDeviceIsCapped", [](Rig& rig) { rig.devices.Count = 65536; },
     Repeat(PortLine("-1"), static_cast<std::size_t>(kMaxDevices)) + kEnd},
    {"Count65536OneDeviceIsCapped",
     [](Rig& rig) {
         rig.AddDevice("S1");
         rig.SetPortName("S1", Bytes("COM4\0"s));
         rig.devices.Count = 65536;
     },
     SerialLine("S1") + PortLine(" 4") + Repeat(PortLine("-1"), static_cast<std::size_t>(kMaxDevices) - 1) + kEnd},

    // Serial lengths: negative is empty, past the buffer is the buffer.
    SerialLengthCase("SerialLengthMinusOne", -1, 0),
    SerialLengthCase("SerialLengthZero", 0, 0),
    SerialLengthCase("SerialLength64", 64, 64),
    SerialLengthCase("SerialLength65", 65, 64),
    SerialLengthCase("SerialLength1000", 1000, 64),

    // Serial bytes.
    {"SerialZeroByteStaysInTheText", [](Rig& rig) { rig.AddDevice("A\0B"s); },
     SerialLine("A\0B"s) + PortLine("-1") + kEnd},
    {"SerialZeroByteMatchesTheSame98DeviceId",
     [](Rig& rig) {
         rig.version.Value = kVersion98;
         rig.AddDevice("a\0b"s);
         rig.registry.SetValue(kInstance98 + "0000", "CRLowerDeviceID", Bytes(kDeviceId98 + "A\0B_00\0"s));
         rig.registry.SetString(kInstance98 + "0000", "PortName", "COM6");
     },
     SerialLine("a\0b"s) + PortLine(" 6") + kEnd},
    {"SerialSpaceShownAsReadAndLookedUpAsUnderscore",
     [](Rig& rig) {
         rig.AddDevice(" X ");
         rig.SetPortName("_X_", Bytes("COM11\0"s));
     },
     SerialLine(" X ") + PortLine(" 11") + kEnd},
    {"SerialByte127",
     [](Rig& rig) {
         rig.AddDevice("\x7F");
         rig.SetPortName("\x7F", Bytes("COM12\0"s));
     },
     SerialLine("\x7F") + PortLine(" 12") + kEnd},
    {"SerialBytes80ToBFThroughTheCodePage",
     [](Rig& rig) {
         rig.AddDevice(ByteRange(0x80, 0xBF));
         rig.SetPortName(ByteRange(0x80, 0xBF), Bytes("COM13\0"s));
     },
     SerialLine(kShown80ToBF) + PortLine(" 13") + kEnd},
    {"SerialBytesC0ToFFThroughTheCodePage",
     [](Rig& rig) {
         rig.AddDevice(ByteRange(0xC0, 0xFF));
         rig.SetPortName(ByteRange(0xC0, 0xFF), Bytes("COM14\0"s));
     },
     SerialLine(kShownC0ToFF) + PortLine(" 14") + kEnd},
    {"SerialHighBytesMatchThe98DeviceIdUnchanged",
     [](Rig& rig) {
         rig.version.Value = kVersion98;
         rig.AddDevice(ByteRange(0xC0, 0xFF));
         rig.registry.SetString(kInstance98 + "0000", "CRLowerDeviceID", kDeviceId98 + ByteRange(0xC0, 0xFF) + "_00");
         rig.registry.SetString(kInstance98 + "0000", "PortName", "COM15");
     },
     SerialLine(kShownC0ToFF) + PortLine(" 15") + kEnd},

    // "PortName" values of 0..5 bytes: the first three characters count as zeros.
    PortNameCase("PortName0Bytes", ""s, " 0"),
    PortNameCase("PortName1Byte", "C"s, " 0"),
    PortNameCase("PortName2Bytes", "CO"s, " 0"),
    PortNameCase("PortName3Bytes", "COM"s, " 0"),
    PortNameCase("PortName4BytesWithoutZero", "COM4"s, " 4"),
    PortNameCase("PortName5Bytes", "COM4\0"s, " 4"),
    PortNameCase("PortNameLPT1", "LPT1\0"s, " 1"),
    PortNameCase("PortNameCOMX", "COMX\0"s, " 0"),
    PortNameCase("PortNameCOMSpace7", "COM 7\0"s, " 7"),
    PortNameCase("PortNameCOM3Point5", "COM3.5\0"s, " 4"),
    PortNameCase("PortNameCOM2Point5", "COM2.5\0"s, " 2"),
    PortNameCase("PortNameCOM1E3", "COM1E3\0"s, " 1000"),
    PortNameCase("PortNameCOM1E99", "COM1E99\0"s, "-1"),
    PortNameCase("PortNameCOM40000", "COM40000\0"s, "-1"),
    PortNameCase("PortNameCOM32767", "COM32767\0"s, " 32767"),
    PortNameCase("PortNameSignAfterThePrefixEndsTheNumber", "COM-5\0"s, " 0"),
    PortNameCase("PortNameBlanksInsideTheNumber", "COM\t1 2\n3\0"s, " 123"),
    PortNameCase("PortNameBinaryType", "COM5\0"s, " 5", 3 /* REG_BINARY */),
    PortNameCase("PortNameDwordType", "\x07\0\0\0"s, " 0", 4 /* REG_DWORD 7: its byte is read as a prefix */),
    PortNameCase("PortName100Bytes", "COM" + std::string(95, '0') + "7\0"s, " 7"),
    PortNameCase("PortName100BytesWithoutZero", "COM" + std::string(96, '0') + "8", " 8"),
    PortNameCase("PortName101Bytes", "COM" + std::string(96, '0') + "7\0"s, "-1"),
    PortNameCase("PortName102Bytes", "COM" + std::string(97, '0') + "7\0"s, "-1"),
    PortNameCase("PortName4096Bytes", "COM" + std::string(4091, '0') + "7\0"s, "-1"),

    // Registry shapes.
    {"DeviceKeyWithoutDeviceParameters",
     [](Rig& rig) {
         rig.AddDevice("S1");
         rig.registry.SetString(kUsbEnum + kDeviceKey + "S1_00", "PortName", "COM4");
     },
     SerialLine("S1") + PortLine("-1") + kEnd},
    {"DeviceIdOf103BytesIsPassedOverAndTheWalkGoesOn",
     [](Rig& rig) {
         rig.version.Value = kVersion98;
         rig.AddDevice("S1");
         rig.registry.SetString(kInstance98 + "0000", "CRLowerDeviceID", kDeviceId98 + std::string(74, 'X'));
         rig.registry.SetString(kInstance98 + "0000", "PortName", "COM3");
         rig.registry.SetString(kInstance98 + "0001", "CRLowerDeviceID", kDeviceId98 + "S1_00");
         rig.registry.SetString(kInstance98 + "0001", "PortName", "COM5");
     },
     SerialLine("S1") + PortLine(" 5") + kEnd},
    {"Walk98Of32768InstancesEndsAtTheLastIndex",
     [](Rig& rig) {
         rig.version.Value = kVersion98;
         rig.AddDevice("S1");
         for (int i = 0; i <= 32768; ++i) rig.registry.AddKey(kInstance98 + "000" + std::to_string(i));
         rig.registry.SetString(kInstance98 + "00032767", "CRLowerDeviceID", kDeviceId98 + "S1_00");
         rig.registry.SetString(kInstance98 + "00032767", "PortName", "COM16");
         // Past the last index: a walk that went on would take this port instead.
         rig.registry.SetString(kInstance98 + "00032768", "CRLowerDeviceID", kDeviceId98 + "S1_00");
         rig.registry.SetString(kInstance98 + "00032768", "PortName", "COM17");
     },
     SerialLine("S1") + PortLine(" 16") + kEnd},
    {"CloseThatFailsStillClosesTheDevice",
     [](Rig& rig) {
         rig.AddDevice("S1").Failures["Close"] = 5;
         rig.SetPortName("S1", Bytes("COM4\0"s));
     },
     SerialLine("S1") + PortLine(" 4") + kEnd},
};

class HostileInput : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileInput, GivesTheExactReportAndLeavesNothingOpen) {
    Rig rig;
    GetParam().arrange(rig);
    std::string report;
    EXPECT_NO_THROW(report = Utf8(FillDeviceList(rig.platform, rig.state)));
    EXPECT_EQ(report, GetParam().expected);

    EXPECT_EQ(rig.registry.OpenKeyCount(), 1u) << "only HKEY_LOCAL_MACHINE stays open";
    EXPECT_TRUE(rig.devices.OpenDevices.empty());
    EXPECT_FALSE(rig.state.DeviceOpen);
    for (const std::string& line : rig.devices.Journal) EXPECT_EQ(line.find("bad handle"), std::string::npos) << line;
    for (const std::string& line : rig.registry.Journal)
        EXPECT_EQ(line.find("invalid handle"), std::string::npos) << line;
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileInput, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.name); });

// Called directly, each lookup rewrites the serial's first SerialLength bytes and no others.
TEST(HostileLookup, SerialBytesPastTheLengthAreLeftAlone) {
    FakeRegistry registry;
    registry.AddKey(kUsbEnum);
    const WindowsLatin1CodePage codePage;
    std::array<std::uint8_t, 64> serial{};
    serial.fill(' ');
    const auto text = [&serial] { return std::string(serial.begin(), serial.end()); };
    EXPECT_EQ(GetPortNumXP2000(registry, codePage, kVid, kPid, serial, 2), -1);
    EXPECT_EQ(text(), "__" + std::string(62, ' '));
    EXPECT_EQ(GetPortNum98(registry, codePage, kVid, kPid, serial, 3), -1);
    EXPECT_EQ(text(), "___" + std::string(61, ' '));
    EXPECT_EQ(registry.OpenKeyCount(), 1u);
}

// The whole major byte counts: NT 16.0 must not read as major 0, nor NT 20.0 as 4.
TEST(HostileVersion, EveryNTMajorFrom5UsesTheXPLayout) {
    for (const std::uint32_t major : {0x10u, 0x14u, 0x20u, 0xFFu}) {
        Rig rig;
        rig.version.Value = major;  // NT: bit 31 clear, the major version in the low byte
        rig.AddDevice("S1");
        rig.SetPortName("S1", Bytes("COM4\0"s));
        EXPECT_EQ(Utf8(FillDeviceList(rig.platform, rig.state)), SerialLine("S1") + PortLine(" 4") + kEnd)
            << "major " << major;
    }
}

// Millions of digits against a huge exponent: the saturated exponent must still decide right.
// Unreachable through "PortName" (102 bytes at most), reachable through ReadPortNumber itself.
TEST(HostileNumber, ExponentBeyondAMillionDigitsStillDecides) {
    const std::u16string zeros(2000000, u'0');
    EXPECT_EQ(ReadPortNumber(u"0." + zeros + u"1E99999999"), std::nullopt);  // 10^97999998
    EXPECT_EQ(ReadPortNumber(u"1" + zeros + u"E-99999999"), 0);           // 10^-97999999
}

}  // namespace
