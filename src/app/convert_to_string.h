// Bytes to text, one character per byte through the ANSI code page.
#pragma once

#include "app/code_page.h"

#include <cstdint>
#include <span>
#include <string>

// The first ConvertLength bytes of ConvertArray; a zero byte gives a NUL character and the
// text goes on past it. Counts below 0 give empty text; counts past the array stop at its end.
std::u16string ConvertToString(std::span<const std::uint8_t> ConvertArray, std::int32_t ConvertLength,
                               const AnsiCodePage& codePage);
