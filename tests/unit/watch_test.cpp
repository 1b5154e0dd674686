// What changed from scan to scan, as /vigilar tells it (the balloon words the same rule), and /esperar's answers.
#include "cli/listing.h"
#include "cli/utf8.h"
#include "cli/wait.h"
#include "app/code_page.h"
#include "scan/adapter_changes.h"

#include <gtest/gtest.h>

namespace {

// An adapter as a scan gives it: unread when its serial is null; the port known when above 0.
struct Seen {
    const char* serial;
    std::int16_t port = 3;
    std::int32_t pid = 0xB007;
    const char16_t* location = nullptr;
};

ScannedDevice Device(const Seen& seen) {
    ScannedDevice device;
    if (seen.serial != nullptr) {
        const std::string serial = seen.serial;
        device.Read = ScannedDevice::Identity{0x5E1A, seen.pid, {serial.begin(), serial.end()}};
    }
    device.PortNumber = seen.port;
    device.LookedUp = true;
    if (seen.location != nullptr) device.Location = seen.location;
    return device;
}

// The lines of each scan after the first, which tells what was attached at the start.
struct WatchCase {
    const char* name;
    std::vector<std::vector<Seen>> scans;
    std::vector<std::string> lines;  // "+AB 3" for a conectado of AB on COM3, "-AB 3" for a desconectado, "*" after
                                     // either side of a port change; per scan
};

const WatchCase kWatches[] = {
    {"AtTheStartInIndexOrder", {{{"B"}, {"A", 0}, {nullptr}}}, {"+B 3 +A -"}},
    {"GoneInTheOrderToldThenNewInIndexOrder", {{{"A"}, {"B"}, {"C"}}, {{"E"}, {"B"}, {"D"}}},
     {"+A 3 +B 3 +C 3", "-A 3 -C 3 +E 3 +D 3"}},
    {"PortChangeIsAGoingThenAnArrival", {{{"A", 3}}, {{"A", 8}}, {{"A", 0}}}, {"+A 3", "-A 3* +A 8*", "-A 8* +A -*"}},
    {"ProductChangeToo", {{{"A", 3, 1}}, {{"A", 3, 2}}}, {"+A 3", "-A 3 +A 3"}},
    {"OrderAloneIsNothing", {{{"A"}, {"B"}}, {{"B"}, {"A"}}, {{"A"}, {"B"}}}, {"+A 3 +B 3", "", ""}},
    {"LocationAloneIsNothing", {{{"A", 3, 0xB007, u"Port_#0001"}}, {{"A", 3, 0xB007, u"Port_#0002"}}}, {"+A 3", ""}},
    {"DuplicatesCountedOneByOne", {{{"A"}}, {{"A"}, {"A"}}, {{"A"}, {"A"}, {"A"}}, {{"A"}}, {}},
     {"+A 3", "+A 3", "+A 3", "-A 3 -A 3", "-A 3"}},
    // An adapter that cannot be read now is told neither way, and holds back one removal.
    // Which one it is cannot be told: the first told is kept.
    {"UnreadableHoldsBackOneGoing", {{{"A"}, {"B"}}, {{nullptr}}, {{"A"}}, {}}, {"+A 3 +B 3", "-B 3", "", "-A 3"}},
    {"HeldBackThenGone", {{{"A"}, {"B"}}, {{nullptr}}, {{"B"}}}, {"+A 3 +B 3", "-B 3", "-A 3 +B 3"}},
    {"TwoUnreadableHoldBackTwo", {{{"A"}, {"B"}, {"C"}}, {{nullptr}, {nullptr}}}, {"+A 3 +B 3 +C 3", "-C 3"}},
    {"ReadAgainWithAnotherPort", {{{"A", 3}}, {{nullptr}}, {{"A", 5}}}, {"+A 3", "", "-A 3* +A 5*"}},
    // Still attached on another port, it is not the one an unreadable adapter holds back.
    {"MovedIsNotHeld", {{{"A"}, {"B"}}, {{"A", 8}, {nullptr}}, {{"A", 8}, {"B"}}}, {"+A 3 +B 3", "-A 3* +A 8*", ""}},
    // The same port first: two of one serial that stayed are no port change, the one that moved is.
    {"SamePortFirst", {{{"A", 3}, {"A", 5}}, {{"A", 5}, {"A", 6}}}, {"+A 3 +A 5", "-A 3* +A 6*"}},
};

std::string Short(const AdapterChange& change) {
    const auto port = KnownPort(change.Device);
    const std::u16string& serial = change.Device.Read->Serial;
    return (change.What == ChangeKind::Conectado ? "+" : "-") + std::string(serial.begin(), serial.end()) + " " +
           (port ? std::to_string(*port) : "-") + (change.PortChange ? "*" : "");
}

TEST(Watch, TellsWhatCameAndWent) {
    for (const WatchCase& c : kWatches) {
        SCOPED_TRACE(c.name);
        AttachedAdapters attached;
        ASSERT_EQ(c.scans.size(), c.lines.size());
        for (std::size_t scan = 0; scan < c.scans.size(); ++scan) {
            std::vector<ScannedDevice> devices;
            for (const Seen& seen : c.scans[scan]) devices.push_back(Device(seen));
            std::string lines;
            for (const AdapterChange& change : attached.Next(devices)) lines += (lines.empty() ? "" : " ") + Short(change);
            EXPECT_EQ(lines, c.lines[scan]) << "scan " << scan;
        }
    }
}
// A line carries the fields of /json, escaped as there, after its event; the old port when gone.
TEST(Watch, LinesCarryTheFieldsOfJson) {
    AttachedAdapters attached;
    const std::vector<ScannedDevice> first = {Device({"A\"B", 3, 0xB007, u"Port_#0002.Hub_#0003"})};
    const std::vector<ScannedDevice> second = {Device({"A\"B", 0})};
    std::string lines;
    for (const auto* scan : {&first, &second})
        for (const AdapterChange& change : attached.Next(*scan)) lines += ToUtf8(ChangeLine(change));
    EXPECT_EQ(lines,
              R"({"evento": "conectado", "puerto": 3, "serie": "A\"B", "vid": "5E1A", "pid": "B007", "ubicacion": "Port_#0002.Hub_#0003", "motivo": null, "problema": null})" "\r\n"
              R"({"evento": "desconectado", "puerto": 3, "serie": "A\"B", "vid": "5E1A", "pid": "B007", "ubicacion": "Port_#0002.Hub_#0003", "motivo": null, "problema": null})" "\r\n"
              R"({"evento": "conectado", "puerto": null, "serie": "A\"B", "vid": "5E1A", "pid": "B007", "ubicacion": null, "motivo": null, "problema": null})" "\r\n");
}

// /esperar answers once what it waits for is there: any adapter with a known port, or that serial's with one.
TEST(Wait, AnswersOnceTheAdapterHasAKnownPort) {
    const struct {
        std::optional<std::string> serial;
        std::vector<Seen> scan;
        std::optional<std::string> out;  // none: it goes on waiting
    } kCases[] = {
        {{}, {{"A", 0}, {nullptr}}, {}},
        {{}, {{"A", 0}, {"B", 4}}, "-\tA\r\nCOM4\tB\r\n"},
        {"B", {{"A", 3}, {"B", 0}}, {}},
        {"B", {{"A", 3}, {"B", 12}}, "COM12\r\n"},
    };
    const WindowsLatin1CodePage codePage;
    for (const auto& c : kCases) {
        std::vector<ScannedDevice> devices;
        for (const Seen& seen : c.scan) devices.push_back(Device(seen));
        const auto answer = WaitAnswer({ListAction::Esperar, c.serial}, devices, codePage);
        ASSERT_EQ(answer.has_value(), c.out.has_value()) << c.serial.value_or("(any)") << " " << c.scan.size();
        if (!answer) continue;
        EXPECT_EQ(ToUtf8(answer->Out), *c.out);
        EXPECT_EQ(answer->Err, u"");
        EXPECT_EQ(answer->ExitCode, kExitListed);
    }
}

TEST(Wait, GivesUpWithALineOnStandardError) {
    const WindowsLatin1CodePage codePage;
    const ListOutput any = GaveUp({ListAction::Esperar, {}, 60}, codePage);
    EXPECT_EQ(ToUtf8(any.Err), "No se conectó ningún adaptador VIRK con un puerto COM conocido en 60 segundos.\r\n");
    const ListOutput one = GaveUp({ListAction::Esperar, "XK-\xE9", 1}, codePage);
    EXPECT_EQ(ToUtf8(one.Err), "No se conectó el adaptador VIRK con el número de serie \"XK-\xC3\xA9\" y un puerto COM "
                               "conocido en 1 segundo.\r\n");
    for (const ListOutput* output : {&any, &one}) {
        EXPECT_EQ(output->Out, u"");
        EXPECT_EQ(output->ExitCode, kExitNothing);
    }
}

}  // namespace
