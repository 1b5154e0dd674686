// ListaVIRK's exit codes, and what it writes with one: its output and its standard error.
#pragma once

#include <string>

inline constexpr int kExitListed = 0;   // at least one adapter listed; the serial asked for, with its port
inline constexpr int kExitNothing = 1;  // no adapter; the serial asked for not found, or without a known port
inline constexpr int kExitUsage = 2;    // a command line it does not take
inline constexpr int kExitLibrary = 3;  // the device library missing or lacking a function
inline constexpr int kExitWindow = 4;   // no hidden window or timer for the port changes, or no message to wait on

struct ListOutput {
    std::u16string Out;  // standard output
    std::u16string Err;  // standard error
    int ExitCode = kExitListed;
};
