// frmMain's plug-in notices: a balloon naming the adapters that came and went, shown while the window is behind.
#include "ui/plug_notices.h"

#include "scan/notice_text.h"
#include "ui/form_texts.h"
#include "win32/notice_choice.h"

#include <shellapi.h>

namespace {

constexpr UINT kIconEvent = WM_APP + 1;
// A system menu command: below 0xF000, its low four bits left to Windows.
constexpr UINT kChoiceItem = 0x0100;
constexpr UINT kSystemCommandMask = 0xFFF0;
constexpr const wchar_t* kChoiceText = L"Avisar al conectar o desconectar";

}  // namespace

void PlugNotices::Attach(HWND window) {
    window_ = window;
    wanted_ = NoticesWanted();
    // Just above the system's own close item, in a group of its own.
    const HMENU menu = GetSystemMenu(window_, FALSE);
    calls_.InsertMenuText(menu, SC_CLOSE, MF_BYCOMMAND | MF_STRING | (wanted_ ? MF_CHECKED : MF_UNCHECKED),
                           kChoiceItem, kChoiceText);
    calls_.InsertMenuText(menu, SC_CLOSE, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
}

// A user looking at the list needs no notice: only a window minimised or behind another gets one.
void PlugNotices::Scanned(std::span<const ScannedDevice> devices, bool automatic) {
    const std::vector<AdapterChange> changes = attached_.Next(devices);
    if (!automatic || !wanted_ || (!IsIconic(window_) && GetForegroundWindow() == window_)) return;
    const std::u16string text = NoticeText(changes, area_.Length());
    if (!text.empty()) Show(text);
}

// A second notice replaces the first. Where there are no balloons the taskbar button flashes instead.
void PlugNotices::Show(const std::u16string& text) {
    RemoveIcon();
    ++id_;
    // The window's own small icon at its DPI, which the shell copies.
    const auto icon = reinterpret_cast<HICON>(calls_.Send(window_, WM_GETICON, ICON_SMALL, 0));
    const std::u16string_view title = reinterpret_cast<const char16_t*>(form::kLabel1);
    shown_ = area_.Show(window_, id_, kIconEvent, icon, title, title, text);
    if (!shown_) FlashUntilFront(window_);
}

void PlugNotices::RemoveIcon() {
    if (shown_) area_.Remove(window_, id_);
    shown_ = false;
}

void PlugNotices::ChoiceChosen() {
    wanted_ = !wanted_;
    CheckMenuItem(GetSystemMenu(window_, FALSE), kChoiceItem, MF_BYCOMMAND | (wanted_ ? MF_CHECKED : MF_UNCHECKED));
    KeepNoticesWanted(wanted_);
}

bool PlugNotices::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOMMAND && (wParam & kSystemCommandMask) == kChoiceItem) {
        ChoiceChosen();
        return true;
    }
    if (message != kIconEvent) return false;
    if (!shown_ || wParam != id_) return true;
    switch (LOWORD(lParam)) {
    case NIN_BALLOONUSERCLICK:
    case NIN_SELECT:
    case NIN_KEYSELECT:
    case WM_LBUTTONUP:
        // A click on the balloon or the icon: the window, restored if minimised, in front.
        RemoveIcon();
        if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
        SetForegroundWindow(window_);
        break;
    case NIN_BALLOONTIMEOUT:
    case NIN_BALLOONHIDE:
        RemoveIcon();
        break;
    default:
        break;
    }
    return true;
}
