// Reading port numbers: the number grammar, rounding and range, and the "PortName" value rules.
#include "app/code_page.h"
#include "portlookup/port_number.h"
#include "portlookup/registry_value.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct NumberCase {
    std::u16string text;
    std::optional<std::int16_t> expected;
};

class ReadPortNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(ReadPortNumberTest, ReadsLeadingNumber) {
    EXPECT_EQ(ReadPortNumber(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, ReadPortNumberTest,
    testing::Values(NumberCase{u"", 0}, NumberCase{u"4", 4}, NumberCase{u"0004", 4}, NumberCase{u"00012", 12},
                    NumberCase{u"000 7", 7}, NumberCase{u"0 0 0 1 2", 12}, NumberCase{u"000\t3", 3},
                    NumberCase{u"000\n3", 3}, NumberCase{u"000\r3", 0}, NumberCase{u"000X", 0},
                    NumberCase{u"0003x7", 3}, NumberCase{std::u16string(u"0001\0" u"2", 6), 1},
                    NumberCase{u"0003E", 3}, NumberCase{u"0003E+", 3}, NumberCase{u"0001E3", 1000},
                    NumberCase{u"0001e3", 1000}, NumberCase{u"1 E 2", 100}, NumberCase{u"0001E+2", 100},
                    NumberCase{u"0005E-1", 0}, NumberCase{u"00015E-1", 2}, NumberCase{u".5", 0},
                    NumberCase{u"0003.", 3}, NumberCase{u"0003.5.5", 4}, NumberCase{u"0 . 5", 0},
                    NumberCase{u"1E-99999", 0}, NumberCase{u"0000.0000000000001E13", 1},
                    NumberCase{u"0.00000000000000000001E24", 10000}));

INSTANTIATE_TEST_SUITE_P(
    RoundsHalfToEven, ReadPortNumberTest,
    testing::Values(NumberCase{u"0003.5", 4}, NumberCase{u"0002.5", 2}, NumberCase{u"0002.51", 3},
                    NumberCase{u"0004.5", 4}, NumberCase{u"0001.5", 2}, NumberCase{u"0000.5", 0},
                    NumberCase{u"0000.49", 0}));

INSTANTIATE_TEST_SUITE_P(
    Range, ReadPortNumberTest,
    testing::Values(NumberCase{u"00032767", 32767}, NumberCase{u"00032767.4", 32767},
                    NumberCase{u"00032767.5", std::nullopt}, NumberCase{u"00032768", std::nullopt},
                    NumberCase{u"00040000", std::nullopt}, NumberCase{u"0001E99", std::nullopt},
                    NumberCase{u"1E99999999999999", std::nullopt}, NumberCase{u"-32768", -32768},
                    NumberCase{u"-32769", std::nullopt}, NumberCase{u"+12", 12}, NumberCase{u"- 3", -3}));

struct ValueCase {
    std::string bytes;  // the value as the registry returns it
    std::int16_t expected;
};

class PortNameValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(PortNameValueTest, GivesPortNumber) {
    const WindowsLatin1CodePage codePage;
    ValueBuffer buffer{};
    std::copy(GetParam().bytes.begin(), GetParam().bytes.end(), buffer.begin());
    const auto size = static_cast<std::uint32_t>(GetParam().bytes.size());
    EXPECT_EQ(PortNumberFromValue(buffer, size, codePage), GetParam().expected);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    PortNames, PortNameValueTest,
    testing::Values(ValueCase{"COM4\0"s, 4}, ValueCase{"COM12\0"s, 12}, ValueCase{"COM256\0"s, 256},
                    ValueCase{"LPT1\0"s, 1}, ValueCase{"COMX\0"s, 0}, ValueCase{"COM 7\0"s, 7},
                    ValueCase{"COM3.5\0"s, 4}, ValueCase{"COM2.5\0"s, 2}, ValueCase{"COM1E3\0"s, 1000},
                    ValueCase{"XYZ9\0"s, 9}, ValueCase{"COM4\0\0"s, 4}));

INSTANTIATE_TEST_SUITE_P(
    ShortValuesGiveZero, PortNameValueTest,
    testing::Values(ValueCase{""s, 0}, ValueCase{"\0"s, 0}, ValueCase{"C"s, 0}, ValueCase{"CO\0"s, 0},
                    ValueCase{"COM\0"s, 0}, ValueCase{"COM"s, 0}));

// A value stored without its terminating zero keeps its last character.
INSTANTIATE_TEST_SUITE_P(WithoutZeroByte, PortNameValueTest,
                         testing::Values(ValueCase{"COM12"s, 12}, ValueCase{"COM4"s, 4}, ValueCase{"COM1"s, 1}));

// Numbers that cannot be a port give no port, never a fault.
INSTANTIATE_TEST_SUITE_P(OutOfRange, PortNameValueTest,
                         testing::Values(ValueCase{"COM40000\0"s, -1}, ValueCase{"COM1E99\0"s, -1},
                                         ValueCase{"COM32768\0"s, -1}, ValueCase{"COM32767\0"s, 32767}));

TEST(PortNameValue, SizeBeyondBufferReadsOnlyTheBuffer) {
    const WindowsLatin1CodePage codePage;
    ValueBuffer buffer{};
    buffer.fill('1');
    // 102 ones: far past any port number, and nothing is read past the buffer.
    EXPECT_EQ(PortNumberFromValue(buffer, 0xFFFFFFFFu, codePage), -1);
    EXPECT_EQ(ValueText(buffer, 5000, codePage).size(), kValueBufferSize);
}

}  // namespace
