// What ListaVIRK writes for a scan's devices, in each of its forms, and its fixed texts.
#pragma once

#include "app/code_page.h"
#include "cli/arguments.h"
#include "scan/device_scan.h"

#include <span>
#include <string>

inline constexpr int kExitListed = 0;   // at least one adapter listed; the serial asked for, with its port
inline constexpr int kExitNothing = 1;  // no adapter; the serial asked for not found, or without a known port
inline constexpr int kExitUsage = 2;    // a command line it does not take
inline constexpr int kExitLibrary = 3;  // the device library missing or lacking a function

struct ListOutput {
    std::u16string Out;  // standard output
    std::u16string Err;  // standard error
    int ExitCode = kExitListed;
};

// The plain, JSON and CSV listings and the port of one serial; the serial asked for is taken through the
// code page, byte by byte, as a device's serial is.
ListOutput ListDevices(const ListCommand& command, std::span<const ScannedDevice> devices, const AnsiCodePage& codePage);

// The usage, for "ayuda" on standard output and after a command line it does not take on standard error.
extern const std::u16string_view kUsage;
