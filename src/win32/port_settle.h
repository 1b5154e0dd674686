// The settle timer of the port changes (WM_DEVICECHANGE), for the window and ListaVIRK: a burst of them is one scan.
#pragma once

#include <windows.h>

// One plug-in brings a burst of port changes: the scan waits until none has come for this long.
inline constexpr UINT kSettleMilliseconds = 500;
// The timer's id on the window that takes the port changes; other timers there take other ids.
inline constexpr UINT_PTR kSettleTimer = 1;

// For WM_DEVICECHANGE: a port's arrival or removal (re)starts the timer, any other device message changes nothing.
// False only when the timer could not be set.
bool RestartSettleTimer(HWND window, WPARAM event, LPARAM broadcast);

// For WM_TIMER: true when the settle timer fired and the caller may scan, the timer then stopped. Busy (inside
// a scan that lets messages through) the timer is left to fire again after it.
bool PortsSettled(HWND window, WPARAM timer, bool busy);
