// The user at the window: Buscar by click, mouse and Alt+B, typing, Tab, Salir, closing, resizing.
#include "window_fixture.h"

namespace window_test {
namespace {

const char kOneDevice[] = "1a2b c3d4 AB%2012\n";
const char kTwoDevices[] = "1a2b c3d4 AB%2012\n5e1a b007 CD\n";

// Windows XP with the device AB 12 on COM3 and CD on COM7.
class UserAtTheWindow : public WindowTest {
protected:
    void SetUp() override {
        registry_.SetWineVersion("winxp");
        registry_.SetPortXP("AB_12", "COM3");
        registry_.SetPortXP("CD", "COM7");
    }
    void TearDown() override {
        if (program_ && program_->Running()) {
            PostMessageW(window_, WM_CLOSE, 0, 0);
            EXPECT_EQ(program_->WaitForExit(), 0u);
        }
        if (program_) {
            EXPECT_TRUE(CallsArePaired(program_->Journal()));
        }
    }
    // CD's port is entered for 1a2b/c3d4 only: as 5e1a/b007 it has none.
    const std::wstring oneReport_ = ReportOf({DeviceLines(L"AB 12", 3)});
    const std::wstring twoReport_ = ReportOf({DeviceLines(L"AB 12", 3), DeviceLines(L"CD", -1)});
};

// The ways a user presses Buscar.
enum class Press { Message, Mouse, AltB };

std::string PressName(const testing::TestParamInfo<Press>& info) {
    switch (info.param) {
    case Press::Message: return "BmClick";
    case Press::Mouse: return "MouseClick";
    case Press::AltB: return "AltB";
    }
    return "?";
}

void PrintTo(Press press, std::ostream* out) { *out << PressName({press, 0}); }

class PressingBuscar : public UserAtTheWindow, public testing::WithParamInterface<Press> {
protected:
    void PressBuscar() {
        switch (GetParam()) {
        case Press::Message:
            // Returns once the click, and so the scan, has been handled.
            ASSERT_TRUE(SendMessageTimeoutW(Control(IDC_CMDREFRESH), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr));
            break;
        case Press::Mouse:
            ASSERT_TRUE(BringToFront(window_));
            ASSERT_TRUE(ClickCentre(Control(IDC_CMDREFRESH)));
            break;
        case Press::AltB:
            ASSERT_TRUE(BringToFront(window_));
            ASSERT_TRUE(PressWithAlt('B'));
            break;
        }
    }
};

TEST_P(PressingBuscar, ListsADevicePluggedInSinceTheLastScan) {
    ASSERT_NO_FATAL_FAILURE(Launch(kOneDevice));
    ASSERT_EQ(Report(), oneReport_);
    ASSERT_EQ(Scans(), 1);
    program_->WriteDevices(kTwoDevices);
    ASSERT_NO_FATAL_FAILURE(PressBuscar());
    EXPECT_TRUE(WaitForReport(twoReport_)) << testing::PrintToString(Report());
    EXPECT_EQ(Scans(), 2);
}

TEST_P(PressingBuscar, ForgetsAnUnpluggedDevice) {
    ASSERT_NO_FATAL_FAILURE(Launch(kTwoDevices));
    ASSERT_EQ(Report(), twoReport_);
    program_->WriteDevices("");
    ASSERT_NO_FATAL_FAILURE(PressBuscar());
    EXPECT_TRUE(WaitForReport(L"\r\n\r\n")) << testing::PrintToString(Report());
    EXPECT_EQ(Scans(), 2);
}

TEST_P(PressingBuscar, TwiceGivesTheSameReportWithoutPilingUp) {
    ASSERT_NO_FATAL_FAILURE(Launch(kOneDevice));
    for (int scans = 2; scans <= 3; ++scans) {
        ASSERT_NO_FATAL_FAILURE(PressBuscar());
        EXPECT_TRUE(WaitUntil([&] { return Scans() == scans; })) << Scans() << " scans";
        EXPECT_TRUE(WaitForReport(oneReport_)) << testing::PrintToString(Report());
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, PressingBuscar, testing::Values(Press::Message, Press::Mouse, Press::AltB), PressName);

TEST_F(UserAtTheWindow, TypedTextIsGoneAfterTheNextScan) {
    ASSERT_NO_FATAL_FAILURE(Launch(kOneDevice));
    HWND data = Control(IDC_TXTDATA);
    PostChars(data, L"tecleado");
    ASSERT_TRUE(WaitUntil([&] { return Report().find(L"tecleado") != std::wstring::npos; }))
        << testing::PrintToString(Report());
    ASSERT_TRUE(SendMessageTimeoutW(Control(IDC_CMDREFRESH), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr));
    EXPECT_EQ(Report(), oneReport_);
}

TEST_F(UserAtTheWindow, TypingOnTheKeyboardIntoTheReportIsGoneAfterTheNextScan) {
    ASSERT_NO_FATAL_FAILURE(Launch(""));
    HWND data = Control(IDC_TXTDATA);
    ASSERT_TRUE(BringToFront(window_));
    ASSERT_TRUE(ClickCentre(data));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(window_) == data; })) << "focus on " << GetDlgCtrlID(FocusOf(window_));
    ASSERT_TRUE(TypeText(L"hola"));
    ASSERT_TRUE(WaitUntil([&] { return Report().find(L"hola") != std::wstring::npos; }))
        << testing::PrintToString(Report());
    program_->WriteDevices(kOneDevice);
    ASSERT_TRUE(PressWithAlt('B'));
    EXPECT_TRUE(WaitForReport(oneReport_)) << testing::PrintToString(Report());
}

TEST_F(UserAtTheWindow, TabMovesTheFocusBuscarSalirReport) {
    ASSERT_NO_FATAL_FAILURE(Launch(kOneDevice));
    ASSERT_TRUE(BringToFront(window_));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(window_) == Control(IDC_CMDREFRESH); }))
        << "focus on " << GetDlgCtrlID(FocusOf(window_));
    for (int next : {IDC_CMDQUIT, IDC_TXTDATA}) {
        ASSERT_TRUE(PressKey(VK_TAB));
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(window_) == Control(next); }))
            << "expected " << next << ", focus on " << GetDlgCtrlID(FocusOf(window_));
    }
    // Moving the focus is not pressing: no scan.
    EXPECT_EQ(Scans(), 1);
}

// The ways a user ends the program.
enum class Ending { SalirClick, SalirMouse, AltS, CloseBox, WmClose, AltF4 };

std::string EndingName(const testing::TestParamInfo<Ending>& info) {
    switch (info.param) {
    case Ending::SalirClick: return "SalirBmClick";
    case Ending::SalirMouse: return "SalirMouseClick";
    case Ending::AltS: return "AltS";
    case Ending::CloseBox: return "CloseBox";
    case Ending::WmClose: return "WmClose";
    case Ending::AltF4: return "AltF4";
    }
    return "?";
}

void PrintTo(Ending ending, std::ostream* out) { *out << EndingName({ending, 0}); }

class EndingTheProgram : public UserAtTheWindow, public testing::WithParamInterface<Ending> {};

// After a scan nothing is open, so neither Salir nor closing calls the library again, even after
// a device whose close failed.
TEST_P(EndingTheProgram, ExitsWithCodeZeroAndNoFurtherLibraryCall) {
    ASSERT_NO_FATAL_FAILURE(Launch("1a2b c3d4 AB%2012 close=5\n"));
    ASSERT_TRUE(SendMessageTimeoutW(Control(IDC_CMDREFRESH), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr));
    const std::vector<std::string> afterScans = program_->Journal();
    ASSERT_EQ(Scans(), 2);
    ASSERT_EQ(afterScans.back(), "Close " + HandleOf(0) + " -> status=5");

    switch (GetParam()) {
    case Ending::SalirClick: PostMessageW(Control(IDC_CMDQUIT), BM_CLICK, 0, 0); break;
    case Ending::SalirMouse:
        ASSERT_TRUE(BringToFront(window_));
        ASSERT_TRUE(ClickCentre(Control(IDC_CMDQUIT)));
        break;
    case Ending::AltS:
        ASSERT_TRUE(BringToFront(window_));
        ASSERT_TRUE(PressWithAlt('S'));
        break;
    case Ending::CloseBox: PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case Ending::WmClose: PostMessageW(window_, WM_CLOSE, 0, 0); break;
    case Ending::AltF4:
        ASSERT_TRUE(BringToFront(window_));
        ASSERT_TRUE(PressWithAlt(VK_F4));
        break;
    }
    EXPECT_EQ(program_->WaitForExit(), 0u);
    EXPECT_EQ(program_->Journal(), afterScans);
}

INSTANTIATE_TEST_SUITE_P(Ways, EndingTheProgram,
                         testing::Values(Ending::SalirClick, Ending::SalirMouse, Ending::AltS, Ending::CloseBox,
                                         Ending::WmClose, Ending::AltF4),
                         EndingName);

TEST_F(UserAtTheWindow, ControlsStayPutWhenTheWindowIsMaximizedOrShrunk) {
    ASSERT_NO_FATAL_FAILURE(Launch(kOneDevice));
    std::vector<std::pair<HWND, Box>> before;
    for (HWND child : Children(window_)) before.emplace_back(child, BoxInParent(child));
    ASSERT_EQ(before.size(), 7u);
    const auto expectUnmoved = [&] {
        for (const auto& [child, box] : before) EXPECT_EQ(BoxInParent(child), box) << "control " << GetDlgCtrlID(child);
    };

    ShowWindowAsync(window_, SW_MAXIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(window_) && ClientSize(window_).cx > 454; }));
    const SIZE maximized = ClientSize(window_);
    EXPECT_GT(maximized.cy, 554);
    expectUnmoved();
    // The new area shows the window's own colour.
    const POINT corner{maximized.cx - 20, maximized.cy - 20};
    EXPECT_TRUE(WaitUntil([&] { return ScreenColour(window_, corner) == RGB(192, 255, 255); }, 3s))
        << std::hex << ScreenColour(window_, corner);

    ShowWindowAsync(window_, SW_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return !IsZoomed(window_); }));
    // Smaller than the controls reach: the ones beyond the edge are hidden, none moves.
    SetWindowPos(window_, nullptr, 0, 0, 300, 250, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    ASSERT_TRUE(WaitUntil([&] { return ClientSize(window_).cx < 300; }));
    expectUnmoved();
    EXPECT_EQ(Report(), oneReport_);
    EXPECT_EQ(Scans(), 1);
}

TEST_F(UserAtTheWindow, FindsTheLibraryBesideItselfWhenStartedFromAnotherFolder) {
    ASSERT_NO_FATAL_FAILURE(Launch(kOneDevice, L"elsewhere"));
    EXPECT_EQ(Report(), oneReport_);
}

// The device library is missing or incomplete: a message names what is missing, the window never shows.
struct MissingCase {
    const char* name;
    Library library;
    const wchar_t* named;
};

void PrintTo(const MissingCase& problem, std::ostream* out) { *out << problem.name; }

class LibraryProblem : public WindowTest, public testing::WithParamInterface<MissingCase> {};

TEST_P(LibraryProblem, ShowsAnErrorMessageAndEndsWithCodeOne) {
    program_ = std::make_unique<ProgramUnderTest>(GetParam().library);
    program_->WriteDevices(kOneDevice);
    // A library in the current folder is not the program's: it must not be loaded from there.
    const std::filesystem::path elsewhere = program_->Folder() / L"elsewhere";
    std::filesystem::create_directory(elsewhere);
    CopyStandInLibrary(elsewhere);
    ASSERT_TRUE(program_->Start(elsewhere));

    bool mainWindowShown = false;
    HWND box = nullptr;
    const bool boxShown = WaitUntil(
        [&] {
            for (HWND window : program_->TopLevelWindows(kMainClass)) mainWindowShown |= IsWindowVisible(window) != 0;
            for (HWND window : program_->TopLevelWindows(L"#32770", L"BuscadorVIRK"))
                if (IsWindowVisible(window)) box = window;
            return box != nullptr || !program_->Running();
        },
        20s);
    ASSERT_TRUE(boxShown);
    ASSERT_NE(box, nullptr) << "no message box; exit code " << program_->WaitForExit(0ms).value_or(STILL_ACTIVE);

    std::wstring message;
    HWND button = nullptr;
    for (HWND child : Children(box)) {
        const std::wstring className = ClassName(child);
        if (CompareStringOrdinal(className.c_str(), -1, L"Static", -1, TRUE) == CSTR_EQUAL) message += Text(child);
        if (CompareStringOrdinal(className.c_str(), -1, L"Button", -1, TRUE) == CSTR_EQUAL && IsWindowVisible(child))
            button = child;
    }
    EXPECT_NE(message.find(GetParam().named), std::wstring::npos) << testing::PrintToString(message);
    for (HWND window : program_->TopLevelWindows(kMainClass)) mainWindowShown |= IsWindowVisible(window) != 0;
    EXPECT_FALSE(mainWindowShown);

    ASSERT_NE(button, nullptr);
    PostMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(program_->WaitForExit(), 1u);
    // The library in the current folder was never loaded: it would have journalled its first call.
    EXPECT_FALSE(program_->JournalExists());
}

INSTANTIATE_TEST_SUITE_P(Cases, LibraryProblem,
                         testing::Values(MissingCase{"LibraryMissing", Library::None, L"BuscaVIRK.dll"},
                                         MissingCase{"CloseMissing", Library::WithoutClose, L"CP210x_Close"}),
                         [](const testing::TestParamInfo<MissingCase>& test) { return test.param.name; });

}  // namespace
}  // namespace window_test
