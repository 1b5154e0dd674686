// ListaVIRK's hidden top-level window: Windows broadcasts a port's arrival and removal to top-level windows only (a
// message-only window gets none), and its messages say when to scan and when to end.
#pragma once

#include "win32/window_calls.h"

#include <windows.h>

#include <cstdint>

// What the wait for messages ended on, the weightiest first when several came together.
enum class WindowEvent { Scan, TimeUp, End, NoTimer, NoMessage };

class PortChangeWindow {
public:
    // Made and handled through `calls`, the running Windows' window functions.
    explicit PortChangeWindow(const WindowCalls& calls) : calls_(calls) {}
    ~PortChangeWindow();
    PortChangeWindow(const PortChangeWindow&) = delete;
    PortChangeWindow& operator=(const PortChangeWindow&) = delete;

    // Never shown. False when it could not be made: GetLastError says why.
    bool Create();
    // TimeUp after that many seconds. False when the timer could not be set.
    bool SetDeadline(std::uint32_t seconds);
    // Handles messages until a port's changes have settled, the deadline passes, an end is asked for (WM_CLOSE,
    // WM_QUERYENDSESSION, WM_ENDSESSION, a console control event) or a fault: the settle timer could not be
    // set, or GetMessage failed.
    WindowEvent Next();
    // What Windows said of the fault Next() ended on.
    DWORD Error() const { return error_; }
    HWND Window() const { return window_; }

    // Its window procedure's (OwnedWindowProc).
    void Attach(HWND window) { window_ = window; }
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Raise(WindowEvent event);
    void RaiseFault(WindowEvent fault);

    const WindowCalls& calls_;
    HWND window_ = nullptr;
    bool raised_ = false;
    WindowEvent event_ = WindowEvent::Scan;
    DWORD error_ = 0;
};
