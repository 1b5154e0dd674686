// ListaVIRK's command line: at most one option, a word after "-", "--" or "/" in any case.
#pragma once

#include <optional>
#include <span>
#include <string>

enum class ListAction { Plain, Json, Csv, Serie, Help, Version };

struct ListCommand {
    ListAction Action = ListAction::Plain;
    std::string Serial;  // the bytes after "serie", as the command line gives them
};

// nullopt for anything else: a word that is no option, an unknown option, "serie" without its text,
// or two options (so two formats never leave the reader guessing which one won).
std::optional<ListCommand> ParseArguments(std::span<const std::string> arguments);
