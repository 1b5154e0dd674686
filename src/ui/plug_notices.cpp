// frmMain's plug-in notices: a balloon naming the adapters that came and went, shown while the window is behind.
#include "ui/plug_notices.h"

#include "scan/notice_text.h"
#include "ui/buscador-rc.h"
#include "ui/form_texts.h"
#include "win32/library_search.h"

#include <shellapi.h>

namespace {

constexpr UINT kIconEvent = WM_APP + 1;
// A system menu command: below 0xF000, its low four bits left to Windows.
constexpr UINT kChoiceItem = 0x0100;
constexpr UINT kSystemCommandMask = 0xFFF0;
constexpr const wchar_t* kChoiceText = L"Avisar al conectar o desconectar";
// Sent to every top-level window when the notification area is made anew: Explorer's restart, a change of the
// main monitor's DPI, a remote desktop connecting.
constexpr const char* kTaskbarCreated = "TaskbarCreated";
constexpr int kSmallIconMetric = 0;  // LIM_SMALL
using LoadIconMetricFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);

}  // namespace

PlugNotices::PlugNotices(HINSTANCE instance, const WindowCalls& calls)
    : instance_(instance), calls_(calls),
      area_(calls.Family() == OsFamily::Windows9x, [this] { return TrayIcon(); }) {}

void PlugNotices::Attach(HWND window) {
    window_ = window;
    taskbarCreated_ = RegisterWindowMessageA(kTaskbarCreated);
    // Just above the system's own close item, in a group of its own.
    const HMENU menu = GetSystemMenu(window_, FALSE);
    calls_.InsertMenuText(menu, SC_CLOSE,
                          MF_BYCOMMAND | MF_STRING | (choice_.Wanted() ? MF_CHECKED : MF_UNCHECKED), kChoiceItem,
                          kChoiceText);
    calls_.InsertMenuText(menu, SC_CLOSE, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
}

// The notification area draws at the system's DPI, whatever the window's monitor: the program's icon at the small
// icon's size there. comctl32 6 (Vista and later) picks the image itself.
HICON PlugNotices::TrayIcon() const {
    static const auto loadIconMetric = ExportOf<LoadIconMetricFn>(GetModuleHandleA("comctl32.dll"), "LoadIconMetric");
    HICON icon = nullptr;
    if (loadIconMetric != nullptr &&
        SUCCEEDED(loadIconMetric(instance_, MAKEINTRESOURCEW(IDI_MAIN), kSmallIconMetric, &icon)))
        return icon;
    return static_cast<HICON>(calls_.Image(instance_, IDI_MAIN, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                           GetSystemMetrics(SM_CYSMICON), 0));
}

bool PlugNotices::InFront() const { return !IsIconic(window_) && GetForegroundWindow() == window_; }

void PlugNotices::Looked() {
    if (InFront()) area_.Remove();
}

// A user looking at the list needs no notice: only a window minimised or behind another gets one.
void PlugNotices::Scanned(std::span<const ScannedDevice> devices, bool automatic) {
    const std::vector<AdapterChange> changes = attached_.Next(devices);
    if (!automatic || !choice_.Wanted() || InFront()) return;
    const std::u16string text = NoticeText(changes, area_.Length());
    if (text.empty()) return;
    const std::u16string_view title = reinterpret_cast<const char16_t*>(form::kLabel1);
    area_.Show(window_, kIconEvent, title, title, text);
    // Balloon or not: Focus Assist, a program's notifications turned off, balloons off by policy and XP's hidden
    // icons take the balloon and show nothing.
    FlashUntilFront(window_);
}

void PlugNotices::ChoiceChosen() {
    choice_.Toggle();
    CheckMenuItem(GetSystemMenu(window_, FALSE), kChoiceItem,
                  MF_BYCOMMAND | (choice_.Wanted() ? MF_CHECKED : MF_UNCHECKED));
}

bool PlugNotices::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOMMAND && (wParam & kSystemCommandMask) == kChoiceItem) {
        ChoiceChosen();
        return true;
    }
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        area_.Restore();
        return true;
    }
    if (message != kIconEvent) return false;
    if (!area_.Holds(static_cast<UINT>(wParam))) return true;
    switch (LOWORD(lParam)) {
    case NIN_BALLOONUSERCLICK:
    case NIN_SELECT:
    case NIN_KEYSELECT:
    case WM_LBUTTONUP:
        // A click on the balloon or the icon: the window, restored if minimised, in front.
        area_.Remove();
        if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
        SetForegroundWindow(window_);
        break;
    default:
        // A balloon timed out or closed is not yet seen: on Windows 10 and 11 it waits in the action centre while
        // its icon lives, and XP does not count idle time towards the time-out.
        break;
    }
    return true;
}
