// What a plug-in notice says: the adapters that came and went, one line each.
#pragma once

#include "scan/adapter_changes.h"

#include <cstddef>
#include <span>
#include <string>

// What the notification area takes of a balloon's text, its terminator not counted.
inline constexpr std::size_t kNoticeTextLimit = 255;

// A text's length in the units the notification area counts: UTF-16 units, or the code page's bytes on the 98 family.
using TextLength = std::size_t (*)(std::u16string_view text);
inline std::size_t Utf16Length(std::u16string_view text) { return text.size(); }

// A line for each adapter that arrived, one whose port changed among them where the new port is known, then for
// each that left, never one still attached; each in the order the changes give. As much as fits kNoticeTextLimit
// by `length` in whole lines, and "(y N más)" for the rest. Empty when nothing is to be told.
std::u16string NoticeText(std::span<const AdapterChange> changes, TextLength length = Utf16Length);
