// Native unit tests of the stand-in device library's device file parser and journal format.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device_file.h"
#include "journal_format.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

// Names each parameterized case after its row, so a failure says which row broke.
struct CaseName {
    template <typename Info>
    std::string operator()(const Info& row) const { return row.param.name; }
};

// ---- SERIAL tokens ----

struct SerialCase {
    const char* name;
    std::string token;
    std::optional<Bytes> expected;  // nullopt: the token is malformed
};

const std::string k64(64, 'x');

const SerialCase kSerialCases[] = {
    {"dash_is_empty", "-", Bytes{}},
    {"double_dash_is_literal", "--", ToBytes("--")},
    {"escaped_dash_is_one_byte", "%2D", ToBytes("-")},
    {"space_escape", "ABC%2012", ToBytes("ABC 12")},
    {"nul_and_ff", "%00%FF", Bytes{0x00, 0xFF}},
    {"lower_case_hex", "%ff%0a", Bytes{0xFF, 0x0A}},
    {"percent_escape", "%25", ToBytes("%")},
    {"escape_then_digits_stay_literal", "%414", ToBytes("A4")},
    {"hash_inside_serial", "#1", ToBytes("#1")},
    {"raw_high_byte", "\xE9", Bytes{0xE9}},
    {"lone_percent", "%", std::nullopt},
    {"one_digit_escape", "%4", std::nullopt},
    {"trailing_percent", "AB%", std::nullopt},
    {"non_hex_escape", "%G0", std::nullopt},
    {"non_hex_second_digit", "%0G", std::nullopt},
    {"percent_percent", "%%", std::nullopt},
    {"exactly_64_bytes", k64, ToBytes(k64)},
    {"64_bytes_ending_in_escape", std::string(63, 'x') + "%41", ToBytes(std::string(63, 'x') + "A")},
    {"64_escaped_bytes", [] { std::string s; for (int i = 0; i < 64; ++i) s += "%00"; return s; }(), Bytes(64, 0)},
    {"65_bytes", k64 + "y", std::nullopt},
    {"65th_byte_escaped", k64 + "%41", std::nullopt},
};

class SerialTokenTest : public testing::TestWithParam<SerialCase> {};

TEST_P(SerialTokenTest, Parses) {
    const SerialCase& c = GetParam();
    EXPECT_EQ(standin::ParseSerialToken(c.token), c.expected);
}

// A token is a view into the line: an escape cut short by the token's end must not borrow the next characters.
TEST(SerialToken, EscapeCutShortByTokenEndIsMalformed) {
    const std::string_view line = "%41 %4142";
    EXPECT_EQ(standin::ParseSerialToken(line.substr(0, 2)), std::nullopt);
    EXPECT_EQ(standin::ParseSerialToken(line.substr(4, 2)), std::nullopt);
    EXPECT_EQ(standin::ParseSerialToken(line.substr(4, 3)), ToBytes("A"));
}

INSTANTIATE_TEST_SUITE_P(Tokens, SerialTokenTest, testing::ValuesIn(kSerialCases), CaseName{});

// ---- numbers ----

struct Int32Case {
    const char* name;
    std::string_view token;
    std::optional<std::int32_t> expected;
};

const Int32Case kInt32Cases[] = {
    {"zero", "0", 0},
    {"minus_one", "-1", -1},
    {"above_16_bits", "65536", 65536},
    {"int32_max", "2147483647", 2147483647},
    {"int32_min", "-2147483648", INT32_MIN},
    {"overflow", "2147483648", std::nullopt},
    {"underflow", "-2147483649", std::nullopt},
    {"hex", "0x1F", 31},
    {"hex_upper_prefix", "0X10", 16},
    {"hex_all_ones_is_minus_one", "0xFFFFFFFF", -1},
    {"hex_high_bit", "0x80000000", INT32_MIN},
    {"hex_nine_digits", "0x100000000", std::nullopt},
    {"hex_without_digits", "0x", std::nullopt},
    {"hex_negative", "0x-1", std::nullopt},
    {"plus_sign", "+1", std::nullopt},
    {"trailing_garbage", "12a", std::nullopt},
    {"empty", "", std::nullopt},
    {"lone_minus", "-", std::nullopt},
};

class Int32Test : public testing::TestWithParam<Int32Case> {};

TEST_P(Int32Test, Parses) { EXPECT_EQ(standin::ParseInt32(GetParam().token), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Values, Int32Test, testing::ValuesIn(kInt32Cases), CaseName{});

struct HexIdCase {
    const char* name;
    std::string_view token;
    std::optional<std::uint32_t> expected;
};

const HexIdCase kHexIdCases[] = {
    {"lower", "5e1a", 0x5E1Au},
    {"upper", "B007", 0xB007u},
    {"one_digit", "1", 1u},
    {"leading_zeros", "00005e1a", 0x5E1Au},
    {"full_32_bits", "ffffffff", 0xFFFFFFFFu},
    {"above_16_bits", "12345", 0x12345u},
    {"33_bits", "100000000", std::nullopt},
    {"with_0x_prefix", "0x5e1a", std::nullopt},
    {"negative", "-1", std::nullopt},
    {"plus", "+1", std::nullopt},
    {"non_hex", "10g4", std::nullopt},
    {"empty", "", std::nullopt},
};

class HexIdTest : public testing::TestWithParam<HexIdCase> {};

TEST_P(HexIdTest, Parses) { EXPECT_EQ(standin::ParseHexId(GetParam().token), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Values, HexIdTest, testing::ValuesIn(kHexIdCases), CaseName{});

// ---- whole files ----

// What a file means, in a form that is easy to write down per case.
struct ExpectedDevice {
    std::uint32_t vid;
    std::uint32_t pid;
    std::string serial;
};

struct FileCase {
    const char* name;
    std::string text;
    std::vector<ExpectedDevice> devices;
    std::int32_t reportedCount;
    std::int32_t countStatus;
};

const FileCase kFileCases[] = {
    {"empty", "", {}, 0, 0},
    {"only_comments_and_blanks", "# header\n\n   \n\t# indented comment\n", {}, 0, 0},
    {"one_device_no_final_newline", "5e1a b007 ABC", {{0x5E1A, 0xB007, "ABC"}}, 1, 0},
    {"crlf_does_not_leak_into_serial", "5e1a b007 ABC\r\n1a2b c3d4 -\r\n",
     {{0x5E1A, 0xB007, "ABC"}, {0x1A2B, 0xC3D4, ""}}, 2, 0},
    {"tabs_and_extra_spaces", "  5e1a\t\tb007   S1  \n", {{0x5E1A, 0xB007, "S1"}}, 1, 0},
    {"order_is_kept", "1 2 a\n3 4 b\n5 6 c\n", {{1, 2, "a"}, {3, 4, "b"}, {5, 6, "c"}}, 3, 0},
    {"count_overrides_number_of_lines", "count -1\n1 2 a\n", {{1, 2, "a"}}, -1, 0},
    {"count_without_devices", "count 65536\n", {}, 65536, 0},
    {"count_after_devices", "1 2 a\n3 4 b\ncount 7\n", {{1, 2, "a"}, {3, 4, "b"}}, 7, 0},
    {"last_count_wins", "count 5\ncount 0\n1 2 a\n", {{1, 2, "a"}}, 0, 0},
    {"count_in_hex", "count 0x10\n", {}, 16, 0},
    {"countstatus_keeps_real_count", "countstatus 5\n1 2 a\n", {{1, 2, "a"}}, 1, 5},
    {"countstatus_and_count", "countstatus -3\ncount 9\n", {}, 9, -3},
    {"malformed_count_lines_skipped", "count\ncount x\ncount 1 2\ncountstatus\ncountstatus 1 2\n1 2 a\n",
     {{1, 2, "a"}}, 1, 0},
    {"keywords_are_case_sensitive", "COUNT 3\n1 2 a\n", {{1, 2, "a"}}, 1, 0},
    {"malformed_devices_skipped_neighbours_kept",
     "1 2 a\n"
     "5e1a b007\n"                  // no serial
     "5e1a\n"                       // only a vid
     "zz b007 x\n"                  // bad vid
     "5e1a 0xb007 x\n"              // 0x not allowed in ids
     "100000000 1 x\n"              // vid over 32 bits
     "5e1a b007 %G1\n"              // bad escape
     "5e1a b007 x open\n"           // option without '='
     "5e1a b007 x open=\n"          // option without value
     "5e1a b007 x open=yes\n"       // non-numeric status
     "5e1a b007 x speed=1\n"        // unknown option
     "5e1a b007 x len=1 # note\n"   // no trailing comments
     "5e1a b007 " + std::string(65, 'x') + "\n"  // serial over 64 bytes
     "3 4 b\n",
     {{1, 2, "a"}, {3, 4, "b"}}, 2, 0},
    {"nul_bytes_do_not_crash", std::string("\0\0\n1 2 a\n\0", 10), {{1, 2, "a"}}, 1, 0},
    {"escaped_serial", "1a2b c3d4 ABC%2012\n", {{0x1A2B, 0xC3D4, "ABC 12"}}, 1, 0},
};

class DeviceFileTest : public testing::TestWithParam<FileCase> {};

TEST_P(DeviceFileTest, Parses) {
    const FileCase& c = GetParam();
    const standin::DeviceFile file = standin::ParseDeviceFile(c.text);
    ASSERT_EQ(file.devices.size(), c.devices.size());
    for (std::size_t i = 0; i < c.devices.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(file.devices[i].vid, c.devices[i].vid);
        EXPECT_EQ(file.devices[i].pid, c.devices[i].pid);
        EXPECT_EQ(file.devices[i].serial, ToBytes(c.devices[i].serial));
    }
    EXPECT_EQ(file.ReportedCount(), c.reportedCount);
    EXPECT_EQ(file.countStatus, c.countStatus);
}

INSTANTIATE_TEST_SUITE_P(Files, DeviceFileTest, testing::ValuesIn(kFileCases), CaseName{});

// ---- per-device options ----

struct OptionCase {
    const char* name;
    std::string line;
    std::int32_t open, vid, pid, serial, close;
    std::optional<std::int32_t> len;
};

const OptionCase kOptionCases[] = {
    {"no_options_all_succeed", "1 2 a", 0, 0, 0, 0, 0, std::nullopt},
    {"each_option_hits_its_own_call", "1 2 a open=1 vid=2 pid=3 serial=4 close=5", 1, 2, 3, 4, 5, std::nullopt},
    {"options_in_any_order", "1 2 a close=5 serial=4 pid=3 vid=2 open=1", 1, 2, 3, 4, 5, std::nullopt},
    {"negative_and_hex_statuses", "1 2 a open=-1 close=0xFF", -1, 0, 0, 0, 255, std::nullopt},
    {"len_longer_than_64", "1 2 a len=70", 0, 0, 0, 0, 0, 70},
    {"len_large", "1 2 a len=1000", 0, 0, 0, 0, 0, 1000},
    {"len_negative", "1 2 a len=-1", 0, 0, 0, 0, 0, -1},
    {"len_zero_is_an_override", "1 2 abc len=0", 0, 0, 0, 0, 0, 0},
    {"last_option_wins", "1 2 a len=1 vid=7 len=2 vid=0", 0, 0, 0, 0, 0, 2},
};

class OptionTest : public testing::TestWithParam<OptionCase> {};

TEST_P(OptionTest, SetsStatuses) {
    const OptionCase& c = GetParam();
    const standin::DeviceFile file = standin::ParseDeviceFile(c.line);
    ASSERT_EQ(file.devices.size(), 1u);
    const standin::DeviceEntry& d = file.devices[0];
    EXPECT_EQ(d.openStatus, c.open);
    EXPECT_EQ(d.vidStatus, c.vid);
    EXPECT_EQ(d.pidStatus, c.pid);
    EXPECT_EQ(d.serialStatus, c.serial);
    EXPECT_EQ(d.closeStatus, c.close);
    EXPECT_EQ(d.reportedLength, c.len);
}

INSTANTIATE_TEST_SUITE_P(Options, OptionTest, testing::ValuesIn(kOptionCases), CaseName{});

// ---- journal ----

struct EscapeCase {
    const char* name;
    Bytes bytes;
    std::string expected;
};

const EscapeCase kEscapeCases[] = {
    {"empty", {}, ""},
    {"space_is_escaped", ToBytes("ABC 12"), "ABC%2012"},
    {"nul", {0x00}, "%00"},
    {"control", {0x1F}, "%1F"},
    {"first_printable_kept", {0x21}, "!"},
    {"last_printable_kept", {0x7E}, "~"},
    {"del", {0x7F}, "%7F"},
    {"high_bytes", {0x80, 0xFF}, "%80%FF"},
    {"percent", ToBytes("5%"), "5%25"},
    {"hash_and_dash_kept", ToBytes("#-"), "#-"},
};

class EscapeTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeTest, Escapes) { EXPECT_EQ(standin::EscapeSerial(GetParam().bytes), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Bytes, EscapeTest, testing::ValuesIn(kEscapeCases), CaseName{});

// The journal's escaping must read back through the device file's SERIAL syntax, for every byte value.
TEST(EscapeRoundTrip, EveryByteReadsBack) {
    for (int b = 0; b < 256; ++b) {
        const Bytes bytes{'A', static_cast<std::uint8_t>(b), 'B'};
        const std::string escaped = standin::EscapeSerial(bytes);
        for (char c : escaped) EXPECT_TRUE(c > 0x20 && c < 0x7F) << "byte " << b;
        EXPECT_EQ(standin::ParseSerialToken(escaped), bytes) << "byte " << b;
    }
}

struct JournalCase {
    const char* name;
    std::string actual;
    std::string expected;
};

const Bytes kAbc12 = ToBytes("ABC 12");

const JournalCase kJournalCases[] = {
    {"count", standin::JournalGetNumDevices(0, 2), "GetNumDevices -> status=0 count=2"},
    {"negative_count", standin::JournalGetNumDevices(0, -1), "GetNumDevices -> status=0 count=-1"},
    {"count_failure_hides_count", standin::JournalGetNumDevices(5, 2), "GetNumDevices -> status=5"},
    {"open", standin::JournalOpen(0, 0, 256), "Open index=0 -> status=0 handle=256"},
    {"open_failure", standin::JournalOpen(7, 2, 0), "Open index=7 -> status=2"},
    {"open_negative_index", standin::JournalOpen(-1, 2, 0), "Open index=-1 -> status=2"},
    {"vid", standin::JournalVid(256, 0, 0x1A2B), "GetDeviceVid handle=256 -> status=0 vid=0x1a2b"},
    {"vid_padded_to_four_digits", standin::JournalVid(256, 0, 0x1), "GetDeviceVid handle=256 -> status=0 vid=0x0001"},
    {"vid_32_bits", standin::JournalVid(256, 0, 0xFFFFFFFF), "GetDeviceVid handle=256 -> status=0 vid=0xffffffff"},
    {"vid_failure", standin::JournalVid(999, 1, 0x1A2B), "GetDeviceVid handle=999 -> status=1"},
    {"pid", standin::JournalPid(256, 0, 0xC3D4), "GetDevicePid handle=256 -> status=0 pid=0xc3d4"},
    {"pid_failure", standin::JournalPid(256, -7, 0xC3D4), "GetDevicePid handle=256 -> status=-7"},
    {"serial", standin::JournalSerial(256, 1, 0, 6, kAbc12),
     "GetDeviceSerialNumber handle=256 ascii=1 -> status=0 length=6 serial=ABC%2012"},
    {"serial_length_override", standin::JournalSerial(257, 0, 0, 70, kAbc12),
     "GetDeviceSerialNumber handle=257 ascii=0 -> status=0 length=70 serial=ABC%2012"},
    {"serial_empty", standin::JournalSerial(256, 1, 0, 0, {}),
     "GetDeviceSerialNumber handle=256 ascii=1 -> status=0 length=0 serial="},
    {"serial_failure", standin::JournalSerial(256, 1, 4, 6, kAbc12), "GetDeviceSerialNumber handle=256 ascii=1 -> status=4"},
    {"close", standin::JournalClose(256, 0), "Close handle=256 -> status=0"},
    {"close_64_bit_handle", standin::JournalClose(0xFFFFFFFFFFFFFFFFull, 1),
     "Close handle=18446744073709551615 -> status=1"},
};

class JournalTest : public testing::TestWithParam<JournalCase> {};

TEST_P(JournalTest, Formats) { EXPECT_EQ(GetParam().actual, GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Lines, JournalTest, testing::ValuesIn(kJournalCases), CaseName{});

}  // namespace
