// Program start: the Windows services behind the scan's seams, then frmMain.
#include "app/shared_state.h"
#include "ui/frm_main.h"
#include "win32/windows_platform.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // The manifest asks XP and later for the themed controls of Common Controls 6, which want this call before
    // the first window; Windows 98 and 2000 register their own controls' classes and change nothing.
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WindowsPlatform platform;
    SharedState state;
    return RunMainWindow(instance, showCommand, platform.Services(), platform.Windows(), state);
}
