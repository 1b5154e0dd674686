// ListaVIRK's standard output and standard error, written whole.
#pragma once

#include <windows.h>

#include <string_view>

// To a console as text it shows right whatever its code page: UTF-16, or on the 98 family (whose
// WriteConsoleW is a stub) the console's output code page; to a file or pipe as UTF-8.
void WriteText(DWORD standardHandle, std::u16string_view text, bool windows9x);
