// ListaVIRK's standard output and standard error, written whole.
#pragma once

#include <windows.h>

#include <string_view>

// To a console as text it shows right whatever its code page: UTF-16, or on the 98 family (whose
// WriteConsoleW is a stub) the console's output code page; to a file or pipe as UTF-8.
class Console {
public:
    explicit Console(bool windows9x) : windows9x_(windows9x) {}
    // False when a write failed: a pipe's reader went away, say. Nothing to write, or no handle to write to, is no
    // failure.
    bool Out(std::u16string_view text) const { return Write(STD_OUTPUT_HANDLE, text); }
    bool Err(std::u16string_view text) const { return Write(STD_ERROR_HANDLE, text); }

private:
    bool Write(DWORD standardHandle, std::u16string_view text) const;
    bool windows9x_;
};
