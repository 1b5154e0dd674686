// frmMain at each DPI: its size and place, its controls made and placed, the fonts and the icons, made again when
// the DPI changes.
#include "ui/form_dpi.h"

#include "ui/buscador-rc.h"
#include "ui/form_controls.h"
#include "ui/window_dpi.h"

#include <algorithm>

FormDpi::~FormDpi() {
    for (HFONT font : {titleFont_, bodyFont_})
        if (font != nullptr) DeleteObject(font);
    for (HICON icon : {smallIcon_, bigIcon_})
        if (icon != nullptr) DestroyIcon(icon);
}

SIZE FormDpi::WindowSizeAt(int dpi) {
    const form::Box client = form::LayoutAt(dpi).client;
    return FrameAround({client.width, client.height}, kFrameStyle, 0, dpi);
}

namespace {

POINT CentredOrigin(const WindowCalls& calls, SIZE frame) {
    const RECT workArea = calls.WorkArea();
    return {workArea.left + std::max(0L, (workArea.right - workArea.left - frame.cx) / 2),
            workArea.top + std::max(0L, (workArea.bottom - workArea.top - frame.cy) / 2)};
}

}  // namespace

FormDpi::Placement FormDpi::StartAtSystemDpi() {
    dpi_ = SystemDpi();
    layout_ = form::LayoutAt(dpi_);
    started_ = WindowSizeAt(dpi_);
    return {CentredOrigin(calls_, started_), started_};
}

// Created in the order of kPlaces, which is the tab order.
void FormDpi::MakeControls(HWND window) {
    dpi_ = WindowDpi(window);
    layout_ = form::LayoutAt(dpi_);
    const SIZE shown = WindowSizeAt(dpi_);
    if (shown.cx != started_.cx || shown.cy != started_.cy) {
        const POINT centred = CentredOrigin(calls_, shown);
        SetWindowPos(window, nullptr, centred.x, centred.y, shown.cx, shown.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (std::size_t i = 0; i < form::kControls.size(); ++i) {
        const form::ControlSpec& control = form::kControls[i];
        const form::Box& box = layout_.controls[i];
        calls_.Create(control.exStyle, control.className, control.caption, control.style, box.left, box.top,
                      box.width, box.height, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                      instance_, nullptr);
    }
    TakeFontsAndIcons(window, false);
}

void FormDpi::TakeFontsAndIcons(HWND window, bool redraw) {
    MakeFonts(window, redraw);
    TakeIcons(window);
}

void FormDpi::Place(HWND window) const {
    for (std::size_t i = 0; i < form::kPlaces.size(); ++i) {
        const form::Box& box = layout_.controls[i];
        SetWindowPos(GetDlgItem(window, form::kPlaces[i].id), nullptr, box.left, box.top, box.width, box.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// The controls take the new fonts before the old ones go: a control's font must outlive its use.
void FormDpi::MakeFonts(HWND window, bool redraw) {
    const HFONT oldTitle = titleFont_, oldBody = bodyFont_;
    titleFont_ = calls_.Font(layout_.titleFontHeight, form::kTitleFont.face);
    bodyFont_ = calls_.Font(layout_.bodyFontHeight, form::kBodyFont.face);
    for (const form::ControlPlace& place : form::kPlaces) {
        const HFONT font = place.font == form::FontId::Title ? titleFont_
                           : place.font == form::FontId::Body ? bodyFont_
                                                              : nullptr;
        if (font != nullptr)
            calls_.Send(GetDlgItem(window, place.id), WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    for (HFONT old : {oldTitle, oldBody})
        if (old != nullptr) DeleteObject(old);
}

// The title bar's and the taskbar's images, each from the icon's own image of the size they show at this DPI.
void FormDpi::TakeIcons(HWND window) {
    const auto load = [this](int widthMetric, int heightMetric) {
        return static_cast<HICON>(calls_.Image(instance_, IDI_MAIN, IMAGE_ICON, MetricAt(widthMetric, dpi_),
                                               MetricAt(heightMetric, dpi_), 0));
    };
    const HICON oldSmall = smallIcon_, oldBig = bigIcon_;
    smallIcon_ = load(SM_CXSMICON, SM_CYSMICON);
    bigIcon_ = load(SM_CXICON, SM_CYICON);
    calls_.Send(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    calls_.Send(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    for (HICON old : {oldSmall, oldBig})
        if (old != nullptr) DestroyIcon(old);
}

// Its size is the client area's own at that DPI, which WM_GETDPISCALEDSIZE gave Windows beforehand. Where the
// frame is drawn at another DPI than the client area (Windows 8.1, which asks no size and suggests the frame
// scaled; Wine), the frame found is corrected by what the client area then lacks.
void FormDpi::Changed(HWND window, int dpi, const RECT& suggested) {
    dpi_ = dpi;
    layout_ = form::LayoutAt(dpi_);
    constexpr UINT kPlaceOnly = SWP_NOZORDER | SWP_NOACTIVATE;
    if (IsZoomed(window)) {
        SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, kPlaceOnly);
    } else {
        const SIZE frame = WindowSizeAt(dpi_);
        SetWindowPos(window, nullptr, suggested.left, suggested.top, frame.cx, frame.cy, kPlaceOnly);
        RECT client{};
        GetClientRect(window, &client);
        const SIZE lacking{layout_.client.width - client.right, layout_.client.height - client.bottom};
        if (lacking.cx != 0 || lacking.cy != 0)
            SetWindowPos(window, nullptr, 0, 0, frame.cx + lacking.cx, frame.cy + lacking.cy, kPlaceOnly | SWP_NOMOVE);
    }
    Place(window);
    TakeFontsAndIcons(window, true);
    InvalidateRect(window, nullptr, TRUE);
}
