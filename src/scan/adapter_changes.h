// What changed between two scans, as both programs tell it: the window's balloon and ListaVIRK /vigilar.
#pragma once

#include "scan/scanned_device.h"

#include <span>
#include <vector>

enum class ChangeKind { Conectado, Desconectado };

struct AdapterChange {
    ChangeKind What;
    ScannedDevice Device;  // as the scan that saw it last read it
    // One side of a port change: the same adapter, still attached, gone from its old port or come on its new one.
    bool PortChange = false;
};

// The adapters told attached so far. An adapter is its vid, pid and serial as shown; paired first with one on
// the same known port (or none), then with one on another: a change of port is a removal from the old and an
// arrival on the new, a change of order or location alone is none.
class AttachedAdapters {
public:
    // The changes from the adapters told so far to this scan, which is then taken as told: first each removal, in
    // the order told, then each arrival, in the scan's index order. An adapter whose identity this scan could not
    // read (another program holds its port) is told neither way; for each, one adapter missing from the scan is
    // taken to be it, not gone, and stays told, so it is no arrival when it reads again.
    std::vector<AdapterChange> Next(std::span<const ScannedDevice> scan);

private:
    std::vector<ScannedDevice> told_;  // the scan's adapters read, in index order, then those taken as unreadable
};
