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
    ListAction action;
    std::optional<std::string> serial = {};
    std::uint32_t seconds = 0;
};

// One option in any prefix and case; the word after "esperar" is its serial unless it names an option.
const ArgumentsCase kAccepted[] = {
    {{}, ListAction::Plain}, {{"--json"}, ListAction::Json}, {{"-json"}, ListAction::Json}, {{"/JSON"}, ListAction::Json},
    {{"-CSV"}, ListAction::Csv}, {{"/?"}, ListAction::Help}, {{"-h"}, ListAction::Help}, {{"--AYUDA"}, ListAction::Help},
    {{"/version"}, ListAction::Version}, {{"/Vigilar"}, ListAction::Vigilar}, {{"/esperar"}, ListAction::Esperar},
    {{"--Serie", "XK-4471"}, ListAction::Serie, "XK-4471"}, {{"/serie", "-json"}, ListAction::Serie, "-json"},
    {{"-Esperar", "XK-4471"}, ListAction::Esperar, "XK-4471"}, {{"/esperar", "-AB"}, ListAction::Esperar, "-AB"},
    {{"/esperar", "XK-4471", "/segundos", "60"}, ListAction::Esperar, "XK-4471", 60},
    {{"/esperar", "--SEGUNDOS", "1"}, ListAction::Esperar, {}, 1},
    {{"/segundos", "86400", "/esperar", "X"}, ListAction::Esperar, "X", 86400},
    {{"/esperar", "/segundos", "00007"}, ListAction::Esperar, {}, 7},
};
// A missing serial, two options, a word that names none; "segundos" only beside "esperar", from 1 to 86400 in at most
// five digits.
const std::vector<std::string> kRefused[] = {
    {"--serie"}, {"--json", "--csv"}, {"/serie", "A", "/json"}, {"--lista"}, {"json"}, {"---json"}, {"/vigilar", "X"},
    {"/esperar", "/json"}, {"/esperar", "/segundos", "000007"}, {"/esperar", "/segundos", "86401"},
    {"/esperar", "/segundos", "0"}, {"/esperar", "/segundos", "-5"}, {"/esperar", "/segundos"},
    {"/esperar", "/segundos", "5", "/segundos", "5"}, {"/segundos", "5"}, {"/vigilar", "/segundos", "5"},
};

TEST(Arguments, OneOptionInAnyPrefixAndCase) {
    for (const ArgumentsCase& c : kAccepted) {
        const auto command = ParseArguments(c.arguments);
        const std::string line = testing::PrintToString(c.arguments);
        ASSERT_TRUE(command.has_value()) << line;
        EXPECT_EQ(command->Action, c.action) << line;
        EXPECT_EQ(command->Serial, c.serial) << line;
        EXPECT_EQ(command->Seconds, c.seconds) << line;
    }
    for (const auto& arguments : kRefused) EXPECT_FALSE(ParseArguments(arguments).has_value()) << testing::PrintToString(arguments);
}


// A whole scan on the 2000/XP layout (or another version word) and the bytes each form writes.
struct ListingCase {
    const char* name;
    std::vector<FakeDevice> devices;
    std::vector<RegValue> registry;
    std::string plain, json, csv;
    int exitCode = kExitListed;
    std::uint32_t version = 0x0A280105;
    std::vector<PresentPort> present = {};
    std::map<std::string, std::uint32_t> problems = {};  // by instance ID
};

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
    // A device whose open or a read failed has no identity.
    {"KnownUnknownAndUnreadPorts",
     {{.Serial = "AB 12"}, {.Vid = 0xABC, .Pid = 0x12345, .Serial = "CD"}, {.Serial = "EF", .Failures = {{"Vid", 9}}}},
     {Older("AB_12", "COM3")},
     "COM3\tAB 12\r\n-\tCD" + kNoPort + "\r\n-\t" + kUnread + "\r\n",
     "[\r\n" R"(  {"puerto": 3, "serie": "AB 12", "vid": "5E1A", "pid": "B007", "ubicacion": null, "motivo": null, "problema": null},)" "\r\n"
     R"(  {"puerto": null, "serie": "CD", "vid": "0ABC", "pid": "12345", "ubicacion": null, "motivo": "sin_puerto", "problema": null},)" "\r\n" +
         kUnreadObject + "\r\n]\r\n",
     kHeader + "3,AB 12,5E1A,B007,,,\r\n,CD,0ABC,12345,,sin_puerto,\r\n,,,,,sin_leer,\r\n"},
    // Bytes through Windows-1252, a zero byte as U+FFFD; in the plain form no TAB, CR or LF either.
    {"SerialBytes",
     {{.Serial = "a\"b,c\\\0\x80\xE9\r\n\t\x01"s}},
     {},
     "-\ta\"b,c\\\xEF\xBF\xBD\xE2\x82\xAC\xC3\xA9\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\x01" + kNoPort + "\r\n",
     "[\r\n" R"(  {"puerto": null, "serie": "a\"b,c\\)" "\xEF\xBF\xBD\xE2\x82\xAC\xC3\xA9" R"(\r\n\t\u0001", "vid": "5E1A", "pid": "B007", "ubicacion": null, "motivo": "sin_puerto", "problema": null})"
     "\r\n]\r\n",
     kHeader + ",\"a\"\"b,c\\\xEF\xBF\xBD\xE2\x82\xAC\xC3\xA9\r\n\t\x01\",5E1A,B007,,sin_puerto,\r\n"},
    // No lookup on this Windows: no port.
    {"NT4", {{.Serial = "AB 12"}}, {Older("AB_12", "COM3")}, "-\tAB 12\testa versión de Windows no permite buscar el puerto\r\n",
     "[\r\n" R"(  {"puerto": null, "serie": "AB 12", "vid": "5E1A", "pid": "B007", "ubicacion": null, "motivo": "sin_consulta", "problema": null})" "\r\n]\r\n",
     kHeader + ",AB 12,5E1A,B007,,sin_consulta,\r\n", kExitListed, 0x05650004},
    // A port device with a problem keeps its number; two adapters of one serial have none.
    {"ProblemAndSharedSerial", {{.Serial = "AB"}, {.Serial = "S"}, {.Serial = "S"}}, {},
     "COM4\tAB\tWindows indica un problema en el puerto (código 22)\r\n" +
         Repeat("-\tS\totro adaptador tiene el mismo número de serie\r\n"s, 2),
     "[\r\n" R"(  {"puerto": 4, "serie": "AB", "vid": "5E1A", "pid": "B007", "ubicacion": "Port_#0001", "motivo": null, "problema": 22},)" "\r\n" +
         kSharedObject + ",\r\n" + kSharedObject + "\r\n]\r\n",
     kHeader + "4,AB,5E1A,B007,Port_#0001,,22\r\n" + Repeat(",S,5E1A,B007,,serie_repetida,\r\n"s, 2), kExitListed, 0x0A280105,
     {{"USB\\VID_5E1A&PID_B007\\AB", "", "COM4\0"s, "Port_#0001"}}, {{"USB\\VID_5E1A&PID_B007\\AB", 22}}},
};

TEST(Listing, EachFormWritesEveryAdapterInIndexOrder) {
    for (const ListingCase& c : kListings) {
        for (const auto& [action, expected] : {std::pair{ListAction::Plain, c.plain}, std::pair{ListAction::Json, c.json},
                                               std::pair{ListAction::Csv, c.csv}}) {
            SCOPED_TRACE(c.name + " "s + std::to_string(int(action)));
            ScanRig rig;
            rig.Given(c.devices, c.version, c.registry);
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
    };
    for (const auto& c : kCases) {
        ScanRig rig;
        rig.devices.Devices = devices;
        rig.Set({Older("XK-4471", "COM7"), Older("\xE9", "COM9")});
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
    ScanRig rig;
    rig.devices.Devices = {{.Serial = "a,b"}, {.Serial = "a\"b"}, {.Serial = "a\rb"}, {.Serial = "a\nb"}, {.Serial = "a;b\t'"}};
    std::string csv = kHeader;
    for (const char* field : {"\"a,b\"", "\"a\"\"b\"", "\"a\rb\"", "\"a\nb\"", "a;b\t'"}) csv += ","s + field + ",5E1A,B007,,sin_puerto,\r\n";
    EXPECT_EQ(ToUtf8(ListDevices({ListAction::Csv}, ScanDevices(rig.platform, rig.state), rig.codePage).Out), csv);
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
