// frmMain's places in twips and fonts in points, and the window laid out from them at a DPI: the pixels of
// every control, the client area and the fonts. Without Windows types, so the rounding is tested natively.
#pragma once

#include "ui/buscador-rc.h"

#include <array>
#include <cstddef>

namespace form {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kPointsPerInch = 72;
inline constexpr int kClientWidth = 6810;
inline constexpr int kClientHeight = 8310;

enum class FontId { None, Title, Body };

struct FontSpec {
    const wchar_t* face;
    int centipoints;  // 15.75 pt is 1575
};
inline constexpr FontSpec kTitleFont{L"Arial Black", 1575};
inline constexpr FontSpec kBodyFont{L"MS Sans Serif", 975};

struct Box {
    int left, top, width, height;
    friend bool operator==(const Box&, const Box&) = default;
};

struct ControlPlace {
    int id;
    Box twips;  // from the client area's top-left corner
    FontId font;
};

// In tab order, which is the order of creation.
inline constexpr std::array<ControlPlace, 7> kPlaces = {{
    {IDC_CMDREFRESH, {495, 4815, 1095, 870}, FontId::Body},
    {IDC_CMDQUIT, {495, 5940, 1095, 870}, FontId::Body},
    {IDC_TXTDATA, {2115, 2745, 4290, 5190}, FontId::Body},
    {IDC_PICTURE1, {405, 7110, 1320, 780}, FontId::None},
    {IDC_TEXT1, {315, 855, 6225, 1590}, FontId::Body},
    {IDC_PICTURE2, {45, 2745, 2130, 1860}, FontId::None},
    {IDC_LABEL1, {405, 225, 3570, 555}, FontId::Title},
}};

// The one rounding of every length here: to the nearest pixel, a half up, as Windows' MulDiv rounds.
constexpr int Scaled(int value, int dpi, int perInch) { return (value * dpi + perInch / 2) / perInch; }
constexpr int Pixels(int twips, int dpi) { return Scaled(twips, dpi, kTwipsPerInch); }
// A font's height as CreateFont takes it: negative, the character height without internal leading.
constexpr int FontHeight(const FontSpec& font, int dpi) { return -Scaled(font.centipoints, dpi, kPointsPerInch * 100); }

// Each of the four numbers rounded on its own, so a control keeps its size wherever it sits.
constexpr Box PixelsOf(const Box& twips, int dpi) {
    return {Pixels(twips.left, dpi), Pixels(twips.top, dpi), Pixels(twips.width, dpi), Pixels(twips.height, dpi)};
}

struct Layout {
    int dpi;
    Box client;
    std::array<Box, kPlaces.size()> controls;  // in the order of kPlaces
    int titleFontHeight, bodyFontHeight;
};

// The window at `dpi`, at start and after every change of DPI alike.
constexpr Layout LayoutAt(int dpi) {
    Layout layout{dpi, PixelsOf({0, 0, kClientWidth, kClientHeight}, dpi), {}, FontHeight(kTitleFont, dpi),
                  FontHeight(kBodyFont, dpi)};
    for (std::size_t i = 0; i < kPlaces.size(); ++i) layout.controls[i] = PixelsOf(kPlaces[i].twips, dpi);
    return layout;
}

}  // namespace form
