// /esperar and /vigilar: a scan at the start, then one after each settled burst of a port's changes.
#include "cli/watching_win32.h"

#include "cli/control_handler_win32.h"
#include "cli/listed_scan.h"
#include "cli/listing.h"
#include "cli/messages.h"
#include "cli/port_change_window_win32.h"
#include "cli/wait.h"
#include "scan/adapter_changes.h"

#include <optional>

namespace {

// What one scan calls for: an exit code to end with, or nullopt to wait for the next.
class Scans {
public:
    Scans(const ListCommand& command, Platform& platform, SharedState& state, const Console& console)
        : command_(command), platform_(platform), state_(state), console_(console) {}

    std::optional<int> Scan() {
        const ListedScan scan = ScanForListing(platform_, state_);
        if (scan.Fault) {
            console_.Err(scan.Fault->Err);
            return scan.Fault->ExitCode;
        }
        if (command_.Action == ListAction::Esperar) {
            const auto answer = WaitAnswer(command_, scan.Devices, platform_.CodePage);
            if (!answer) return std::nullopt;
            console_.Out(answer->Out);
            console_.Err(answer->Err);
            return answer->ExitCode;
        }
        // A line at a time, each whole, so a script reading a pipe has it at once.
        for (const AdapterChange& change : attached_.Next(scan.Devices))
            if (!console_.Out(ChangeLine(change))) return kExitNothing;
        return std::nullopt;
    }

    int Ended(WindowEvent event, DWORD error) const {
        switch (event) {
        case WindowEvent::TimeUp: console_.Err(GaveUp(command_, platform_.CodePage).Err); return kExitNothing;
        case WindowEvent::NoTimer: console_.Err(WindowFaultLine(WindowFault::Timer, error)); return kExitWindow;
        case WindowEvent::NoMessage: console_.Err(WindowFaultLine(WindowFault::Messages, error)); return kExitWindow;
        default: return command_.Action == ListAction::Vigilar ? kExitListed : kExitNothing;
        }
    }

private:
    const ListCommand& command_;
    Platform& platform_;
    SharedState& state_;
    const Console& console_;
    AttachedAdapters attached_;
};

int Run(const ListCommand& command, Platform& platform, SharedState& state, const Console& console,
        PortChangeWindow& window, ControlHandler& handler) {
    // Before the first scan, so an adapter that arrives during it is not missed.
    if (!window.Create()) {
        console.Err(WindowFaultLine(WindowFault::Window, GetLastError()));
        return kExitWindow;
    }
    handler.Tell(window.Window());
    if (command.Seconds != 0 && !window.SetDeadline(command.Seconds)) {
        console.Err(WindowFaultLine(WindowFault::Timer, GetLastError()));
        return kExitWindow;
    }
    Scans scans(command, platform, state, console);
    for (;;) {
        if (const auto exitCode = scans.Scan()) return *exitCode;
        const WindowEvent event = window.Next();
        if (event != WindowEvent::Scan) return scans.Ended(event, window.Error());
    }
}

}  // namespace

int WaitOrWatch(const ListCommand& command, Platform& platform, const WindowCalls& calls, SharedState& state,
                const Console& console) {
    ControlHandler handler(calls);  // outlives the window: its end tells a waiting handler that all is cleaned up
    PortChangeWindow window(calls);
    return Run(command, platform, state, console, window, handler);
}
