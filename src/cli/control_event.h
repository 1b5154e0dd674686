// What ListaVIRK's console control handler does for each event: free of <windows.h>, so the native tests check it.
#pragma once

#include <cstdint>

enum class ControlAnswer {
    PassOn,      // not ListaVIRK's to handle: the next handler's, or Windows' default
    End,         // ends once the scan in progress is done; the process goes on until then
    EndAndWait,  // the same, but Windows ends the process once the handler returns: it waits for the cleanup first
};

// controlEvent as the handler gets it: CTRL_C_EVENT (0), CTRL_BREAK_EVENT (1), CTRL_CLOSE_EVENT (2),
// CTRL_LOGOFF_EVENT (5), CTRL_SHUTDOWN_EVENT (6).
ControlAnswer AnswerTo(std::uint32_t controlEvent);
