// The report of a scan as the window shows it, and a serial number as both programs show it.
#pragma once

#include "scan/scanned_device.h"

#include <span>
#include <string>

// A serial line for each device read, a port line for each device, two line breaks at the end.
std::u16string ReportText(std::span<const ScannedDevice> devices);

// A text as the report box shows it: a zero byte's NUL, which would end the box's text, as U+FFFD.
std::u16string AsShown(std::u16string text);
