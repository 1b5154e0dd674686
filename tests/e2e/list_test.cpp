// ListaVIRK.exe under Wine as a script runs it: each form's bytes, its errors and exit code, every device closed.
#include "harness.h"

namespace e2e {
namespace {

// Adapters AB 12 and CD with their ports on both layouts (AB 12's 98 instance past one whose id overflows the
// buffer), W1 of another product id, and, in three forms, a fourth whose product id cannot be read. On 2000 and
// later CD's port is the one Windows lists as present, with its location, over its older record left behind; W1's
// is the one port device of its vid and pid under an ID made up from the USB socket, unless an adapter that could
// not be read may be the one in that socket.
const std::string kReadable = "1a2b c3d4 AB%2012\n1a2b c3d4 CD\n1a2b c3d5 W1\n";
const std::string kDevices = kReadable + "1a2b c3d4 EF pid=3\n";

struct ListCase {
    const char* name;
    const char* version;
    std::wstring arguments;
    std::string out;
    int exitCode;
    std::string devices = kDevices;
};

void PrintTo(const ListCase& c, std::ostream* out) { *out << c.name; }

class ListaVIRK : public testing::TestWithParam<ListCase> {};

TEST_P(ListaVIRK, WritesItsFormAfterAWholeScan) {
    const ListCase& c = GetParam();
    TestKeys keys;
    keys.Version(c.version);
    SetPortXP("AB_12", "COM3\0"s);
    SetPortXP("CD", "COM7\0"s);
    SetInstance98("0000", std::string(120, 'X'), "COM2");
    SetInstance98("0001", Id98("AB_12"), "COM4");
    SetInstance98("0002", Id98("CD"), "COM8");
    RecordPort("USB\\VID_1A2B&PID_C3D4\\CD", "COM9", "Port_#0002.Hub_#0003");
    RecordPort(kMadeUpPort, "COM30", "Port_#0004.Hub_#0001");
    Program program(BUSCA_STAND_IN_FILE, BUSCA_LIST_FILE);
    program.Devices(c.devices);
    ASSERT_NO_FATAL_FAILURE(program.Start({.arguments = c.arguments, .captured = true}));
    EXPECT_EQ(program.WaitForExit(20s), DWORD(c.exitCode));
    EXPECT_EQ(program.Output(), c.out);
    EXPECT_EQ(program.Errors(), "");
    const std::vector<std::string> journal = program.Journal();
    EXPECT_TRUE(CallsArePaired(journal));
    EXPECT_EQ(std::ranges::count_if(journal, [](const std::string& line) { return line.starts_with("Close "); }),
              std::ranges::count(c.devices, '\n'));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ListaVIRK,
    testing::Values(
        ListCase{"Plain", "winxp", L"", "COM3\tAB 12\r\nCOM9\tCD\r\n-\tW1\r\n-\t\r\n", 0},
        ListCase{"Json98", "win98", L"/JSON",
                 "[\r\n"
                 R"(  {"puerto": 4, "serie": "AB 12", "vid": "1A2B", "pid": "C3D4", "ubicacion": null},)" "\r\n"
                 R"(  {"puerto": 8, "serie": "CD", "vid": "1A2B", "pid": "C3D4", "ubicacion": null},)" "\r\n"
                 R"(  {"puerto": null, "serie": "W1", "vid": "1A2B", "pid": "C3D5", "ubicacion": null},)" "\r\n"
                 R"(  {"puerto": null, "serie": null, "vid": null, "pid": null, "ubicacion": null})" "\r\n]\r\n", 0},
        ListCase{"Csv", "winxp", L"-csv",
                 "puerto,serie,vid,pid,ubicacion\r\n3,AB 12,1A2B,C3D4,\r\n9,CD,1A2B,C3D4,Port_#0002.Hub_#0003\r\n"
                 "30,W1,1A2B,C3D5,Port_#0004.Hub_#0001\r\n", 0, kReadable},
        ListCase{"Serie", "winxp", L"--serie \"AB 12\"", "COM3\r\n", 0},
        // Already there: answered after the first scan.
        ListCase{"Esperar", "winxp", L"/esperar", "COM3\tAB 12\r\nCOM9\tCD\r\nCOM30\tW1\r\n", 0, kReadable},
        ListCase{"EsperarSerie", "winxp", L"/esperar W1 /segundos 5", "COM30\r\n", 0, kReadable}),
    [](const testing::TestParamInfo<ListCase>& test) { return test.param.name; });

// A library missing or lacking a function: one Spanish line on standard error naming it, nothing on standard
// output, exit code 3. A stand-in in the current folder is not the program's: it is never loaded.
TEST(ListaVIRKBrokenLibrary, SaysWhatIsMissingAndEndsWithThree) {
    TestKeys keys;
    for (const auto& [library, named] : {std::pair<const char*, std::string>(nullptr, "\"BuscaVIRK.dll\""),
                                         std::pair<const char*, std::string>(BUSCA_WITHOUT_CLOSE_FILE, "\"CP210x_Close\"")}) {
        Program program(library, BUSCA_LIST_FILE);
        fs::create_directory(program.folder / L"elsewhere");
        fs::copy_file(BuildFile(BUSCA_STAND_IN_FILE), program.folder / L"elsewhere" / L"BuscaVIRK.dll");
        ASSERT_NO_FATAL_FAILURE(program.Start({.currentFolder = program.folder / L"elsewhere", .captured = true}));
        EXPECT_EQ(program.WaitForExit(20s), 3u);
        EXPECT_EQ(program.Output(), "");
        const std::string errors = program.Errors();
        EXPECT_NE(errors.find(named), std::string::npos) << errors;
        if (library == nullptr) { EXPECT_NE(errors.find("carpeta de ListaVIRK.exe"), std::string::npos) << errors; }
        EXPECT_TRUE(errors.ends_with(".\r\n") && std::ranges::count(errors, '\n') == 1) << errors;
        EXPECT_FALSE(fs::exists(program.folder / L"journal.txt"));
    }
}

}  // namespace
}  // namespace e2e
