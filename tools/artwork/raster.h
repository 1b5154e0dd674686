// A small integer-exact rasteriser for the two bitmap pictures: polygons, discs, rings and thick lines.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry.h"

namespace art {

// A picture of width x height pixels, each made of samplesPerAxis^2 samples so slanted and round
// edges come out smoothed. Points are snapped to 1/16 pixel on entry and everything after that is
// integer arithmetic, so the output is byte-identical with any compiler, optimiser or CPU.
class Canvas {
public:
    // samplesPerAxis must be 1, 2, 4 or 8 (a sample's centre must fall on the 1/16 pixel grid).
    Canvas(int width, int height, int samplesPerAxis);

    int Width() const { return width_; }
    int Height() const { return height_; }

    void FillShape(const Shape& shape, Rgb color);
    void FillPolygon(const Contour& contour, Rgb color) { FillShape(Shape{contour}, color); }
    void FillRect(double left, double top, double right, double bottom, Rgb color);
    void FillDisc(Point centre, double radius, Rgb color);
    // The band between the two radii (inner excluded, outer included).
    void FillRing(Point centre, double innerRadius, double outerRadius, Rgb color);
    // A line of the given width with round ends, so consecutive lines join without gaps.
    void ThickLine(Point from, Point to, double width, Rgb color);
    void ThickPolyline(const std::vector<Point>& points, double width, Rgb color);

    // One finished pixel: the average colour of its painted samples, and how many of its samples
    // were painted at all (0 = untouched, i.e. transparent; SamplesPerPixel() = fully covered).
    struct Pixel {
        Rgb color;
        int coverage = 0;
    };
    Pixel At(int x, int y) const;
    int SamplesPerPixel() const { return samples_ * samples_; }

private:
    struct Sample {
        Rgb color;
        bool painted = false;
    };
    // Paints every sample whose centre (in 1/16 pixel units) satisfies inside(x, y) within the box.
    template <class Inside>
    void FillWhere(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, Inside inside,
                   Rgb color);

    int width_, height_, samples_;
    std::vector<Sample> data_;  // (width_ * samples_) x (height_ * samples_), row by row
};

}  // namespace art
