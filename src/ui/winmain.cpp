// Program start: the Windows services behind the scan's seams, then frmMain.
#include "app/shared_state.h"
#include "ui/frm_main.h"
#include "win32/windows_platform.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WindowsPlatform platform;
    SharedState state;
    return RunMainWindow(instance, showCommand, platform.Services(), state);
}
