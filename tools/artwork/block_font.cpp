// The glyphs of the block font: square letters with clipped corners, which stay legible even at 1 unit = 1 pixel.
#include "block_font.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace art {
namespace {

struct Glyph {
    char letter;
    double width;
    std::vector<Contour> solids;
    std::vector<Contour> holes;
};

// Coordinates are font units, x to the right and y downwards from the letter's top-left corner.
// Integer corners keep the 32-pixel icon crisp; the one half-unit (E's middle bar) is only used
// in the larger pictures.
const std::vector<Glyph>& Glyphs() {
    static const std::vector<Glyph> glyphs = {
        {'A', 6, {{{1, 0}, {5, 0}, {6, 1}, {6, 9}, {4, 9}, {4, 6}, {2, 6}, {2, 9}, {0, 9}, {0, 1}}},
         {Rect(2, 2, 4, 4)}},
        {'E', 6, {Rect(0, 0, 6, 2), Rect(0, 2, 2, 7), Rect(0, 7, 6, 9), Rect(2, 3.5, 5, 5.5)}, {}},
        // I keeps its serifs so it does not read as a stray bar between V and R.
        {'I', 4, {{{0, 0}, {4, 0}, {4, 2}, {3, 2}, {3, 7}, {4, 7}, {4, 9}, {0, 9}, {0, 7}, {1, 7}, {1, 2}, {0, 2}}},
         {}},
        // K: the stem, an arm up to the top right, and a leg that starts on the arm's lower edge.
        {'K', 6, {Rect(0, 0, 2, 9), {{2, 3}, {4, 0}, {6, 0}, {2, 6}}, {{3, 4.5}, {6, 9}, {4, 9}, {2, 6}}}, {}},
        {'L', 6, {Rect(0, 0, 2, 9), Rect(2, 7, 6, 9)}, {}},
        {'N', 6, {Rect(0, 0, 2, 9), Rect(4, 0, 6, 9), {{0, 0}, {2, 0}, {6, 9}, {4, 9}}}, {}},
        {'O', 6, {{{1, 0}, {5, 0}, {6, 1}, {6, 8}, {5, 9}, {1, 9}, {0, 8}, {0, 1}}}, {Rect(2, 2, 4, 7)}},
        // R: a bowl over two thirds of the height, then a slanted leg.
        {'R', 6,
         {{{0, 0}, {5, 0}, {6, 1}, {6, 5}, {5, 6}, {0, 6}}, Rect(0, 6, 2, 9), {{2, 6}, {4, 6}, {6, 9}, {4, 9}}},
         {Rect(2, 2, 4, 4)}},
        {'T', 6, {Rect(0, 0, 6, 2), Rect(2, 2, 4, 9)}, {}},
        // V: straight sides for the upper half, then slanted to a point; reads as V even at 9 pixels.
        {'V', 6, {{{0, 0}, {2, 0}, {2, 4}, {3, 6}, {4, 4}, {4, 0}, {6, 0}, {6, 5}, {4, 9}, {2, 9}, {0, 5}}}, {}},
    };
    return glyphs;
}

// The small capitals of the product word: V's sides meet in one pixel, I is a bar, R's top is its bowl's, K's a fork.
const std::vector<Glyph>& SmallGlyphs() {
    static const std::vector<Glyph> glyphs = {
        {'I', 1, {Rect(0, 0, 1, 5)}, {}},
        {'K', 3, {Rect(0, 0, 1, 5), Rect(2, 0, 3, 2), Rect(1, 2, 2, 3), Rect(2, 3, 3, 5)}, {}},
        {'R', 3, {Rect(0, 0, 1, 5), Rect(1, 0, 2, 1), Rect(2, 1, 3, 2), Rect(1, 2, 2, 3), Rect(2, 3, 3, 5)}, {}},
        {'V', 3, {Rect(0, 0, 1, 4), Rect(2, 0, 3, 4), Rect(1, 4, 2, 5)}, {}},
    };
    return glyphs;
}

const Glyph& GlyphFor(char letter, art::GlyphSet font = art::GlyphSet::Block) {
    for (const Glyph& glyph : font == art::GlyphSet::Small ? SmallGlyphs() : Glyphs()) {
        if (glyph.letter == letter) return glyph;
    }
    throw std::invalid_argument(std::string("block font has no letter '") + letter + "'");
}

}  // namespace

double TextWidth(std::string_view text, double gap, GlyphSet glyphs) {
    double width = 0;
    for (char letter : text) width += GlyphFor(letter, glyphs).width;
    if (!text.empty()) width += gap * static_cast<double>(text.size() - 1);
    return width;
}

Shape TextShape(std::string_view text, Point origin, double unit, double gap, GlyphSet glyphs) {
    Shape shape;
    double penX = 0;  // font units from the origin
    auto place = [&](const Contour& contour, bool solid) {
        Contour placed;
        for (Point p : contour) placed.push_back({origin.x + (penX + p.x) * unit, origin.y + p.y * unit});
        shape.push_back(Oriented(std::move(placed), solid));
    };
    for (char letter : text) {
        const Glyph& glyph = GlyphFor(letter, glyphs);
        for (const Contour& solid : glyph.solids) place(solid, true);
        for (const Contour& hole : glyph.holes) place(hole, false);
        penX += glyph.width + gap;
    }
    return shape;
}

}  // namespace art
