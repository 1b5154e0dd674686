// What /esperar answers once the adapter it waits for is there, and when it gives up.
#pragma once

#include "cli/listing.h"

#include <optional>

// Without a serial: the plain listing once an adapter with a known port is attached. With one: what /serie
// answers once that serial's adapter has a known port. nullopt: not yet.
std::optional<ListOutput> WaitAnswer(const ListCommand& command, std::span<const ScannedDevice> devices,
                                     const AnsiCodePage& codePage);

// Its time is up: a line on standard error, nothing on standard output, exit code 1.
ListOutput GaveUp(const ListCommand& command, const AnsiCodePage& codePage);
