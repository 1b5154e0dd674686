// ASCII bytes (digits, hex, file and function names) as text: each byte is its own character.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

inline std::u16string AsciiText(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

// A USB id as Windows names it and the listings show it: at least four hex digits; a negative id (as a library
// may write one) shows its 32-bit two's complement.
inline std::u16string HexId(std::int32_t id, bool upperCase) {
    char digits[16];
    std::snprintf(digits, sizeof digits, upperCase ? "%04X" : "%04x", static_cast<std::uint32_t>(id));
    return AsciiText(digits);
}
