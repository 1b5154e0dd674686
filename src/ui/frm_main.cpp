// frmMain, the program's one window: scans on load, on "Buscar" and when a port comes or goes; ends on "Salir".
#include "ui/frm_main.h"

#include "app/library_fault_text.h"
#include "devicelib/device_library.h"
#include "scan/device_scan.h"
#include "ui/artwork.h"
#include "ui/form_controls.h"
#include "ui/form_dpi.h"
#include "ui/form_texts.h"
#include "ui/plug_notices.h"
#include "win32/port_settle.h"
#include "win32/window_calls.h"

#include <string>
#include <vector>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "report text is handed to the window as it is");

namespace {

constexpr const wchar_t* kClassName = L"BuscadorVIRK.frmMain";
constexpr int kFaultExitCode = 1;
// In the message box, what to do about a missing library stands apart from what went wrong.
constexpr std::u16string_view kFaultAdviceBreak = u"\r\n\r\n";

class FrmMain {
public:
    FrmMain(HINSTANCE instance, Platform& platform, const WindowCalls& calls, SharedState& state)
        : instance_(instance), platform_(platform), calls_(calls), state_(state), artwork_(instance, calls),
          dpi_(instance, calls), notices_(instance, calls) {}
    ~FrmMain();

    bool Create();
    // The first scan, before the window is first shown; false when it faulted.
    bool Form_Load(int showCommand);
    int ExitCode() const { return exitCode_; }
    HWND Window() const { return window_; }

    // Its window procedure's (OwnedWindowProc).
    void Attach(HWND window) { window_ = window; }
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void CreateControls();
    HWND Control(int id) const { return GetDlgItem(window_, id); }

    // `automatic`: a port came or went, and a notice may tell what changed since the scan before.
    bool FillDeviceList(bool automatic = false);
    void cmdRefresh_Click();
    void cmdQuit_Click();
    void Form_DeviceChange(WPARAM event, LPARAM broadcast);
    void Form_PortsSettled(WPARAM timer);
    void Form_Unload();
    void EndWithFault(const DeviceLibraryFault& fault);
    LRESULT ControlColours(HDC dc, HWND control);
    void DrawPicture(const DRAWITEMSTRUCT& item);

    HINSTANCE instance_;
    Platform& platform_;
    const WindowCalls& calls_;
    SharedState& state_;
    Artwork artwork_;
    FormDpi dpi_;
    PlugNotices notices_;
    HWND window_ = nullptr;
    HWND lastFocus_ = nullptr;
    int exitCode_ = 0;
    bool scanning_ = false;
    HBRUSH formBrush_ = CreateSolidBrush(form::kFormBackground);
    HBRUSH reportBrush_ = CreateSolidBrush(form::kReportBackground);
};

FrmMain::~FrmMain() {
    for (HBRUSH brush : {formBrush_, reportBrush_})
        if (brush != nullptr) DeleteObject(brush);
}

bool FrmMain::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = OwnedWindowProcFor<FrmMain>(calls_);
    windowClass.hInstance = instance_;
    windowClass.hIcon = calls_.Icon(instance_, IDI_MAIN);  // the window's own, for its DPI, from WM_CREATE on
    windowClass.hCursor = calls_.ArrowCursor();
    windowClass.hbrBackground = formBrush_;
    windowClass.lpszClassName = kClassName;
    if (calls_.Register(windowClass) == 0) return false;

    // Sized for the system's DPI; WM_CREATE lays it out for its monitor's, which it takes if they differ.
    const FormDpi::Placement start = dpi_.StartAtSystemDpi();
    window_ = calls_.Create(0, kClassName, form::kTitle, FormDpi::kFrameStyle | WS_CLIPCHILDREN, start.origin.x,
                            start.origin.y, start.size.cx, start.size.cy, nullptr, nullptr, instance_, this);
    return window_ != nullptr;
}

void FrmMain::CreateControls() {
    dpi_.MakeControls(window_);
    calls_.SetItemText(window_, IDC_TEXT1, form::kText1);
    // Only typing is limited by default; the report itself may be longer.
    calls_.Send(Control(IDC_TXTDATA), EM_SETLIMITTEXT, 0, 0);
}

bool FrmMain::Form_Load(int showCommand) {
    if (!FillDeviceList()) return false;
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(Control(IDC_CMDREFRESH));
    return true;
}

// Runs a whole scan and puts its report in txtData; a library that cannot be used ends the program.
bool FrmMain::FillDeviceList(bool automatic) {
    FilledList list;
    scanning_ = true;
    try {
        list = ::FillDeviceList(platform_, state_);
    } catch (const DeviceLibraryFault& fault) {
        EndWithFault(fault);  // still scanning: nothing scans again before the window goes
        return false;
    }
    scanning_ = false;
    calls_.SetItemText(window_, IDC_TXTDATA, reinterpret_cast<const wchar_t*>(list.Report.c_str()));
    notices_.Scanned(list.Devices, automatic);
    return true;
}

void FrmMain::EndWithFault(const DeviceLibraryFault& fault) {
    const HWND owner = IsWindowVisible(window_) ? window_ : nullptr;
    const std::u16string message = LibraryFaultText(fault, u"BuscadorVIRK.exe", kFaultAdviceBreak);
    MessageBoxW(owner, reinterpret_cast<const wchar_t*>(message.c_str()), form::kFaultCaption,
                MB_OK | MB_ICONERROR);
    exitCode_ = kFaultExitCode;
    DestroyWindow(window_);
}

void FrmMain::cmdRefresh_Click() { FillDeviceList(); }

// Ends at once: no unload step, no library call.
void FrmMain::cmdQuit_Click() { DestroyWindow(window_); }

// A port came or went: (re)starts the timer, so a burst of port changes is one scan once it has settled. A timer
// that cannot be set leaves the list as it is, until "Buscar".
void FrmMain::Form_DeviceChange(WPARAM event, LPARAM broadcast) { RestartSettleTimer(window_, event, broadcast); }

// The scan of "Buscar", once. Inside a scan (the fault's message box lets timer messages through) the timer is
// left to fire again after it; a port change handled after this scan starts the timer anew.
void FrmMain::Form_PortsSettled(WPARAM timer) {
    if (PortsSettled(window_, timer, scanning_)) FillDeviceList(true);
}

void FrmMain::Form_Unload() { CloseDeviceLeftOpen(platform_.Devices, state_); }

LRESULT FrmMain::ControlColours(HDC dc, HWND control) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    switch (GetDlgCtrlID(control)) {
    case IDC_TXTDATA:
        SetBkColor(dc, form::kReportBackground);
        return reinterpret_cast<LRESULT>(reportBrush_);
    case IDC_TEXT1:
        SetBkColor(dc, form::kFormBackground);
        return reinterpret_cast<LRESULT>(formBrush_);
    default:
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
}

void FrmMain::DrawPicture(const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
    if (item.CtlID == IDC_PICTURE1)
        artwork_.DrawLogo(item.hDC, item.rcItem, dpi_.Dpi());
    else if (item.CtlID == IDC_PICTURE2)
        artwork_.DrawAdapter(item.hDC, item.rcItem, dpi_.Dpi());
}

LRESULT FrmMain::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (notices_.Handle(message, wParam, lParam)) return 0;
    switch (message) {
    case WM_CREATE:
        CreateControls();
        notices_.Attach(window_);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_CMDREFRESH) cmdRefresh_Click();
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_CMDQUIT) cmdQuit_Click();
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        return ControlColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
        DrawPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_ACTIVATE:
        // Like a dialog: the focus leaves with the window and comes back to the same control.
        if (LOWORD(wParam) == WA_INACTIVE) {
            lastFocus_ = GetFocus();
        } else {
            SetFocus(lastFocus_ != nullptr && IsChild(window_, lastFocus_) ? lastFocus_ : Control(IDC_CMDREFRESH));
            notices_.Looked();
        }
        return 0;
    case WM_SIZE:
        notices_.Looked();  // restored while it was the active window, which then gets no WM_ACTIVATE
        return calls_.DefaultProc(window_, message, wParam, lParam);
    case kGetDpiScaledSize:
        *reinterpret_cast<SIZE*>(lParam) = FormDpi::WindowSizeAt(LOWORD(wParam));
        return TRUE;
    case kDpiChanged:
        dpi_.Changed(window_, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DEVICECHANGE:
        Form_DeviceChange(wParam, lParam);
        return calls_.DefaultProc(window_, message, wParam, lParam);
    case WM_TIMER:
        Form_PortsSettled(wParam);
        return 0;
    case WM_CLOSE:
        Form_Unload();
        DestroyWindow(window_);
        return 0;
    case WM_ENDSESSION:
        if (wParam != FALSE) {
            Form_Unload();
            notices_.RemoveIcon();  // the session ends: nobody will look
        }
        return 0;
    case WM_DESTROY:
        notices_.RemoveIcon();
        PostQuitMessage(exitCode_);
        return 0;
    default:
        return calls_.DefaultProc(window_, message, wParam, lParam);
    }
}

}  // namespace

int RunMainWindow(HINSTANCE instance, int showCommand, Platform& platform, const WindowCalls& calls,
                  SharedState& state) {
    FrmMain form(instance, platform, calls, state);
    if (!form.Create()) return kFaultExitCode;
    if (!form.Form_Load(showCommand)) return form.ExitCode();
    const HWND window = form.Window();

    MSG message{};
    while (calls.NextMessage(&message) > 0) {
        // Dialog keys: Tab between controls, Alt+B and Alt+S press the buttons.
        if (IsWindow(window) && calls.DialogMessage(window, &message)) continue;
        TranslateMessage(&message);
        calls.Dispatch(&message);
    }
    return form.ExitCode();
}
