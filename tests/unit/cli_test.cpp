// ListaVIRK's command line and its three listings, from whole scans through the fakes to the bytes it writes.
#include "app/library_fault_text.h"
#include "cli/arguments.h"
#include "cli/listed_scan.h"
#include "cli/listing.h"
#include "cli/messages.h"
#include "cli/utf8.h"
#include "fakes.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

struct ArgumentsCase {
    std::vector<std::string> arguments;
    std::optional<ListAction> action;  // none: refused
    std::optional<std::string> serial = {};
    std::uint32_t seconds = 0;
};

const ArgumentsCase kArguments[] = {
    {{}, ListAction::Plain},
    {{"--json"}, ListAction::Json},
    {{"-json"}, ListAction::Json},
    {{"/JSON"}, ListAction::Json},
    {{"-CSV"}, ListAction::Csv},
    {{"/csv"}, ListAction::Csv},
    {{"--Serie", "XK-4471"}, ListAction::Serie, "XK-4471"},
    {{"/serie", "-json"}, ListAction::Serie, "-json"},
    {{"-serie", ""}, ListAction::Serie, ""},
    {{"/?"}, ListAction::Help},
    {{"-h"}, ListAction::Help},
    {{"--AYUDA"}, ListAction::Help},
    {{"/version"}, ListAction::Version},
    {{"--serie"}, {}},
    {{"--json", "--csv"}, {}},
    {{"--json", "--json"}, {}},
    {{"/serie", "A", "/json"}, {}},
    {{"--lista"}, {}},
    {{"json"}, {}},
    {{"--"}, {}},
    {{"/"}, {}},
    {{"---json"}, {}},
    // The word after "esperar" is its serial unless it names an option; "segundos" only beside "esperar".
    {{"/esperar"}, ListAction::Esperar},
    {{"-Esperar", "XK-4471"}, ListAction::Esperar, "XK-4471"},
    {{"/esperar", "-AB"}, ListAction::Esperar, "-AB"},
    {{"/esperar", ""}, ListAction::Esperar, ""},
    {{"/esperar", "XK-4471", "/segundos", "60"}, ListAction::Esperar, "XK-4471", 60},
    {{"/esperar", "--SEGUNDOS", "1"}, ListAction::Esperar, {}, 1},
    {{"/segundos", "86400", "/esperar", "X"}, ListAction::Esperar, "X", 86400},
    {{"/esperar", "/segundos", "00007"}, ListAction::Esperar, {}, 7},
    {{"/esperar", "/segundos", "000007"}, {}},
    {{"/esperar", "/segundos", "86401"}, {}},
    {{"/esperar", "/segundos", "0"}, {}},
    {{"/esperar", "/segundos", "-5"}, {}},
    {{"/esperar", "/segundos", "1e3"}, {}},
    {{"/esperar", "/segundos", ""}, {}},
    {{"/esperar", "/segundos"}, {}},
    {{"/esperar", "/segundos", "5", "/segundos", "5"}, {}},
    {{"/segundos", "5"}, {}},
    {{"/vigilar", "/segundos", "5"}, {}},
    {{"/esperar", "/json"}, {}},
    {{"/esperar", "X", "Y"}, {}},
    {{"/Vigilar"}, ListAction::Vigilar},
    {{"/vigilar", "X"}, {}},
};

TEST(Arguments, OneOptionInAnyPrefixAndCase) {
    for (const ArgumentsCase& c : kArguments) {
        const auto command = ParseArguments(c.arguments);
        const std::string line = testing::PrintToString(c.arguments);
        ASSERT_EQ(command.has_value(), c.action.has_value()) << line;
        if (!command) continue;
        EXPECT_EQ(command->Action, *c.action) << line;
        EXPECT_EQ(command->Serial, c.serial) << line;
        EXPECT_EQ(command->Seconds, c.seconds) << line;
    }
}

const std::string kUsb = "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_5e1a&Pid_b007&Mi_00\\";

// A whole scan on the 2000/XP layout (or another version word) and the bytes each form writes.
struct ListingCase {
    const char* name;
    std::vector<FakeDevice> devices;
    std::vector<std::pair<std::string, std::string>> ports;  // serial as the key names it, "PortName" bytes
    std::string plain, json, csv;
    int exitCode = kExitListed;
    std::optional<std::int32_t> count = {};
    std::uint32_t version = 0x0A280105;
    std::vector<PresentPort> present = {};
    std::map<std::string, std::uint32_t> problems = {};  // by instance ID
};

std::string Repeat(const std::string& text, int times) {
    std::string all;
    while (times-- > 0) all += text;
    return all;
}

const std::string kHeader = "puerto,serie,vid,pid,ubicacion,motivo,problema\r\n";
const std::string kUnreadObject =
    R"(  {"puerto": null, "serie": null, "vid": null, "pid": null, "ubicacion": null, "motivo": "sin_leer", "problema": null})";
const std::string kSharedObject =
    R"(  {"puerto": null, "serie": "S", "vid": "5E1A", "pid": "B007", "ubicacion": null, "motivo": "serie_repetida", "problema": null})";
// The plain form's third field for each reason.
const std::string kUnread = "\tno se pudo leer (otro programa puede tener abierto su puerto)";
const std::string kNoPort = "\tWindows no le ha dado un puerto (falta el controlador o no ha terminado)";

const ListingCase kListings[] = {
    {"NoAdapter", {}, {}, "", "[]\r\n", kHeader, kExitNothing},
    {"KnownAndUnknownPorts",
     {{.Serial = "AB 12"}, {.Vid = 0xABC, .Pid = 0x12345, .Serial = "CD"}},
     {{"AB_12", "COM3\0"s}},
     "COM3\tAB 12\r\n-\tCD" + kNoPort + "\r\n",
     "[\r\n" R"(  {"puerto": 3, "serie": "AB 12", "vid": "5E1A", "pid": "B007", "ubicacion": null, "motivo": null, "problema": null},)" "\r\n"
     R"(  {"puerto": null, "serie": "CD", "vid": "0ABC", "pid": "12345", "ubicacion": null, "motivo": "sin_puerto", "problema": null})" "\r\n]\r\n",
     kHeader + "3,AB 12,5E1A,B007,,,\r\n,CD,0ABC,12345,,sin_puerto,\r\n"},
    // Port 0 (a name without a number) is no port.
    {"PortZeroIsUnknown", {{.Serial = "S1"}}, {{"S1", "COMX\0"s}}, "-\tS1" + kNoPort + "\r\n",
     "[\r\n" R"(  {"puerto": null, "serie": "S1", "vid": "5E1A", "pid": "B007", "ubicacion": null, "motivo": "sin_puerto", "problema": null})" "\r\n]\r\n",
     kHeader + ",S1,5E1A,B007,,sin_puerto,\r\n"},
    // A device whose open or a read failed has no identity, whatever the lookup on an empty one found.
    {"ReadsFail",
     {{.Serial = "S1", .Failures = {{"Serial", 4}}}, {.Serial = "S2", .Failures = {{"Vid", 9}}}},
     {{"", "COM5\0"s}},
     Repeat("-\t" + kUnread + "\r\n", 2), "[\r\n" + kUnreadObject + ",\r\n" + kUnreadObject + "\r\n]\r\n",
     kHeader + Repeat(",,,,,sin_leer,\r\n", 2)},
    // Bytes through Windows-1252, a zero byte as U+FFFD; in the plain form no TAB, CR or LF either.
    {"SerialBytes",
     {{.Serial = "a\"b,c\\\0\x80\xE9\r\n\t\x01"s}},
     {},
     "-\ta\"b,c\\\xEF\xBF\xBD\xE2\x82\xAC\xC3\xA9\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\x01" + kNoPort + "\r\n",
     "[\r\n" R"(  {"puerto": null, "serie": "a\"b,c\\)" "\xEF\xBF\xBD\xE2\x82\xAC\xC3\xA9" R"(\r\n\t\u0001", "vid": "5E1A", "pid": "B007", "ubicacion": null, "motivo": "sin_puerto", "problema": null})"
     "\r\n]\r\n",
     kHeader + ",\"a\"\"b,c\\\xEF\xBF\xBD\xE2\x82\xAC\xC3\xA9\r\n\t\x01\",5E1A,B007,,sin_puerto,\r\n"},
    // No lookup on this Windows: no port.
    {"NT4", {{.Serial = "AB 12"}}, {{"AB_12", "COM3\0"s}}, "-\tAB 12\testa versión de Windows no permite buscar el puerto\r\n",
     "[\r\n" R"(  {"puerto": null, "serie": "AB 12", "vid": "5E1A", "pid": "B007", "ubicacion": null, "motivo": "sin_consulta", "problema": null})" "\r\n]\r\n",
     kHeader + ",AB 12,5E1A,B007,,sin_consulta,\r\n", kExitListed, {}, 0x05650004},
    {"CappedAt1024", {}, {}, Repeat("-\t" + kUnread + "\r\n", 1024),
     "[\r\n" + Repeat(kUnreadObject + ",\r\n", 1023) + kUnreadObject + "\r\n]\r\n",
     kHeader + Repeat(",,,,,sin_leer,\r\n", 1024), kExitListed, 100000},
    // A port device with a problem keeps its number; two adapters of one serial have none.
    {"ProblemAndSharedSerial", {{.Serial = "AB"}, {.Serial = "S"}, {.Serial = "S"}}, {},
     "COM4\tAB\tWindows indica un problema en el puerto (código 22)\r\n" +
         Repeat("-\tS\totro adaptador tiene el mismo número de serie\r\n", 2),
     "[\r\n" R"(  {"puerto": 4, "serie": "AB", "vid": "5E1A", "pid": "B007", "ubicacion": "Port_#0001", "motivo": null, "problema": 22},)" "\r\n" +
         kSharedObject + ",\r\n" + kSharedObject + "\r\n]\r\n",
     kHeader + "4,AB,5E1A,B007,Port_#0001,,22\r\n" + Repeat(",S,5E1A,B007,,serie_repetida,\r\n", 2), kExitListed, {}, 0x0A280105,
     {{"USB\\VID_5E1A&PID_B007\\AB", "", "COM4\0"s, "Port_#0001"}}, {{"USB\\VID_5E1A&PID_B007\\AB", 22}}},
};

TEST(Listing, EachFormWritesEveryAdapterInIndexOrder) {
    for (const ListingCase& c : kListings) {
        for (const auto& [action, expected] : {std::pair{ListAction::Plain, c.plain}, std::pair{ListAction::Json, c.json},
                                               std::pair{ListAction::Csv, c.csv}}) {
            SCOPED_TRACE(c.name + " "s + std::to_string(int(action)));
            ScanRig rig;
            rig.devices.Devices = c.devices;
            rig.devices.Count = c.count;
            rig.version.Value = c.version;
            for (const auto& [serial, port] : c.ports)
                rig.registry.SetValue(kUsb + serial + "_00\\Device Parameters", "PortName", port);
            rig.ports.Ports = c.present;
            rig.ports.Problems = c.problems;
            const ListOutput output = ListDevices({action}, ScanDevices(rig.platform, rig.state), rig.codePage);
            EXPECT_EQ(ToUtf8(output.Out), expected);
            EXPECT_EQ(output.Err, u"");
            EXPECT_EQ(output.ExitCode, c.exitCode);
            EXPECT_EQ(rig.Leftovers(), "");
        }
    }
}

// The first adapter whose serial, as shown, is exactly the one asked for.
TEST(Listing, SerieGivesThePortOfTheFirstExactMatch) {
    // The second XK-4471 is another product, so Windows tells the two apart.
    const std::vector<FakeDevice> devices = {{.Serial = "AB 12"}, {.Serial = "XK-4471"}, {.Serial = "ab"},
                                             {.Pid = 0x4471, .Serial = "XK-4471"}, {.Serial = "\xE9"}, {.Serial = "PR"}};
    const struct {
        std::string wanted, out, err;
        int exitCode;
    } kCases[] = {
        {"XK-4471", "COM7\r\n", "", kExitListed},
        {"\xE9", "COM9\r\n", "", kExitListed},
        {"AB 12", "", "El adaptador VIRK con el número de serie \"AB 12\" no tiene un puerto COM conocido: Windows no le ha "
                      "dado un puerto (falta el controlador o no ha terminado).\r\n", kExitNothing},
        // The port for the script, its problem for whoever reads.
        {"PR", "COM11\r\n", "COM11: Windows indica un problema en el puerto (código 10).\r\n", kExitListed},
        {"AB", "", "No hay ningún adaptador VIRK con el número de serie \"AB\".\r\n", kExitNothing},
        {"XK-447", "", "No hay ningún adaptador VIRK con el número de serie \"XK-447\".\r\n", kExitNothing},
        {"", "", "No hay ningún adaptador VIRK con el número de serie \"\".\r\n", kExitNothing},
    };
    for (const auto& c : kCases) {
        ScanRig rig;
        rig.devices.Devices = devices;
        rig.registry.SetValue(kUsb + "XK-4471_00\\Device Parameters", "PortName", "COM7\0"s);
        rig.registry.SetValue(kUsb + "\xE9_00\\Device Parameters", "PortName", "COM9\0"s);
        rig.ports.Ports = {{"USB\\VID_5E1A&PID_B007\\PR", "", "COM11\0"s, {}}};
        rig.ports.Problems = {{"USB\\VID_5E1A&PID_B007\\PR", 10}};
        const ListOutput output =
            ListDevices({ListAction::Serie, c.wanted}, ScanDevices(rig.platform, rig.state), rig.codePage);
        EXPECT_EQ(ToUtf8(output.Out), c.out) << c.wanted;
        EXPECT_EQ(ToUtf8(output.Err), c.err) << c.wanted;
        EXPECT_EQ(output.ExitCode, c.exitCode) << c.wanted;
    }
}

// Each character that forces quoting does so on its own; no other does.
TEST(Listing, CsvQuotesASerialForEachCharacterThatNeedsIt) {
    const std::pair<std::string, std::string> kSerials[] = {
        {"a,b", "\"a,b\""}, {"a\"b", "\"a\"\"b\""}, {"a\rb", "\"a\rb\""}, {"a\nb", "\"a\nb\""},
        {"a;b\t'", "a;b\t'"}, {",", "\",\""},
    };
    for (const auto& [serial, field] : kSerials) {
        ScanRig rig;
        rig.devices.Devices = {{.Serial = serial}};
        const ListOutput output = ListDevices({ListAction::Csv}, ScanDevices(rig.platform, rig.state), rig.codePage);
        EXPECT_EQ(ToUtf8(output.Out), kHeader + "," + field + ",5E1A,B007,,sin_puerto,\r\n") << serial;
    }
}

// Every line of the usage fits a console of 80 columns, its cursor included.
TEST(Listing, UsageLinesFitSeventyNineColumns) {
    std::size_t lines = 0;
    for (std::size_t from = 0, end; (end = kUsage.find(u"\r\n", from)) != std::u16string_view::npos; from = end + 2, ++lines)
        EXPECT_LE(end - from, 79u) << ToUtf8(kUsage.substr(from, end - from));
    EXPECT_TRUE(kUsage.ends_with(u"\r\n"));
    EXPECT_GT(lines, 30u);
}

// ListaVIRK's own words for a library it cannot use: one line, naming the file or the function.
TEST(Listing, FaultIsOneLineNamingWhatIsMissing) {
    EXPECT_EQ(ToUtf8(FaultLine({"BuscaVIRK.dll", "", 126})),
              "No se pudo cargar la biblioteca \"BuscaVIRK.dll\" (error 126). Copie la biblioteca en la carpeta de "
              "ListaVIRK.exe. Una biblioteca de 32 bits necesita la versión de 32 bits del programa.\r\n");
    EXPECT_EQ(ToUtf8(FaultLine({"BuscaVIRK.dll", "CP210x_Close", 127})),
              "La biblioteca \"BuscaVIRK.dll\" no contiene la función \"CP210x_Close\".\r\n");
    // The window's box says the same, its advice a paragraph of its own.
    EXPECT_EQ(ToUtf8(LibraryFaultText({"BuscaVIRK.dll", "", 2}, u"BuscadorVIRK.exe", u"\r\n\r\n")),
              "No se pudo cargar la biblioteca \"BuscaVIRK.dll\" (error 2).\r\n\r\nCopie la biblioteca en la carpeta de "
              "BuscadorVIRK.exe. Una biblioteca de 32 bits necesita la versión de 32 bits del programa.");
    EXPECT_EQ(ToUtf8(WindowFaultLine(WindowFault::Timer, 8)),
              "ListaVIRK no pudo poner en marcha su temporizador (error 8).\r\n");
}

// A library that faults in the middle of a scan: its line, exit code 3, the device it had open closed.
TEST(Listing, ScanThatFaultsIsItsLineWithNothingLeftOpen) {
    ScanRig rig;
    rig.devices.Devices = {{.Serial = "A"}, {.Serial = "B", .Throws = "Pid"}};
    const ListedScan scan = ScanForListing(rig.platform, rig.state);
    ASSERT_TRUE(scan.Fault.has_value());
    EXPECT_EQ(ToUtf8(scan.Fault->Err), "La biblioteca \"BuscaVIRK.dll\" no contiene la función \"Pid\".\r\n");
    EXPECT_EQ(scan.Fault->Out, u"");
    EXPECT_EQ(scan.Fault->ExitCode, kExitLibrary);
    EXPECT_EQ(rig.Leftovers(), "");
}

TEST(Utf8, EncodesEveryPlaneAndReplacesLoneSurrogates) {
    EXPECT_EQ(ToUtf8(u"a\u00E9\u20AC\uFFFD"), "a\xC3\xA9\xE2\x82\xAC\xEF\xBF\xBD");
    EXPECT_EQ(ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(ToUtf8(std::u16string{u'x', char16_t(0xD800), u'y', char16_t(0xDC00)}), "x\xEF\xBF\xBDy\xEF\xBF\xBD");
}

}  // namespace
