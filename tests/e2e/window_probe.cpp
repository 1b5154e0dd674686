// A hook in the window program's own thread (SetWindowsHookEx, WH_GETMESSAGE on the window's thread): on the
// message "BuscadorVIRK.probe" it hands the window WM_DPICHANGED as Windows does, with the DPI in wParam and a
// suggested rectangle in the program's memory (from another process lParam would point into the sender's), or
// only looks when wParam is 0; then appends what the window shows, and the size it asks for ahead of a move to
// 144 and 192 DPI, to probe.txt in the program's current folder.
#include "ui/buscador-rc.h"

#include "../../simulator/held_objects.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr POINT kSuggested{40, 30};  // where the test's "Windows" suggests the window goes
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kGetDpiScaledSize = 0x02E4;

std::string Hex(COLORREF colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

// A control's pixels as the screen shows them, 32 bits each, top-down.
std::vector<DWORD> Pixels(HWND control, SIZE& size) {
    RECT client{};
    GetClientRect(control, &client);
    size = {client.right, client.bottom};
    std::vector<DWORD> pixels(std::size_t(size.cx) * std::size_t(size.cy));
    HDC screen = GetDC(control), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, size.cx, size.cy, screen, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    GetDIBits(memory, bitmap, 0, UINT(size.cy), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(control, screen);
    return pixels;
}

// The width and height a picture box shows of its picture: how far the picture's field colour reaches.
std::string Drawn(HWND control, COLORREF field) {
    SIZE size{};
    const std::vector<DWORD> pixels = Pixels(control, size);
    const DWORD wanted = DWORD(GetBValue(field) | GetGValue(field) << 8 | GetRValue(field) << 16);
    long right = 0, bottom = 0;
    for (long y = 0; y < size.cy; ++y)
        for (long x = 0; x < size.cx; ++x)
            if ((pixels[std::size_t(y * size.cx + x)] & 0xFFFFFF) == wanted) right = std::max(right, x + 1), bottom = std::max(bottom, y + 1);
    return std::to_string(right) + "x" + std::to_string(bottom);
}

// A pixel's colour `inset` pixels from a control's right or left edge and from its bottom.
std::string ColourNear(HWND control, bool right, int inset = 4) {
    SIZE size{};
    const std::vector<DWORD> pixels = Pixels(control, size);
    const long x = right ? size.cx - inset : inset, y = size.cy - inset;
    const DWORD pixel = pixels[std::size_t(y * size.cx + x)];
    return Hex(RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF));
}

std::vector<DWORD> IconBits(HICON icon, SIZE& size) {
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) return {};
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    size = {bitmap.bmWidth, bitmap.bmHeight};
    std::vector<DWORD> bits(std::size_t(size.cx) * std::size_t(size.cy));
    BITMAPINFO header{{sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmColor, 0, UINT(size.cy), bits.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bits;
}

// "WxH" of the window's icon of that kind, and "own" when it is the icon group's own image of that size.
std::string Icon(HWND window, WPARAM kind) {
    SIZE size{};
    const std::vector<DWORD> shown = IconBits(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, kind, 0)), size);
    HICON own = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON, size.cx, size.cy, 0));
    SIZE ownSize{};
    const bool same = IconBits(own, ownSize) == shown;
    if (own != nullptr) DestroyIcon(own);
    return std::to_string(size.cx) + "x" + std::to_string(size.cy) + (same ? "own" : "other");
}

// The client area of the size the window asks Windows 10 for ahead of a move to `dpi` (WM_GETDPISCALEDSIZE), its
// frame at that DPI taken off; "none" when it does not answer, and Windows would scale its frame instead.
std::string ScaledClient(HWND window, WORD dpi) {
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = reinterpret_cast<AdjustForDpi>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    SIZE size{};
    RECT frame{};
    if (!SendMessageW(window, kGetDpiScaledSize, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&size)) ||
        adjust == nullptr || !adjust(&frame, DWORD(GetWindowLongW(window, GWL_STYLE)), FALSE,
                                     DWORD(GetWindowLongW(window, GWL_EXSTYLE)), dpi))
        return "none";
    return std::to_string(size.cx - (frame.right - frame.left)) + "x" + std::to_string(size.cy - (frame.bottom - frame.top));
}

// The program's item of the system menu, in a group of its own just above Close: "on" or "off" as it is checked.
std::string MenuState(HWND window) {
    const HMENU menu = GetSystemMenu(window, FALSE);
    int close = 0;
    while (close < GetMenuItemCount(menu) && GetMenuItemID(menu, close) != SC_CLOSE) ++close;
    char text[64]{};
    GetMenuStringA(menu, 0x100, text, sizeof text, MF_BYCOMMAND);
    const bool placed = close > 3 && GetMenuItemID(menu, close - 2) == 0x100 && std::string(text) == "Avisar al conectar o desconectar" &&
                        GetMenuState(menu, UINT(close - 1), MF_BYPOSITION) & GetMenuState(menu, UINT(close - 3), MF_BYPOSITION) & MF_SEPARATOR;
    return !placed ? "elsewhere" : GetMenuState(menu, 0x100, MF_BYCOMMAND) & MF_CHECKED ? "on" : "off";
}

// A minimised window shows only its menu.
void Report(HWND window) {
    std::ofstream out("probe.txt", std::ios::app | std::ios::binary);
    if (IsIconic(window)) return void(out << "menu=" << MenuState(window) << "\n");
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT frame{}, client{};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    std::string line = "origin=" + std::to_string(frame.left) + "," + std::to_string(frame.top) +
                       " client=" + std::to_string(client.right) + "x" + std::to_string(client.bottom);
    std::string fonts = " fonts=";
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        LOGFONTW font{};
        if (auto handle = reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0));
            handle != nullptr && GetObjectW(handle, sizeof font, &font) != 0) {
            char face[LF_FACESIZE]{};
            WideCharToMultiByte(CP_UTF8, 0, font.lfFaceName, -1, face, sizeof face, nullptr, nullptr);
            std::string name = face;
            std::replace(name.begin(), name.end(), ' ', '_');
            fonts += name + ":" + std::to_string(font.lfHeight) + ";";
        }
    }
    line += fonts;
    line += " scaled=" + ScaledClient(window, 144) + "," + ScaledClient(window, 192);
    line += " icons=" + Icon(window, ICON_SMALL) + "," + Icon(window, ICON_BIG);
    // The logo's pale cyan field, the adapter's cyan background.
    line += " art=" + Drawn(GetDlgItem(window, IDC_PICTURE1), RGB(192, 255, 255)) + "," +
            Drawn(GetDlgItem(window, IDC_PICTURE2), RGB(128, 255, 255));
    line += " colours=" + ColourNear(window, true) + "," + ColourNear(GetDlgItem(window, IDC_TEXT1), true) + "," +
            ColourNear(GetDlgItem(window, IDC_TXTDATA), false) + "," + ColourNear(GetDlgItem(window, IDC_LABEL1), true);
    line += " menu=" + MenuState(window);
    const std::string held = HeldObjectsLine();
    line += " " + held.substr(0, held.find(' '));  // gdi=N
    out << line << "\n";
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM removed, LPARAM lParam) {
    static const UINT probe = RegisterWindowMessageW(L"BuscadorVIRK.probe");
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == probe) {
        if (const auto dpi = WORD(message->wParam)) {
            RECT suggested{kSuggested.x, kSuggested.y, kSuggested.x + 100, kSuggested.y + 100};
            SendMessageW(message->hwnd, kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        }
        Report(message->hwnd);
        message->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, removed, lParam);
}
