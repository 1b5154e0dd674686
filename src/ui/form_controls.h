// frmMain's controls: each one's class, styles and caption beside its place (form_geometry.h), and the colours.
#pragma once

#include "ui/buscador-rc.h"
#include "ui/form_geometry.h"
#include "ui/form_texts.h"

#include <windows.h>

#include <array>

namespace form {

inline constexpr COLORREF kFormBackground = RGB(192, 255, 255);
inline constexpr COLORREF kReportBackground = RGB(224, 224, 224);

struct ControlSpec {
    int id;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    // What it is made with, so no caption is set after. Text1's text waits for its font instead: given before, the
    // box would lay it out twice.
    const wchar_t* caption = L"";
};

inline constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

// Created in the order of kPlaces, which is the tab order. Picture2 overlaps txtData's left edge by
// 60 twips; txtData, created first, stays on top there.
inline constexpr std::array<ControlSpec, kPlaces.size()> kControls = {{
    {IDC_CMDREFRESH, L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, kRefreshCaption},
    {IDC_CMDQUIT, L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, kQuitCaption},
    {IDC_TXTDATA, L"EDIT", kChild | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
     WS_EX_CLIENTEDGE},
    {IDC_PICTURE1, L"STATIC", kChild | SS_OWNERDRAW, 0},
    {IDC_TEXT1, L"EDIT", kChild | ES_MULTILINE | ES_READONLY, WS_EX_CLIENTEDGE},
    {IDC_PICTURE2, L"STATIC", kChild | SS_OWNERDRAW, 0},
    {IDC_LABEL1, L"STATIC", kChild | SS_LEFT | SS_NOPREFIX, 0, kLabel1},
}};

constexpr bool SameOrder() {
    for (std::size_t i = 0; i < kControls.size(); ++i)
        if (kControls[i].id != kPlaces[i].id) return false;
    return true;
}
static_assert(SameOrder(), "kControls and kPlaces list the controls in the same order");

}  // namespace form
