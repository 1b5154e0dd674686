// Program start: the Windows services behind the scan's seams, then frmMain.
#include "app/platform.h"
#include "app/present_ports_win32.h"
#include "app/shared_state.h"
#include "app/win32_services.h"
#include "devicelib/library_loader_win32.h"
#include "ui/frm_main.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // The manifest asks XP and later for the themed controls of Common Controls 6, which want this call before
    // the first window; Windows 98 and 2000 register their own controls' classes and change nothing.
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    Advapi32Registry registry;
    SetupApiPorts ports;
    Kernel32Version version;
    SystemCodePage codePage;
    LoadedDeviceLibrary library(IsWindows9xFamily(version.GetVersion()));
    Platform platform{library, registry, ports, version, codePage};
    SharedState state;
    return RunMainWindow(instance, showCommand, platform, state);
}
