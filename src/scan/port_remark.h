// What both programs say of an adapter's port beside its number: why it has none, or the problem Windows sees.
#pragma once

#include "scan/scanned_device.h"

#include <optional>
#include <string>

// For an adapter without a known port, why; for one whose port device has a problem, that problem; none where
// there is nothing to say. Short, in Spanish: the listing's third field, the balloon's and /serie's words alike.
std::optional<std::u16string> PortRemark(const ScannedDevice& device);
