// ListaVIRK /vigilar and /esperar under Wine as a script runs them: adapters come and go through the stand-in's
// device file and the port notices Windows broadcasts to every top-level window.
#include "harness.h"

namespace e2e {
namespace {

const std::string kAB = "1a2b c3d4 AB%2012\n", kCD = "1a2b c3d4 CD\n";

std::string Line(const std::string& event, const std::string& serial, int port) {
    return R"({"evento": ")" + event + R"(", "puerto": )" + std::to_string(port) + R"(, "serie": ")" + serial +
           R"(", "vid": "1A2B", "pid": "C3D4", "ubicacion": null, "motivo": null, "problema": null})";
}

// The whole lines written so far.
std::vector<std::string> Lines(const std::string& output) {
    std::vector<std::string> lines;
    for (std::size_t from = 0, end; (end = output.find("\r\n", from)) != std::string::npos; from = end + 2)
        lines.push_back(output.substr(from, end - from));
    return lines;
}

// A port on both layouts, so each Windows version finds the same: the 98 layout's instances are numbered.
void SetPort(const std::string& serialKey, int port) {
    const std::string name = "COM" + std::to_string(port);
    SetPortXP(serialKey, name + '\0');
    SetInstance98(serialKey == "AB_12" ? "0000" : "0001", Id98(serialKey), name);
}

// Asks it to end as "taskkill" without /f does, Windows' and Wine's alike: WM_CLOSE posted to each of its
// top-level windows, hidden ones too. Posted from here: starting taskkill.exe costs a minute under emulation.
void TaskKill(DWORD id) {
    int posted = 0;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == id) posted += PostMessageW(window, WM_CLOSE, 0, 0) ? 1 : 0;
    }
    EXPECT_GT(posted, 0) << "no top-level window to close";
}

// One run through plugging in, a port change, a burst, pulling out and notices of no port, then taskkill; on the
// 98 family, traced to show that the hidden window takes the ANSI window functions there.
TEST(WatchVigilar, WritesALinePerAdapterAsItComesOrGoes) {
    TestKeys keys;
    keys.Version("win98");
    keys.TraceOnlyTheProgram("ListaVIRK.exe");
    SetPort("AB_12", 3);
    SetPort("CD", 7);
    Program program(BUSCA_STAND_IN_FILE, BUSCA_LIST_FILE);
    program.Devices(kAB);
    ASSERT_NO_FATAL_FAILURE(program.Start({.traced = true, .arguments = L"/vigilar", .captured = true}));
    std::vector<std::string> expected = {Line("conectado", "AB 12", 3)};
    // Each step's lines are there while it still runs: written as its scan ends, not at the end.
    const auto linesFollow = [&](const char* step) {
        const bool written = WaitUntil([&] { return Lines(program.Output()).size() >= expected.size(); }, 20s);
        EXPECT_TRUE(written && program.Running()) << step;
        EXPECT_EQ(Lines(program.Output()), expected) << step;
    };
    linesFollow("at the start");
    program.Devices(kAB + kCD);
    ASSERT_TRUE(Broadcast(DBT_DEVICEARRIVAL));
    expected.push_back(Line("conectado", "CD", 7));
    linesFollow("arrival");
    SetPort("CD", 8);
    ASSERT_TRUE(Broadcast(DBT_DEVICEARRIVAL));
    expected.insert(expected.end(), {Line("desconectado", "CD", 7), Line("conectado", "CD", 8)});
    linesFollow("port change");
    program.Devices(kCD);
    // Spread over some 200 ms, within the settle time: a scan for each notice would show.
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(Broadcast(i % 3 ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE));
        Sleep(20);
    }
    expected.push_back(Line("desconectado", "AB 12", 3));
    linesFollow("burst");
    // AB 12 is back, but no notice of a port tells it.
    program.Devices(kAB + kCD);
    ASSERT_TRUE(Broadcast(DBT_DEVICEARRIVAL, &kVolume) && Broadcast(DBT_DEVNODES_CHANGED, nullptr));
    Sleep(DWORD(Patient(1500ms).count()));
    EXPECT_EQ(Lines(program.Output()), expected) << "a volume or the device tree";
    EXPECT_EQ(program.Output().size() % 2, 0u);
    const std::vector<std::string> journal = program.Journal();
    EXPECT_EQ(Count(journal, "GetNumDevices"), 4) << "start, arrival, port change, burst";

    TaskKill(program.id);
    EXPECT_EQ(program.WaitForExit(20s), 0u);
    EXPECT_EQ(program.Journal(), journal) << "no library call on the way out";
    EXPECT_TRUE(CallsArePaired(journal));
    EXPECT_EQ(program.Errors(), "");
    ExpectFunctionsOf({"RegisterClassEx", "CreateWindowEx", "DefWindowProc", "GetMessage", "DispatchMessage", "PostMessage",
                       sizeof(void*) > 4 ? "SetWindowLongPtr" : "SetWindowLong", sizeof(void*) > 4 ? "GetWindowLongPtr" : "GetWindowLong"},
                      "win98", program.Trace());
}

// A reader of its pipe that goes away: the next write fails, and it ends with exit code 1.
TEST(WatchVigilarPipe, EndsWhenItsReaderGoes) {
    TestKeys keys;
    SetPort("AB_12", 3);
    SetPort("CD", 7);
    Program program(BUSCA_STAND_IN_FILE, BUSCA_LIST_FILE);
    program.Devices(kAB);
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE reader = nullptr, writer = nullptr;
    ASSERT_TRUE(CreatePipe(&reader, &writer, &inherited, 0));
    SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    ASSERT_NO_FATAL_FAILURE(program.Start({.arguments = L"/vigilar", .captured = true, .outputPipe = writer}));
    CloseHandle(writer);
    DWORD waiting = 0;
    ASSERT_TRUE(WaitUntil([&] { return PeekNamedPipe(reader, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0; }, 20s));
    std::string first(waiting, '\0');
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(reader, first.data(), waiting, &read, nullptr));
    EXPECT_EQ(first, Line("conectado", "AB 12", 3) + "\r\n");
    CloseHandle(reader);
    program.Devices(kAB + kCD);
    ASSERT_TRUE(Broadcast(DBT_DEVICEARRIVAL));
    EXPECT_EQ(program.WaitForExit(20s), 1u);
    EXPECT_EQ(Count(program.Journal(), "GetNumDevices"), 2);
    EXPECT_TRUE(CallsArePaired(program.Journal()));
}

// It waits through a scan without the adapter, then answers as /serie once it arrives.
TEST(WatchEsperar, WaitsThenAnswersWhenTheAdapterArrives) {
    TestKeys keys;
    SetPort("AB_12", 3);
    SetPort("CD", 7);
    Program program(BUSCA_STAND_IN_FILE, BUSCA_LIST_FILE);
    program.Devices("");
    ASSERT_NO_FATAL_FAILURE(program.Start({.arguments = L"/esperar CD /segundos 600", .captured = true}));
    const auto scans = [&] { return Count(program.Journal(), "GetNumDevices"); };
    ASSERT_TRUE(WaitUntil([&] { return scans() == 1; }, 20s));
    program.Devices(kAB);
    ASSERT_TRUE(Broadcast(DBT_DEVICEARRIVAL));
    EXPECT_TRUE(WaitUntil([&] { return scans() == 2; }));
    Sleep(DWORD(Patient(200ms).count()));
    EXPECT_TRUE(program.Running()) << "answered without its adapter";
    program.Devices(kAB + kCD);
    ASSERT_TRUE(Broadcast(DBT_DEVICEREMOVECOMPLETE));
    EXPECT_EQ(program.WaitForExit(20s), 0u);
    EXPECT_EQ(program.Output(), "COM7\r\n");
    EXPECT_EQ(program.Errors(), "");
    EXPECT_TRUE(CallsArePaired(program.Journal()));
}

// Its time up, it says so on standard error, and only then: not before the seconds asked for.
TEST(WatchEsperar, GivesUpOnTime) {
    TestKeys keys;
    Program program(BUSCA_STAND_IN_FILE, BUSCA_LIST_FILE);
    program.Devices("1a2b c3d4 AB%2012\n");  // no port known for it
    const auto started = std::chrono::steady_clock::now();
    ASSERT_NO_FATAL_FAILURE(program.Start({.arguments = L"-ESPERAR -segundos 2", .captured = true}));
    EXPECT_EQ(program.WaitForExit(30s), 1u);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 2s);
    EXPECT_EQ(program.Output(), "");
    EXPECT_EQ(program.Errors(), "No se conectó ningún adaptador VIRK con un puerto COM conocido en 2 segundos.\r\n");
    EXPECT_EQ(Count(program.Journal(), "GetNumDevices"), 1);
}

// A count past a day: the usage on standard error, exit code 2, the library never loaded.
TEST(WatchEsperar, RefusesBadInput) {
    TestKeys keys;
    Program program(BUSCA_STAND_IN_FILE, BUSCA_LIST_FILE);
    ASSERT_NO_FATAL_FAILURE(program.Start({.arguments = L"/esperar XK-4471 /segundos 86401", .captured = true}));
    EXPECT_EQ(program.WaitForExit(20s), 2u);
    EXPECT_EQ(program.Output(), "");
    EXPECT_TRUE(program.Errors().starts_with("Uso: ListaVIRK")) << program.Errors();
    EXPECT_FALSE(fs::exists(program.folder / L"journal.txt"));
}

}  // namespace
}  // namespace e2e
