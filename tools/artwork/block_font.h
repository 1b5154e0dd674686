// A tiny block font (the few capitals the pictures need, as polygons) so no picture depends on an installed font.
#pragma once

#include <string_view>

#include "geometry.h"

namespace art {

// Glyphs are drawn on a grid kCapHeight units tall with strokes 2 units thick; most are 6 wide.
inline constexpr double kCapHeight = 9;

// The glyphs: the block capitals, or the small ones (5 units tall, 1-unit strokes) that the 16 to 24 pixel
// icons draw at a unit a pixel.
enum class GlyphSet { Block, Small };
inline constexpr double kSmallCapHeight = 5;

// Width of `text` in font units when letters are `gap` units apart.
double TextWidth(std::string_view text, double gap, GlyphSet glyphs = GlyphSet::Block);

// The outline of `text` with its top-left corner at `origin`, one font unit being `unit` picture
// units. Solid pieces run clockwise and holes anticlockwise, ready for non-zero filling.
// Throws for a letter the font does not have.
Shape TextShape(std::string_view text, Point origin, double unit, double gap, GlyphSet glyphs = GlyphSet::Block);

}  // namespace art
