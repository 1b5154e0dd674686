// The main window as it first shows: frame, size, place, controls, texts and focus.
#include "window_fixture.h"

namespace window_test {
namespace {

const std::wstring kExplanation =
    L"_Programa construido para mostrar los VIRK encontrados en su PC, \r\n"
    L"indicando los números de Puerto COM asignados a cada uno de \r\n"
    L"ellos por el Sistema Operativo." + std::wstring(77, L' ') + L"\r\n"
    L" \r\n"
    L"_Cada vez que desconecte o conecte un VIRK se debe presionar \r\n"
    L"nuevamente \"Buscar\" para refrescar la pantalla.\r\n";

struct ControlCase {
    int id;
    const wchar_t* className;
    Box box;
    LONG_PTR required;   // style bits it must have
    LONG_PTR forbidden;  // style bits it must not have
};

// In creation order, which is the Tab key's order.
const ControlCase kControls[] = {
    {IDC_CMDREFRESH, L"Button", {33, 321, 73, 58}, WS_TABSTOP, 0},
    {IDC_CMDQUIT, L"Button", {33, 396, 73, 58}, WS_TABSTOP, 0},
    {IDC_TXTDATA, L"Edit", {141, 183, 286, 346}, ES_MULTILINE | WS_VSCROLL | WS_TABSTOP,
     WS_HSCROLL | ES_AUTOHSCROLL | ES_READONLY},
    {IDC_PICTURE1, L"Static", {27, 474, 88, 52}, 0, 0},
    {IDC_TEXT1, L"Edit", {21, 57, 415, 106}, ES_MULTILINE | ES_READONLY, WS_VSCROLL | WS_HSCROLL},
    {IDC_PICTURE2, L"Static", {3, 183, 142, 124}, 0, 0},
    {IDC_LABEL1, L"Static", {27, 15, 238, 37}, 0, WS_TABSTOP},
};

bool SameClass(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

class FreshWindow : public WindowTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(Launch()); }
    void TearDown() override {
        if (program_ && program_->Running()) PostMessageW(window_, WM_CLOSE, 0, 0);
        if (program_) {
            EXPECT_EQ(program_->WaitForExit(), 0u);
        }
    }
};

TEST_F(FreshWindow, HasItsTitleFrameAndClientSize) {
    EXPECT_EQ(ClassName(window_), kMainClass);
    wchar_t title[128] = {};
    GetWindowTextW(window_, title, 128);
    EXPECT_STREQ(title, kMainTitle);
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_FALSE(IsIconic(window_));
    EXPECT_FALSE(IsZoomed(window_));
    EXPECT_EQ(Style(window_) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(GetMenu(window_), nullptr);
    const SIZE client = ClientSize(window_);
    EXPECT_EQ(client.cx, 454);
    EXPECT_EQ(client.cy, 554);
    // Only the window itself: no second top-level window of the class.
    EXPECT_EQ(program_->TopLevelWindows(kMainClass).size(), 1u);
}

TEST_F(FreshWindow, IsCentredOnTheWorkArea) {
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    RECT frame{};
    ASSERT_TRUE(GetWindowRect(window_, &frame));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    EXPECT_NEAR(frame.left, work.left + (work.right - work.left - width) / 2, 2);
    EXPECT_NEAR(frame.top, work.top + (work.bottom - work.top - height) / 2, 2);
}

TEST_F(FreshWindow, HoldsItsControlsInTabOrderWhereTheyBelong) {
    const std::vector<HWND> children = Children(window_);
    ASSERT_EQ(children.size(), std::size(kControls));
    for (std::size_t i = 0; i < children.size(); ++i) {
        const ControlCase& expected = kControls[i];
        SCOPED_TRACE("control " + std::to_string(expected.id));
        HWND control = children[i];
        EXPECT_EQ(GetDlgCtrlID(control), expected.id);
        EXPECT_TRUE(SameClass(ClassName(control), expected.className)) << "class " << testing::PrintToString(ClassName(control));
        EXPECT_EQ(BoxInParent(control), expected.box);
        const LONG_PTR style = Style(control);
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
        EXPECT_EQ(style & WS_DISABLED, 0);
        EXPECT_EQ(style & expected.required, expected.required) << std::hex << style;
        EXPECT_EQ(style & expected.forbidden, 0) << std::hex << style;
    }
}

TEST_F(FreshWindow, ButtonsArePlainPushButtons) {
    for (int id : {IDC_CMDREFRESH, IDC_CMDQUIT}) {
        SCOPED_TRACE("button " + std::to_string(id));
        // Under dialog navigation the focused button may carry the default style: both are push buttons.
        const LONG_PTR type = Style(Control(id)) & BS_TYPEMASK;
        EXPECT_TRUE(type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) << type;
    }
    EXPECT_EQ(Style(Control(IDC_CMDQUIT)) & BS_TYPEMASK, BS_PUSHBUTTON);
}

TEST_F(FreshWindow, ShowsItsFixedTexts) {
    EXPECT_EQ(Text(Control(IDC_CMDREFRESH)), L"&Buscar");
    EXPECT_EQ(Text(Control(IDC_CMDQUIT)), L"&Salir");
    EXPECT_EQ(Text(Control(IDC_LABEL1)), L"Buscador VIRK");
    const std::wstring explanation = Text(Control(IDC_TEXT1));
    EXPECT_EQ(explanation.size(), 354u);
    EXPECT_EQ(explanation, kExplanation);
}

TEST_F(FreshWindow, GivesTheFocusToBuscar) {
    HWND buscar = Control(IDC_CMDREFRESH);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(window_) == buscar; }, 3s))
        << "focus on control " << GetDlgCtrlID(FocusOf(window_));
}

TEST_F(FreshWindow, PaintsItsBackgroundPaleCyan) {
    // Right of the report box and of the title, where no control lies.
    for (POINT point : {POINT{445, 300}, POINT{300, 30}, POINT{200, 545}}) {
        SCOPED_TRACE(std::to_string(point.x) + "," + std::to_string(point.y));
        EXPECT_TRUE(WaitUntil([&] { return ScreenColour(window_, point) == RGB(192, 255, 255); }, 3s))
            << std::hex << ScreenColour(window_, point);
    }
}

}  // namespace
}  // namespace window_test
