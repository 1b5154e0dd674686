// Text and numbers: ReadPortNumber's grammar, the "PortName" value's bytes, ConvertToString and the code page.
#include "app/code_page.h"
#include "app/convert_to_string.h"
#include "portlookup/port_number.h"
#include "portlookup/registry_value.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

const std::u16string kZeros(2000000, u'0');

TEST(ReadPortNumber, ReadsTheLeadingNumber) {
    const std::pair<std::u16string, std::optional<std::int16_t>> kNumbers[] = {  // nullopt: no 16-bit number
        {u"", 0}, {u"0004", 4}, {u"00012", 12}, {u"000X", 0}, {u"0003x7", 3}, {u".5", 0}, {u"0003.", 3},
        {u"+12", 12}, {u"-32768", -32768}, {u"- 3", -3}, {u"0003.5.5", 4}, {u"0001\0" u"2"s, 1},
        // Blanks, tabs and line feeds are skipped anywhere; a carriage return ends the number.
        {u"0 0 0 1 2", 12}, {u"000\t3", 3}, {u"000\n3", 3}, {u"000\r3", 0}, {u"0 . 5", 0},
        // Exponents, and marks without digits after them.
        {u"0001e3", 1000}, {u"1 E 2", 100}, {u"0001E+2", 100}, {u"0005E-1", 0}, {u"0003E+", 3},
        {u"0.00000000000000000001E24", 10000}, {u"0." + kZeros + u"1E99999999", std::nullopt},
        {u"1" + kZeros + u"E-99999999", 0},
        // Half to even.
        {u"0003.5", 4}, {u"0002.5", 2}, {u"0002.51", 3},
        // Out of the 16-bit range.
        {u"00032767", 32767}, {u"00032767.4", 32767}, {u"00032767.5", std::nullopt}, {u"00032768", std::nullopt},
        {u"0001E99", std::nullopt}, {u"-32769", std::nullopt},
    };
    for (const auto& [text, number] : kNumbers) EXPECT_EQ(ReadPortNumber(text), number) << testing::PrintToString(text);
}

// The first three characters count as zeros; a last zero byte is the terminator, any other stays.
TEST(PortNameValue, GivesThePort) {
    const struct {
        std::string bytes;  // as the registry returns them
        std::int16_t port;
        std::uint32_t size = 0;  // ValueSize, when not the number of bytes
    } kValues[] = {{"COM4\0"s, 4}, {"XYZ9\0"s, 9}, {"COM12"s, 12}, {"CO\0"s, 0}, {"COM-5\0"s, 0}, {"COM32768\0"s, -1},
                   {std::string(102, '1'), -1, 0xFFFFFFFFu}};
    const WindowsLatin1CodePage codePage;
    for (const auto& c : kValues) {
        ValueBuffer buffer{};
        std::copy(c.bytes.begin(), c.bytes.end(), buffer.begin());
        const auto size = c.size != 0 ? c.size : static_cast<std::uint32_t>(c.bytes.size());
        EXPECT_EQ(PortNumberFromValue(buffer, size, codePage), c.port) << c.bytes;
    }
}

// One character a byte, as many as the count says within the bytes; every byte back as it was, through the
// registry's key names, and any other character a question mark.
TEST(WindowsLatin1CodePage, OneCharacterPerByteAndBackAgain) {
    const WindowsLatin1CodePage codePage;
    const std::tuple<std::string, std::int32_t, std::u16string> kConverts[] = {
        {"A\0B\0"s, 3, u"A\0B"s}, {"xyz", 0, u""}, {"xyz", -1, u""}, {"xyz", 2, u"xy"}, {"xyz", INT32_MAX, u"xyz"},
        {"\x80\x81\x9F\xFA\xFF", 5, u"\u20AC\u0081\u0178\u00FA\u00FF"},
    };
    for (const auto& [bytes, count, text] : kConverts)
        EXPECT_EQ(ConvertToString(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), count, codePage), text) << bytes;
    std::vector<std::uint8_t> all(256);
    for (unsigned i = 0; i < all.size(); ++i) all[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(codePage.ToAnsi(ConvertToString(all, 256, codePage)), std::string(all.begin(), all.end()));
    EXPECT_EQ(codePage.ToAnsi(u"a\u4E2Db\u0100"), "a?b?");
}

}  // namespace
