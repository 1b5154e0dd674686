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

namespace {

// The AND mask's rows, bottom-up, most significant bit first: 1 where the screen shows through.
void PutMask(Bytes& out, const Canvas& canvas) {
    const int width = canvas.Width();
    const std::uint32_t andRow = RowBytes(width, 1);
    for (int y = canvas.Height() - 1; y >= 0; --y) {
        Bytes row(andRow, 0);
        for (int x = 0; x < width; ++x) {
            if (canvas.At(x, y).coverage == 0) row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

void CheckIconSize(const Canvas& canvas) {
    if (canvas.Width() > 256 || canvas.Height() > 256) throw std::logic_error("icon too large");
}

}  // namespace

IconImage IconImage8(const Canvas& canvas) {
    const int width = canvas.Width(), height = canvas.Height();
    if (canvas.SamplesPerPixel() != 1) throw std::logic_error("8-bit icon canvas must not be supersampled");
    CheckIconSize(canvas);

    // Palette: index 0 is black, which transparent pixels use (the screen is ANDed with the mask,
    // then XORed with the colour, so transparent colour bits must be 0). Other colours follow in
    // order of first appearance, which keeps the file deterministic.
    std::vector<Rgb> palette{Rgb{0, 0, 0}};
    std::vector<std::uint8_t> indices;  // top-down, one per pixel
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Canvas::Pixel pixel = canvas.At(x, y);
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
    IconImage image{width, height, 8, {}};
    Bytes& out = image.dib;
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
    PutMask(out, canvas);
    return image;
}

IconImage IconImage32(const Canvas& canvas) {
    const int width = canvas.Width(), height = canvas.Height();
    CheckIconSize(canvas);
    const std::uint32_t imageBytes = (RowBytes(width, 32) + RowBytes(width, 1)) * static_cast<std::uint32_t>(height);
    IconImage image{width, height, 32, {}};
    Bytes& out = image.dib;
    PutInfoHeader(out, width, height * 2, 32, imageBytes);
    const int samples = canvas.SamplesPerPixel();
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Canvas::Pixel pixel = canvas.At(x, y);
            const Rgb c = pixel.coverage != 0 ? pixel.color : Rgb{};
            Put8(out, c.b);
            Put8(out, c.g);
            Put8(out, c.r);
            Put8(out, static_cast<std::uint32_t>((pixel.coverage * 255 + samples / 2) / samples));
        }
    }
    PutMask(out, canvas);
    return image;
}

Bytes EncodeIco(const std::vector<IconImage>& images) {
    constexpr std::uint32_t kDirectoryHeader = 6, kDirectoryEntry = 16;  // ICONDIR, ICONDIRENTRY
    Bytes out;
    Put16(out, 0);  // reserved
    Put16(out, 1);  // type: icon
    Put16(out, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = kDirectoryHeader + kDirectoryEntry * static_cast<std::uint32_t>(images.size());
    for (const IconImage& image : images) {
        Put8(out, static_cast<std::uint32_t>(image.width % 256));  // 0 stands for 256
        Put8(out, static_cast<std::uint32_t>(image.height % 256));
        Put8(out, 0);   // colour count: 0 for 256 colours and for more
        Put8(out, 0);   // reserved
        Put16(out, 1);  // planes
        Put16(out, static_cast<std::uint32_t>(image.bitsPerPixel));
        Put32(out, static_cast<std::uint32_t>(image.dib.size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(image.dib.size());
    }
    for (const IconImage& image : images) out.insert(out.end(), image.dib.begin(), image.dib.end());
    return out;
}

}  // namespace art
