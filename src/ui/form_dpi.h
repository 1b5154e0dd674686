// frmMain at each DPI: its size and place, its controls made and placed, the fonts and the icons, made again when
// the DPI changes.
#pragma once

#include "ui/form_geometry.h"
#include "win32/window_calls.h"

#include <windows.h>

// Windows 8.1's and 10's, which MinGW's headers give only for newer targets.
inline constexpr UINT kDpiChanged = 0x02E0;        // WM_DPICHANGED
inline constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE

class FormDpi {
public:
    FormDpi(HINSTANCE instance, const WindowCalls& calls) : instance_(instance), calls_(calls) {}
    ~FormDpi();
    FormDpi(const FormDpi&) = delete;
    FormDpi& operator=(const FormDpi&) = delete;

    // The frame style the sizes here are for.
    static constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW;
    // The window's size, frame included, with a client area of 6810 x 8310 twips at `dpi`: WM_GETDPISCALEDSIZE's
    // answer, so Windows 10 scales the twips, not the frame.
    static SIZE WindowSizeAt(int dpi);

    struct Placement {
        POINT origin;
        SIZE size;
    };
    // Before the window is made: its size at the system's DPI, centred on the work area, so it needs no move
    // before it shows.
    Placement StartAtSystemDpi();
    // WM_CREATE: the window at the DPI of the monitor it is made on, sized for it and centred again where that
    // differs from the system's; its controls made there, in place, with their fonts, and the window's icons.
    void MakeControls(HWND window);
    // WM_DPICHANGED: the window as it starts at that DPI, where Windows suggests; controls, fonts and icons anew.
    void Changed(HWND window, int dpi, const RECT& suggested);

    int Dpi() const { return dpi_; }

private:
    void TakeFontsAndIcons(HWND window, bool redraw);
    void Place(HWND window) const;
    void MakeFonts(HWND window, bool redraw);
    void TakeIcons(HWND window);

    HINSTANCE instance_;
    const WindowCalls& calls_;
    int dpi_ = 96;
    SIZE started_{};
    form::Layout layout_ = form::LayoutAt(dpi_);
    HFONT titleFont_ = nullptr;
    HFONT bodyFont_ = nullptr;
    HICON smallIcon_ = nullptr;
    HICON bigIcon_ = nullptr;
};
