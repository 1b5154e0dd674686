// ListaVIRK's command line: at most one option, a word after "-", "--" or "/" in any case.
#include "cli/arguments.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace {

constexpr std::array<std::pair<std::string_view, ListAction>, 7> kOptions = {{
    {"json", ListAction::Json},
    {"csv", ListAction::Csv},
    {"serie", ListAction::Serie},
    {"ayuda", ListAction::Help},
    {"h", ListAction::Help},
    {"?", ListAction::Help},
    {"version", ListAction::Version},
}};

// The option an argument names, in lower case without its prefix; empty when it is no option.
std::string OptionWord(std::string_view argument) {
    for (std::string_view prefix : {"--", "-", "/"}) {
        if (argument.size() > prefix.size() && argument.starts_with(prefix)) {
            std::string word(argument.substr(prefix.size()));
            std::ranges::transform(word, word.begin(), [](unsigned char c) { return char(std::tolower(c)); });
            return word;
        }
    }
    return {};
}

}  // namespace

std::optional<ListCommand> ParseArguments(std::span<const std::string> arguments) {
    ListCommand command;
    bool chosen = false;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string word = OptionWord(arguments[at]);
        const auto option = std::ranges::find(kOptions, word, &std::pair<std::string_view, ListAction>::first);
        if (option == kOptions.end() || chosen) return std::nullopt;
        chosen = true;
        command.Action = option->second;
        if (command.Action == ListAction::Serie) {
            if (++at == arguments.size()) return std::nullopt;
            command.Serial = arguments[at];
        }
    }
    return command;
}
