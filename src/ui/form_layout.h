// frmMain's fixed layout: sizes in twips, colours, fonts and the controls in tab order.
#pragma once

#include "ui/buscador-rc.h"

#include <windows.h>

#include <array>

namespace form {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kClientWidth = 6810;
inline constexpr int kClientHeight = 8310;

inline constexpr COLORREF kFormBackground = RGB(192, 255, 255);
inline constexpr COLORREF kReportBackground = RGB(224, 224, 224);

enum class FontId { None, Title, Body };

struct FontSpec {
    const wchar_t* face;
    int centipoints;  // 15.75 pt is 1575
};
inline constexpr FontSpec kTitleFont{L"Arial Black", 1575};
inline constexpr FontSpec kBodyFont{L"MS Sans Serif", 975};

struct ControlSpec {
    int id;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height;  // twips, from the client area's top-left corner
    FontId font;
};

inline constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

// Created in this order, which is the tab order. Picture2 overlaps txtData's left edge by
// 60 twips; txtData, created first, stays on top there.
inline constexpr std::array<ControlSpec, 7> kControls = {{
    {IDC_CMDREFRESH, L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, 495, 4815, 1095, 870, FontId::Body},
    {IDC_CMDQUIT, L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, 495, 5940, 1095, 870, FontId::Body},
    {IDC_TXTDATA, L"EDIT", kChild | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
     WS_EX_CLIENTEDGE, 2115, 2745, 4290, 5190, FontId::Body},
    {IDC_PICTURE1, L"STATIC", kChild | SS_OWNERDRAW, 0, 405, 7110, 1320, 780, FontId::None},
    {IDC_TEXT1, L"EDIT", kChild | ES_MULTILINE | ES_READONLY, WS_EX_CLIENTEDGE, 315, 855, 6225, 1590, FontId::Body},
    {IDC_PICTURE2, L"STATIC", kChild | SS_OWNERDRAW, 0, 45, 2745, 2130, 1860, FontId::None},
    {IDC_LABEL1, L"STATIC", kChild | SS_LEFT | SS_NOPREFIX, 0, 405, 225, 3570, 555, FontId::Title},
}};

}  // namespace form
