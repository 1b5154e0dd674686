// Bytes to text, one character per byte through the ANSI code page.
#include "app/convert_to_string.h"

#include <algorithm>

std::u16string ConvertToString(std::span<const std::uint8_t> ConvertArray, std::int32_t ConvertLength,
                               const AnsiCodePage& codePage) {
    const auto count = std::clamp<std::int64_t>(ConvertLength, 0, static_cast<std::int64_t>(ConvertArray.size()));
    const auto& chars = codePage.ByteChars();
    std::u16string text;
    text.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i)
        text.push_back(chars[ConvertArray[static_cast<std::size_t>(i)]]);
    return text;
}
