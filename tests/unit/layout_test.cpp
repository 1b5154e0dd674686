// frmMain laid out at the DPIs of today's monitors: every control, the client area and the fonts, one table.
#include "ui/form_geometry.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>

namespace form {
void PrintTo(const Box& box, std::ostream* out) {
    *out << box.left << "," << box.top << " " << box.width << "x" << box.height;
}
}  // namespace form

namespace {

using form::Box;

constexpr std::array<int, 4> kDpis = {96, 120, 144, 192};

// Each row at 96, 120, 144 and 192 DPI: 15, 12, 10 and 7.5 twips a pixel. A length rounds to the nearest pixel
// and a half up, each number on its own: 870 twips are 72.5 pixels at 120 DPI and show as 73, 4815 are 481.5 at
// 144 and show as 482.
struct Row {
    int id;
    std::array<Box, 4> boxes;
};
constexpr int kClient = 0;
const Row kRows[] = {
    {kClient, {{{0, 0, 454, 554}, {0, 0, 568, 693}, {0, 0, 681, 831}, {0, 0, 908, 1108}}}},
    {IDC_CMDREFRESH, {{{33, 321, 73, 58}, {41, 401, 91, 73}, {50, 482, 110, 87}, {66, 642, 146, 116}}}},
    {IDC_CMDQUIT, {{{33, 396, 73, 58}, {41, 495, 91, 73}, {50, 594, 110, 87}, {66, 792, 146, 116}}}},
    {IDC_TXTDATA, {{{141, 183, 286, 346}, {176, 229, 358, 433}, {212, 275, 429, 519}, {282, 366, 572, 692}}}},
    {IDC_PICTURE1, {{{27, 474, 88, 52}, {34, 593, 110, 65}, {41, 711, 132, 78}, {54, 948, 176, 104}}}},
    {IDC_TEXT1, {{{21, 57, 415, 106}, {26, 71, 519, 133}, {32, 86, 623, 159}, {42, 114, 830, 212}}}},
    {IDC_PICTURE2, {{{3, 183, 142, 124}, {4, 229, 178, 155}, {5, 275, 213, 186}, {6, 366, 284, 248}}}},
    {IDC_LABEL1, {{{27, 15, 238, 37}, {34, 19, 298, 46}, {41, 23, 357, 56}, {54, 30, 476, 74}}}},
};
// Font heights as CreateFont takes them (negative: without internal leading): 9.75 and 15.75 points.
constexpr std::array<int, 4> kBodyFont = {-13, -16, -20, -26};
constexpr std::array<int, 4> kTitleFont = {-21, -26, -32, -42};

TEST(Layout, EveryControlAndFontAtEachDpi) {
    for (std::size_t d = 0; d < kDpis.size(); ++d) {
        const form::Layout layout = form::LayoutAt(kDpis[d]);
        EXPECT_EQ(layout.dpi, kDpis[d]);
        EXPECT_EQ(layout.bodyFontHeight, kBodyFont[d]) << kDpis[d];
        EXPECT_EQ(layout.titleFontHeight, kTitleFont[d]) << kDpis[d];
        ASSERT_EQ(std::size(kRows), layout.controls.size() + 1);
        EXPECT_EQ(layout.client, kRows[0].boxes[d]) << kDpis[d];
        for (std::size_t c = 0; c < layout.controls.size(); ++c) {
            EXPECT_EQ(form::kPlaces[c].id, kRows[c + 1].id) << "tab order";
            EXPECT_EQ(layout.controls[c], kRows[c + 1].boxes[d]) << "control " << kRows[c + 1].id << " at " << kDpis[d];
        }
    }
}

}  // namespace
