// ListaVIRK: the scan of BuscadorVIRK from the command line: one listing once the scan is done, or waiting and
// watching for adapters that come and go.
#include "app/ascii_text.h"
#include "app/shared_state.h"
#include "cli/arguments.h"
#include "cli/console_win32.h"
#include "cli/listed_scan.h"
#include "cli/listing.h"
#include "cli/messages.h"
#include "cli/watching_win32.h"
#include "version.h"
#include "win32/windows_platform.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

int ListOnce(const ListCommand& command, Platform& platform, SharedState& state, const Console& console) {
    const ListedScan scan = ScanForListing(platform, state);
    // Nothing goes out before the scan is whole, so a failure never leaves half a listing.
    const ListOutput output = scan.Fault ? *scan.Fault : ListDevices(command, scan.Devices, platform.CodePage);
    console.Out(output.Out);
    console.Err(output.Err);
    return output.ExitCode;
}

}  // namespace

int main(int argc, char** argv) {
    // The Windows services behind the scan's seams; the device library loads at the first scan.
    WindowsPlatform windows;
    const Console console(windows.Windows9x());

    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    const auto command = ParseArguments(arguments);
    if (!command) {
        console.Err(kUsage);
        return kExitUsage;
    }
    if (command->Action == ListAction::Help) {
        console.Out(kUsage);
        return kExitListed;
    }
    if (command->Action == ListAction::Version) {
        console.Out(AsciiText(std::string("ListaVIRK ") + BUSCA_VERSION_TEXT + "\r\n"));
        return kExitListed;
    }

    Platform& platform = windows.Services();
    SharedState state;

    if (command->Action == ListAction::Esperar || command->Action == ListAction::Vigilar)
        return WaitOrWatch(*command, platform, windows.Windows(), state, console);
    return ListOnce(*command, platform, state, console);
}
