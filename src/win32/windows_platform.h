// The running Windows' own services behind the scan's seams, made together once for a program's life.
#pragma once

#include "app/platform.h"
#include "win32/library_loader.h"
#include "win32/services.h"
#include "win32/setupapi_ports.h"
#include "win32/window_calls.h"

#include <string>

class WindowsPlatform {
public:
    // libraryFile is looked for as LoadedDeviceLibrary looks for it, the 98 family's way on the 98 family.
    explicit WindowsPlatform(std::string libraryFile = kLibraryFileName);
    WindowsPlatform(const WindowsPlatform&) = delete;
    WindowsPlatform& operator=(const WindowsPlatform&) = delete;

    Platform& Services() { return platform_; }
    bool Windows9x() const { return version_.Family == OsFamily::Windows9x; }
    // The window functions that work on this Windows, for every window the program makes.
    const WindowCalls& Windows() const { return windowCalls_; }

private:
    Kernel32Version versionWord_;
    WindowsVersion version_;
    const WindowCalls& windowCalls_;
    Advapi32Registry registry_;
    SetupApiPorts ports_;
    SystemCodePage codePage_;
    LoadedDeviceLibrary library_;
    Platform platform_;
};
