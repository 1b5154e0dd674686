// The two fixed pictures of frmMain: the maker's logo (a placeable metafile) and the adapter (a bitmap).
#include "ui/artwork.h"

#include "ui/buscador-rc.h"

#include <cstdint>
#include <cstring>

namespace {

// The header that makes a Windows metafile "placeable": its frame and units per inch.
#pragma pack(push, 2)
struct PlaceableHeader {
    std::uint32_t key;
    std::uint16_t handle;
    std::int16_t left, top, right, bottom;
    std::uint16_t unitsPerInch;
    std::uint32_t reserved;
    std::uint16_t checksum;
};
#pragma pack(pop)
static_assert(sizeof(PlaceableHeader) == 22);
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr int kBitmapDpi = 96;  // the adapter's pixels are screen pixels at 96 DPI

// Drawing confined to the box, whatever the picture's size.
class ClippedTo {
public:
    ClippedTo(HDC dc, const RECT& box) : dc_(dc), saved_(SaveDC(dc)) {
        IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
    }
    ~ClippedTo() { RestoreDC(dc_, saved_); }

private:
    HDC dc_;
    int saved_;
};

}  // namespace

Artwork::Artwork(HINSTANCE instance, const WindowCalls& calls) {
    if (HRSRC found = calls.Resource(instance, IDR_LOGO, 10 /* RT_RCDATA */)) {
        const DWORD size = SizeofResource(instance, found);
        const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
        PlaceableHeader header{};
        if (bytes != nullptr && size > sizeof header) {
            std::memcpy(&header, bytes, sizeof header);
            if (header.key == kPlaceableKey && header.unitsPerInch != 0) {
                logo_ = SetMetaFileBitsEx(static_cast<UINT>(size - sizeof header), bytes + sizeof header);
                logoUnits_ = {header.right - header.left, header.bottom - header.top};
                logoUnitsPerInch_ = header.unitsPerInch;
            }
        }
    }
    adapter_ = static_cast<HBITMAP>(calls.Image(instance, IDB_ADAPTER, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info{};
    if (adapter_ != nullptr && calls.ObjectInfo(adapter_, sizeof info, &info) != 0) adapterPixels_ = {info.bmWidth, info.bmHeight};
}

Artwork::~Artwork() {
    if (logo_ != nullptr) DeleteMetaFile(logo_);
    if (adapter_ != nullptr) DeleteObject(adapter_);
}

void Artwork::DrawLogo(HDC dc, const RECT& box, int dpi) const {
    if (logo_ == nullptr) return;
    const ClippedTo clip(dc, box);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, logoUnits_.cx, logoUnits_.cy, nullptr);
    SetViewportOrgEx(dc, box.left, box.top, nullptr);
    SetViewportExtEx(dc, MulDiv(logoUnits_.cx, dpi, logoUnitsPerInch_), MulDiv(logoUnits_.cy, dpi, logoUnitsPerInch_),
                     nullptr);
    PlayMetaFile(dc, logo_);
}

void Artwork::DrawAdapter(HDC dc, const RECT& box, int dpi) const {
    if (adapter_ == nullptr) return;
    const ClippedTo clip(dc, box);
    HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ previous = SelectObject(source, adapter_);
    if (dpi == kBitmapDpi) {
        BitBlt(dc, box.left, box.top, adapterPixels_.cx, adapterPixels_.cy, source, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, box.left, box.top, MulDiv(adapterPixels_.cx, dpi, kBitmapDpi),
                   MulDiv(adapterPixels_.cy, dpi, kBitmapDpi), source, 0, 0, adapterPixels_.cx, adapterPixels_.cy,
                   SRCCOPY);
    }
    SelectObject(source, previous);
    DeleteDC(source);
}
