// The Windows 98 instance walk against the fake registry: matching, walk end, size carry-over, re-reads.
#include "app/code_page.h"
#include "portlookup/port_lookup.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

const std::string kId = "USB\\VID_1A2B&PID_C3D4&MI_00\\ABC_12_00";  // for 0x1A2B, 0xC3D4, "abc 12"
const std::string kOtherId = "USB\\VID_1A2B&PID_C3D4&MI_00\\OTHER_00";

struct Walk98 : testing::Test {
    std::int16_t Lookup(const std::string& serialText = "abc 12", std::int32_t vid = 0x1A2B, std::int32_t pid = 0xC3D4) {
        serial = {};
        std::copy(serialText.begin(), serialText.end(), serial.begin());
        return GetPortNum98(registry, codePage, vid, pid, serial, static_cast<std::int32_t>(serialText.size()));
    }
    std::vector<std::string> Opens() const {
        std::vector<std::string> opens;
        for (const std::string& line : registry.Journal)
            if (line.rfind("open ", 0) == 0) opens.push_back(line.substr(5));
        return opens;
    }
    FakeRegistry registry;
    const WindowsLatin1CodePage codePage;
    std::array<std::uint8_t, 64> serial{};
};

TEST_F(Walk98, NoInstancesStillRewritesTheSerial) {
    EXPECT_EQ(Lookup(), -1);
    EXPECT_EQ(registry.Journal, std::vector<std::string>{"open Enum\\SLABCR\\guid\\0000 -> 2"});
    EXPECT_EQ(std::string(serial.begin(), serial.begin() + 6), "ABC_12");
}

TEST_F(Walk98, FindsMatchAndWalksOnToTheFirstMissingKey) {
    Add98Instance(registry, "0000", kOtherId, "COM3");
    Add98Instance(registry, "0001", kId, "COM5");
    Add98Instance(registry, "0002", kOtherId, "COM4");
    EXPECT_EQ(Lookup(), 5);
    // 0001 and 0002 are opened twice: each id is longer than the value read before it.
    EXPECT_EQ(Opens(), (std::vector<std::string>{"Enum\\SLABCR\\guid\\0000 -> 0", "Enum\\SLABCR\\guid\\0001 -> 0",
                                                 "Enum\\SLABCR\\guid\\0001 -> 0", "Enum\\SLABCR\\guid\\0002 -> 0",
                                                 "Enum\\SLABCR\\guid\\0002 -> 0", "Enum\\SLABCR\\guid\\0003 -> 2"}));
    EXPECT_EQ(registry.MostKeysOpenAtOnce, 1u);
    EXPECT_EQ(registry.OpenKeyCount(), 1u);
}

TEST_F(Walk98, GapEndsTheWalk) {
    Add98Instance(registry, "0000", kOtherId, "COM3");
    Add98Instance(registry, "0002", kId, "COM5");
    EXPECT_EQ(Lookup(), -1);
    EXPECT_EQ(Opens().back(), "Enum\\SLABCR\\guid\\0001 -> 2");
}

TEST_F(Walk98, IndexTenHasThreeZerosBeforeIt) {
    for (int i = 0; i <= 9; ++i) Add98Instance(registry, "000" + std::to_string(i), kOtherId, "COM1");
    Add98Instance(registry, "0010", kId, "COM5");
    EXPECT_EQ(Lookup(), -1);
    EXPECT_EQ(Opens().back(), "Enum\\SLABCR\\guid\\00010 -> 2");

    Add98Instance(registry, "00010", kId, "COM6");
    EXPECT_EQ(Lookup(), 6);
}

TEST_F(Walk98, LastMatchWins) {
    Add98Instance(registry, "0000", kId, "COM3");
    Add98Instance(registry, "0001", kOtherId, "COM4");
    Add98Instance(registry, "0002", kOtherId, "COM4");
    Add98Instance(registry, "0003", kId, "COM8");
    EXPECT_EQ(Lookup(), 8);
}

TEST_F(Walk98, MatchWithoutPortNameKeepsEarlierPort) {
    Add98Instance(registry, "0000", kId, "COM3");
    Add98Instance(registry, "0001", kId, "");
    EXPECT_EQ(Lookup(), 3);
}

TEST_F(Walk98, IdsDifferingInCaseDoNotMatch) {
    Add98Instance(registry, "0000", "USB\\VID_1A2B&PID_C3D4&MI_00\\abc_12_00", "COM3");
    Add98Instance(registry, "0001", "usb\\vid_1a2b&pid_c3d4&mi_00\\ABC_12_00", "COM4");
    EXPECT_EQ(Lookup(), -1);
}

TEST_F(Walk98, IdWithoutZeroByteStillMatches) {
    registry.SetString("Enum\\SLABCR\\guid\\0000", "CRLowerDeviceID", kId, false);
    registry.SetString("Enum\\SLABCR\\guid\\0000", "PortName", "COM7");
    EXPECT_EQ(Lookup(), 7);
}

TEST_F(Walk98, IdsAreFourHexDigits) {
    Add98Instance(registry, "0000", "USB\\VID_ABC&PID_FF&MI_00\\S_00", "COM3");
    Add98Instance(registry, "0001", "USB\\VID_0ABC&PID_00FF&MI_00\\S_00", "COM4");
    EXPECT_EQ(Lookup("s", 0x0ABC, 0x00FF), 4);
}

TEST_F(Walk98, HighBytesOfSerialAreNotUpperCased) {
    Add98Instance(registry, "0000", "USB\\VID_1A2B&PID_C3D4&MI_00\\\xE9X_Z_00", "COM3");
    EXPECT_EQ(Lookup("\xE9x z"), 3);
    EXPECT_EQ(serial[0], 0xE9);
}

// After a matching instance's short "PortName", the next id is offered only that many bytes,
// draws 234 and is read again from the same index with the length it needs.
TEST_F(Walk98, ShortValueBeforeMakesTheNextIdReadTwice) {
    Add98Instance(registry, "0000", kId, "COM12");                                     // 6 bytes
    Add98Instance(registry, "0001", "USB\\VID_1A2B&PID_C3D4&MI_00\\ZZZZZZZZ_00", "COM4");  // 40 bytes
    EXPECT_EQ(Lookup(), 12);
    const std::string i0 = "close Enum\\SLABCR\\guid\\0000";
    const std::string i1 = "close Enum\\SLABCR\\guid\\0001";
    EXPECT_EQ(registry.Journal, (std::vector<std::string>{
                                    "open Enum\\SLABCR\\guid\\0000 -> 0",
                                    "query CRLowerDeviceID offered=100 -> 0 size=38",
                                    "query PortName offered=38 -> 0 size=6",
                                    i0,
                                    "open Enum\\SLABCR\\guid\\0001 -> 0",
                                    "query CRLowerDeviceID offered=6 -> 234 size=40",
                                    i1,
                                    "open Enum\\SLABCR\\guid\\0001 -> 0",
                                    "query CRLowerDeviceID offered=40 -> 0 size=40",
                                    i1,
                                    "open Enum\\SLABCR\\guid\\0002 -> 2",
                                }));
}

TEST_F(Walk98, PortNameLongerThanTheIdIsNotRead) {
    Add98Instance(registry, "0000", "USB\\VID_0001&PID_0002&MI_00\\_00", "COM" + std::string(40, '1'));
    EXPECT_EQ(Lookup("", 1, 2), -1);
}

TEST_F(Walk98, IdPastTheBufferIsPassedOver) {
    Add98Instance(registry, "0000", std::string(102, 'X'), "COM3");  // 103 bytes with its zero
    Add98Instance(registry, "0001", kId, "COM5");
    EXPECT_EQ(Lookup(), 5);
    EXPECT_EQ(registry.Journal.at(1), "query CRLowerDeviceID offered=100 -> 234 size=103");
    EXPECT_EQ(registry.Journal.at(4), "query CRLowerDeviceID offered=102 -> 234 size=103");
    EXPECT_EQ(registry.Journal.at(6), "open Enum\\SLABCR\\guid\\0001 -> 0");
}

TEST_F(Walk98, IdOfExactlyTheBufferIsRead) {
    // 101 characters and the zero byte: the longest id the buffer holds.
    const std::string longId = "USB\\VID_FFFFFFFF&PID_FFFFFFFF&MI_00\\" + std::string(62, 'Q') + "_00";
    Add98Instance(registry, "0000", longId, "COM9");
    EXPECT_EQ(Lookup(std::string(62, 'q'), -1, -1), 9);
    EXPECT_EQ(registry.Journal.at(4), "query CRLowerDeviceID offered=102 -> 0 size=102");
}

TEST_F(Walk98, WalkStopsAtTheLastIndexInsteadOfOverflowing) {
    for (int i = 0; i <= 32767; ++i) registry.AddKey("Enum\\SLABCR\\guid\\000" + std::to_string(i));
    registry.AddKey("Enum\\SLABCR\\guid\\00032768");
    Add98Instance(registry, "00032767", kId, "COM4");
    EXPECT_EQ(Lookup(), 4);
    EXPECT_EQ(Opens().size(), 32768u);
    EXPECT_EQ(Opens().back(), "Enum\\SLABCR\\guid\\00032767 -> 0");
    EXPECT_EQ(registry.OpenKeyCount(), 1u);
}

// A registry that keeps answering 234 with a size it was already offered must not be read forever.
class InsistentRegistry final : public Registry {
public:
    std::int32_t OpenKeyEx(RegKey, const char*, std::uint32_t, std::uint32_t, RegKey*) override { return 2; }
    std::int32_t OpenKey(RegKey, const char* subKey, RegKey* result) override {
        ++opens;
        *result = 0x42;
        return std::string(subKey) == "Enum\\SLABCR\\guid\\0000" ? 0 : 2;
    }
    std::int32_t QueryValueEx(RegKey, const char*, std::uint32_t*, std::uint8_t*, std::uint32_t* size) override {
        *size = reportedSize;
        return 234;
    }
    std::int32_t CloseKey(RegKey) override {
        ++closes;
        return 0;
    }
    std::uint32_t reportedSize = 50;
    int opens = 0;
    int closes = 0;
};

TEST(Walk98Hostile, RegistryInsistingOnMoreDataCannotLoopTheWalk) {
    for (const std::uint32_t reported : {0u, 50u, 100u, 102u, 0xFFFFFFFFu}) {
        InsistentRegistry registry;
        registry.reportedSize = reported;
        const WindowsLatin1CodePage codePage;
        std::array<std::uint8_t, 64> serial{};
        EXPECT_EQ(GetPortNum98(registry, codePage, 1, 2, serial, 0), -1);
        EXPECT_LE(registry.opens, 4) << "reported size " << reported;
        EXPECT_EQ(registry.closes, registry.opens - 1);
    }
}

}  // namespace
