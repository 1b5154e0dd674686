// A whole scan for ListaVIRK, or why the device library cannot be used.
#include "cli/listed_scan.h"

#include "cli/messages.h"

ListedScan ScanForListing(Platform& platform, SharedState& state) {
    try {
        return {ScanDevices(platform, state), std::nullopt};
    } catch (const DeviceLibraryFault& fault) {
        CloseDeviceLeftOpen(platform.Devices, state);
        return {{}, ListOutput{{}, FaultLine(fault), kExitLibrary}};
    }
}
