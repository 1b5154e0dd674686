// A tiny block font (the few capitals the pictures need, as polygons) so no picture depends on an installed font.
#pragma once

#include <string_view>

#include "geometry.h"

namespace art {

// Glyphs are drawn on a grid kCapHeight units tall with strokes 2 units thick; most are 6 wide.
inline constexpr double kCapHeight = 9;

// Width of `text` in font units when letters are `gap` units apart.
double TextWidth(std::string_view text, double gap);

// The outline of `text` with its top-left corner at `origin`, one font unit being `unit` picture
// units. Solid pieces run clockwise and holes anticlockwise, ready for non-zero filling.
// Throws for a letter the font does not have.
Shape TextShape(std::string_view text, Point origin, double unit, double gap);

}  // namespace art
