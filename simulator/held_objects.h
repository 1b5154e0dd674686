// What the process that loaded the stand-in holds: its GDI objects and kernel handles, counted from inside it.
#pragma once

#include <string>

// "gdi=N handles=M" for the calling process, as the window tests' soak reads it scan by scan.
std::string HeldObjectsLine();
