// frmMain's plug-in notices: after a refresh that a port's arrival or removal brought, a balloon naming the
// adapters that came and went, while the window is not in front; a choice in the system menu turns them off.
#pragma once

#include "scan/adapter_changes.h"
#include "win32/notice_area.h"
#include "win32/window_calls.h"

#include <windows.h>

#include <span>
#include <string>

class PlugNotices {
public:
    explicit PlugNotices(const WindowCalls& calls) : calls_(calls), area_(calls.Family() == OsFamily::Windows9x) {}

    // The choice in the window's system menu, as the user last left it (from WM_CREATE on).
    void Attach(HWND window);
    // After every scan, which is then what the next notice compares with; one is told only after an automatic
    // refresh, never after the first scan or "Buscar".
    void Scanned(std::span<const ScannedDevice> devices, bool automatic);
    // The icon's events and the menu's choice: true when the message was one of them (answered 0).
    bool Handle(UINT message, WPARAM wParam, LPARAM lParam);
    // The window goes, and its icon with it.
    void Close() { RemoveIcon(); }

private:
    void Show(const std::u16string& text);
    void RemoveIcon();
    void ChoiceChosen();

    const WindowCalls& calls_;
    HWND window_ = nullptr;
    NotificationArea area_;
    AttachedAdapters attached_;
    bool wanted_ = true;
    bool shown_ = false;
    UINT id_ = 0;  // a new one for each notice, so events of one replaced are told apart
};
