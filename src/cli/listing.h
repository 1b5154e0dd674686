// What ListaVIRK writes for a scan's devices, in each of its forms: plain, JSON, CSV, /serie and /vigilar's line.
#pragma once

#include "app/code_page.h"
#include "cli/arguments.h"
#include "cli/exit_codes.h"
#include "scan/adapter_changes.h"
#include "scan/device_scan.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

// The plain, JSON and CSV listings and the port of one serial; the serial asked for is taken through the
// code page, byte by byte, as a device's serial is.
ListOutput ListDevices(const ListCommand& command, std::span<const ScannedDevice> devices, const AnsiCodePage& codePage);

// A serial the command line gives, as text: through the code page, byte by byte, as a device's serial is.
std::u16string SerialAsked(const std::string& bytes, const AnsiCodePage& codePage);

// /vigilar's line for an adapter that came or went: its event, then the fields of /json, as one JSON object.
std::u16string ChangeLine(const AdapterChange& change);
