// The program's window under Wine as a user meets it: looks and keys, reports, plugging in and out, balloons, a broken library.
#include "harness.h"
#include "tray_recorder.h"
#include "ui/form_texts.h"

#include <thread>

namespace e2e {
namespace {

// The report of the devices found, each a serial and a port; one whose reads failed has no serial line.
std::wstring ReportOf(std::initializer_list<std::pair<const wchar_t*, int>> devices) {
    std::wstring report;
    for (const auto& [serial, port] : devices)
        report += (serial != nullptr ? L"Número de Serie ="s + serial + L"\r\n" : L""s) + L"Número de Puerto COM: " +
                  (port >= 0 ? L" " : L"") + std::to_wstring(port) + L"\r\n\r\n";
    return report + L"\r\n\r\n";
}

// The program, with the same ports in the registry for every test: on the XP layout AB 12 on COM3, CD on COM7,
// EF on COM12 stored without its terminator; on the 98 layout AB 12 on COM4, then past an id longer than the
// buffer and CD's (COM7), on COM9, where the last match wins.
class WindowTest : public testing::Test {
protected:
    void SetUp() override {
        SetPortXP("AB_12", "COM3\0"s);
        SetPortXP("CD", "COM7\0"s);
        SetPortXP("EF", "COM12", REG_BINARY);
        SetInstance98("0000", Id98("AB_12"), "COM4");
        SetInstance98("0001", std::string(120, 'X'), "COM2");
        SetInstance98("0002", Id98("CD"), "COM7");
        SetInstance98("0003", Id98("AB_12"), "COM9");
        // GH as today's drivers record it, beside the older drivers' record of it left behind.
        SetPortXP("GH", "COM5\0"s);
        RecordPort("USB\\VID_1A2B&PID_C3D4\\GH", "COM21", "Port_#0002.Hub_#0003");
        RecordPort(kMadeUpPort, "COM30");
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Talvenor");  // the user's choice of notices
    }
    // Starts the program beside the stand-in serving these devices and waits for its window; traced, with
    // Wine's relay trace of the program's own calls.
    void Launch(const std::string& version, const std::string& devices, bool traced = false) {
        keys_.Version(version);
        if (traced) keys_.TraceOnlyTheProgram();
        program_.Devices(devices);
        ASSERT_NO_FATAL_FAILURE(program_.Start({.traced = traced}));
        WaitUntil([&] { return (window_ = program_.Shown(kMainClass)) != nullptr || !program_.Running(); }, 20s);
        ASSERT_NE(window_, nullptr) << "no main window; exit code " << program_.WaitForExit(0ms);
    }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    std::wstring Report() const { return Text(Control(IDC_TXTDATA)); }
    void ExpectFixedTextsAndLayout(int dpi = 96) const;
    // The Windows 10 run's steps, in turn.
    void MovesBetweenMonitors();
    void TypesAndScans();
    void TellsWhatCameWhileBehind();
    // After a scan nothing is open: ending the program calls the library no more, and the exit code is 0.
    void End(const std::function<void()>& how) {
        const auto journal = program_.Journal();
        how();
        EXPECT_EQ(program_.WaitForExit(), 0u);
        EXPECT_EQ(program_.Journal(), journal);
        EXPECT_TRUE(CallsArePaired(program_.Journal()));
    }
    // The same with a port's scan pending: a port arrives just before the close. However slow the machine, the
    // order is certain: the program's thread is held while the close is posted and the notice sent, and on its
    // next message a sent notice comes first and a posted close before any timer.
    void EndWithScanPending(const std::function<void()>& how) {
        const HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window_, nullptr));
        ASSERT_NE(thread, nullptr);
        ASSERT_NE(SuspendThread(thread), DWORD(-1));
        End([&] {
            how();
            bool handled = false;
            std::thread notice([&] { handled = Notify(window_, DBT_DEVICEARRIVAL); });
            Sleep(DWORD(Patient(300ms).count()));  // time to reach the held thread's queue
            ResumeThread(thread);
            notice.join();
            EXPECT_TRUE(handled) << "the notice came after the close: nothing was pending";
        });
        CloseHandle(thread);
    }

    // Plug-in notices, through Wine's shell32 to a stand-in notification area (tray_recorder.h): adapters of these
    // serials plugged in, then a port's arrival told `times`; the tray's calls from then, once `calls` have come
    // after the scan. A call where none belongs is a stray, checked at the end.
    using Calls = TrayRecorder::Calls;
    Calls Refresh(std::initializer_list<const char*> serials, std::size_t calls, int times = 1) {
        std::string devices;
        for (const char* serial : serials) devices += "1a2b c3d4 "s + serial + "\n";
        return tray_.After([&] {
            const auto scans = Count(program_.Journal(), "GetNumDevices");
            program_.Devices(devices);
            for (int i = 0; i < times; ++i) EXPECT_TRUE(Notify(window_, DBT_DEVICEARRIVAL));
            EXPECT_TRUE(WaitUntil([&] { const auto j = program_.Journal(); return Count(j, "GetNumDevices") > scans && j.back().starts_with("Close"); }));
            Settle();
        }, calls);
    }
    // Once the program has handled what it was sent before, and so decided on its notice: in its first call to the
    // shell, or after.
    void Settle() { EXPECT_TRUE(SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, UINT(Patient(5s).count()), nullptr)); }
    Calls Posted(UINT message, WPARAM wParam, LPARAM lParam, std::size_t calls) { return tray_.After([&] { PostMessageW(window_, message, wParam, lParam); }, calls); }
    static Calls Balloon(int id, const std::wstring& text) {
        const std::wstring icon = std::to_wstring(id);
        return {L"ADD " + icon + L" 16x16 Buscador VIRK", L"SETVERSION " + icon + L" 3", L"MODIFY " + icon + L" Buscador VIRK: " + text};
    }
    // The system menu's choice, as the window shows it and as it is kept.
    void Choose(DWORD avisos) {
        PostMessageW(window_, WM_SYSCOMMAND, 0x100, 0);
        EXPECT_EQ(WindowProbe(program_, window_).Look().at("menu"), avisos ? "on" : "off");
        DWORD value = 99, size = sizeof value;
        RegGetValueA(HKEY_CURRENT_USER, "Software\\Talvenor\\BuscadorVIRK", "Avisos", RRF_RT_REG_DWORD, nullptr, &value, &size);
        EXPECT_EQ(value, avisos);
    }

    TestKeys keys_;  // destroyed last: the program ends before the keys it read go
    Program program_;
    HWND window_ = nullptr;
    TrayRecorder tray_;
    ThreadWindow other_{[] { return CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 600, 400, 100, 50, nullptr, nullptr, nullptr, nullptr); }};
};

// Its children in Z order, which is the order of creation and the Tab key's, each length within half a pixel of
// where the form's twips put it at `dpi`.
void ExpectControlsInPlace(HWND window, int dpi = 96) {
    HWND child = GetWindow(window, GW_CHILD);
    for (const form::ControlPlace& place : form::kPlaces) {
        ASSERT_NE(child, nullptr) << "no control " << place.id;
        EXPECT_EQ(GetDlgCtrlID(child), place.id);
        const Box box = BoxInParent(child);
        const int twips[] = {place.twips.left, place.twips.top, place.twips.width, place.twips.height};
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_LE(std::abs(box[i] * form::kTwipsPerInch - twips[i] * dpi), form::kTwipsPerInch / 2) << place.id << " at " << dpi;
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "a control too many";
}

// What the window shows at 96 or 144 DPI, at start or after a change alike: its controls' places, and what the
// probe sees inside: the client area, fonts (four of 9.75 points, the title's 15.75), the icons' own images for the
// title bar and the taskbar, the artwork's drawn extent (logo, adapter), the colours of the window, Text1, txtData
// and Label1.
void ExpectShown(HWND window, const std::map<std::string, std::string>& seen, int dpi) {
    ExpectControlsInPlace(window, dpi);
    const bool at96 = dpi == 96;
    const std::string body = at96 ? "MS_Sans_Serif:-13;" : "MS_Sans_Serif:-20;";
    char label[8];
    const COLORREF white = GetSysColor(COLOR_WINDOW);
    std::snprintf(label, sizeof label, "%02x%02x%02x", GetRValue(white), GetGValue(white), GetBValue(white));
    const std::map<std::string, std::string> expected = {
        {"client", at96 ? "454x554" : "681x831"},
        {"fonts", body + body + body + body + (at96 ? "Arial_Black:-21;" : "Arial_Black:-32;")},
        {"icons", at96 ? "16x16own,32x32own" : "24x24own,48x48own"},
        {"art", at96 ? "71x45,137x124" : "106x68,206x186"},
        {"colours", "c0ffff,c0ffff,e0e0e0,"s + label}};
    ASSERT_FALSE(seen.empty()) << "no report from the probe";
    for (const auto& [key, value] : expected) EXPECT_EQ(seen.at(key), value) << key << " at " << dpi << " DPI";
}

// Common Controls 6 from Windows' side-by-side folder, not the system folder's older one.
void ExpectCommonControls6(const std::string& trace) {
    std::vector<std::string> loads;
    for (std::size_t at = 0; (at = trace.find("loaddll:", at)) != std::string::npos; ++at) {
        std::string line = trace.substr(at, trace.find('\n', at) - at);
        std::ranges::transform(line, line.begin(), [](char c) { return char(std::tolower(c)); });
        if (line.find("\\comctl32.dll") != std::string::npos) loads.push_back(line);
    }
    ASSERT_EQ(loads.size(), 1u) << "comctl32 loaded " << loads.size() << " times";
    EXPECT_NE(loads[0].find("\\winsxs\\"), std::string::npos) << loads[0];
    EXPECT_NE(loads[0].find("common-controls_6595b64144ccf1df_6.0."), std::string::npos) << loads[0];
}

// Each text whole, in its own control, as the window was given it; the client area and the controls at `dpi`.
void WindowTest::ExpectFixedTextsAndLayout(int dpi) const {
    EXPECT_EQ(Text(window_), form::kTitle);
    EXPECT_EQ(Text(Control(IDC_LABEL1)), form::kLabel1);
    EXPECT_EQ(Text(Control(IDC_CMDREFRESH)), form::kRefreshCaption);
    EXPECT_EQ(Text(Control(IDC_CMDQUIT)), form::kQuitCaption);
    EXPECT_EQ(Text(Control(IDC_TEXT1)), form::kText1);
    EXPECT_EQ(ClientBox(window_), (dpi == 96 ? Box{0, 0, 454, 554} : Box{0, 0, 681, 831}));
    ExpectControlsInPlace(window_, dpi);
}

// Moved to a monitor at 144 DPI and back, as Windows tells it from inside the program: the window as it starts at
// each DPI, where Windows suggests, and no GDI object left behind by nine more changes. It stays at 144, where its
// small icon is 24 pixels and the notification area's, at the system's DPI, still 16.
void WindowTest::MovesBetweenMonitors() {
    const WindowProbe probe(program_, window_);
    const auto at96 = probe.Look();
    ExpectShown(window_, at96, 96);
    // Windows 10 asks the size first: the form's twips at the new DPI, not its frame scaled.
    EXPECT_EQ(at96.at("scaled"), "681x831,908x1108");
    const auto at144 = probe.Look(144);
    ExpectShown(window_, at144, 144);
    EXPECT_EQ(at144.at("origin"), "40,30");
    ExpectShown(window_, probe.Look(96), 96);
    std::map<std::string, std::string> last;
    for (int change = 0; change < 9; ++change) last = probe.Look(change % 2 == 0 ? 144 : 96);
    ExpectShown(window_, last, 144);
    EXPECT_EQ(last.at("gdi"), at144.at("gdi"));
    EXPECT_NE(at144.at("gdi"), "0");
}

// The keyboard and port changes: the focus on Buscar, Tab to the next controls, typing in the report. A port that
// comes or goes is a scan with no click, once its burst of notifications has settled: it replaces the report and
// what was typed, and the focus stays. A volume or the device tree is none. Alt+B scans too, and answers for the
// report's text only once its scan is done.
void WindowTest::TypesAndScans() {
    ASSERT_TRUE(BringToFront(window_));
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(window_) == Control(IDC_CMDREFRESH); }, 3s)) << "focus not on Buscar";
    for (int next : {IDC_CMDQUIT, IDC_TXTDATA}) {
        ASSERT_TRUE(Press(VK_TAB));
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(window_) == Control(next); })) << "Tab missed " << next;
    }
    const auto type = [&] {
        for (wchar_t c : L"hola"s) PostMessageW(Control(IDC_TXTDATA), WM_CHAR, c, 1);
        return WaitUntil([&] { return Report().find(L"hola") != std::wstring::npos; });
    };
    ASSERT_TRUE(type()) << "typing never arrived";
    program_.Devices("1a2b c3d4 AB%2012\n1a2b c3d4 CD\n");
    ASSERT_TRUE(Notify(window_, DBT_DEVICEARRIVAL));
    EXPECT_TRUE(WaitUntil([&] { return Report() == ReportOf({{L"AB 12", 3}, {L"CD", 7}}); })) << "arrival";
    program_.Devices("1a2b c3d4 AB%2012\n");
    ASSERT_TRUE(Notify(window_, DBT_DEVICEREMOVECOMPLETE));
    EXPECT_TRUE(WaitUntil([&] { return Report() == ReportOf({{L"AB 12", 3}}); })) << "removal";
    program_.Devices("");
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(Notify(window_, i % 3 ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE));
    EXPECT_TRUE(WaitUntil([&] { return Report() == ReportOf({}); })) << "burst";
    ASSERT_TRUE(Notify(window_, DBT_DEVICEARRIVAL, &kVolume) && Notify(window_, DBT_DEVNODES_CHANGED, nullptr));
    Sleep(DWORD(Patient(1s).count()));
    EXPECT_EQ(Count(program_.Journal(), "GetNumDevices"), 4) << "load, arrival, removal, burst";
    EXPECT_EQ(FocusOf(window_), Control(IDC_TXTDATA));
    ASSERT_TRUE(type()) << "typing never arrived";
    program_.Devices("1a2b c3d4 AB%2012\n1a2b c3d4 CD\n");
    ASSERT_TRUE(Press('B', true));
    EXPECT_TRUE(WaitUntil([&] { return Count(program_.Journal(), "GetNumDevices") == 5; })) << "Alt+B did not scan";
    EXPECT_EQ(Report(), ReportOf({{L"AB 12", 3}, {L"CD", 7}}));
}

// The balloons: none so far, at start, in front or after Alt+B. Minimised behind another window: "Buscar" tells
// nothing, the refresh after it only what changed since.
void WindowTest::TellsWhatCameWhileBehind() {
    ASSERT_TRUE(BringToFront(other_.window));
    ShowWindowAsync(window_, SW_MINIMIZE);
    program_.Devices("1a2b c3d4 AB%2012\n1a2b c3d4 EF\n1a2b c3d4 GH\n");
    ASSERT_TRUE(SendMessageTimeoutW(Control(IDC_CMDREFRESH), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, UINT(Patient(10s).count()), nullptr));
    EXPECT_EQ(Refresh({"AB%2012", "GH"}, 3), Balloon(1, L"Desconectado: EF"));
    // Not yet seen after its balloon's time-out, the icon stays. Two arrivals in one burst: one balloon, on that
    // icon. CD held open by another program, then let go: neither gone nor come.
    EXPECT_EQ(Posted(tray_.callback, 1, NIN_BALLOONTIMEOUT, 0), Calls{});
    EXPECT_EQ(Refresh({"AB%2012", "CD", "EF", "GH"}, 1, 2), Calls{L"MODIFY 1 Buscador VIRK: Conectado: CD en COM7\nConectado: EF en COM12"});
    EXPECT_EQ(Refresh({"AB%2012", "CD open=7", "EF", "GH"}, 0), Calls{}) << "held";
    EXPECT_EQ(Refresh({"AB%2012", "CD", "EF", "GH"}, 0), Calls{}) << "let go";
    // The notification area made anew: the icon back with its tip, changed where the shell still holds it.
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    EXPECT_EQ(Posted(taskbarCreated, 0, 0, 2), (Calls{L"ADD 1 16x16 Buscador VIRK", L"SETVERSION 1 3"}));
    tray_.refused = 1 << NIM_ADD;
    EXPECT_EQ(Posted(taskbarCreated, 0, 0, 3), (Calls{L"ADD 1 16x16 Buscador VIRK", L"MODIFY 1 16x16 Buscador VIRK", L"SETVERSION 1 3"}));
    tray_.refused = 0;
    // Brought to the front still minimised, the window is not seen yet; restored, it is: the icon goes.
    EXPECT_EQ(tray_.After([&] { BringToFront(window_), Settle(); }, 0), Calls{});
    EXPECT_EQ(tray_.After([&] { ShowWindowAsync(window_, SW_RESTORE); }, 1), Calls{L"DELETE 1"});
    // 20 notices more behind another window, each seen as the window comes to the front: ids 2 and 1 in turn, and
    // GDI objects and kernel handles level from the 10th to the 20th.
    for (int notice = 0; notice < 20; ++notice) {
        ASSERT_TRUE(BringToFront(other_.window));
        EXPECT_EQ(notice % 2 ? Refresh({"AB%2012", "CD", "EF", "GH"}, 3) : Refresh({"AB%2012", "CD", "EF"}, 3),
                  Balloon(2 - notice % 2, notice % 2 ? L"Conectado: GH en COM21" : L"Desconectado: GH"));
        EXPECT_EQ(tray_.After([&] { BringToFront(window_); }, 1), Calls{L"DELETE " + std::to_wstring(2 - notice % 2)});
    }
    EXPECT_EQ(program_.Held().back(), program_.Held().end()[-11]);
    // Turned off in the system menu, kept for the next start: no notice.
    ASSERT_TRUE(BringToFront(other_.window));
    Choose(0);
    EXPECT_EQ(Refresh({"AB%2012", "CD"}, 0), Calls{}) << "turned off";
    EXPECT_EQ(tray_.Strays(), Calls{});
}

// One run through what a user sees and does on Windows 10, each concern in its turn; maximized, the controls stay
// where they were; Alt+S ends it.
TEST_F(WindowTest, AnswersTheUserAsItShould) {
    ASSERT_NO_FATAL_FAILURE(Launch("win10", "1a2b c3d4 AB%2012\n"));
    ExpectFixedTextsAndLayout();
    EXPECT_EQ(Report(), ReportOf({{L"AB 12", 3}}));
    ASSERT_NO_FATAL_FAILURE(MovesBetweenMonitors());
    ASSERT_NO_FATAL_FAILURE(TypesAndScans());
    ASSERT_NO_FATAL_FAILURE(TellsWhatCameWhileBehind());
    ShowWindowAsync(window_, SW_MAXIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(window_) && ClientBox(window_)[2] > 681; }));
    ExpectControlsInPlace(window_, 144);
    End([&] { ASSERT_TRUE(BringToFront(window_) && Press('S', true)); });
}

// On 98, started with notices turned off (as the choice is kept): shell32 not loaded. Turned on: the balloon through
// the ANSI functions of shell32, loaded by its full path in the system folder, the text in the code page with why
// the adapter has no port. Its click restores the window, brings it to the front and takes the icon away; in front,
// no notice. The window's close takes the icon away. Every notice flashed the taskbar button, none in front.
TEST_F(WindowTest, NoticesOn98) {
    SetValue(HKEY_CURRENT_USER, "Software\\Talvenor\\BuscadorVIRK", "Avisos", std::string(4, '\0'), REG_DWORD);
    ASSERT_NO_FATAL_FAILURE(Launch("win98", "1a2b c3d4 AB%2012\n", true));
    ShowWindowAsync(window_, SW_MINIMIZE);  // done before the settle timer fires
    EXPECT_EQ(Refresh({"AB%2012", "CD"}, 0), Calls{}) << "turned off";
    EXPECT_EQ(program_.Trace().find("shell32"), std::string::npos) << "shell32 loaded with notices off";
    Choose(1);
    EXPECT_EQ(Refresh({"AB%2012", "CD", "%D1u"}, 3), Balloon(1, L"Conectado: \u00D1u, sin puerto COM; Windows no le ha "
                                                                          L"dado un puerto (falta el controlador o no ha terminado)"));
    EXPECT_EQ(Posted(tray_.callback, 1, NIN_BALLOONUSERCLICK, 1), Calls{L"DELETE 1"});
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(window_) && GetForegroundWindow() == window_; })) << "not in front";
    EXPECT_EQ(Refresh({"AB%2012", "CD"}, 0), Calls{}) << "in front";
    ASSERT_TRUE(BringToFront(other_.window));
    EXPECT_EQ(Refresh({"AB%2012"}, 3), Balloon(2, L"Desconectado: CD"));
    EXPECT_EQ(tray_.After([&] { End([&] { PostMessageW(window_, WM_CLOSE, 0, 0); }); }, 1), Calls{L"DELETE 2"});
    EXPECT_EQ(tray_.Strays(), Calls{});
    const auto times = [trace = program_.Trace()](const std::string& call) {
        int n = 0;
        for (std::size_t at = trace.find(call); at != std::string::npos; at = trace.find(call, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(times("\\shell32.dll\",00000000,00000008)"), 1);
    EXPECT_NE(times(":Call shell32.Shell_NotifyIconA("), 0);
    EXPECT_EQ(times(":Call user32.FlashWindowEx("), 2);
}

// What one scan is given and shows.
struct ScanCase {
    const char* devices;
    std::wstring report;
};
// The window functions that come in a wide and an ANSI form (the window, its controls, texts, messages,
// resources, font) and that every run calls, by the names Wine's relay trace gives them with W or A after.
const std::vector<std::string> kWindowFunctions = {
    "RegisterClassEx", "CreateWindowEx", "DefWindowProc", "SendMessage", "SetDlgItemText",
    sizeof(void*) > 4 ? "SetWindowLongPtr" : "SetWindowLong", sizeof(void*) > 4 ? "GetWindowLongPtr" : "GetWindowLong",
    "GetMessage", "IsDialogMessage", "LoadIcon", "LoadImage", "LoadCursor", "FindResource", "SystemParametersInfo",
    "CreateFont", "GetObject", "InsertMenu"};

// setupapi, on 2000 and later only, is loaded from the system folder alone (LOAD_LIBRARY_SEARCH_SYSTEM32, which
// Wine takes) and lists the ports through the ANSI calls.
void ExpectSetupApiOf(const std::string& version, const std::string& trace) {
    const bool listsPorts = version == "winxp";
    std::vector<std::string> loads;
    for (std::size_t at = 0; (at = trace.find(":Call KERNEL32.LoadLibrary", at)) != std::string::npos; ++at) {
        const std::string call = trace.substr(at + 6, trace.find(')', at) - at - 5);
        std::string lower = call;
        std::ranges::transform(lower, lower.begin(), [](char c) { return char(std::tolower(c)); });
        if (lower.find("setupapi") != std::string::npos) loads.push_back(call.substr(call.find('"')));
    }
    EXPECT_EQ(loads, listsPorts ? std::vector<std::string>{"\"setupapi.dll\",00000000,00000800)"} : std::vector<std::string>{})
        << version;
    EXPECT_EQ(trace.find(":Call setupapi.SetupDiGetClassDevsA(") != std::string::npos, listsPorts) << version;
}

// One program start per Windows version: its fixed texts and layout, its first scan at load, each further one on
// "Buscar" after the device file changed, and which form of the window functions it called for them.
struct VersionCase {
    const char* version;
    std::vector<ScanCase> scans;
    DWORD dpi = 96;
};

void PrintTo(const VersionCase& run, std::ostream* out) { *out << run.version; }

class WindowReports : public WindowTest, public testing::WithParamInterface<VersionCase> {};

TEST_P(WindowReports, ShowWhatEachScanFound) {
    const std::vector<ScanCase>& scans = GetParam().scans;
    keys_.Dpi(GetParam().dpi);
    ASSERT_NO_FATAL_FAILURE(Launch(GetParam().version, scans.front().devices, true));
    ExpectFixedTextsAndLayout(int(GetParam().dpi));
    if (GetParam().dpi != 96) ExpectShown(window_, WindowProbe(program_, window_).Look(), int(GetParam().dpi));
    for (const ScanCase& scan : scans) {
        if (&scan != &scans.front()) {
            program_.Devices(scan.devices);
            ASSERT_TRUE(SendMessageTimeoutW(Control(IDC_CMDREFRESH), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, UINT(Patient(10s).count()), nullptr));
        }
        EXPECT_EQ(Report(), scan.report) << scan.devices;
    }
    // A port just arrived: its scan is pending when the window closes, and never runs.
    EndWithScanPending([&] { PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0); });
    ExpectFunctionsOf(kWindowFunctions, GetParam().version, program_.Trace());
    ExpectSetupApiOf(GetParam().version, program_.Trace());
    if (GetParam().version == "winxp"s) ExpectCommonControls6(program_.Trace());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowReports,
    testing::Values(
        // At 144 DPI, as a laptop's screen at 150 %. GH's port is the one Windows lists as present; a zero byte in a
        // serial shows as U+FFFD, and the box goes on to the devices after it.
        VersionCase{"winxp", {{"", L"\r\n\r\n"}, {"1a2b c3d4 AB%2012\n1a2b c3d4 EF\n1a2b c3d4 GH\n", ReportOf({{L"AB 12", 3}, {L"EF", 12}, {L"GH", 21}})},
                              {"1a2b c3d4 N%00L\n1a2b c3d4 CD\n", ReportOf({{L"N\uFFFDL", -1}, {L"CD", 7}})}}, 144},
        // The 98 lookup compares upper-case ids; the report shows the serial as the device gave it, and a zero
        // byte as "?", U+FFFD in the ANSI code page.
        VersionCase{"win98", {{"1a2b c3d4 ab%2012\n1a2b c3d4 GH\n", ReportOf({{L"ab 12", 9}, {L"GH", -1}})},
                              {"1a2b c3d4 N%00L\n1a2b c3d4 CD\n", ReportOf({{L"N?L", -1}, {L"CD", 7}})}}}));

// A library missing beside the program: a message names it, the window never shows, the exit code is 1. A stand-in
// in the current folder is not the program's: it is never loaded, or it would journal. (ListaVIRK's test shows one
// that lacks a function.)
TEST(WindowBrokenLibrary, IsAMessageAndExitCodeOne) {
    TestKeys keys;
    Program program(nullptr);
    fs::create_directory(program.folder / L"elsewhere");
    fs::copy_file(BuildFile(BUSCA_STAND_IN_FILE), program.folder / L"elsewhere" / L"BuscaVIRK.dll");
    ASSERT_NO_FATAL_FAILURE(program.Start({.currentFolder = program.folder / L"elsewhere"}));
    bool windowShown = false;
    HWND box = nullptr;
    WaitUntil([&] {
        windowShown |= program.Shown(kMainClass) != nullptr;
        return (box = program.Shown(L"#32770")) != nullptr || !program.Running();
    }, 20s);
    ASSERT_NE(box, nullptr) << "no message box; exit code " << program.WaitForExit(0ms);
    EXPECT_NE(Text(GetDlgItem(box, 0xFFFF)).find(L"\"BuscaVIRK.dll\""), std::wstring::npos) << Text(GetDlgItem(box, 0xFFFF));
    EXPECT_FALSE(windowShown || program.Shown(kMainClass) != nullptr);
    // The box's message loop lets a port's notice through to the hidden window: no scan starts inside the failed one.
    ASSERT_TRUE(Notify(FindWindowW(kMainClass, nullptr), DBT_DEVICEARRIVAL));
    Sleep(DWORD(Patient(750ms).count()));
    int boxes = 0;
    for (HWND other = nullptr; (other = FindWindowExW(nullptr, other, L"#32770", nullptr)) != nullptr;)
        boxes += IsWindowVisible(other);
    EXPECT_EQ(boxes, 1) << "a second scan's message box";
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 1u);
    EXPECT_FALSE(fs::exists(program.folder / L"journal.txt"));
}

}  // namespace
}  // namespace e2e
