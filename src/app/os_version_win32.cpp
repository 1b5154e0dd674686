// The version word from kernel32.
#include "app/win32_services.h"

#include <windows.h>

std::uint32_t Kernel32Version::GetVersion() { return ::GetVersion(); }
