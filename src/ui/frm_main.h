// frmMain, the program's one window: scans on load, on "Buscar" and when a port comes or goes; ends on "Salir".
#pragma once

#include "app/platform.h"
#include "app/shared_state.h"
#include "win32/window_calls.h"

#include <windows.h>

// Creates frmMain through `calls`, runs the first scan, shows the window and runs its message loop.
// Returns the program's exit code: 0, or 1 when the device library could not be used.
int RunMainWindow(HINSTANCE instance, int showCommand, Platform& platform, const WindowCalls& calls,
                  SharedState& state);
