// Windows-1252 as a table, for builds without the platform's code page (native tests, fuzzing).
#include "app/code_page.h"

namespace {

// Bytes 0x80..0x9F; the rest of the code page equals its byte value.
constexpr std::array<char16_t, 32> kHighControlRange = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

}  // namespace

WindowsLatin1CodePage::WindowsLatin1CodePage() {
    for (unsigned byte = 0; byte < chars_.size(); ++byte)
        chars_[byte] = static_cast<char16_t>(byte);
    for (unsigned i = 0; i < kHighControlRange.size(); ++i)
        chars_[0x80 + i] = kHighControlRange[i];
}

std::string WindowsLatin1CodePage::ToAnsi(std::u16string_view text) const {
    std::string bytes;
    bytes.reserve(text.size());
    for (char16_t ch : text) {
        char byte = '?';
        if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
            byte = static_cast<char>(ch);
        } else {
            for (unsigned i = 0; i < kHighControlRange.size(); ++i) {
                if (kHighControlRange[i] == ch) {
                    byte = static_cast<char>(0x80 + i);
                    break;
                }
            }
        }
        bytes.push_back(byte);
    }
    return bytes;
}
