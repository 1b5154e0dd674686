// What the window's box says of a device library it cannot use.
#pragma once

#include "devicelib/device_library.h"

#include <string>

// Spanish, naming the file or the function; where the library is missing, what to do about it.
std::u16string FaultMessage(const DeviceLibraryFault& fault);
