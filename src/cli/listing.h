// What ListaVIRK writes for a scan's devices, in each of its forms, and its fixed texts.
#pragma once

#include "app/code_page.h"
#include "cli/arguments.h"
#include "cli/watch.h"
#include "devicelib/device_library.h"
#include "scan/device_scan.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

inline constexpr int kExitListed = 0;   // at least one adapter listed; the serial asked for, with its port
inline constexpr int kExitNothing = 1;  // no adapter; the serial asked for not found, or without a known port
inline constexpr int kExitUsage = 2;    // a command line it does not take
inline constexpr int kExitLibrary = 3;  // the device library missing or lacking a function
inline constexpr int kExitWindow = 4;   // no hidden window or timer for the port notices, or no message to wait on

struct ListOutput {
    std::u16string Out;  // standard output
    std::u16string Err;  // standard error
    int ExitCode = kExitListed;
};

// A whole scan for ListaVIRK, or the line that tells why the library cannot be used (exit code 3), the device it
// left open closed first.
struct ListedScan {
    std::vector<ScannedDevice> Devices;
    std::optional<ListOutput> Fault;
};
ListedScan ScanForListing(Platform& platform, SharedState& state);

// The plain, JSON and CSV listings and the port of one serial; the serial asked for is taken through the
// code page, byte by byte, as a device's serial is.
ListOutput ListDevices(const ListCommand& command, std::span<const ScannedDevice> devices, const AnsiCodePage& codePage);

// A serial the command line gives, as text: through the code page, byte by byte, as a device's serial is.
std::u16string SerialAsked(const std::string& bytes, const AnsiCodePage& codePage);

// A port the registry gave this device: a lookup ran for it, on its own identity, and found 1 or more.
std::optional<std::int16_t> KnownPort(const ScannedDevice& device);

// /vigilar's line for an adapter that came or went: its event, then the fields of /json, as one JSON object.
std::u16string ChangeLine(const AdapterChange& change);

// A device library ListaVIRK cannot use, as one line naming the file or the function.
std::u16string FaultLine(const DeviceLibraryFault& fault);

// What could not be had of Windows for waiting and watching.
enum class WindowFault { Window, Timer, Messages };

// That fault as one line, with Windows' error.
std::u16string WindowFaultLine(WindowFault fault, std::uint32_t error);

// The usage, for "ayuda" on standard output and after a command line it does not take on standard error.
extern const std::u16string_view kUsage;
