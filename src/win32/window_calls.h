// The window functions that come in a wide and an ANSI form, chosen once at start for the running Windows.
#pragma once

#include <windows.h>

#include <cstdint>

// Texts are given wide. The NT family gets the wide functions; Windows 98 and Me, where those are stubs
// that fail, the ANSI ones, with texts through the ANSI code page (a character it lacks becomes "?").
class WindowCalls {
public:
    virtual ~WindowCalls() = default;
    virtual ATOM Register(const WNDCLASSEXW& windowClass) const = 0;
    virtual HWND Create(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                              int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) const = 0;
    virtual LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const = 0;
    virtual LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const = 0;
    virtual BOOL Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const = 0;
    virtual void SetItemText(HWND dialog, int id, const wchar_t* text) const = 0;
    virtual void SetUserData(HWND window, LONG_PTR data) const = 0;
    virtual LONG_PTR UserData(HWND window) const = 0;
    virtual BOOL NextMessage(MSG* message) const = 0;
    virtual BOOL DialogMessage(HWND dialog, MSG* message) const = 0;
    virtual LRESULT Dispatch(const MSG* message) const = 0;

    virtual HICON Icon(HINSTANCE instance, int id) const = 0;
    virtual HANDLE Image(HINSTANCE instance, int id, UINT type, int width, int height, UINT flags) const = 0;
    virtual HCURSOR ArrowCursor() const = 0;
    virtual HRSRC Resource(HINSTANCE instance, int id, int type) const = 0;
    virtual RECT WorkArea() const = 0;
    // Weight 400, Western character set, default precision, quality and pitch.
    virtual HFONT Font(int height, const wchar_t* face) const = 0;
    virtual int ObjectInfo(HGDIOBJ object, int size, void* buffer) const = 0;
    virtual BOOL InsertMenuText(HMENU menu, UINT position, UINT flags, UINT_PTR id, const wchar_t* text) const = 0;
};

// Picks the table by the version word (bit 31: the 98 family); Calls() gives it from then on.
void ChooseWindowCalls(std::uint32_t versionWord);
const WindowCalls& Calls();

// The window procedure of a class whose windows each belong to an Owner: the object CreateWindowEx was given,
// kept in the window's user data from WM_NCCREATE on, which learns its window there (Owner::Attach) and handles
// its messages (Owner::Handle). The few messages before WM_NCCREATE go to DefaultProc.
template <typename Owner>
LRESULT CALLBACK OwnedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        owner->Attach(window);
        Calls().SetUserData(window, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* owner = reinterpret_cast<Owner*>(Calls().UserData(window));
    return owner != nullptr ? owner->Handle(message, wParam, lParam) : Calls().DefaultProc(window, message, wParam, lParam);
}
