// The two fixed pictures of frmMain: the maker's logo (a placeable metafile) and the adapter (a bitmap).
#pragma once

#include "win32/window_calls.h"

#include <windows.h>

class Artwork {
public:
    Artwork(HINSTANCE instance, const WindowCalls& calls);
    ~Artwork();
    Artwork(const Artwork&) = delete;
    Artwork& operator=(const Artwork&) = delete;

    // Each is drawn at its own size (scaled only by the screen's DPI), from the box's
    // top-left corner, cut off at the box's edges.
    void DrawLogo(HDC dc, const RECT& box, int dpi) const;
    void DrawAdapter(HDC dc, const RECT& box, int dpi) const;

private:
    HMETAFILE logo_ = nullptr;
    SIZE logoUnits_{};  // the metafile's frame in its own units
    int logoUnitsPerInch_ = 1000;
    HBITMAP adapter_ = nullptr;
    SIZE adapterPixels_{};
};
