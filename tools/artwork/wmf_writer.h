// Builds a placeable Windows metafile record by record: pens, brushes and filled polygons only.
#pragma once

#include <cstdint>
#include <vector>

#include "byte_writer.h"
#include "geometry.h"

namespace art {

class WmfWriter {
public:
    // The picture is width x height logical units, unitsPerInch of which make one inch; the
    // window origin and extent are set to that frame at once.
    WmfWriter(int width, int height, int unitsPerInch);

    // Object creation returns the object's index in the metafile's object table (the lowest free
    // slot, exactly as the player assigns them).
    int CreateSolidBrush(Rgb color);
    // A solid pen; width 0 is the one-device-pixel pen.
    int CreateSolidPen(int width, Rgb color);
    int CreateNullPen();
    void SelectObject(int object);
    void DeleteObject(int object);

    // The non-zero (WINDING) rule, so overlapping letter pieces merge (see geometry.h).
    void UseWindingFill();
    void Rectangle(int left, int top, int right, int bottom);
    void Polygon(const Contour& contour);
    void PolyPolygon(const Shape& shape);

    // The finished file: placeable header, METAHEADER, the records and META_EOF.
    Bytes Finish() const;

private:
    void Record(std::uint16_t function, const std::vector<std::int32_t>& parameters);
    int CreateObject(std::uint16_t function, const std::vector<std::int32_t>& parameters);
    static void PutPoints(std::vector<std::int32_t>& parameters, const Contour& contour);

    int width_, height_, unitsPerInch_;
    std::vector<std::uint16_t> words_;  // the records, as 16-bit words
    std::uint32_t maxRecordWords_ = 0;
    std::vector<bool> slotUsed_;  // the object table; its size is the table size the file must declare
};

}  // namespace art
