// frmMain laid out from its twips: at 96 DPI the pixels of the form's own table; at the DPIs of today's monitors
// each length rounded on its own to the nearest pixel, a half up, and the fonts' heights.
#include "ui/form_geometry.h"

#include <gtest/gtest.h>

namespace {

using form::Box;

// In tab order.
const std::pair<int, Box> kAt96[] = {
    {IDC_CMDREFRESH, {33, 321, 73, 58}}, {IDC_CMDQUIT, {33, 396, 73, 58}}, {IDC_TXTDATA, {141, 183, 286, 346}},
    {IDC_PICTURE1, {27, 474, 88, 52}},   {IDC_TEXT1, {21, 57, 415, 106}},  {IDC_PICTURE2, {3, 183, 142, 124}},
    {IDC_LABEL1, {27, 15, 238, 37}}};

TEST(Layout, At96DpiThePixelsOfTheForm) {
    const form::Layout layout = form::LayoutAt(96);
    ASSERT_EQ(std::size(kAt96), layout.controls.size());
    for (std::size_t c = 0; c < std::size(kAt96); ++c) {
        EXPECT_EQ(form::kPlaces[c].id, kAt96[c].first) << "tab order";
        EXPECT_EQ(layout.controls[c], kAt96[c].second) << "control " << kAt96[c].first;
    }
}

// 870 twips are 72.5 pixels at 120 DPI and 4815 are 481.5 at 144: each shows as the pixel above. Font heights as
// CreateFont takes them (negative: without internal leading), 9.75 and 15.75 points.
TEST(Layout, EachLengthRoundsOnItsOwnAHalfUp) {
    const struct {
        int dpi;
        Box client, refresh;
        int bodyFont, titleFont;
    } kRows[] = {{96, {0, 0, 454, 554}, {33, 321, 73, 58}, -13, -21},
                 {120, {0, 0, 568, 693}, {41, 401, 91, 73}, -16, -26},
                 {144, {0, 0, 681, 831}, {50, 482, 110, 87}, -20, -32},
                 {192, {0, 0, 908, 1108}, {66, 642, 146, 116}, -26, -42}};
    for (const auto& row : kRows) {
        const form::Layout layout = form::LayoutAt(row.dpi);
        EXPECT_EQ(layout.client, row.client) << row.dpi;
        EXPECT_EQ(layout.controls[0], row.refresh) << row.dpi;
        EXPECT_EQ(layout.bodyFontHeight, row.bodyFont) << row.dpi;
        EXPECT_EQ(layout.titleFontHeight, row.titleFont) << row.dpi;
    }
}

}  // namespace
