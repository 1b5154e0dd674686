// Byte layouts of BMP and ICO files, written field by field as the Windows headers define them.
#include "image_files.h"

#include <fstream>
#include <stdexcept>
#include <vector>

namespace art {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;  // BITMAPFILEHEADER
constexpr std::uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr std::uint32_t kPaletteEntries = 256;

// Rows of every DIB are padded to a multiple of 4 bytes.
std::uint32_t RowBytes(int width, int bitsPerPixel) {
    return ((static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bitsPerPixel) + 31) / 32) * 4;
}

void PutInfoHeader(Bytes& out, int width, int height, int bitsPerPixel, std::uint32_t imageBytes) {
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);  // planes
    Put16(out, static_cast<std::uint32_t>(bitsPerPixel));
    Put32(out, 0);  // BI_RGB: uncompressed
    Put32(out, imageBytes);
    Put32(out, 0);  // pixels per metre, x: unspecified
    Put32(out, 0);  // pixels per metre, y
    Put32(out, 0);  // colours used: 0 = all 2^bitsPerPixel
    Put32(out, 0);  // important colours: 0 = all
}

}  // namespace

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) throw std::runtime_error("cannot write " + path.string());
}

Bytes EncodeBmp24(const Canvas& canvas) {
    const int width = canvas.Width(), height = canvas.Height();
    const std::uint32_t rowBytes = RowBytes(width, 24);
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height);
    const std::uint32_t pixelsOffset = kFileHeaderSize + kInfoHeaderSize;

    Bytes out;
    Put8(out, 'B');
    Put8(out, 'M');
    Put32(out, pixelsOffset + imageBytes);  // file size
    Put32(out, 0);                          // reserved
    Put32(out, pixelsOffset);
    PutInfoHeader(out, width, height, 24, imageBytes);
    for (int y = height - 1; y >= 0; --y) {  // bottom-up
        for (int x = 0; x < width; ++x) {
            const Canvas::Pixel pixel = canvas.At(x, y);
            if (pixel.coverage != canvas.SamplesPerPixel()) throw std::logic_error("BMP pixel left unpainted");
            Put8(out, pixel.color.b);
            Put8(out, pixel.color.g);
            Put8(out, pixel.color.r);
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(width) * 3; pad < rowBytes; ++pad) Put8(out, 0);
    }
    return out;
}

Bytes EncodeIco8(const Canvas& canvas) {
    const int width = canvas.Width(), height = canvas.Height();
    if (canvas.SamplesPerPixel() != 1) throw std::logic_error("icon canvas must not be supersampled");
    if (width > 256 || height > 256) throw std::logic_error("icon too large");

    // Palette: index 0 is black, which transparent pixels use (the screen is ANDed with the mask,
    // then XORed with the colour, so transparent colour bits must be 0). Other colours follow in
    // order of first appearance, which keeps the file deterministic.
    std::vector<Rgb> palette{Rgb{0, 0, 0}};
    std::vector<std::uint8_t> indices;  // top-down, one per pixel
    std::vector<bool> transparent;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Canvas::Pixel pixel = canvas.At(x, y);
            transparent.push_back(pixel.coverage == 0);
            std::size_t index = 0;
            if (pixel.coverage != 0) {
                while (index < palette.size() && !(palette[index] == pixel.color)) ++index;
                if (index == palette.size()) palette.push_back(pixel.color);
            }
            if (palette.size() > kPaletteEntries) throw std::logic_error("icon uses more than 256 colours");
            indices.push_back(static_cast<std::uint8_t>(index));
        }
    }

    const std::uint32_t xorRow = RowBytes(width, 8), andRow = RowBytes(width, 1);
    const std::uint32_t imageBytes = (xorRow + andRow) * static_cast<std::uint32_t>(height);
    const std::uint32_t resourceBytes = kInfoHeaderSize + kPaletteEntries * 4 + imageBytes;
    constexpr std::uint32_t kDirectorySize = 6 + 16;  // ICONDIR + one ICONDIRENTRY

    Bytes out;
    // ICONDIR
    Put16(out, 0);  // reserved
    Put16(out, 1);  // type: icon
    Put16(out, 1);  // one image
    // ICONDIRENTRY
    Put8(out, static_cast<std::uint32_t>(width));
    Put8(out, static_cast<std::uint32_t>(height));
    Put8(out, 0);   // colour count: 0 for 256 colours
    Put8(out, 0);   // reserved
    Put16(out, 1);  // planes
    Put16(out, 8);  // bits per pixel
    Put32(out, resourceBytes);
    Put32(out, kDirectorySize);
    // The image: a DIB whose height counts the colour rows and the mask rows together.
    PutInfoHeader(out, width, height * 2, 8, imageBytes);
    for (std::uint32_t i = 0; i < kPaletteEntries; ++i) {
        const Rgb c = i < palette.size() ? palette[i] : Rgb{};
        Put8(out, c.b);
        Put8(out, c.g);
        Put8(out, c.r);
        Put8(out, 0);
    }
    for (int y = height - 1; y >= 0; --y) {  // colour rows, bottom-up
        for (int x = 0; x < width; ++x) Put8(out, indices[static_cast<std::size_t>(y * width + x)]);
        for (std::uint32_t pad = static_cast<std::uint32_t>(width); pad < xorRow; ++pad) Put8(out, 0);
    }
    for (int y = height - 1; y >= 0; --y) {  // AND mask rows, bottom-up, most significant bit first
        Bytes row(andRow, 0);
        for (int x = 0; x < width; ++x) {
            if (transparent[static_cast<std::size_t>(y * width + x)]) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace art
