// The notification area's icon and balloon through shell32, and the taskbar button's flash.
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

// The 2000 and XP layout (up to the balloon's flags): the one every shell from 5.0 on takes.
template <typename Data, typename Convert>
bool ShowWith(FARPROC function, Convert convert, HWND window, UINT id, UINT callback, HICON icon,
              std::u16string_view tip, std::u16string_view title, std::u16string_view text) {
    const auto notify = reinterpret_cast<BOOL(WINAPI*)(DWORD, Data*)>(reinterpret_cast<void*>(function));
    Data data{};
    data.cbSize = offsetof(Data, guidItem);
    data.hWnd = window;
    data.uID = id;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callback;
    data.hIcon = icon;
    Put(data.szTip, convert(tip));
    if (!notify(NIM_ADD, &data)) return false;
    // Asked for, or the balloon's click, time-out and close never arrive.
    data.uVersion = NOTIFYICON_VERSION;
    notify(NIM_SETVERSION, &data);
    data.uFlags = NIF_INFO;
    data.uTimeout = kBalloonMilliseconds;
    data.dwInfoFlags = NIIF_INFO;
    Put(data.szInfoTitle, convert(title));
    Put(data.szInfo, convert(text));
    if (notify(NIM_MODIFY, &data)) return true;
    notify(NIM_DELETE, &data);
    return false;
}

template <typename Data>
void RemoveWith(FARPROC function, HWND window, UINT id) {
    Data data{};
    data.cbSize = offsetof(Data, guidItem);
    data.hWnd = window;
    data.uID = id;
    reinterpret_cast<BOOL(WINAPI*)(DWORD, Data*)>(reinterpret_cast<void*>(function))(NIM_DELETE, &data);
}

std::size_t AnsiLength(std::u16string_view text) { return ToCodePage(text, CP_ACP).size(); }

}  // namespace

bool NotificationArea::Load() {
    if (loaded_) return notify_ != nullptr;
    loaded_ = true;
    const HMODULE shell32 = LoadSystemLibrary("shell32.dll", ansi_);
    if (shell32 == nullptr) return false;
    // Absent before 4.71 (NT 4.0 without a newer shell): no balloons either.
    const auto getVersion = ExportOf<DllGetVersionFn>(shell32, "DllGetVersion");
    DllVersionInfo version{sizeof version, 0, 0, 0, 0};
    if (getVersion == nullptr || FAILED(getVersion(&version)) || version.dwMajorVersion < kFirstBalloonShell) return false;
    notify_ = GetProcAddress(shell32, ansi_ ? "Shell_NotifyIconA" : "Shell_NotifyIconW");
    return notify_ != nullptr;
}

bool NotificationArea::Show(HWND window, UINT id, UINT callback, HICON icon, std::u16string_view tip,
                            std::u16string_view title, std::u16string_view text) {
    if (!Load()) return false;
    if (ansi_)
        return ShowWith<NOTIFYICONDATAA>(notify_, [](std::u16string_view wide) { return ToCodePage(wide, CP_ACP); },
                                         window, id, callback, icon, tip, title, text);
    return ShowWith<NOTIFYICONDATAW>(notify_, [](std::u16string_view wide) { return wide; }, window, id, callback,
                                     icon, tip, title, text);
}

void NotificationArea::Remove(HWND window, UINT id) {
    if (notify_ == nullptr) return;
    if (ansi_)
        RemoveWith<NOTIFYICONDATAA>(notify_, window, id);
    else
        RemoveWith<NOTIFYICONDATAW>(notify_, window, id);
}

TextLength NotificationArea::Length() const { return ansi_ ? AnsiLength : Utf16Length; }

void FlashUntilFront(HWND window) {
    using FlashWindowExFn = BOOL(WINAPI*)(FLASHWINFO*);
    static const auto flashEx = ExportOf<FlashWindowExFn>(GetModuleHandleA("user32.dll"), "FlashWindowEx");
    if (flashEx == nullptr) {
        FlashWindow(window, TRUE);
        return;
    }
    FLASHWINFO flash{sizeof flash, window, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    flashEx(&flash);
}
