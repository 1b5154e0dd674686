// A stand-in notification area: a topmost window of the shell tray's class on a thread of its own, which Wine's
// Shell_NotifyIcon finds before Wine's own; it records each call and answers it. Beside it, a window to put in front.
#pragma once

#include "harness.h"

#include <shellapi.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

class TrayRecorder {
public:
    TrayRecorder() : thread_([this] { Run(); }) { while (!ready_) Sleep(10); }
    ~TrayRecorder() { PostThreadMessageW(threadId_, WM_QUIT, 0, 0); thread_.join(); }
    // Each call so far: "ADD <id> <icon's width>x<height> <tip>", "SETVERSION <version>", "MODIFY <title>: <text>",
    // "DELETE <id>".
    std::vector<std::wstring> Calls() const { const std::lock_guard lock(mutex_); return calls_; }
    // Once `count` more have come, the calls since the last look.
    std::vector<std::wstring> Since(std::size_t count) {
        EXPECT_TRUE(WaitUntil([&] { return Calls().size() >= seen_ + count; })) << "too few calls";
        const std::vector<std::wstring> all = Calls();
        return {all.begin() + std::ptrdiff_t(std::exchange(seen_, all.size())), all.end()};
    }
    std::atomic<BOOL> answer = TRUE;  // FALSE plays a Windows without a notification area
    std::atomic<UINT> callback = 0;   // the icon's event message, as NIM_ADD gave it
    HWND other = nullptr;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TrayRecorder*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message != WM_COPYDATA || self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
        // Wine 8's notify_data (programs/explorer/systray.c): uID at 4, uCallbackMessage 12, szTip 16, szInfo 280,
        // uVersion 792, szInfoTitle 796, the icon's width and height 944.
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const auto number = [&](int at) { UINT n; std::memcpy(&n, static_cast<const BYTE*>(copy->lpData) + at, sizeof n); return n; };
        const auto text = [&](int at) { return std::wstring(reinterpret_cast<const wchar_t*>(static_cast<const BYTE*>(copy->lpData) + at)); };
        if (copy->dwData == NIM_ADD) self->callback = number(12);
        const std::lock_guard lock(self->mutex_);
        self->calls_.push_back(copy->dwData == NIM_ADD ? L"ADD " + std::to_wstring(number(4)) + L" " + std::to_wstring(number(944)) + L"x" +
                                                             std::to_wstring(number(948)) + L" " + text(16)
                               : copy->dwData == NIM_SETVERSION ? L"SETVERSION " + std::to_wstring(number(792))
                               : copy->dwData == NIM_MODIFY     ? L"MODIFY " + text(796) + L": " + text(280)
                                                                : L"DELETE " + std::to_wstring(number(4)));
        return self->answer;
    }
    void Run() {
        threadId_ = GetCurrentThreadId();
        const WNDCLASSW tray{0, Proc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"Shell_TrayWnd"};
        RegisterClassW(&tray);
        const HWND window = CreateWindowExW(WS_EX_TOPMOST, tray.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                            nullptr, nullptr, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(this));
        other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 600, 400, 100, 50, nullptr, nullptr, nullptr, nullptr);
        MSG message{};
        ready_ = true;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
        DestroyWindow(other);
        DestroyWindow(window);  // its class stays for the next recorder
    }

    std::atomic<bool> ready_ = false;
    DWORD threadId_ = 0;
    mutable std::mutex mutex_;
    std::vector<std::wstring> calls_;
    std::size_t seen_ = 0;
    std::thread thread_;  // last: it runs once the rest is made
};

}  // namespace e2e
