// The running Windows' own services behind the scan's seams.
#include "win32/windows_platform.h"

WindowsPlatform::WindowsPlatform(std::string libraryFile)
    : version_(DecodeVersion(versionWord_.GetVersion())),
      windowCalls_(WindowCallsOf(version_.Family)),
      library_(Windows9x(), std::move(libraryFile)),
      platform_{library_, registry_, ports_, versionWord_, codePage_} {}
