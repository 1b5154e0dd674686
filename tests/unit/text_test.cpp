// Text and numbers: ReadPortNumber's grammar, the "PortName" value's bytes, ConvertToString and the code page.
#include "app/code_page.h"
#include "app/convert_to_string.h"
#include "portlookup/port_number.h"
#include "portlookup/registry_value.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

struct NumberCase {
    std::u16string text;
    std::optional<std::int16_t> number;  // nullopt: no 16-bit number
};

const std::u16string kZeros(2000000, u'0');

const NumberCase kNumbers[] = {
    {u"", 0}, {u"4", 4}, {u"0004", 4}, {u"00012", 12}, {u"000X", 0}, {u"0003x7", 3}, {u".5", 0}, {u"0003.", 3},
    {u"+12", 12}, {u"-32768", -32768}, {u"- 3", -3}, {u"0003.5.5", 4}, {u"0001\0" u"2"s, 1},
    // Blanks, tabs and line feeds are skipped anywhere; a carriage return ends the number.
    {u"000 7", 7}, {u"0 0 0 1 2", 12}, {u"000\t3", 3}, {u"000\n3", 3}, {u"000\r3", 0}, {u"0 . 5", 0},
    // Exponents, and marks without digits after them.
    {u"0001E3", 1000}, {u"0001e3", 1000}, {u"1 E 2", 100}, {u"0001E+2", 100}, {u"0005E-1", 0}, {u"00015E-1", 2},
    {u"0003E", 3}, {u"0003E+", 3}, {u"1E-99999", 0}, {u"0000.0000000000001E13", 1},
    {u"0.00000000000000000001E24", 10000}, {u"0." + kZeros + u"1E99999999", std::nullopt},
    {u"1" + kZeros + u"E-99999999", 0},
    // Half to even.
    {u"0003.5", 4}, {u"0002.5", 2}, {u"0002.51", 3}, {u"0004.5", 4}, {u"0001.5", 2}, {u"0000.5", 0}, {u"0000.49", 0},
    // Out of the 16-bit range.
    {u"00032767", 32767}, {u"00032767.4", 32767}, {u"00032767.5", std::nullopt}, {u"00032768", std::nullopt},
    {u"00040000", std::nullopt}, {u"0001E99", std::nullopt}, {u"1E99999999999999", std::nullopt},
    {u"-32769", std::nullopt},
};

class ReadPortNumberTable : public testing::TestWithParam<NumberCase> {};

TEST_P(ReadPortNumberTable, ReadsTheLeadingNumber) { EXPECT_EQ(ReadPortNumber(GetParam().text), GetParam().number); }

INSTANTIATE_TEST_SUITE_P(Table, ReadPortNumberTable, testing::ValuesIn(kNumbers));

struct ValueCase {
    std::string bytes;  // as the registry returns them
    std::int16_t port;
    std::uint32_t size = 0;  // ValueSize, when not the number of bytes
};

// The first three characters count as zeros; a last zero byte is the terminator, any other stays.
const ValueCase kValues[] = {
    {"COM4\0"s, 4}, {"COM12\0"s, 12}, {"LPT1\0"s, 1}, {"XYZ9\0"s, 9}, {"COMX\0"s, 0}, {"COM 7\0"s, 7},
    {"COM4\0\0"s, 4}, {"COM12"s, 12}, {"COM1"s, 1}, {""s, 0}, {"\0"s, 0}, {"CO\0"s, 0}, {"COM"s, 0},
    {"COM3.5\0"s, 4}, {"COM2.5\0"s, 2}, {"COM1E3\0"s, 1000}, {"COM-5\0"s, 0}, {"COM\t1 2\n3\0"s, 123},
    {"COM32767\0"s, 32767}, {"COM32768\0"s, -1}, {"COM40000\0"s, -1}, {"COM1E99\0"s, -1},
    {"COM" + std::string(96, '0') + "8", 8}, {std::string(102, '1'), -1, 0xFFFFFFFFu},
};

class PortNameValue : public testing::TestWithParam<ValueCase> {};

TEST_P(PortNameValue, GivesThePort) {
    const WindowsLatin1CodePage codePage;
    ValueBuffer buffer{};
    std::copy(GetParam().bytes.begin(), GetParam().bytes.end(), buffer.begin());
    const auto size = GetParam().size != 0 ? GetParam().size : static_cast<std::uint32_t>(GetParam().bytes.size());
    EXPECT_EQ(PortNumberFromValue(buffer, size, codePage), GetParam().port);
}

INSTANTIATE_TEST_SUITE_P(Table, PortNameValue, testing::ValuesIn(kValues));

struct ConvertCase {
    std::string bytes;
    std::int32_t count;
    std::u16string text;
};

const ConvertCase kConverts[] = {
    {"A\0B\0"s, 3, u"A\0B"s}, {"xyz", 0, u""}, {"xyz", -1, u""}, {"xyz", INT32_MIN, u""}, {"xyz", 2, u"xy"},
    {"xyz", INT32_MAX, u"xyz"}, {"\x80\x81\x9F\xFA\xFF", 5, u"\u20AC\u0081\u0178\u00FA\u00FF"},
};

class ConvertToStringTable : public testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertToStringTable, OneCharacterPerByte) {
    const WindowsLatin1CodePage codePage;
    const auto& bytes = GetParam().bytes;
    const std::vector<std::uint8_t> array(bytes.begin(), bytes.end());
    EXPECT_EQ(ConvertToString(array, GetParam().count, codePage), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, ConvertToStringTable, testing::ValuesIn(kConverts));

// The registry is asked for keys in the code page's bytes: every byte must come back as it was.
TEST(WindowsLatin1CodePage, EveryByteSurvivesTheRoundTripAndOthersBecomeQuestionMarks) {
    const WindowsLatin1CodePage codePage;
    std::vector<std::uint8_t> all(256);
    for (unsigned i = 0; i < all.size(); ++i) all[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(codePage.ToAnsi(ConvertToString(all, 256, codePage)), std::string(all.begin(), all.end()));
    EXPECT_EQ(codePage.ToAnsi(u"a\u4E2Db\u0100"), "a?b?");
}

}  // namespace
