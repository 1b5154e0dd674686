// Whole scans through the fakes: the exact report bytes and the order of library and registry calls.
#include "app/code_page.h"
#include "app/platform.h"
#include "fake_device_library.h"
#include "scan/device_scan.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kSerialLine = "Número de Serie =";
const std::string kPortLine = "Número de Puerto COM: ";

struct Scan : testing::Test, ScanRig {
    std::string Run() { return Utf8(FillDeviceList(platform, state)); }
    void AddDevice(std::int32_t vid, std::int32_t pid, std::string serial) {
        devices.Devices.push_back(FakeDevice{vid, pid, std::move(serial), {}, {}});
    }
};

TEST_F(Scan, NoDeviceGivesTwoLineBreaks) {
    EXPECT_EQ(Run(), "\r\n\r\n");
    EXPECT_EQ(devices.Journal, std::vector<std::string>{"Count -> 0"});
    EXPECT_EQ(registry.CallCount, 0u);
}

TEST_F(Scan, OneDeviceReportByteForByte) {
    AddDevice(0x5E1A, 0xB007, "ABC123");
    AddXPPort(registry, "Vid_5e1a&Pid_b007&Mi_00\\ABC123_00", "COM4");
    EXPECT_EQ(Run(), kSerialLine + "ABC123\r\n" + kPortLine + " 4\r\n\r\n\r\n\r\n");
}

TEST_F(Scan, TwoDevicesInIndexOrderWithLibraryCallsInOrder) {
    AddDevice(0x5E1A, 0xB007, "FIRST");
    AddDevice(0x5E1A, 0xB007, "SECOND");
    AddXPPort(registry, "Vid_5e1a&Pid_b007&Mi_00\\FIRST_00", "COM3");
    AddXPPort(registry, "Vid_5e1a&Pid_b007&Mi_00\\SECOND_00", "COM7");
    EXPECT_EQ(Run(), kSerialLine + "FIRST\r\n" + kPortLine + " 3\r\n\r\n" + kSerialLine + "SECOND\r\n" + kPortLine +
                         " 7\r\n\r\n\r\n\r\n");
    EXPECT_EQ(devices.Journal, (std::vector<std::string>{"Count -> 0", "Open 0 -> 0", "Vid 0 -> 0", "Pid 0 -> 0",
                                                         "Serial 0 ascii=1 -> 0", "Close 0", "Open 1 -> 0", "Vid 1 -> 0",
                                                         "Pid 1 -> 0", "Serial 1 ascii=1 -> 0", "Close 1"}));
    EXPECT_EQ(version.Calls, 2);
    EXPECT_EQ(registry.OpenKeyCount(), 1u);
    EXPECT_FALSE(state.DeviceOpen);
    EXPECT_EQ(state.NumDevices, 2);
}

struct VersionCase {
    const char* name;
    std::uint32_t version;
    std::string portText;
};

class ScanOnVersion : public Scan, public testing::WithParamInterface<VersionCase> {};

// Every NT version from 5 up keeps the 2000/XP layout; NT 4 has neither layout.
TEST_P(ScanOnVersion, PicksTheRegistryLayout) {
    version.Value = GetParam().version;
    AddDevice(0x5E1A, 0xB007, "S1");
    AddDevice(0x5E1A, 0xB007, "S2");
    AddXPPort(registry, "Vid_5e1a&Pid_b007&Mi_00\\S1_00", "COM3");
    AddXPPort(registry, "Vid_5e1a&Pid_b007&Mi_00\\S2_00", "COM3");
    Add98Instance(registry, "0000", "USB\\VID_5E1A&PID_B007&MI_00\\S1_00", "COM8");
    Add98Instance(registry, "0001", "USB\\VID_5E1A&PID_B007&MI_00\\S2_00", "COM8");
    const std::string port = kPortLine + GetParam().portText + "\r\n\r\n";
    EXPECT_EQ(Run(), kSerialLine + "S1\r\n" + port + kSerialLine + "S2\r\n" + port + "\r\n\r\n");
}

INSTANTIATE_TEST_SUITE_P(Versions, ScanOnVersion,
                         testing::Values(VersionCase{"XP", kVersionXP, " 3"}, VersionCase{"Vista", kVersionVista, " 3"},
                                         VersionCase{"Windows10", kVersionWin10, " 3"},
                                         VersionCase{"Windows98", kVersion98, " 8"},
                                         VersionCase{"NT4", kVersionNT4, " 0"},
                                         VersionCase{"Win32s", 0x80000003, " 0"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Scan, DeviceThatFailsToOpenIsLookedUpEmptyAndNotClosed) {
    AddDevice(0x5E1A, 0xB007, "FIRST");
    AddDevice(0x5E1A, 0xB007, "SECOND");
    devices.Devices[0].Failures["Open"] = 4;
    AddXPPort(registry, "Vid_5e1a&Pid_b007&Mi_00\\SECOND_00", "COM7");
    EXPECT_EQ(Run(), kPortLine + "-1\r\n\r\n" + kSerialLine + "SECOND\r\n" + kPortLine + " 7\r\n\r\n\r\n\r\n");
    EXPECT_EQ(registry.Journal.at(2), "open Vid_0000&Pid_0000&Mi_00\\_00 -> 2");
    EXPECT_EQ(std::count(devices.Journal.begin(), devices.Journal.end(), "Close 0"), 0);
}

struct ReadFailureCase {
    const char* call;
    std::vector<std::string> secondDeviceCalls;
};

class ScanReadFailure : public Scan, public testing::WithParamInterface<ReadFailureCase> {};

// A device whose read fails finds no port, never the port of the device read before it,
// and is closed exactly once before its lookup.
TEST_P(ScanReadFailure, FailedDeviceShowsNoPortAndIsClosedOnce) {
    AddDevice(0x5E1A, 0xB007, "FIRST");
    AddDevice(0x5E1A, 0xB008, "SECOND");
    devices.Devices[1].Failures[GetParam().call] = 9;
    AddXPPort(registry, "Vid_5e1a&Pid_b007&Mi_00\\FIRST_00", "COM3");
    AddXPPort(registry, "Vid_5e1a&Pid_b008&Mi_00\\FIRST_00", "COM5");
    AddXPPort(registry, "Vid_5e1a&Pid_b007&Mi_00\\_00", "COM6");
    version.OnCall = [this] { EXPECT_TRUE(devices.OpenDevices.empty()) << "device open during its lookup"; };

    EXPECT_EQ(Run(), kSerialLine + "FIRST\r\n" + kPortLine + " 3\r\n\r\n" + kPortLine + "-1\r\n\r\n\r\n\r\n");
    const std::vector<std::string> second(devices.Journal.begin() + 6, devices.Journal.end());
    EXPECT_EQ(second, GetParam().secondDeviceCalls);
    EXPECT_EQ(state.LastStatus, 9);
    EXPECT_FALSE(state.DeviceOpen);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, ScanReadFailure,
    testing::Values(ReadFailureCase{"Vid", {"Open 1 -> 0", "Vid 1 -> 9", "Close 1"}},
                    ReadFailureCase{"Pid", {"Open 1 -> 0", "Vid 1 -> 0", "Pid 1 -> 9", "Close 1"}},
                    ReadFailureCase{"Serial", {"Open 1 -> 0", "Vid 1 -> 0", "Pid 1 -> 0", "Serial 1 ascii=1 -> 9", "Close 1"}}),
    [](const auto& info) { return std::string(info.param.call); });

TEST_F(Scan, SerialIsShownAsReadWhileTheLookupUsesItsRegistrySpelling) {
    AddDevice(0x5E1A, 0xB007, "AB 12");
    AddXPPort(registry, "Vid_5e1a&Pid_b007&Mi_00\\AB_12_00", "COM12");
    EXPECT_EQ(Run(), kSerialLine + "AB 12\r\n" + kPortLine + " 12\r\n\r\n\r\n\r\n");
}

TEST_F(Scan, EmptySerialGivesBareLabel) {
    AddDevice(0x5E1A, 0xB007, "");
    EXPECT_EQ(Run(), kSerialLine + "\r\n" + kPortLine + "-1\r\n\r\n\r\n\r\n");
}

TEST_F(Scan, SerialBytesGoThroughTheCodePageAndZeroBytesStay) {
    AddDevice(0x5E1A, 0xB007, std::string("\xFA\x80\0Z", 4));
    EXPECT_EQ(Run(), kSerialLine + "ú€" + std::string(1, '\0') + "Z\r\n" + kPortLine + "-1\r\n\r\n\r\n\r\n");
}

TEST_F(Scan, RepeatedScansGiveTheSameReport) {
    AddDevice(0x5E1A, 0xB007, "ABC");
    AddXPPort(registry, "Vid_5e1a&Pid_b007&Mi_00\\ABC_00", "COM4");
    const std::string first = Run();
    EXPECT_EQ(Run(), first);
    devices.Devices.clear();
    EXPECT_EQ(Run(), "\r\n\r\n");
}

struct LengthCase {
    std::int32_t reported;
    std::size_t shown;
};

class ScanSerialLength : public Scan, public testing::WithParamInterface<LengthCase> {};

TEST_P(ScanSerialLength, ReportedLengthIsKeptInsideTheBuffer) {
    devices.Devices.push_back(FakeDevice{0x5E1A, 0xB007, std::string(64, 'K'), GetParam().reported, {}});
    EXPECT_EQ(Run(), kSerialLine + std::string(GetParam().shown, 'K') + "\r\n" + kPortLine + "-1\r\n\r\n\r\n\r\n");
}

INSTANTIATE_TEST_SUITE_P(Lengths, ScanSerialLength,
                         testing::Values(LengthCase{-1, 0}, LengthCase{0, 0}, LengthCase{5, 5}, LengthCase{64, 64},
                                         LengthCase{65, 64}, LengthCase{1000, 64}, LengthCase{INT32_MAX, 64}));

struct CountCase {
    std::int32_t count;
    std::int16_t countStatus;
    std::size_t opens;
};

class ScanCount : public Scan, public testing::WithParamInterface<CountCase> {};

// The count is used as the library reports it, whatever the status, up to the cap.
TEST_P(ScanCount, WalksTheReportedCount) {
    AddDevice(0x5E1A, 0xB007, "ONLY");
    devices.Count = GetParam().count;
    devices.CountStatus = GetParam().countStatus;
    const std::string report = Run();
    EXPECT_EQ(std::count(devices.Journal.begin(), devices.Journal.end(), "Open 0 -> 0"), GetParam().opens > 0 ? 1 : 0);
    std::size_t opens = 0;
    for (const std::string& line : devices.Journal) opens += line.rfind("Open ", 0) == 0;
    EXPECT_EQ(opens, GetParam().opens);
    EXPECT_EQ(static_cast<std::size_t>(version.Calls), GetParam().opens);
    EXPECT_EQ(state.NumDevices, GetParam().count);
    EXPECT_TRUE(report.ends_with("\r\n\r\n\r\n\r\n") || GetParam().opens == 0);
}

INSTANTIATE_TEST_SUITE_P(Counts, ScanCount,
                         testing::Values(CountCase{-1, 0, 0}, CountCase{INT32_MIN, 0, 0}, CountCase{0, 0, 0},
                                         CountCase{1, 3, 1}, CountCase{3, 0, 3},
                                         CountCase{INT32_MAX, 0, static_cast<std::size_t>(kMaxDevices)}));

// A fault between open and close leaves the device to the unload step, which must close the
// full-width handle the library gave out, once.
TEST_F(Scan, UnloadClosesTheHandleAFaultLeftOpen) {
    AddDevice(0x5E1A, 0xB007, "ABC");
    devices.Devices[0].VidFaults = true;
    EXPECT_THROW(Run(), DeviceLibraryFault);
    ASSERT_TRUE(state.DeviceOpen);
    CloseDeviceLeftOpen(devices, state);
    CloseDeviceLeftOpen(devices, state);
    EXPECT_EQ(devices.Journal, (std::vector<std::string>{"Count -> 0", "Open 0 -> 0", "Close 0"}));
    EXPECT_TRUE(devices.OpenDevices.empty());
}

TEST_F(Scan, MissingDevicesOfTheCountShowNoPort) {
    devices.Count = 2;
    EXPECT_EQ(Run(), kPortLine + "-1\r\n\r\n" + kPortLine + "-1\r\n\r\n\r\n\r\n");
    EXPECT_EQ(state.LastStatus, 2);
}

}  // namespace
