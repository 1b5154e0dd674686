// The rasteriser's fill rules: a sample is painted when its centre lies inside the shape.
#include "raster.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace art {
namespace {

// Geometry is done in 1/16 pixel; samples sit at the centres of the sub-pixel grid cells.
constexpr std::int64_t kFix = 16;

std::int64_t ToFix(double value) { return static_cast<std::int64_t>(std::llround(value * kFix)); }

struct FixPoint {
    std::int64_t x, y;
};

FixPoint ToFix(Point p) { return {ToFix(p.x), ToFix(p.y)}; }

// Largest r with r * r <= n, exactly (used instead of std::sqrt to stay integer-only).
std::int64_t IntSqrt(std::int64_t n) {
    auto r = static_cast<std::int64_t>(std::sqrt(static_cast<double>(n)));
    while (r > 0 && r * r > n) --r;
    while ((r + 1) * (r + 1) <= n) ++r;
    return r;
}

// Positive when p is to the left of a->b in maths orientation (i.e. right of it on screen).
std::int64_t Side(FixPoint a, FixPoint b, std::int64_t px, std::int64_t py) {
    return (b.x - a.x) * (py - a.y) - (px - a.x) * (b.y - a.y);
}

// Winding number of the point around all contours (Sunday's crossing rule, exact in integers).
int Winding(const std::vector<std::vector<FixPoint>>& contours, std::int64_t px, std::int64_t py) {
    int winding = 0;
    for (const auto& contour : contours) {
        for (std::size_t i = 0; i < contour.size(); ++i) {
            const FixPoint a = contour[i];
            const FixPoint b = contour[(i + 1) % contour.size()];
            if (a.y <= py) {
                if (b.y > py && Side(a, b, px, py) > 0) ++winding;
            } else {
                if (b.y <= py && Side(a, b, px, py) < 0) --winding;
            }
        }
    }
    return winding;
}

}  // namespace

Canvas::Canvas(int width, int height, int samplesPerAxis)
    : width_(width),
      height_(height),
      samples_(samplesPerAxis),
      data_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
            static_cast<std::size_t>(samplesPerAxis * samplesPerAxis)) {
    if (kFix % (2 * samplesPerAxis) != 0) throw std::invalid_argument("samplesPerAxis must be 1, 2, 4 or 8");
}

template <class Inside>
void Canvas::FillWhere(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, Inside inside,
                       Rgb color) {
    const std::int64_t step = kFix / samples_;  // distance between samples, in 1/16 pixel
    const std::int64_t columns = std::int64_t{width_} * samples_;
    const std::int64_t rows = std::int64_t{height_} * samples_;
    const std::int64_t i0 = std::max<std::int64_t>(0, left / step - 1);
    const std::int64_t i1 = std::min<std::int64_t>(columns - 1, right / step + 1);
    const std::int64_t j0 = std::max<std::int64_t>(0, top / step - 1);
    const std::int64_t j1 = std::min<std::int64_t>(rows - 1, bottom / step + 1);
    for (std::int64_t j = j0; j <= j1; ++j) {
        for (std::int64_t i = i0; i <= i1; ++i) {
            if (inside(i * step + step / 2, j * step + step / 2)) {
                data_[static_cast<std::size_t>(j * columns + i)] = {color, true};
            }
        }
    }
}

void Canvas::FillShape(const Shape& shape, Rgb color) {
    std::vector<std::vector<FixPoint>> contours;
    std::int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
    for (const Contour& contour : shape) {
        auto& fixed = contours.emplace_back();
        for (Point p : contour) {
            const FixPoint f = ToFix(p);
            fixed.push_back(f);
            left = std::min(left, f.x);
            right = std::max(right, f.x);
            top = std::min(top, f.y);
            bottom = std::max(bottom, f.y);
        }
    }
    if (left > right) return;
    FillWhere(
        left, top, right, bottom, [&](std::int64_t x, std::int64_t y) { return Winding(contours, x, y) != 0; }, color);
}

void Canvas::FillRect(double left, double top, double right, double bottom, Rgb color) {
    FillPolygon(Rect(left, top, right, bottom), color);
}

void Canvas::FillDisc(Point centre, double radius, Rgb color) { FillRing(centre, -1, radius, color); }

void Canvas::FillRing(Point centre, double innerRadius, double outerRadius, Rgb color) {
    const FixPoint c = ToFix(centre);
    const std::int64_t outer = ToFix(outerRadius);
    const std::int64_t inner = ToFix(innerRadius);
    const std::int64_t innerSquared = inner < 0 ? -1 : inner * inner;
    FillWhere(
        c.x - outer, c.y - outer, c.x + outer, c.y + outer,
        [&](std::int64_t x, std::int64_t y) {
            const std::int64_t d2 = (x - c.x) * (x - c.x) + (y - c.y) * (y - c.y);
            return d2 > innerSquared && d2 <= outer * outer;
        },
        color);
}

void Canvas::ThickLine(Point from, Point to, double width, Rgb color) {
    const FixPoint a = ToFix(from);
    const FixPoint b = ToFix(to);
    const std::int64_t half = ToFix(width / 2);
    const std::int64_t length = IntSqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
    if (length > 0) {
        // The perpendicular of a->b scaled to half the width, rounded to the 1/16 grid.
        const std::int64_t nx = -(b.y - a.y) * half / length;
        const std::int64_t ny = (b.x - a.x) * half / length;
        const std::vector<std::vector<FixPoint>> quad{
            {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}};
        FillWhere(
            std::min(a.x, b.x) - half, std::min(a.y, b.y) - half, std::max(a.x, b.x) + half, std::max(a.y, b.y) + half,
            [&](std::int64_t x, std::int64_t y) { return Winding(quad, x, y) != 0; }, color);
    }
    FillDisc(from, width / 2, color);
    FillDisc(to, width / 2, color);
}

void Canvas::ThickPolyline(const std::vector<Point>& points, double width, Rgb color) {
    for (std::size_t i = 0; i + 1 < points.size(); ++i) ThickLine(points[i], points[i + 1], width, color);
}

Canvas::Pixel Canvas::At(int x, int y) const {
    const std::size_t columns = static_cast<std::size_t>(width_ * samples_);
    int r = 0, g = 0, b = 0, count = 0;
    for (int j = 0; j < samples_; ++j) {
        for (int i = 0; i < samples_; ++i) {
            const Sample& s = data_[static_cast<std::size_t>(y * samples_ + j) * columns +
                                    static_cast<std::size_t>(x * samples_ + i)];
            if (!s.painted) continue;
            r += s.color.r;
            g += s.color.g;
            b += s.color.b;
            ++count;
        }
    }
    if (count == 0) return {};
    // Rounded integer average, so the result does not depend on floating point.
    auto average = [count](int sum) { return static_cast<std::uint8_t>((sum + count / 2) / count); };
    return {{average(r), average(g), average(b)}, count};
}

}  // namespace art
