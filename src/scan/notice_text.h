// What a plug-in notice says: the adapters that came and went between two scans, one line each.
#pragma once

#include "scan/scanned_device.h"

#include <cstddef>
#include <span>
#include <string>

// What the notification area takes of a balloon's text, its terminator not counted.
inline constexpr std::size_t kNoticeTextLimit = 255;

// The lines for the adapters that arrived, then those that left, each in its scan's order, as much as fits
// kNoticeTextLimit in whole lines and "(y N más)" for the rest. Empty when nothing changed.
std::u16string NoticeText(std::span<const ScannedDevice> before, std::span<const ScannedDevice> now);
