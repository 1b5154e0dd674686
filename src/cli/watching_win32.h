// /esperar and /vigilar: a scan at the start, then one after each settled burst of a port's notices.
#pragma once

#include "app/platform.h"
#include "app/shared_state.h"
#include "cli/arguments.h"
#include "cli/console_win32.h"

// Returns the exit code. Whatever ends it, no device is left open.
int WaitOrWatch(const ListCommand& command, Platform& platform, SharedState& state, const Console& console);
