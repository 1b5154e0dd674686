// UTF-16 text as UTF-8 bytes, for output to a file or a pipe.
#pragma once

#include <string>
#include <string_view>

// A surrogate without its partner becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
