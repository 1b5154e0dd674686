// Bytes to text through the code page, and the Windows-1252 table itself.
#include "app/code_page.h"
#include "scan/convert_to_string.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

const WindowsLatin1CodePage kCodePage;

TEST(ConvertToString, KeepsZeroBytesAsCharacters) {
    const std::array<std::uint8_t, 4> bytes{'A', 0, 'B', 0};
    EXPECT_EQ(ConvertToString(bytes, 3, kCodePage), std::u16string(u"A\0B", 3));
}

TEST(ConvertToString, CountsOutsideTheArrayStayInside) {
    const std::array<std::uint8_t, 3> bytes{'x', 'y', 'z'};
    EXPECT_EQ(ConvertToString(bytes, 0, kCodePage), u"");
    EXPECT_EQ(ConvertToString(bytes, -1, kCodePage), u"");
    EXPECT_EQ(ConvertToString(bytes, INT32_MIN, kCodePage), u"");
    EXPECT_EQ(ConvertToString(bytes, 2, kCodePage), u"xy");
    EXPECT_EQ(ConvertToString(bytes, INT32_MAX, kCodePage), u"xyz");
}

TEST(ConvertToString, MapsHighBytesThroughTheCodePage) {
    const std::array<std::uint8_t, 5> bytes{0x80, 0x81, 0x9F, 0xFA, 0xFF};
    EXPECT_EQ(ConvertToString(bytes, 5, kCodePage), u"\u20AC\u0081\u0178\u00FA\u00FF");
}

TEST(WindowsLatin1CodePage, EveryByteSurvivesTheRoundTrip) {
    std::vector<std::uint8_t> all(256);
    for (unsigned i = 0; i < all.size(); ++i) all[i] = static_cast<std::uint8_t>(i);
    const std::string back = kCodePage.ToAnsi(ConvertToString(all, 256, kCodePage));
    ASSERT_EQ(back.size(), all.size());
    for (unsigned i = 0; i < all.size(); ++i) EXPECT_EQ(static_cast<std::uint8_t>(back[i]), i) << "byte " << i;
}

TEST(WindowsLatin1CodePage, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(kCodePage.ToAnsi(u"a\u4E2Db\u0100"), "a?b?");
}

}  // namespace
