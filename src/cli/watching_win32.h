// /esperar and /vigilar: a scan at the start, then one after each settled burst of a port's changes.
#pragma once

#include "app/platform.h"
#include "app/shared_state.h"
#include "cli/arguments.h"
#include "cli/console_win32.h"
#include "win32/window_calls.h"

// Returns the exit code. Whatever ends it, no device is left open. Its hidden window is made through `calls`.
int WaitOrWatch(const ListCommand& command, Platform& platform, const WindowCalls& calls, SharedState& state,
                const Console& console);
