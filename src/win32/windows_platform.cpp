// The running Windows' own services behind the scan's seams.
#include "win32/windows_platform.h"

WindowsPlatform::WindowsPlatform(std::string libraryFile)
    : windows9x_(IsWindows9xFamily(version_.GetVersion())),
      library_(windows9x_, std::move(libraryFile)),
      platform_{library_, registry_, ports_, version_, codePage_} {}
