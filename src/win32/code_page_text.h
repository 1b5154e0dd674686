// Text to a code page's bytes and back: the one pair of conversions every Win32 part uses.
#pragma once

#include <string>
#include <string_view>

// A character the code page lacks becomes its default character ('?' in the Western ones).
std::string ToCodePage(std::u16string_view text, unsigned codePage);
// A byte the code page cannot map alone becomes '?', so every byte still gives a character.
std::u16string FromCodePage(std::string_view bytes, unsigned codePage);
