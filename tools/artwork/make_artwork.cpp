// Generates the program's three fixed pictures (virk.ico, logo.wmf, adapter.bmp) into the folder given as argument.
//
// The committed copies live in src/ui/art/; the artwork_is_current test regenerates them and
// compares byte for byte, so after changing a drawing run `make_artwork src/ui/art` and commit.
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "block_font.h"
#include "image_files.h"
#include "raster.h"
#include "wmf_writer.h"

namespace art {
namespace {

constexpr std::string_view kProductWord = "VIRK";
constexpr std::string_view kCompanyWord = "TALVENOR";

// ---------------------------------------------------------------------------------------------
// virk.ico: the product word over a magnifying glass, transparent around the drawing, drawn for each size
// Windows asks for (title bar, taskbar, Alt+Tab at 96 to 192 DPI), each in 256 colours and in 32-bit.
// ---------------------------------------------------------------------------------------------

constexpr Rgb kIconYellow{255, 216, 0};
constexpr Rgb kIconOutline{24, 24, 24};
constexpr Rgb kIconRim{48, 48, 56};
constexpr Rgb kIconRimShine{150, 160, 176};
constexpr Rgb kIconLens{190, 230, 255};
constexpr Rgb kIconLensShine{255, 255, 255};
constexpr Rgb kIconHandle{120, 64, 24};
constexpr int kIconAlphaSamples = 4;  // the 32-bit images' edges, smoothed into their alpha

// One size's drawing. The word sits at the top with a 1-pixel dark outline, the glass below it, the handle
// towards the lower right corner.
struct IconDesign {
    int size;
    GlyphSet glyphs;
    double textUnit, textGap, textTop;
    Point glassCentre;
    double glassRadius;  // outside of the rim
    double rimWidth;
    bool rimShine;
    Point handleStart, handleEnd;  // the start just outside the rim
    double handleWidth;
    double glint;  // the length of the lens' glint along each axis; 0: none, the lens is too small for one
};

// 32: the image since the first version, unchanged. V I R K in block capitals is 6+4+6+6 + 3*2 = 28 pixels wide
// at a unit a pixel, 30 with the outline: 24 and less take the small capitals, 3+1+3+3 + 3 gaps.
constexpr IconDesign kIconDesigns[] = {
    {16, GlyphSet::Small, 1, 1, 1, {5.5, 11.5}, 4.5, 1, false, {9, 14.5}, {15, 15.5}, 2.5, 0},
    {20, GlyphSet::Small, 1, 1, 1, {7, 12.5}, 5, 1.5, false, {10.5, 16}, {18.5, 18.5}, 3, 0},
    {24, GlyphSet::Small, 1, 2, 1, {8.5, 14.5}, 6.5, 2, true, {13, 19}, {22.5, 22.5}, 3.5, 1.5},
    {32, GlyphSet::Block, 1, 2, 1, {11, 19}, 7.5, 2.5, true, {16, 24}, {28.5, 29.5}, 4, 2},
    {40, GlyphSet::Block, 1, 2, 1, {14, 24}, 9.5, 3, true, {21, 31}, {36.5, 37}, 5, 2.5},
    {48, GlyphSet::Block, 1.5, 2, 1, {17, 30}, 11, 3.5, true, {25, 38}, {44.5, 45}, 6, 3},
};

Canvas DrawIcon(const IconDesign& design, int samples) {
    Canvas canvas(design.size, design.size, samples);
    const Point c = design.glassCentre;
    const double r = design.glassRadius;

    // Every part gets a dark 1-pixel border so the icon stays clear on light and dark backgrounds.
    canvas.ThickLine(design.handleStart, design.handleEnd, design.handleWidth + 2, kIconOutline);
    canvas.ThickLine(design.handleStart, design.handleEnd, design.handleWidth, kIconHandle);
    canvas.FillDisc(c, r, kIconOutline);
    canvas.FillDisc(c, r - 1, kIconRim);
    if (design.rimShine) canvas.FillRing(c, r - 2, r - 1.5, kIconRimShine);
    canvas.FillDisc(c, r - design.rimWidth - 0.5, kIconOutline);
    canvas.FillDisc(c, r - design.rimWidth - 1, kIconLens);
    // A small glint in the lens' upper left, the usual cue that it is glass.
    if (design.glint > 0)
        canvas.ThickLine({c.x - design.glint - 1, c.y - 1}, {c.x - 1, c.y - design.glint - 1}, 1.5, kIconLensShine);

    // The word: its shape moved one pixel in each of the 8 directions gives the dark outline that
    // keeps yellow legible on a white desktop or a light title bar.
    const double textWidth = TextWidth(kProductWord, design.textGap, design.glyphs) * design.textUnit;
    const Point origin{std::floor((design.size - textWidth) / 2), design.textTop};  // on whole pixels: crisp
    const Shape word = TextShape(kProductWord, origin, design.textUnit, design.textGap, design.glyphs);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) canvas.FillShape(Translated(word, dx, dy), kIconOutline);
    }
    canvas.FillShape(word, kIconYellow);
    return canvas;
}

Bytes MakeIcon() {
    std::vector<IconImage> images;
    for (const IconDesign& design : kIconDesigns) images.push_back(IconImage8(DrawIcon(design, 1)));  // crisp pixels
    for (const IconDesign& design : kIconDesigns) images.push_back(IconImage32(DrawIcon(design, kIconAlphaSamples)));
    return EncodeIco(images);
}

// ---------------------------------------------------------------------------------------------
// logo.wmf: the company logo, a blue triangle on a pale cyan field under the black word mark.
// ---------------------------------------------------------------------------------------------

// 1000 logical units per inch; the frame is 0.738 x 0.470 inch.
constexpr int kLogoWidth = 738;
constexpr int kLogoHeight = 470;
constexpr int kLogoUnitsPerInch = 1000;

constexpr Rgb kLogoField{192, 255, 255};
constexpr Rgb kLogoTriangle{0, 70, 200};
constexpr Rgb kLogoLetters{0, 0, 0};

// An upward triangle centred on the frame, its base near the bottom edge.
constexpr Point kTriangleApex{369, 24};
constexpr Point kTriangleBaseLeft{105, 446};
constexpr Point kTriangleBaseRight{633, 446};

// The word mark: font unit 12 (letters 72 x 108), letters 15 apart: 8*72 + 7*15 = 681 wide.
constexpr double kLogoTextUnit = 12;
constexpr double kLogoTextGap = 1.25;  // font units
constexpr double kLogoTextTop = 250;
// A field-coloured pen around the letters separates black from blue where they cross the triangle.
constexpr int kLogoHaloWidth = 14;

Bytes MakeLogo() {
    WmfWriter wmf(kLogoWidth, kLogoHeight, kLogoUnitsPerInch);
    wmf.UseWindingFill();

    // The field, bordered in its own colour: a null pen would leave GDI's rectangle one pixel short
    // on the right and at the bottom.
    const int fieldPen = wmf.CreateSolidPen(0, kLogoField);
    const int fieldBrush = wmf.CreateSolidBrush(kLogoField);
    wmf.SelectObject(fieldPen);
    wmf.SelectObject(fieldBrush);
    wmf.Rectangle(0, 0, kLogoWidth, kLogoHeight);

    const int trianglePen = wmf.CreateSolidPen(0, kLogoTriangle);
    const int triangleBrush = wmf.CreateSolidBrush(kLogoTriangle);
    wmf.SelectObject(trianglePen);
    wmf.SelectObject(triangleBrush);
    wmf.DeleteObject(fieldPen);  // objects are deleted once deselected; GDI refuses to delete selected ones
    wmf.Polygon({kTriangleApex, kTriangleBaseRight, kTriangleBaseLeft});

    const double textWidth = TextWidth(kCompanyWord, kLogoTextGap) * kLogoTextUnit;
    // Centred, rounded down to a whole logical unit (metafile coordinates are integers).
    const double textLeft = std::floor((kLogoWidth - textWidth) / 2);
    const Shape word = TextShape(kCompanyWord, {textLeft, kLogoTextTop}, kLogoTextUnit, kLogoTextGap);
    // Halo: the letters stroked with a wide field-coloured pen (the strokes along the pieces' inner
    // seams are painted over by the black fill that follows).
    const int haloPen = wmf.CreateSolidPen(kLogoHaloWidth, kLogoField);
    wmf.SelectObject(haloPen);
    wmf.SelectObject(fieldBrush);
    wmf.DeleteObject(trianglePen);
    wmf.DeleteObject(triangleBrush);
    wmf.PolyPolygon(word);

    const int noPen = wmf.CreateNullPen();
    const int letterBrush = wmf.CreateSolidBrush(kLogoLetters);
    wmf.SelectObject(noPen);
    wmf.SelectObject(letterBrush);
    wmf.DeleteObject(haloPen);
    wmf.DeleteObject(fieldBrush);
    wmf.PolyPolygon(word);
    // The last pen and brush stay selected: the player reselects its own and frees the object table.
    return wmf.Finish();
}

// ---------------------------------------------------------------------------------------------
// adapter.bmp: the VIRK USB-to-serial adapter (connector hood with a terminal block, cable, USB-A plug).
// ---------------------------------------------------------------------------------------------

constexpr int kAdapterWidth = 137;
constexpr int kAdapterHeight = 125;
// The dialog's picture box is 124 pixels high and does not scale, so keep the drawing above this row.
constexpr double kAdapterSafeBottom = 118;
constexpr int kAdapterSamples = 4;  // 4 x 4 samples per pixel smooth the slanted and round edges

constexpr Rgb kBackground{128, 255, 255};
constexpr Rgb kInk{16, 16, 16};
constexpr Rgb kHoodGrey{72, 74, 80};
constexpr Rgb kHoodShine{104, 106, 114};
constexpr Rgb kLabelLetters{236, 236, 240};
constexpr Rgb kTerminalGreen{20, 150, 70};
constexpr Rgb kTerminalShade{10, 105, 48};
constexpr Rgb kScrewMetal{200, 204, 210};
constexpr Rgb kScrewSlot{70, 72, 78};
constexpr Rgb kCableBlack{36, 36, 40};
constexpr Rgb kPlugMetal{196, 200, 208};
constexpr Rgb kPlugMetalShine{236, 238, 242};
constexpr Rgb kPlugHole{60, 62, 70};

// The serial-connector hood seen from above: a box that narrows towards the cable end.
constexpr double kHoodLeft = 8, kHoodTop = 8, kHoodBottom = 78;
constexpr double kHoodTaperX = 80;  // where the sides start to narrow
constexpr double kHoodRight = 106;
constexpr double kHoodNoseTop = 30, kHoodNoseBottom = 56;

// The green terminal block across the hood's wide end, screws seen from above.
constexpr double kTerminalLeft = 2, kTerminalRight = 24;
constexpr double kTerminalTop = 12, kTerminalBottom = 74;
constexpr int kScrewCount = 4;
constexpr double kScrewRadius = 5.5;

// The product word on the hood, 2 pixels per font unit (18 pixels tall).
constexpr double kLabelUnit = 2;
constexpr double kLabelGap = 1.5;
constexpr double kLabelLeft = 30, kLabelRight = 100;

// The cable leaves the hood's nose, swings down and comes back into the plug.
constexpr double kCableWidth = 7;
constexpr Point kCableStart{112, 43};
constexpr double kReliefLength = 10, kReliefHalfWide = 7, kReliefHalfNarrow = 4;  // the sleeve at the hood
constexpr Point kCableBend{138, 104};  // control point of the curve, not on it
constexpr Point kCableEnd{100, 100};

// The USB-A plug, pointing left: moulded grip, then the metal shell with its two square holes.
constexpr double kPlugTop = 89, kPlugBottom = 111;  // the grip
constexpr double kGripLeft = 74, kGripRight = 102;
constexpr double kShellLeft = 44, kShellTop = 91, kShellBottom = 109;

// Points along a quadratic Bezier curve; with power-of-two steps and whole-pixel controls the
// arithmetic is exact, so the points are the same everywhere.
std::vector<Point> QuadraticCurve(Point p0, Point p1, Point p2, int steps) {
    std::vector<Point> points;
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps, u = 1 - t;
        points.push_back(
            {u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x, u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
    }
    return points;
}

// A filled shape with a dark border of the given width (drawn as the same shape grown by moving it).
void FillOutlined(Canvas& canvas, const Contour& contour, Rgb fill, double border = 1) {
    for (double dy : {-border, 0.0, border}) {
        for (double dx : {-border, 0.0, border}) canvas.FillShape(Translated({contour}, dx, dy), kInk);
    }
    canvas.FillPolygon(contour, fill);
}

void DrawCable(Canvas& canvas) {
    const std::vector<Point> curve = QuadraticCurve(kCableStart, kCableBend, kCableEnd, 32);
    canvas.ThickPolyline(curve, kCableWidth + 2, kInk);
    canvas.ThickPolyline(curve, kCableWidth, kCableBlack);
    // Strain relief where the cable enters the hood: a short tapered sleeve.
    const double reliefLeft = kHoodRight - 2, reliefRight = reliefLeft + kReliefLength;
    FillOutlined(canvas,
                 {{reliefLeft, kCableStart.y - kReliefHalfWide},
                  {reliefRight, kCableStart.y - kReliefHalfNarrow},
                  {reliefRight, kCableStart.y + kReliefHalfNarrow},
                  {reliefLeft, kCableStart.y + kReliefHalfWide}},
                 kCableBlack);
}

void DrawHood(Canvas& canvas) {
    const Contour hood{{kHoodLeft, kHoodTop},         {kHoodTaperX, kHoodTop},    {kHoodRight, kHoodNoseTop},
                       {kHoodRight, kHoodNoseBottom}, {kHoodTaperX, kHoodBottom}, {kHoodLeft, kHoodBottom}};
    FillOutlined(canvas, hood, kHoodGrey);
    // A lighter band along the top edge suggests the rounded moulding.
    canvas.FillPolygon(
        {{kHoodLeft, kHoodTop}, {kHoodTaperX, kHoodTop}, {kHoodTaperX + 8, kHoodTop + 6}, {kHoodLeft, kHoodTop + 6}},
        kHoodShine);

    const double textWidth = TextWidth(kProductWord, kLabelGap) * kLabelUnit;
    const double textTop = (kHoodTop + kHoodBottom - kCapHeight * kLabelUnit) / 2;
    const Point origin{(kLabelLeft + kLabelRight - textWidth) / 2, textTop};
    // A dark drop shadow lifts the light letters off the grey.
    canvas.FillShape(TextShape(kProductWord, {origin.x + 1, origin.y + 1}, kLabelUnit, kLabelGap), kInk);
    canvas.FillShape(TextShape(kProductWord, origin, kLabelUnit, kLabelGap), kLabelLetters);
}

void DrawTerminalBlock(Canvas& canvas) {
    FillOutlined(canvas, Rect(kTerminalLeft, kTerminalTop, kTerminalRight, kTerminalBottom), kTerminalGreen);
    // Per terminal: the wire entry facing left (a dark slot), a darker strip marking the terminal's
    // own moulding, and the screw head seen from above.
    const double pitch = (kTerminalBottom - kTerminalTop) / kScrewCount;
    for (int i = 0; i < kScrewCount; ++i) {
        const double centreY = kTerminalTop + pitch * (i + 0.5);
        const Point centre{(kTerminalLeft + kTerminalRight) / 2 + 2, centreY};
        canvas.FillRect(kTerminalLeft, centreY - 3, kTerminalLeft + 4, centreY + 3, kInk);
        canvas.FillRect(kTerminalRight - 3, kTerminalTop + pitch * i + 1, kTerminalRight,
                        kTerminalTop + pitch * (i + 1) - 1, kTerminalShade);
        canvas.FillDisc(centre, kScrewRadius + 1, kInk);
        canvas.FillDisc(centre, kScrewRadius, kScrewMetal);
        canvas.ThickLine({centre.x - 3.5, centre.y + 3.5}, {centre.x + 3.5, centre.y - 3.5}, 2, kScrewSlot);
    }
}

void DrawPlug(Canvas& canvas) {
    FillOutlined(canvas, Rect(kShellLeft, kShellTop, kGripLeft + 2, kShellBottom), kPlugMetal);
    canvas.FillRect(kShellLeft, kShellTop, kGripLeft, kShellTop + 3, kPlugMetalShine);
    // The two square holes near the tip that every USB-A plug shell has.
    const double holeLeft = kShellLeft + 6, holeSize = 5;
    const double middle = (kShellTop + kShellBottom) / 2;
    canvas.FillRect(holeLeft, middle - 2 - holeSize, holeLeft + holeSize, middle - 2, kPlugHole);
    canvas.FillRect(holeLeft, middle + 2, holeLeft + holeSize, middle + 2 + holeSize, kPlugHole);
    // The moulded grip, slightly tapered towards the cable.
    FillOutlined(canvas,
                 {{kGripLeft, kPlugTop},
                  {kGripRight - 6, kPlugTop},
                  {kGripRight, kPlugTop + 5},
                  {kGripRight, kPlugBottom - 5},
                  {kGripRight - 6, kPlugBottom},
                  {kGripLeft, kPlugBottom}},
                 kCableBlack);
}

Bytes MakeAdapter() {
    Canvas canvas(kAdapterWidth, kAdapterHeight, kAdapterSamples);
    canvas.FillRect(0, 0, kAdapterWidth, kAdapterHeight, kBackground);
    DrawCable(canvas);  // first, so the hood and the plug cover its ends
    DrawHood(canvas);
    DrawTerminalBlock(canvas);
    DrawPlug(canvas);
    // Guard the picture box's cut: nothing but background may reach the rows it does not show.
    for (int y = static_cast<int>(kAdapterSafeBottom); y < kAdapterHeight; ++y) {
        for (int x = 0; x < kAdapterWidth; ++x) {
            if (!(canvas.At(x, y).color == kBackground))
                throw std::logic_error("adapter drawing reaches row " + std::to_string(y));
        }
    }
    return EncodeBmp24(canvas);
}

}  // namespace
}  // namespace art

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_artwork <output folder>\n");
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        art::WriteFile(folder / "virk.ico", art::MakeIcon());
        art::WriteFile(folder / "logo.wmf", art::MakeLogo());
        art::WriteFile(folder / "adapter.bmp", art::MakeAdapter());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_artwork: %s\n", error.what());
        return 1;
    }
    return 0;
}
