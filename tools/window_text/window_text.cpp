// Prints the text of one of a running program's controls, found by its window's title; optionally saves the
// window as it shows on the screen to a PNG file, then closes the window.
// Usage: window_text.exe "WINDOW TITLE" CONTROL_ID [--png FILE] [--close]  (waits up to 30 s for the window)
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void WriteUtf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// A PNG writer small enough to keep the demo free of an image package: one deflate block with the fixed
// codes, each row filtered by its left neighbour so a plain area is a run of zeros, and runs sent as copies
// of the byte before.
class Deflater {
public:
    std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& data) {
        Bits(1, 1);  // the last block
        Bits(1, 2);  // fixed codes
        std::size_t i = 0;
        while (i < data.size()) {
            std::size_t run = 0;
            while (i > 0 && i + run < data.size() && run < 258 && data[i + run] == data[i - 1]) ++run;
            if (run >= 3) {
                Length(static_cast<unsigned>(run));
                Bits(0, 5);  // distance 1: code 0, sent as five zero bits
                i += run;
            } else {
                Symbol(data[i++]);
            }
        }
        Symbol(256);
        if (count_ > 0) out_.push_back(static_cast<std::uint8_t>(bits_));
        return out_;
    }

private:
    void Bits(std::uint32_t value, int count) {
        bits_ |= value << count_;
        count_ += count;
        while (count_ >= 8) {
            out_.push_back(static_cast<std::uint8_t>(bits_));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    // Huffman codes go out from their first bit.
    void Code(std::uint32_t code, int length) {
        for (int bit = length - 1; bit >= 0; --bit) Bits((code >> bit) & 1u, 1);
    }
    void Symbol(unsigned symbol) {
        if (symbol < 144) Code(0x30 + symbol, 8);
        else if (symbol < 256) Code(0x190 + symbol - 144, 9);
        else if (symbol < 280) Code(symbol - 256, 7);
        else Code(0xC0 + symbol - 280, 8);
    }
    void Length(unsigned length) {
        static constexpr unsigned kBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr int kExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                         2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        unsigned code = 28;
        while (kBase[code] > length) --code;
        Symbol(257 + code);
        Bits(length - kBase[code], kExtra[code]);
    }

    std::vector<std::uint8_t> out_;
    std::uint32_t bits_ = 0;
    int count_ = 0;
};

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void Chunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
    Put32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    Put32(png, Crc32(png.data() + start, png.size() - start));
}

// The window's rectangle on the screen, frame included, as Wine shows it to the X server.
bool SaveWindowPng(HWND window, const wchar_t* path) {
    RECT box{};
    if (!GetWindowRect(window, &box)) return false;
    box.left = box.left < 0 ? 0 : box.left;
    box.top = box.top < 0 ? 0 : box.top;
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    if (width <= 0 || height <= 0) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (memory != nullptr && bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory, old);
    }
    std::vector<std::uint8_t> rows;
    if (copied) {
        const auto* pixels = static_cast<const std::uint8_t*>(bits);
        const auto stride = static_cast<std::size_t>(width) * 4;
        rows.reserve(static_cast<std::size_t>(height) * (static_cast<std::size_t>(width) * 3 + 1));
        for (int y = 0; y < height; ++y) {
            rows.push_back(1);  // each byte less the same colour's byte of the pixel to its left
            const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * stride;
            for (int x = 0; x < width; ++x) {
                for (int colour : {2, 1, 0}) {  // BGRX to RGB
                    const std::uint8_t left = x > 0 ? row[(x - 1) * 4 + colour] : 0;
                    rows.push_back(static_cast<std::uint8_t>(row[x * 4 + colour] - left));
                }
            }
        }
    }
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (memory != nullptr) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied) return false;

    std::vector<std::uint8_t> header;
    Put32(header, static_cast<std::uint32_t>(width));
    Put32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits a colour, RGB, deflate, filtered rows, not interlaced
    std::vector<std::uint8_t> zlib = {0x78, 0x01};
    const std::vector<std::uint8_t> deflated = Deflater().Compress(rows);
    zlib.insert(zlib.end(), deflated.begin(), deflated.end());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : rows) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    Put32(zlib, (b << 16) | a);
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", zlib);
    Chunk(png, "IEND", {});

    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool whole = WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr) != FALSE &&
                       written == png.size();
    return CloseHandle(file) != FALSE && whole;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const wchar_t* png = nullptr;
    bool close = false;
    for (int i = 3; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--png" && i + 1 < argc) png = argv[++i];
        else if (option == L"--close") close = true;
        else return 2;
    }
    constexpr int kPollMs = 100;
    constexpr int kWaitMs = 30000;
    HWND window = nullptr;
    for (int waited = 0; waited < kWaitMs && (window == nullptr || !IsWindowVisible(window)); waited += kPollMs) {
        Sleep(kPollMs);
        window = FindWindowW(nullptr, argv[1]);
    }
    if (window == nullptr) return 1;
    Sleep(500);  // let the first paint finish, for the screenshot

    // WM_GETTEXT, not GetWindowText: for another process's control that gives only its caption.
    HWND control = GetDlgItem(window, _wtoi(argv[2]));
    const auto length = static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    WriteUtf8(text);
    const bool saved = png == nullptr || SaveWindowPng(window, png);
    if (close) PostMessageW(window, WM_CLOSE, 0, 0);
    return saved ? 0 : 3;
}
