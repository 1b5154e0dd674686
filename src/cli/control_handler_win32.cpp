// ListaVIRK's console control handler: Ctrl+C, Ctrl+Break and the console's close, logoff and shutdown ask its
// window to end, once the scan in progress is done.
#include "cli/control_handler_win32.h"

#include <atomic>

namespace {

enum class ControlAnswer {
    PassOn,      // not ListaVIRK's to handle: the next handler's, or Windows' default
    End,         // ends once the scan in progress is done; the process goes on until then
    EndAndWait,  // the same, but Windows ends the process once the handler returns: it waits for the cleanup first
};

ControlAnswer AnswerTo(DWORD controlEvent) {
    switch (controlEvent) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT: return ControlAnswer::End;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT: return ControlAnswer::EndAndWait;
    default: return ControlAnswer::PassOn;
    }
}

// Windows gives a handler of the console's close 5 s before it ends the process anyway.
constexpr DWORD kCleanUpWaitMilliseconds = 5000;

// The handler runs on a thread of Windows' own, while the main thread scans or waits: it touches only these, lock
// free, then PostMessage and SetEvent; no allocation, no exception, no lock. The event is made before the
// handler is installed and never closed, so a handler still waiting never waits on a closed handle.
std::atomic<bool> endAsked{false};
std::atomic<HWND> endWindow{nullptr};
std::atomic<const WindowCalls*> endCalls{nullptr};
HANDLE cleanedUp = nullptr;

BOOL WINAPI OnControlEvent(DWORD event) {
    const ControlAnswer answer = AnswerTo(event);
    if (answer == ControlAnswer::PassOn) return FALSE;
    endAsked.store(true);
    endCalls.load()->Post(endWindow.load(), ControlHandler::kEndMessage, 0, 0);
    if (answer == ControlAnswer::EndAndWait && cleanedUp != nullptr) WaitForSingleObject(cleanedUp, kCleanUpWaitMilliseconds);
    return TRUE;
}

}  // namespace

ControlHandler::ControlHandler(const WindowCalls& calls) {
    endCalls.store(&calls);
    if (cleanedUp == nullptr) cleanedUp = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnControlEvent, TRUE);
}

// An event before this is seen by the flag alone, before the next wait for messages.
void ControlHandler::Tell(HWND window) { endWindow.store(window); }

ControlHandler::~ControlHandler() {
    if (cleanedUp != nullptr) SetEvent(cleanedUp);
    SetConsoleCtrlHandler(OnControlEvent, FALSE);
}

bool ControlHandler::EndAsked() { return endAsked.load(); }
