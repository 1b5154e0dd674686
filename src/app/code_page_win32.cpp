// The system's ANSI code page through MultiByteToWideChar and WideCharToMultiByte.
#include "app/win32_services.h"

#include <windows.h>

SystemCodePage::SystemCodePage() {
    // Byte by byte, as the text is made: a lead byte of a double-byte code page has no
    // character alone and shows as '?'.
    for (unsigned byte = 0; byte < chars_.size(); ++byte) {
        const char in = static_cast<char>(byte);
        wchar_t out = L'?';
        if (MultiByteToWideChar(CP_ACP, 0, &in, 1, &out, 1) != 1) out = L'?';
        chars_[byte] = static_cast<char16_t>(out);
    }
}

std::string SystemCodePage::ToAnsi(std::u16string_view text) const {
    if (text.empty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0) WideCharToMultiByte(CP_ACP, 0, wide, length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}
