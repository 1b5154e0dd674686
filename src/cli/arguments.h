// ListaVIRK's command line: one option, a word after "-", "--" or "/" in any case, and "segundos" beside "esperar".
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

enum class ListAction { Plain, Json, Csv, Serie, Esperar, Vigilar, Help, Version };

inline constexpr std::uint32_t kMaxWaitSeconds = 86400;  // a day

struct ListCommand {
    ListAction Action = ListAction::Plain;
    // The bytes after "serie", or after "esperar" when they name no option, as the command line gives them.
    std::optional<std::string> Serial = {};
    std::uint32_t Seconds = 0;  // "esperar" gives up after this long; 0: it waits for as long as it takes
};

// nullopt for anything else: a word that is no option, an unknown option, "serie" without its text, two options
// (so two formats never leave the reader guessing which one won), "segundos" twice, without "esperar", or with
// no count of 1 to 5 decimal digits from 1 to kMaxWaitSeconds.
std::optional<ListCommand> ParseArguments(std::span<const std::string> arguments);
