// ListaVIRK.exe under Wine as a script runs it: each form's bytes, its errors and exit code, every device closed.
#include "harness.h"

namespace e2e {
namespace {

// Adapters AB 12 and CD with their ports, W1 of another product id, a fourth whose product id cannot be read, two
// of one serial and one with no port at all. CD's port is the one Windows lists as present, with its location,
// over its older record left behind; W1's is the one port device of its vid and pid under an ID made up from the
// USB socket, unless an adapter that could not be read may be the one in that socket.
const std::string kDevices =
    "1a2b c3d4 AB%2012\n1a2b c3d4 CD\n1a2b c3d5 W1\n1a2b c3d4 EF pid=3\n1a2b c3d4 GH\n1a2b c3d4 GH\n1a2b c3d4 XY\n";

// The JSON object of an adapter of 1a2b read whole: its port, location and reason as JSON writes them.
std::string Object(const std::string& port, const std::string& serial, const std::string& pid,
                   const std::string& location, const std::string& reason) {
    return R"(  {"puerto": )" + port + R"(, "serie": ")" + serial + R"(", "vid": "1A2B", "pid": ")" + pid +
           R"(", "ubicacion": )" + location + R"(, "motivo": )" + reason + R"(, "problema": null})";
}

struct ListCase {
    const char* name;
    std::wstring arguments;
    std::string out;
    int exitCode;
};

void PrintTo(const ListCase& c, std::ostream* out) { *out << c.name; }

class ListaVIRK : public testing::TestWithParam<ListCase> {};

TEST_P(ListaVIRK, WritesItsFormAfterAWholeScan) {
    const ListCase& c = GetParam();
    TestKeys keys;
    SetPortXP("AB_12", "COM3\0"s);
    SetPortXP("CD", "COM7\0"s);
    RecordPort("USB\\VID_1A2B&PID_C3D4\\CD", "COM9", "Port_#0002.Hub_#0003");
    RecordPort(kMadeUpPort, "COM30", "Port_#0004.Hub_#0001");
    Program program(BUSCA_STAND_IN_FILE, BUSCA_LIST_FILE);
    program.Devices(kDevices);
    ASSERT_NO_FATAL_FAILURE(program.Start({.arguments = c.arguments, .captured = true}));
    EXPECT_EQ(program.WaitForExit(20s), DWORD(c.exitCode));
    EXPECT_EQ(program.Output(), c.out);
    EXPECT_EQ(program.Errors(), "");
    const std::vector<std::string> journal = program.Journal();
    EXPECT_TRUE(CallsArePaired(journal));
    EXPECT_EQ(std::ranges::count_if(journal, [](const std::string& line) { return line.starts_with("Close "); }),
              std::ranges::count(kDevices, '\n'));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ListaVIRK,
    testing::Values(
        ListCase{"Plain", L"",
                 "COM3\tAB 12\r\nCOM9\tCD\r\n-\tW1\tWindows no usa su número de serie y no se sabe cuál es su puerto\r\n"
                 "-\t\tno se pudo leer (otro programa puede tener abierto su puerto)\r\n"
                 "-\tGH\totro adaptador tiene el mismo número de serie\r\n-\tGH\totro adaptador tiene el mismo número de serie\r\n"
                 "-\tXY\tWindows no le ha dado un puerto (falta el controlador o no ha terminado)\r\n", 0},
        ListCase{"Json", L"/JSON",
                 "[\r\n" + Object("3", "AB 12", "C3D4", "null", "null") + ",\r\n" +
                 Object("9", "CD", "C3D4", R"("Port_#0002.Hub_#0003")", "null") + ",\r\n" +
                 Object("null", "W1", "C3D5", "null", R"("sin_serie_propia")") + ",\r\n" +
                 R"(  {"puerto": null, "serie": null, "vid": null, "pid": null, "ubicacion": null, "motivo": "sin_leer", "problema": null},)" "\r\n" +
                 Object("null", "GH", "C3D4", "null", R"("serie_repetida")") + ",\r\n" +
                 Object("null", "GH", "C3D4", "null", R"("serie_repetida")") + ",\r\n" +
                 Object("null", "XY", "C3D4", "null", R"("sin_puerto")") + "\r\n]\r\n", 0},
        ListCase{"Csv", L"-csv",
                 "puerto,serie,vid,pid,ubicacion,motivo,problema\r\n3,AB 12,1A2B,C3D4,,,\r\n9,CD,1A2B,C3D4,Port_#0002.Hub_#0003,,\r\n"
                 ",W1,1A2B,C3D5,,sin_serie_propia,\r\n,,,,,sin_leer,\r\n,GH,1A2B,C3D4,,serie_repetida,\r\n"
                 ",GH,1A2B,C3D4,,serie_repetida,\r\n,XY,1A2B,C3D4,,sin_puerto,\r\n", 0},
        ListCase{"Serie", L"--serie \"AB 12\"", "COM3\r\n", 0}),
    [](const testing::TestParamInfo<ListCase>& test) { return test.param.name; });

// A library that lacks a function: one Spanish line on standard error naming it, nothing on standard output, exit
// code 3, no call made. (Where it is missing, the window's test shows the current folder is not searched.)
TEST(ListaVIRKBrokenLibrary, SaysWhatIsMissingAndEndsWithThree) {
    TestKeys keys;
    Program program(BUSCA_WITHOUT_CLOSE_FILE, BUSCA_LIST_FILE);
    ASSERT_NO_FATAL_FAILURE(program.Start({.captured = true}));
    EXPECT_EQ(program.WaitForExit(20s), 3u);
    EXPECT_EQ(program.Output(), "");
    EXPECT_EQ(program.Errors(), "La biblioteca \"BuscaVIRK.dll\" no contiene la función \"CP210x_Close\".\r\n");
    EXPECT_FALSE(fs::exists(program.folder / L"journal.txt"));
}

}  // namespace
}  // namespace e2e
