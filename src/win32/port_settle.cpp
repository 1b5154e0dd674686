// The settle timer of the port notices, for the window and ListaVIRK: a burst of notices is one scan.
#include "win32/port_settle.h"

#include "scan/port_change.h"

bool RestartSettleTimer(HWND window, WPARAM event, LPARAM notice) {
    if (!IsPortChange(event, reinterpret_cast<const void*>(notice))) return true;
    return SetTimer(window, kSettleTimer, kSettleMilliseconds, nullptr) != 0;
}

bool PortsSettled(HWND window, WPARAM timer, bool busy) {
    if (timer != kSettleTimer || busy) return false;
    KillTimer(window, kSettleTimer);
    return true;
}
