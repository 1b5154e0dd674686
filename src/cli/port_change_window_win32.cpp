// ListaVIRK's hidden top-level window: Windows broadcasts a port's arrival and removal to top-level windows only (a
// message-only window gets none), and its messages say when to scan and when to end.
#include "cli/port_change_window_win32.h"

#include "win32/port_settle.h"
#include "win32/window_calls.h"
#include "cli/control_handler_win32.h"

#include <algorithm>

namespace {

constexpr const wchar_t* kClassName = L"ListaVIRK.puertos";
constexpr UINT_PTR kDeadlineTimer = kSettleTimer + 1;
constexpr UINT kMillisecondsPerSecond = 1000;

}  // namespace

PortChangeWindow::~PortChangeWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
}

bool PortChangeWindow::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = OwnedWindowProcFor<PortChangeWindow>(calls_);
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    if (calls_.Register(windowClass) == 0) return false;
    // Top-level, with no parent and no owner, and not visible: broadcasts reach it, the user never sees it.
    return calls_.Create(0, kClassName, L"ListaVIRK", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, windowClass.hInstance,
                          this) != nullptr;
}

bool PortChangeWindow::SetDeadline(std::uint32_t seconds) {
    return SetTimer(window_, kDeadlineTimer, seconds * kMillisecondsPerSecond, nullptr) != 0;
}

WindowEvent PortChangeWindow::Next() {
    raised_ = false;
    while (!raised_ && !ControlHandler::EndAsked()) {
        MSG message{};
        const BOOL got = calls_.NextMessage(&message);
        if (got == -1) {
            error_ = GetLastError();
            return WindowEvent::NoMessage;
        }
        if (got == 0) return WindowEvent::End;
        calls_.Dispatch(&message);
    }
    return ControlHandler::EndAsked() ? std::max(event_, WindowEvent::End) : event_;
}

// Sent messages are handled inside GetMessage, which returns only for a posted one: a posted WM_NULL ends the wait.
void PortChangeWindow::Raise(WindowEvent event) {
    event_ = raised_ ? std::max(event_, event) : event;
    raised_ = true;
    calls_.Post(window_, WM_NULL, 0, 0);
}

void PortChangeWindow::RaiseFault(WindowEvent fault) {
    error_ = GetLastError();
    Raise(fault);
}

LRESULT PortChangeWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DEVICECHANGE:
        if (!RestartSettleTimer(window_, wParam, lParam)) RaiseFault(WindowEvent::NoTimer);
        return calls_.DefaultProc(window_, message, wParam, lParam);
    case WM_TIMER:
        if (PortsSettled(window_, wParam, false)) Raise(WindowEvent::Scan);
        if (wParam == kDeadlineTimer) {
            KillTimer(window_, kDeadlineTimer);
            Raise(WindowEvent::TimeUp);
        }
        return 0;
    case WM_CLOSE:
    case ControlHandler::kEndMessage:
        Raise(WindowEvent::End);
        return 0;
    // Nothing is open between scans, and no scan runs while a message is handled: the session may end now.
    case WM_QUERYENDSESSION:
        Raise(WindowEvent::End);
        return TRUE;
    case WM_ENDSESSION:
        if (wParam != FALSE) Raise(WindowEvent::End);
        return 0;
    case WM_NCDESTROY: {
        const HWND window = window_;
        calls_.SetUserData(window, 0);
        window_ = nullptr;
        return calls_.DefaultProc(window, message, wParam, lParam);
    }
    default:
        return calls_.DefaultProc(window_, message, wParam, lParam);
    }
}
