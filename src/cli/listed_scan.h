// A whole scan for ListaVIRK, or why the device library cannot be used.
#pragma once

#include "cli/exit_codes.h"
#include "scan/device_scan.h"

#include <optional>
#include <vector>

// The devices, or the line that tells why the library cannot be used (exit code 3), the device it left open
// closed first.
struct ListedScan {
    std::vector<ScannedDevice> Devices;
    std::optional<ListOutput> Fault;
};
ListedScan ScanForListing(Platform& platform, SharedState& state);
