// The window's icon in the notification area and its balloon through shell32, and the taskbar button's flash.
#include "win32/notice_area.h"

#include "win32/code_page_text.h"
#include "win32/library_search.h"

#include <shellapi.h>

#include <algorithm>
#include <cstddef>

namespace {

// Balloons came with shell32 5.0 (2000, Me); 98's and NT 4.0's have none.
constexpr DWORD kFirstBalloonShell = 5;
// How long 2000 and XP show the balloon, the least they take; later Windows decide for themselves.
constexpr UINT kBalloonMilliseconds = 10000;
// Windows 7 and later keep a settings entry per program and id for months: two ids, taken in turn.
constexpr UINT kIds = 2;
constexpr UINT kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
// shlwapi.h's DLLVERSIONINFO, which shell32 answers from 4.71 on.
struct DllVersionInfo {
    DWORD cbSize, dwMajorVersion, dwMinorVersion, dwBuildNumber, dwPlatformID;
};
using DllGetVersionFn = HRESULT(CALLBACK*)(DllVersionInfo*);

// A text cut to a fixed field, terminator included.
template <typename Char, std::size_t N, typename Text>
void Put(Char (&field)[N], const Text& text) {
    const std::size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), length, field);
    field[length] = 0;
}

// The 2000 and XP layout (up to the balloon's flags), the one every shell from 5.0 on takes.
template <typename Data, typename Icon, typename Convert>
BOOL Send(FARPROC function, Convert convert, DWORD message, const Icon& icon, UINT flags, std::u16string_view title,
          std::u16string_view text) {
    Data data{};
    data.cbSize = offsetof(Data, guidItem);
    data.hWnd = icon.window;
    data.uID = icon.id;
    data.uFlags = flags;
    data.uCallbackMessage = icon.callback;
    data.hIcon = icon.image;
    Put(data.szTip, convert(icon.tip));
    // Asked for, or the balloon's click, time-out and close never arrive.
    data.uTimeout = message == NIM_SETVERSION ? NOTIFYICON_VERSION : kBalloonMilliseconds;
    data.dwInfoFlags = NIIF_INFO;
    Put(data.szInfoTitle, convert(title));
    Put(data.szInfo, convert(text));
    return reinterpret_cast<BOOL(WINAPI*)(DWORD, Data*)>(reinterpret_cast<void*>(function))(message, &data);
}

std::size_t AnsiLength(std::u16string_view text) { return ToCodePage(text, CP_ACP).size(); }

}  // namespace

Shell32Functions LoadShell32(bool windows9x) {
    const HMODULE shell32 = LoadSystemLibrary("shell32.dll", windows9x);
    if (shell32 == nullptr) return {};
    return {GetProcAddress(shell32, "DllGetVersion"),
            GetProcAddress(shell32, windows9x ? "Shell_NotifyIconA" : "Shell_NotifyIconW")};
}

bool NotificationArea::Load() {
    if (loaded_) return notify_ != nullptr;
    loaded_ = true;
    const Shell32Functions shell32 = load_(ansi_);
    // Absent before 4.71 (95, NT 4.0 without a newer shell): no balloons either.
    const auto getVersion = reinterpret_cast<DllGetVersionFn>(reinterpret_cast<void*>(shell32.getVersion));
    DllVersionInfo version{sizeof version, 0, 0, 0, 0};
    if (getVersion == nullptr || FAILED(getVersion(&version)) || version.dwMajorVersion < kFirstBalloonShell) return false;
    notify_ = shell32.notify;
    return notify_ != nullptr;
}

bool NotificationArea::Call(DWORD message, UINT flags, std::u16string_view title, std::u16string_view text) const {
    if (ansi_)
        return Send<NOTIFYICONDATAA>(notify_, [](std::u16string_view wide) { return ToCodePage(wide, CP_ACP); }, message,
                                     icon_, flags, title, text);
    return Send<NOTIFYICONDATAW>(notify_, [](std::u16string_view wide) { return wide; }, message, icon_, flags, title,
                                 text);
}

bool NotificationArea::Show(HWND window, UINT callback, std::u16string_view tip, std::u16string_view title,
                            std::u16string_view text) {
    if (!Load()) return false;
    const bool adding = !shown_;
    if (adding) {
        icon_ = {window, icon_.id % kIds + 1, callback, image_(), std::u16string(tip)};
        shown_ = Call(NIM_ADD, kIconFlags);
        if (!shown_) {
            DestroyIcon(icon_.image);
            return false;
        }
        Call(NIM_SETVERSION, 0);
    }
    if (Call(NIM_MODIFY, NIF_INFO, title, text)) return true;
    if (adding) Remove();
    return false;
}

void NotificationArea::Restore() {
    if (!shown_) return;
    if (!Call(NIM_ADD, kIconFlags)) Call(NIM_MODIFY, kIconFlags);
    Call(NIM_SETVERSION, 0);
}

void NotificationArea::Remove() {
    if (!shown_) return;
    Call(NIM_DELETE, 0);
    DestroyIcon(icon_.image);  // the shell keeps a copy of its own until the icon goes
    shown_ = false;
}

TextLength NotificationArea::Length() const { return ansi_ ? AnsiLength : Utf16Length; }

void FlashUntilFront(HWND window) {
    using FlashWindowExFn = BOOL(WINAPI*)(FLASHWINFO*);
    static const auto flashEx = ExportOf<FlashWindowExFn>(GetModuleHandleA("user32.dll"), "FlashWindowEx");
    if (flashEx == nullptr) {
        FlashWindow(window, TRUE);
        return;
    }
    FLASHWINFO flash{sizeof flash, window, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
    flashEx(&flash);
}
