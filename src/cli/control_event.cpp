// What ListaVIRK's console control handler does for each event: free of <windows.h>, so the native tests check it.
#include "cli/control_event.h"

namespace {

// As Windows' wincon.h numbers them.
constexpr std::uint32_t kCtrlC = 0, kCtrlBreak = 1, kClose = 2, kLogoff = 5, kShutdown = 6;

}  // namespace

ControlAnswer AnswerTo(std::uint32_t controlEvent) {
    switch (controlEvent) {
    case kCtrlC:
    case kCtrlBreak: return ControlAnswer::End;
    case kClose:
    case kLogoff:
    case kShutdown: return ControlAnswer::EndAndWait;
    default: return ControlAnswer::PassOn;
    }
}
