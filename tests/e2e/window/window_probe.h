// Looking at another process's window and acting on it as a user does: reading controls,
// pressing keys and clicking with input that reaches the program like a real keyboard's and mouse's.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace window_test {

using namespace std::chrono_literals;

// Polls until the condition holds or the timeout passes; says which.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 5s);

std::wstring ClassName(HWND window);
// A control's text through WM_GETTEXT, which Windows carries across processes; bounded.
std::wstring Text(HWND window);
LONG_PTR Style(HWND window);
// A child's rectangle in its parent's client coordinates: left, top, width, height.
struct Box {
    int left, top, width, height;
    bool operator==(const Box&) const = default;
};
Box BoxInParent(HWND child);
SIZE ClientSize(HWND window);
// The children in Z order: the order they were created in, which is also the Tab key's order.
std::vector<HWND> Children(HWND parent);
// The control holding the keyboard focus in the window's thread (GetFocus sees only our own).
HWND FocusOf(HWND window);

// Makes the window the foreground one, which keyboard input goes to; false if it never became so.
bool BringToFront(HWND window);

// Keyboard input as the hardware gives it.
struct Key {
    WORD vk;
    bool up;
};
bool SendKeys(std::initializer_list<Key> keys);
bool PressKey(WORD vk);
bool PressWithAlt(WORD vk);
// Characters typed through WM_CHAR to one control, as the keyboard's translated keys arrive.
void PostChars(HWND control, const std::wstring& text);
// Characters typed on the keyboard, to whichever control has the focus.
bool TypeText(const std::wstring& text);

// A real left click at the centre of the control.
bool ClickCentre(HWND control);

// The colour on the screen at a point of the window's client area.
COLORREF ScreenColour(HWND window, POINT client);

}  // namespace window_test
