// The report the window shows after its first scan, for the registry layout Wine's version asks for.
#include "window_fixture.h"

#include <utility>

namespace window_test {
namespace {

using namespace std::string_literals;

class FirstReport : public WindowTest {
protected:
    // Launches, then ends the program from its close box so every test sees a whole run.
    void Close() {
        PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(program_->WaitForExit(), 0u);
        EXPECT_TRUE(CallsArePaired(program_->Journal()));
    }
};

TEST_F(FirstReport, NoDeviceGivesTwoLineBreaks) {
    registry_.SetWineVersion("winxp");
    ASSERT_NO_FATAL_FAILURE(Launch(""));
    EXPECT_EQ(Report(), L"\r\n\r\n");
    EXPECT_EQ(program_->Journal(), std::vector<std::string>{"GetNumDevices -> status=0 count=0"});
    Close();
}

TEST_F(FirstReport, TwoDevicesOnWindowsXPAtCom3AndCom7) {
    registry_.SetWineVersion("winxp");
    registry_.SetPortXP("AB_12", "COM3");
    registry_.SetPortXP("CD", "COM7");
    ASSERT_NO_FATAL_FAILURE(Launch("1a2b c3d4 AB%2012\n1a2b c3d4 CD\n"));
    EXPECT_EQ(Report(), ReportOf({DeviceLines(L"AB 12", 3), DeviceLines(L"CD", 7)}));
    EXPECT_EQ(program_->Journal(), Joined({{"GetNumDevices -> status=0 count=2"},
                                           GoodDeviceCalls(0, "1a2b", "c3d4", "AB%2012", 5),
                                           GoodDeviceCalls(1, "1a2b", "c3d4", "CD", 2)}));
    Close();
}

TEST_F(FirstReport, PortNameWithoutTerminatorKeepsItsLastDigit) {
    registry_.SetWineVersion("winxp");
    registry_.SetPortXPBytes("EF", "COM12", REG_BINARY);
    ASSERT_NO_FATAL_FAILURE(Launch("1a2b c3d4 EF\n"));
    EXPECT_EQ(Report(), ReportOf({DeviceLines(L"EF", 12)}));
    Close();
}

// Devices whose library calls fail, on Windows XP where the serial AB 12 sits on COM3.
struct FailureCase {
    const char* name;
    const char* devices;
    std::wstring report;
    std::vector<std::string> journal;
};

void PrintTo(const FailureCase& failure, std::ostream* out) { *out << failure.name; }

class FailingDevices : public FirstReport, public testing::WithParamInterface<FailureCase> {};

TEST_P(FailingDevices, ShowOnlyAPortLineOfTheirOwn) {
    registry_.SetWineVersion("winxp");
    registry_.SetPortXP("AB_12", "COM3");
    ASSERT_NO_FATAL_FAILURE(Launch(GetParam().devices));
    EXPECT_EQ(Report(), GetParam().report);
    EXPECT_EQ(program_->Journal(), GetParam().journal);
    Close();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailingDevices,
    testing::Values(
        FailureCase{"PidReadFails", "1a2b c3d4 AB%2012 pid=3\n", ReportOf({PortLine(-1)}),
                    {"GetNumDevices -> status=0 count=1", "Open index=0 -> status=0 " + HandleOf(0),
                     "GetDeviceVid " + HandleOf(0) + " -> status=0 vid=0x1a2b", "GetDevicePid " + HandleOf(0) + " -> status=3",
                     "Close " + HandleOf(0) + " -> status=0"}},
        // Each device starts from an empty identity: never the port of the device before it.
        FailureCase{"ReadsFailAfterAGoodDevice", "1a2b c3d4 AB%2012\n1a2b c3d4 AB%2012 serial=4\n",
                    ReportOf({DeviceLines(L"AB 12", 3), PortLine(-1)}),
                    Joined({{"GetNumDevices -> status=0 count=2"}, GoodDeviceCalls(0, "1a2b", "c3d4", "AB%2012", 5),
                            {"Open index=1 -> status=0 " + HandleOf(1), "GetDeviceVid " + HandleOf(1) + " -> status=0 vid=0x1a2b",
                             "GetDevicePid " + HandleOf(1) + " -> status=0 pid=0xc3d4",
                             "GetDeviceSerialNumber " + HandleOf(1) + " ascii=1 -> status=4", "Close " + HandleOf(1) + " -> status=0"}})},
        // A device that did not open is not closed.
        FailureCase{"OpenFailsBeforeAGoodDevice", "1a2b c3d4 XY open=7\n1a2b c3d4 AB%2012\n",
                    ReportOf({PortLine(-1), DeviceLines(L"AB 12", 3)}),
                    Joined({{"GetNumDevices -> status=0 count=2", "Open index=0 -> status=7"},
                            GoodDeviceCalls(1, "1a2b", "c3d4", "AB%2012", 5)})}),
    [](const testing::TestParamInfo<FailureCase>& test) { return test.param.name; });

// The Windows 98 layout: instance keys Enum\SLABCR\guid\000<n> walked from 0000 until one is missing.
struct Instance {
    std::string name;
    std::string lowerDeviceId;
    std::string portName;
};

struct Layout98Case {
    const char* name;
    std::vector<Instance> instances;
    int port;
};

const std::string kId = "USB\\VID_1A2B&PID_C3D4&MI_00\\AB_12_00";
const std::string kOtherId = "USB\\VID_1A2B&PID_C3D4&MI_00\\ZZ_00";

std::vector<Instance> OthersThenMatch(int others, const std::string& matchName) {
    std::vector<Instance> instances;
    for (int n = 0; n < others; ++n) instances.push_back({"000" + std::to_string(n), kOtherId, "COM2"});
    instances.push_back({matchName, kId, "COM11"});
    return instances;
}

void PrintTo(const Layout98Case& layout, std::ostream* out) { *out << layout.name; }

class Windows98Layout : public FirstReport, public testing::WithParamInterface<Layout98Case> {};

TEST_P(Windows98Layout, FindsThePortOfTheMatchingInstance) {
    registry_.SetWineVersion("win98");
    for (const Instance& instance : GetParam().instances)
        registry_.SetInstance98(instance.name, instance.lowerDeviceId, instance.portName);
    // The lookup compares upper-case ids; the report shows the serial as the device gave it.
    ASSERT_NO_FATAL_FAILURE(Launch("1a2b c3d4 ab%2012\n"));
    EXPECT_EQ(Report(), ReportOf({DeviceLines(L"ab 12", GetParam().port)}));
    Close();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Windows98Layout,
    testing::Values(Layout98Case{"OneMatch", {{"0000", kOtherId, "COM2"}, {"0001", kId, "COM4"}}, 4},
                    Layout98Case{"LastMatchWins", {{"0000", kId, "COM4"}, {"0001", kOtherId, "COM2"}, {"0002", kId, "COM9"}}, 9},
                    Layout98Case{"GapEndsTheWalk", {{"0000", kOtherId, "COM2"}, {"0002", kId, "COM5"}}, -1},
                    Layout98Case{"NoInstanceAtAll", {}, -1},
                    Layout98Case{"TenthInstanceIsNamed00010", OthersThenMatch(10, "00010"), 11}),
    [](const testing::TestParamInfo<Layout98Case>& test) { return test.param.name; });

// One adapter entered in both layouts with different ports: the port shown tells which was read.
struct VersionCase {
    const char* version;
    int port;
};

void PrintTo(const VersionCase& version, std::ostream* out) { *out << version.version; }

class WindowsVersion : public FirstReport, public testing::WithParamInterface<VersionCase> {};

TEST_P(WindowsVersion, PicksTheRegistryLayout) {
    registry_.SetWineVersion(GetParam().version);
    registry_.SetPortXP("AB_12", "COM3");
    registry_.SetInstance98("0000", kId, "COM8");
    ASSERT_NO_FATAL_FAILURE(Launch("1a2b c3d4 AB%2012\n"));
    EXPECT_EQ(Report(), ReportOf({DeviceLines(L"AB 12", GetParam().port)}));
    Close();
}

INSTANTIATE_TEST_SUITE_P(Versions, WindowsVersion,
                         // NT 4.0 is neither layout: no lookup, and the port stays 0.
                         testing::Values(VersionCase{"winxp", 3}, VersionCase{"win98", 8}, VersionCase{"win10", 3},
                                         VersionCase{"nt40", 0}),
                         [](const testing::TestParamInfo<VersionCase>& test) { return std::string(test.param.version); });

}  // namespace
}  // namespace window_test
