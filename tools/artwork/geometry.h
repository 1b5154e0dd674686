// The basic drawing types shared by the rasteriser, the block font and the metafile writer.
#pragma once

#include <cstdint>
#include <vector>

namespace art {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb, Rgb) = default;
};

// A point in the picture's own units (pixels for the bitmaps, logical units for the metafile).
// Fractions are allowed; keep them to halves, quarters, ... so all arithmetic stays exact.
struct Point {
    double x = 0, y = 0;
};

using Contour = std::vector<Point>;

// A shape is filled with the non-zero winding rule: overlapping pieces that run the same way
// merge, and a piece that runs the other way cuts a hole (see Oriented()).
using Shape = std::vector<Contour>;

inline Contour Rect(double left, double top, double right, double bottom) {
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

// Twice the signed area; positive when the contour runs clockwise on screen (y grows downwards).
inline double SignedArea2(const Contour& contour) {
    double sum = 0;
    for (std::size_t i = 0; i < contour.size(); ++i) {
        const Point& a = contour[i];
        const Point& b = contour[(i + 1) % contour.size()];
        sum += a.x * b.y - b.x * a.y;
    }
    return sum;
}

// The contour running clockwise (a solid piece) or anticlockwise (a hole).
inline Contour Oriented(Contour contour, bool clockwise) {
    if ((SignedArea2(contour) > 0) != clockwise) {
        std::vector<Point> reversed(contour.rbegin(), contour.rend());
        contour = std::move(reversed);
    }
    return contour;
}

inline Shape Translated(Shape shape, double dx, double dy) {
    for (Contour& contour : shape) {
        for (Point& p : contour) {
            p.x += dx;
            p.y += dy;
        }
    }
    return shape;
}

}  // namespace art
