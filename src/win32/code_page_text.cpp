// Text to a code page's bytes and back through WideCharToMultiByte and MultiByteToWideChar.
#include "win32/code_page_text.h"

#include <windows.h>

#include <algorithm>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide text is UTF-16");

std::string ToCodePage(std::u16string_view text, unsigned codePage) {
    if (text.empty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(needed, 0)), '\0');
    if (needed > 0) WideCharToMultiByte(codePage, 0, wide, length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

std::u16string FromCodePage(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) return {};
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) return std::u16string(bytes.size(), u'?');
    std::u16string text(static_cast<std::size_t>(needed), u'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(text.data()), needed);
    return text;
}
