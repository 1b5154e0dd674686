// The window's icon in the notification area and its balloon, through shell32 loaded from the system folder at the
// first notice; and the taskbar button's flash.
#pragma once

#include "scan/notice_text.h"

#include <windows.h>

#include <functional>
#include <string>

// shell32's two functions the icon takes; either null where that shell32 lacks it.
struct Shell32Functions {
    FARPROC getVersion;  // DllGetVersion, from 4.71 on
    FARPROC notify;      // Shell_NotifyIconA on the 98 family, Shell_NotifyIconW on the NT family
};
// shell32 from the system folder.
Shell32Functions LoadShell32(bool windows9x);

class NotificationArea {
public:
    // The 98 family takes the ANSI functions and texts in its code page. `image` makes the icon's image each time
    // the icon is added; it is destroyed once the icon is gone. `load` finds shell32's functions, once.
    NotificationArea(bool windows9x, std::function<HICON()> image,
                     Shell32Functions (*load)(bool windows9x) = LoadShell32)
        : ansi_(windows9x), image_(std::move(image)), load_(load) {}

    // The balloon on the window's icon, which is added first (its tip, and `callback` for its events in their
    // NOTIFYICON_VERSION form) where it is not there, under the other of two ids than the icon before, so a late
    // event of that one is told apart. False where there are no balloons (shell32 before 5.0) or the shell refused;
    // an icon added for it is then taken away again.
    bool Show(HWND window, UINT callback, std::u16string_view tip, std::u16string_view title, std::u16string_view text);
    // The notification area made anew (TaskbarCreated): the icon there before added again with its tip, or changed
    // where the shell still holds it.
    void Restore();
    void Remove();
    // The icon is there under that id.
    bool Holds(UINT id) const { return shown_ && id == icon_.id; }
    // A text's length as the balloon's field counts it: the code page's bytes on the 98 family.
    TextLength Length() const;

private:
    struct Icon {
        HWND window;
        UINT id;
        UINT callback;
        HICON image;
        std::u16string tip;
    };
    bool Load();
    // One Shell_NotifyIcon call on the icon, with `flags` saying which of its fields count.
    bool Call(DWORD message, UINT flags, std::u16string_view title = {}, std::u16string_view text = {}) const;

    bool ansi_;
    std::function<HICON()> image_;
    Shell32Functions (*load_)(bool);
    bool loaded_ = false;
    FARPROC notify_ = nullptr;  // null where there are no balloons
    Icon icon_{};
    bool shown_ = false;
};

// Flashes the window's taskbar button until it comes to the front; the once-only flash of Windows without
// FlashWindowEx (95, NT 4.0) leaves the button lit until then.
void FlashUntilFront(HWND window);
