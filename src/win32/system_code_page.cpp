// The system's ANSI code page (CP_ACP).
#include "win32/code_page_text.h"
#include "win32/services.h"

#include <windows.h>

SystemCodePage::SystemCodePage() {
    // Byte by byte, as the text is made: a lead byte of a double-byte code page has no
    // character alone and shows as '?'.
    for (unsigned byte = 0; byte < chars_.size(); ++byte) {
        const char in = static_cast<char>(byte);
        const std::u16string text = FromCodePage(std::string_view(&in, 1), CP_ACP);
        chars_[byte] = text.size() == 1 ? text[0] : u'?';
    }
}

std::string SystemCodePage::ToAnsi(std::u16string_view text) const { return ToCodePage(text, CP_ACP); }
