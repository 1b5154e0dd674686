// Reading a COM port number out of the text of a "PortName" value.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

inline constexpr std::int16_t kNoPort = -1;
// Port numbers start at 1: a name such as COM, which reads as 0, names no port.
inline constexpr std::int16_t kFirstPort = 1;

// The leading decimal number of text: an optional sign, digits, at most one decimal point
// with further digits and an optional E exponent; blanks, tabs and line feeds are skipped
// wherever they stand and the first other character ends it. Text without a leading number
// reads as 0. The value is rounded half to even; nullopt when it does not fit 16 bits.
std::optional<std::int16_t> ReadPortNumber(std::u16string_view text);
