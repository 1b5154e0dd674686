// The notification area's icon and balloon, through shell32 loaded from the system folder at the first notice,
// and the taskbar button's flash where there is no balloon.
#pragma once

#include "scan/notice_text.h"

#include <windows.h>

#include <string>

class NotificationArea {
public:
    // The 98 family takes the ANSI functions and texts in its code page.
    explicit NotificationArea(bool windows9x) : ansi_(windows9x) {}

    // Adds the icon (its tip, and `callback` for its events in their NOTIFYICON_VERSION form), then shows the
    // balloon. False where shell32 has no balloons (before 5.0) or the shell refused, the icon then not left.
    bool Show(HWND window, UINT id, UINT callback, HICON icon, std::u16string_view tip, std::u16string_view title,
              std::u16string_view text);
    void Remove(HWND window, UINT id);
    // A text's length as the balloon's field counts it: the code page's bytes on the 98 family.
    TextLength Length() const;

private:
    // shell32's functions, looked up once, at the first notice; false where balloons cannot be shown.
    bool Load();

    bool ansi_;
    bool loaded_ = false;
    FARPROC notify_ = nullptr;  // Shell_NotifyIconA or Shell_NotifyIconW, null where there are no balloons
};

// Flashes the window's taskbar button until it comes to the front; the once-only flash of Windows without
// FlashWindowEx (95, NT 4.0) leaves the button lit until then.
void FlashUntilFront(HWND window);
