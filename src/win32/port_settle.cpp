// The settle timer of the port changes, for the window and ListaVIRK: a burst of them is one scan.
#include "win32/port_settle.h"

#include "scan/port_change.h"

bool RestartSettleTimer(HWND window, WPARAM event, LPARAM broadcast) {
    if (!IsPortChange(event, reinterpret_cast<const void*>(broadcast))) return true;
    return SetTimer(window, kSettleTimer, kSettleMilliseconds, nullptr) != 0;
}

bool PortsSettled(HWND window, WPARAM timer, bool busy) {
    if (timer != kSettleTimer || busy) return false;
    KillTimer(window, kSettleTimer);
    return true;
}
