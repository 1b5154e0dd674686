// ListaVIRK's console control handler: Ctrl+C, Ctrl+Break and the console's close, logoff and shutdown ask its
// window to end, once the scan in progress is done.
#pragma once

#include "win32/window_calls.h"

#include <windows.h>

// Installed for as long as it lives; the window, once given, is told of each event it handles.
class ControlHandler {
public:
    // It posts to the window through `calls`.
    explicit ControlHandler(const WindowCalls& calls);
    // Once it goes nothing is left open: a handler waiting to return (Windows ends the process once it has) may.
    ~ControlHandler();
    ControlHandler(const ControlHandler&) = delete;
    ControlHandler& operator=(const ControlHandler&) = delete;

    void Tell(HWND window);
    // An event since the start asked to end.
    static bool EndAsked();
    // The message the handler posts to the window, so its wait for messages ends.
    static constexpr UINT kEndMessage = WM_APP + 1;
};
