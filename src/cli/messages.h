// ListaVIRK's fixed texts: the usage and the lines that say why it could not go on.
#pragma once

#include "devicelib/device_library.h"

#include <cstdint>
#include <string>
#include <string_view>

// A device library ListaVIRK cannot use, as one line naming the file or the function.
std::u16string FaultLine(const DeviceLibraryFault& fault);

// What could not be had of Windows for waiting and watching.
enum class WindowFault { Window, Timer, Messages };

// That fault as one line, with Windows' error.
std::u16string WindowFaultLine(WindowFault fault, std::uint32_t error);

// The usage, for "ayuda" on standard output and after a command line it does not take on standard error.
extern const std::u16string_view kUsage;
