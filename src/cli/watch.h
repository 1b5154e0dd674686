// What /vigilar tells of each scan: the adapters that came and went since the lines before.
#pragma once

#include "scan/device_scan.h"

#include <span>
#include <vector>

enum class ChangeKind { Conectado, Desconectado };

struct AdapterChange {
    ChangeKind What;
    ScannedDevice Device;  // as the scan that saw it last read it
};

// The adapters the lines so far tell attached. An adapter is its vid, pid, serial as shown and known port: a
// change of any of them is a removal and an arrival, a change of order or location alone is none.
class AttachedAdapters {
public:
    // The changes from the adapters told so far to this scan, then taken as told: first each removal, in the order
    // of the adapters told, then each arrival, in the scan's index order. An adapter whose identity this scan
    // could not read is told neither way; for each, one adapter missing from the scan is taken to be it, not gone.
    std::vector<AdapterChange> Next(std::span<const ScannedDevice> scan);

private:
    std::vector<ScannedDevice> told_;  // the scan's adapters read, in index order, then those taken as unreadable
};
