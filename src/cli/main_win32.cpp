// ListaVIRK: the scan of BuscadorVIRK from the command line, one listing on standard output once the scan is done.
#include "app/ascii_text.h"
#include "app/platform.h"
#include "app/present_ports_win32.h"
#include "app/shared_state.h"
#include "app/win32_services.h"
#include "cli/arguments.h"
#include "cli/console_win32.h"
#include "cli/listing.h"
#include "devicelib/library_loader_win32.h"
#include "scan/device_scan.h"
#include "version.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The library's message, which the window shows in a box, as one line.
std::u16string OneLine(std::u16string message) {
    for (std::size_t at; (at = message.find(u"\r\n")) != std::u16string::npos;)
        message.replace(at, message.find_first_not_of(u"\r\n", at) - at, u" ");
    return message + u"\r\n";
}

}  // namespace

int main(int argc, char** argv) {
    Kernel32Version version;
    const bool windows9x = IsWindows9xFamily(version.GetVersion());
    const auto out = [&](std::u16string_view text) { WriteText(STD_OUTPUT_HANDLE, text, windows9x); };
    const auto err = [&](std::u16string_view text) { WriteText(STD_ERROR_HANDLE, text, windows9x); };

    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    const auto command = ParseArguments(arguments);
    if (!command) {
        err(kUsage);
        return kExitUsage;
    }
    if (command->Action == ListAction::Help) {
        out(kUsage);
        return kExitListed;
    }
    if (command->Action == ListAction::Version) {
        out(AsciiText(std::string("ListaVIRK ") + BUSCA_VERSION_TEXT + "\r\n"));
        return kExitListed;
    }

    Advapi32Registry registry;
    SetupApiPorts ports;
    SystemCodePage codePage;
    LoadedDeviceLibrary library(u"ListaVIRK.exe", windows9x);
    Platform platform{library, registry, ports, version, codePage};
    SharedState state;
    std::vector<ScannedDevice> devices;
    try {
        devices = ScanDevices(platform, state);
    } catch (const DeviceLibraryFault& fault) {
        CloseDeviceLeftOpen(library, state);
        err(OneLine(fault.Message));
        return kExitLibrary;
    }
    // Nothing goes out before the scan is whole, so a failure never leaves half a listing.
    const ListOutput output = ListDevices(*command, devices, codePage);
    out(output.Out);
    err(output.Err);
    return output.ExitCode;
}
