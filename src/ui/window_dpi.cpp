// The DPI a window shows at, and the system's metrics and a frame at a DPI, on every Windows the program runs on.
#include "ui/window_dpi.h"

#include "win32/library_search.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// user32's export by name, looked up once: Windows 10 (1607) brought these three.
template <typename Fn>
Fn User32Export(const char* name) {
    return ExportOf<Fn>(GetModuleHandleA("user32.dll"), name);
}

}  // namespace

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = User32Export<GetDpiForWindowFn>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
    return dpi != 0 ? static_cast<int>(dpi) : SystemDpi();
}

int MetricAt(int index, int dpi) {
    static const auto getSystemMetricsForDpi = User32Export<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (getSystemMetricsForDpi != nullptr) return getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

// Windows 8.1 and older draw the frame at the system's DPI on every monitor: AdjustWindowRectEx is right there.
SIZE FrameAround(SIZE client, DWORD style, DWORD exStyle, int dpi) {
    static const auto adjustForDpi = User32Export<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    if (adjustForDpi == nullptr || !adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}
