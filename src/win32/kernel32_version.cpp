// The version word from kernel32.
#include "win32/services.h"

#include <windows.h>

std::uint32_t Kernel32Version::GetVersion() { return ::GetVersion(); }
