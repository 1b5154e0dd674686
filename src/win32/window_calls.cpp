// The window functions in their wide form for the NT family and their ANSI form for Windows 98 and Me.
#include "win32/window_calls.h"

#include "win32/code_page_text.h"

#include <string>

namespace {

class WideCalls final : public WindowCalls {
public:
    ATOM Register(const WNDCLASSEXW& windowClass) const override { return RegisterClassExW(&windowClass); }
    HWND Create(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
                      int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) const override {
        return CreateWindowExW(exStyle, className, text, style, x, y, width, height, parent, menu, instance, param);
    }
    LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const override {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const override {
        return SendMessageW(window, message, wParam, lParam);
    }
    BOOL Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const override {
        return PostMessageW(window, message, wParam, lParam);
    }
    void SetItemText(HWND dialog, int id, const wchar_t* text) const override { SetDlgItemTextW(dialog, id, text); }
    void SetUserData(HWND window, LONG_PTR data) const override { SetWindowLongPtrW(window, GWLP_USERDATA, data); }
    LONG_PTR UserData(HWND window) const override { return GetWindowLongPtrW(window, GWLP_USERDATA); }
    BOOL NextMessage(MSG* message) const override { return GetMessageW(message, nullptr, 0, 0); }
    BOOL DialogMessage(HWND dialog, MSG* message) const override { return IsDialogMessageW(dialog, message); }
    LRESULT Dispatch(const MSG* message) const override { return DispatchMessageW(message); }

    HICON Icon(HINSTANCE instance, int id) const override { return LoadIconW(instance, MAKEINTRESOURCEW(id)); }
    HANDLE Image(HINSTANCE instance, int id, UINT type, int width, int height, UINT flags) const override {
        return LoadImageW(instance, MAKEINTRESOURCEW(id), type, width, height, flags);
    }
    HCURSOR ArrowCursor() const override { return LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */); }
    HRSRC Resource(HINSTANCE instance, int id, int type) const override {
        return FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    }
    RECT WorkArea() const override {
        RECT area{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        return area;
    }
    HFONT Font(int height, const wchar_t* face) const override {
        return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    }
    int ObjectInfo(HGDIOBJ object, int size, void* buffer) const override { return GetObjectW(object, size, buffer); }
    BOOL InsertMenuText(HMENU menu, UINT position, UINT flags, UINT_PTR id, const wchar_t* text) const override {
        return InsertMenuW(menu, position, flags, id, text);
    }
    OsFamily Family() const override { return OsFamily::NT; }
};

// A text in the ANSI code page, for the A functions.
std::string Ansi(const wchar_t* text) {
    if (text == nullptr) return {};
    return ToCodePage(reinterpret_cast<const char16_t*>(text), CP_ACP);
}

class AnsiCalls final : public WindowCalls {
public:
    ATOM Register(const WNDCLASSEXW& windowClass) const override {
        const std::string className = Ansi(windowClass.lpszClassName);
        WNDCLASSEXA ansiClass{sizeof ansiClass,       windowClass.style,   windowClass.lpfnWndProc,
                              windowClass.cbClsExtra, windowClass.cbWndExtra, windowClass.hInstance,
                              windowClass.hIcon,      windowClass.hCursor, windowClass.hbrBackground,
                              nullptr,                className.c_str(),   windowClass.hIconSm};
        return RegisterClassExA(&ansiClass);
    }
    HWND Create(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
                      int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) const override {
        return CreateWindowExA(exStyle, Ansi(className).c_str(), Ansi(text).c_str(), style, x, y, width, height, parent,
                               menu, instance, param);
    }
    LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const override {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const override {
        return SendMessageA(window, message, wParam, lParam);
    }
    BOOL Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const override {
        return PostMessageA(window, message, wParam, lParam);
    }
    void SetItemText(HWND dialog, int id, const wchar_t* text) const override {
        SetDlgItemTextA(dialog, id, Ansi(text).c_str());
    }
    void SetUserData(HWND window, LONG_PTR data) const override { SetWindowLongPtrA(window, GWLP_USERDATA, data); }
    LONG_PTR UserData(HWND window) const override { return GetWindowLongPtrA(window, GWLP_USERDATA); }
    BOOL NextMessage(MSG* message) const override { return GetMessageA(message, nullptr, 0, 0); }
    BOOL DialogMessage(HWND dialog, MSG* message) const override { return IsDialogMessageA(dialog, message); }
    LRESULT Dispatch(const MSG* message) const override { return DispatchMessageA(message); }

    HICON Icon(HINSTANCE instance, int id) const override { return LoadIconA(instance, MAKEINTRESOURCEA(id)); }
    HANDLE Image(HINSTANCE instance, int id, UINT type, int width, int height, UINT flags) const override {
        return LoadImageA(instance, MAKEINTRESOURCEA(id), type, width, height, flags);
    }
    HCURSOR ArrowCursor() const override { return LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */); }
    HRSRC Resource(HINSTANCE instance, int id, int type) const override {
        return FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    }
    RECT WorkArea() const override {
        RECT area{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        return area;
    }
    HFONT Font(int height, const wchar_t* face) const override {
        return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Ansi(face).c_str());
    }
    int ObjectInfo(HGDIOBJ object, int size, void* buffer) const override { return GetObjectA(object, size, buffer); }
    BOOL InsertMenuText(HMENU menu, UINT position, UINT flags, UINT_PTR id, const wchar_t* text) const override {
        return InsertMenuA(menu, position, flags, id, text != nullptr ? Ansi(text).c_str() : nullptr);
    }
    OsFamily Family() const override { return OsFamily::Windows9x; }
};

const WideCalls kWide;
const AnsiCalls kAnsi;

}  // namespace

const WindowCalls& WindowCallsOf(OsFamily family) {
    return family == OsFamily::Windows9x ? static_cast<const WindowCalls&>(kAnsi) : kWide;
}
