// Encoders for the two bitmap formats: a 24-bit BMP and a one-image 8-bit ICO.
#pragma once

#include "byte_writer.h"
#include "raster.h"

namespace art {

// An uncompressed bottom-up 24-bit BMP (BITMAPFILEHEADER + BITMAPINFOHEADER). Every pixel must be painted.
Bytes EncodeBmp24(const Canvas& canvas);

// An icon file holding one 8-bit image: BITMAPINFOHEADER with doubled height, a 256-entry palette,
// the colour rows and the 1-bit AND mask. Unpainted pixels become transparent (mask 1, colour 0).
// The canvas must have one sample per pixel and use at most 255 colours besides black.
Bytes EncodeIco8(const Canvas& canvas);

}  // namespace art
