// The DPI a window shows at, and the system's metrics and a frame at a DPI: through Windows 10's functions where
// it has them, looked up at run time; elsewhere from the system's one DPI.
#pragma once

#include <windows.h>

// The screen's DPI as the whole system has it.
int SystemDpi();
// The DPI of the monitor the window is on, for a program aware of each monitor's; the system's otherwise.
int WindowDpi(HWND window);
// GetSystemMetrics' answer at `dpi`: Windows 8.1 and older answer at the system's DPI, scaled here.
int MetricAt(int index, int dpi);
// The size of a window whose client area is `client` at `dpi`, frame included.
SIZE FrameAround(SIZE client, DWORD style, DWORD exStyle, int dpi);
