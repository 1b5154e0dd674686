// ASCII bytes (digits, hex, file and function names) as text: each byte is its own character.
#pragma once

#include <string>
#include <string_view>

inline std::u16string AsciiText(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }
