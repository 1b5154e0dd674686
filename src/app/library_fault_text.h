// What both programs say of a device library they cannot use, in Spanish.
#pragma once

#include "devicelib/device_library.h"

#include <string>
#include <string_view>

// Names the file or the function it lacks. Where the library could not be loaded, what to do about it follows
// adviceBreak: programFile is the program whose folder the library belongs in.
std::u16string LibraryFaultText(const DeviceLibraryFault& fault, std::u16string_view programFile,
                                std::u16string_view adviceBreak);
