// A stand-in notification area: a topmost window of the shell tray's class on a thread of its own, which Wine's
// Shell_NotifyIcon finds before Wine's own; it records each call and answers it.
#pragma once

#include "harness.h"

#include <shellapi.h>

#include <cstring>
#include <mutex>

namespace e2e {

class TrayRecorder {
public:
    using Calls = std::vector<std::wstring>;
    // The calls from when `action` began, once `count` have come (or five seconds passed), each with the fields its
    // flags name: "ADD 1 16x16 tip" (id, the icon's size, its tip), "SETVERSION 1 3", "MODIFY 1 title: text" (the
    // balloon), "DELETE 1". Those that came between two actions' are strays: none was awaited.
    Calls After(const std::function<void()>& action, std::size_t count) {
        const std::size_t first = Look();
        action();
        WaitUntil([&] { return Look(false) >= first + count; });
        const std::lock_guard lock(mutex_);
        return {calls_.begin() + std::ptrdiff_t(first), calls_.begin() + std::ptrdiff_t(seen_ = calls_.size())};
    }
    Calls Strays() { Look(); const std::lock_guard lock(mutex_); return strays_; }
    std::atomic<unsigned> refused = 0;  // 1 << NIM_... for each call the shell refuses
    std::atomic<UINT> callback = 0;     // the icon's event message, as NIM_ADD gave it

private:
    // How many calls have come; those not yet seen are strays when `stray`.
    std::size_t Look(bool stray = true) {
        const std::lock_guard lock(mutex_);
        if (stray) strays_.insert(strays_.end(), calls_.begin() + std::ptrdiff_t(std::exchange(seen_, calls_.size())), calls_.end());
        return calls_.size();
    }
    // Wine 8's notify_data (programs/explorer/systray.c): uID at 4, uFlags 8, uCallbackMessage 12, szTip 16, szInfo
    // 280, uVersion 792, szInfoTitle 796, the icon's width, height, planes and bits 944, its mask's and colour's
    // bits from 960. Later Wine moved the icon's size after uCallbackMessage: the size of what came tells.
    static std::wstring Read(const COPYDATASTRUCT& copy) {
        const auto number = [&](int at) { UINT n; std::memcpy(&n, static_cast<const BYTE*>(copy.lpData) + at, sizeof n); return n; };
        const auto text = [&](int at) { return std::wstring(reinterpret_cast<const wchar_t*>(static_cast<const BYTE*>(copy.lpData) + at)); };
        const auto bits = [](UINT width, UINT height, UINT planes, UINT depth) { return (width * height * planes * depth + 15) / 16 * 2; };
        const UINT flags = number(8), width = number(944), height = number(948);
        const DWORD size = 960 + (flags & NIF_ICON ? bits(width, height, 1, 1) + bits(width, height, number(952), number(956)) : 0);
        if (copy.cbData != size || copy.dwData > NIM_SETVERSION) return L"not Wine 8's layout: " + std::to_wstring(copy.cbData) + L" bytes";
        std::wstring call = std::array{L"ADD ", L"MODIFY ", L"DELETE ", L"SETFOCUS ", L"SETVERSION "}[copy.dwData] + std::to_wstring(number(4));
        if (flags & NIF_ICON) call += L" " + std::to_wstring(width) + L"x" + std::to_wstring(height);
        if (flags & NIF_TIP) call += L" " + text(16);
        if (flags & NIF_INFO) call += L" " + text(796) + L": " + text(280);
        return copy.dwData == NIM_SETVERSION ? call + L" " + std::to_wstring(number(792)) : call;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TrayRecorder*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message != WM_COPYDATA || self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (copy->dwData == NIM_ADD) self->callback = *reinterpret_cast<const UINT*>(static_cast<const BYTE*>(copy->lpData) + 12);
        const std::lock_guard lock(self->mutex_);
        self->calls_.push_back(Read(*copy));
        return !(self->refused & 1u << copy->dwData);
    }

    std::mutex mutex_;
    Calls calls_, strays_;
    std::size_t seen_ = 0;
    ThreadWindow tray_{[this] {
        const WNDCLASSW tray{0, Proc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"Shell_TrayWnd"};
        RegisterClassW(&tray);  // the class stays for the next recorder
        const HWND window = CreateWindowExW(WS_EX_TOPMOST, tray.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(this));
        return window;
    }};
};

}  // namespace e2e
