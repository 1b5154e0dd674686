// Encoders for the two bitmap formats: a 24-bit BMP and an ICO of several images, 8-bit and 32-bit.
#pragma once

#include "byte_writer.h"
#include "raster.h"

#include <vector>

namespace art {

// An uncompressed bottom-up 24-bit BMP (BITMAPFILEHEADER + BITMAPINFOHEADER). Every pixel must be painted.
Bytes EncodeBmp24(const Canvas& canvas);

// One image of an icon, as the file and the resource hold it: BITMAPINFOHEADER with doubled height, the colour
// rows and the 1-bit AND mask, each row bottom-up. No PNG: XP reads none.
struct IconImage {
    int width, height, bitsPerPixel;
    Bytes dib;
};
// 8-bit: a 256-entry palette; unpainted pixels become transparent (mask 1, colour 0). The canvas must have one
// sample per pixel and use at most 255 colours besides black.
IconImage IconImage8(const Canvas& canvas);
// 32-bit: blue, green, red and alpha, alpha the share of a pixel's samples painted (Vista and later blend with
// it); the mask is set where nothing was painted, for Windows that read no alpha.
IconImage IconImage32(const Canvas& canvas);
// The icon file: ICONDIR, an ICONDIRENTRY each, the images in that order.
Bytes EncodeIco(const std::vector<IconImage>& images);

}  // namespace art
