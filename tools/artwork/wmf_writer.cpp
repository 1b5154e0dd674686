// The metafile's binary layout: the placeable header, the METAHEADER and the records (sizes in 16-bit words).
#include "wmf_writer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace art {
namespace {

// Record function numbers (low byte: function, high byte: parameter word count hint).
constexpr std::uint16_t kMetaEof = 0x0000;
constexpr std::uint16_t kMetaSetPolyFillMode = 0x0106;
constexpr std::uint16_t kMetaSetWindowOrg = 0x020B;
constexpr std::uint16_t kMetaSetWindowExt = 0x020C;
constexpr std::uint16_t kMetaSelectObject = 0x012D;
constexpr std::uint16_t kMetaDeleteObject = 0x01F0;
constexpr std::uint16_t kMetaCreatePenIndirect = 0x02FA;
constexpr std::uint16_t kMetaCreateBrushIndirect = 0x02FC;
constexpr std::uint16_t kMetaRectangle = 0x041B;
constexpr std::uint16_t kMetaPolygon = 0x0324;
constexpr std::uint16_t kMetaPolyPolygon = 0x0538;

constexpr std::int32_t kPsSolid = 0, kPsNull = 5;
constexpr std::int32_t kBsSolid = 0;
constexpr std::int32_t kWinding = 2;

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint16_t kRecordHeaderWords = 3;  // DWORD size + WORD function
constexpr std::uint16_t kMetaHeaderWords = 9;

// COLORREF 0x00BBGGRR as two parameter words.
void PutColor(std::vector<std::int32_t>& parameters, Rgb color) {
    parameters.push_back(color.r | (color.g << 8));
    parameters.push_back(color.b);
}

std::int32_t ToLogical(double value) {
    const double rounded = std::round(value);
    if (rounded != value) throw std::logic_error("metafile coordinates must be whole logical units");
    if (rounded < -32768 || rounded > 32767) throw std::logic_error("metafile coordinate out of range");
    return static_cast<std::int32_t>(rounded);
}

}  // namespace

WmfWriter::WmfWriter(int width, int height, int unitsPerInch)
    : width_(width), height_(height), unitsPerInch_(unitsPerInch) {
    Record(kMetaSetWindowOrg, {0, 0});           // parameters are y, x
    Record(kMetaSetWindowExt, {height, width});  // likewise y first
}

void WmfWriter::Record(std::uint16_t function, const std::vector<std::int32_t>& parameters) {
    const auto size = static_cast<std::uint32_t>(kRecordHeaderWords + parameters.size());
    words_.push_back(static_cast<std::uint16_t>(size & 0xFFFFu));
    words_.push_back(static_cast<std::uint16_t>(size >> 16));
    words_.push_back(function);
    for (std::int32_t p : parameters) words_.push_back(static_cast<std::uint16_t>(p & 0xFFFF));
    if (size > maxRecordWords_) maxRecordWords_ = size;
}

int WmfWriter::CreateObject(std::uint16_t function, const std::vector<std::int32_t>& parameters) {
    std::size_t slot = 0;
    while (slot < slotUsed_.size() && slotUsed_[slot]) ++slot;
    if (slot == slotUsed_.size()) slotUsed_.push_back(false);
    slotUsed_[slot] = true;
    Record(function, parameters);
    return static_cast<int>(slot);
}

int WmfWriter::CreateSolidBrush(Rgb color) {
    std::vector<std::int32_t> p{kBsSolid};
    PutColor(p, color);
    p.push_back(0);  // hatch: unused for a solid brush
    return CreateObject(kMetaCreateBrushIndirect, p);
}

int WmfWriter::CreateSolidPen(int width, Rgb color) {
    std::vector<std::int32_t> p{kPsSolid, width, 0};  // style, width as POINTS (x, y unused)
    PutColor(p, color);
    return CreateObject(kMetaCreatePenIndirect, p);
}

int WmfWriter::CreateNullPen() {
    std::vector<std::int32_t> p{kPsNull, 0, 0};
    PutColor(p, Rgb{});
    return CreateObject(kMetaCreatePenIndirect, p);
}

void WmfWriter::SelectObject(int object) { Record(kMetaSelectObject, {object}); }

void WmfWriter::DeleteObject(int object) {
    Record(kMetaDeleteObject, {object});
    slotUsed_.at(static_cast<std::size_t>(object)) = false;
}

void WmfWriter::UseWindingFill() { Record(kMetaSetPolyFillMode, {kWinding}); }

void WmfWriter::Rectangle(int left, int top, int right, int bottom) {
    Record(kMetaRectangle, {bottom, right, top, left});  // parameters run backwards
}

void WmfWriter::PutPoints(std::vector<std::int32_t>& parameters, const Contour& contour) {
    for (Point point : contour) {
        parameters.push_back(ToLogical(point.x));
        parameters.push_back(ToLogical(point.y));
    }
}

void WmfWriter::Polygon(const Contour& contour) {
    std::vector<std::int32_t> p{static_cast<std::int32_t>(contour.size())};
    PutPoints(p, contour);
    Record(kMetaPolygon, p);
}

void WmfWriter::PolyPolygon(const Shape& shape) {
    std::vector<std::int32_t> p{static_cast<std::int32_t>(shape.size())};
    for (const Contour& contour : shape) p.push_back(static_cast<std::int32_t>(contour.size()));
    for (const Contour& contour : shape) PutPoints(p, contour);
    Record(kMetaPolyPolygon, p);
}

Bytes WmfWriter::Finish() const {
    std::vector<std::uint16_t> records = words_;
    records.insert(records.end(), {kRecordHeaderWords, 0, kMetaEof});
    const std::uint32_t maxRecord = std::max<std::uint32_t>(maxRecordWords_, kRecordHeaderWords);
    const auto totalWords = static_cast<std::uint32_t>(kMetaHeaderWords + records.size());

    Bytes out;
    // Placeable header: key, handle, bounding box, units per inch, reserved, checksum.
    const std::vector<std::uint16_t> placeable{static_cast<std::uint16_t>(kPlaceableKey & 0xFFFFu),
                                               static_cast<std::uint16_t>(kPlaceableKey >> 16),
                                               0,
                                               0,
                                               0,
                                               static_cast<std::uint16_t>(width_),
                                               static_cast<std::uint16_t>(height_),
                                               static_cast<std::uint16_t>(unitsPerInch_),
                                               0,
                                               0};
    std::uint16_t checksum = 0;
    for (std::uint16_t word : placeable) {
        Put16(out, word);
        checksum = static_cast<std::uint16_t>(checksum ^ word);  // XOR of the ten words above
    }
    Put16(out, checksum);
    // METAHEADER
    Put16(out, 1);  // type: memory metafile
    Put16(out, kMetaHeaderWords);
    Put16(out, 0x0300);  // Windows 3.0 metafile
    Put32(out, totalWords);
    Put16(out, static_cast<std::uint32_t>(slotUsed_.size()));  // object table size
    Put32(out, maxRecord);
    Put16(out, 0);  // unused
    for (std::uint16_t word : records) Put16(out, word);
    return out;
}

}  // namespace art
