// The window functions that come in a wide and an ANSI form: one table for each family of Windows.
#pragma once

#include "app/os_version.h"

#include <windows.h>

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

    virtual OsFamily Family() const = 0;
};

// The wide functions for the NT family, the ANSI ones for the 98 family. WindowsPlatform picks one for the
// running Windows and hands it to each window.
const WindowCalls& WindowCallsOf(OsFamily family);

// The window procedure of a class whose windows each belong to an Owner: the object CreateWindowEx was given,
// kept in the window's user data from WM_NCCREATE on, which learns its window there (Owner::Attach) and handles
// its messages (Owner::Handle). The few messages before WM_NCCREATE go to DefaultProc. The family is a
// template argument because the user data that finds the owner is itself read through the table.
template <typename Owner, OsFamily family>
LRESULT CALLBACK OwnedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WindowCalls& calls = WindowCallsOf(family);
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        owner->Attach(window);
        calls.SetUserData(window, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* owner = reinterpret_cast<Owner*>(calls.UserData(window));
    return owner != nullptr ? owner->Handle(message, wParam, lParam) : calls.DefaultProc(window, message, wParam, lParam);
}

// That procedure for a class registered through `calls`.
template <typename Owner>
WNDPROC OwnedWindowProcFor(const WindowCalls& calls) {
    return calls.Family() == OsFamily::Windows9x ? OwnedWindowProc<Owner, OsFamily::Windows9x>
                                                 : OwnedWindowProc<Owner, OsFamily::NT>;
}
