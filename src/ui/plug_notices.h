// frmMain's plug-in notices: after a refresh that a port's arrival or removal brought, while the window is not in
// front, a balloon naming the adapters that came and went and the taskbar button flashing; the icon stays until the
// user looks at the window. A choice in the system menu turns them off.
#pragma once

#include "app/notice_choice.h"
#include "scan/adapter_changes.h"
#include "win32/notice_area.h"
#include "win32/services.h"
#include "win32/window_calls.h"

#include <windows.h>

#include <span>

class PlugNotices {
public:
    PlugNotices(HINSTANCE instance, const WindowCalls& calls);

    // The choice in the window's system menu, as the user last left it, and the shell's restart (from WM_CREATE on).
    void Attach(HWND window);
    // After every scan, which is then what the next notice compares with; one is told only after an automatic
    // refresh, never after the first scan or "Buscar".
    void Scanned(std::span<const ScannedDevice> devices, bool automatic);
    // The icon's events, the shell's restart and the menu's choice: true when the message was one of them (answered 0).
    bool Handle(UINT message, WPARAM wParam, LPARAM lParam);
    // The window was activated or sized: once it is in front, not minimised, the user has looked, and the icon goes.
    void Looked();
    // The window goes, or the session ends: the icon goes.
    void RemoveIcon() { area_.Remove(); }

private:
    HICON TrayIcon() const;
    bool InFront() const;
    void ChoiceChosen();

    HINSTANCE instance_;
    const WindowCalls& calls_;
    HWND window_ = nullptr;
    Advapi32UserRegistry userRegistry_;
    NoticeChoice choice_{userRegistry_};
    NotificationArea area_;
    AttachedAdapters attached_;
    UINT taskbarCreated_ = 0;
};
