// ListaVIRK's command line: one option, a word after "-", "--" or "/" in any case, and "segundos" beside "esperar".
#include "cli/arguments.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace {

constexpr std::array<std::pair<std::string_view, ListAction>, 9> kOptions = {{
    {"json", ListAction::Json},
    {"csv", ListAction::Csv},
    {"serie", ListAction::Serie},
    {"esperar", ListAction::Esperar},
    {"vigilar", ListAction::Vigilar},
    {"ayuda", ListAction::Help},
    {"h", ListAction::Help},
    {"?", ListAction::Help},
    {"version", ListAction::Version},
}};
constexpr std::string_view kSecondsOption = "segundos";
constexpr std::size_t kMaxSecondsDigits = 5;

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

const std::pair<std::string_view, ListAction>* ActionNamed(std::string_view argument) {
    const auto option = std::ranges::find(kOptions, OptionWord(argument), &std::pair<std::string_view, ListAction>::first);
    return option == kOptions.end() ? nullptr : &*option;
}

bool NamesOption(std::string_view argument) {
    return ActionNamed(argument) != nullptr || OptionWord(argument) == kSecondsOption;
}

// 1 to 5 decimal digits, from 1 to a day.
std::optional<std::uint32_t> Seconds(std::string_view text) {
    if (text.empty() || text.size() > kMaxSecondsDigits ||
        !std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::uint32_t seconds = 0;
    for (char c : text) seconds = seconds * 10 + std::uint32_t(c - '0');
    if (seconds < 1 || seconds > kMaxWaitSeconds) return std::nullopt;
    return seconds;
}

}  // namespace

std::optional<ListCommand> ParseArguments(std::span<const std::string> arguments) {
    ListCommand command;
    bool chosen = false;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        if (OptionWord(arguments[at]) == kSecondsOption) {
            if (command.Seconds != 0 || ++at == arguments.size()) return std::nullopt;
            const auto seconds = Seconds(arguments[at]);
            if (!seconds) return std::nullopt;
            command.Seconds = *seconds;
            continue;
        }
        const auto* option = ActionNamed(arguments[at]);
        if (option == nullptr || chosen) return std::nullopt;
        chosen = true;
        command.Action = option->second;
        if (command.Action == ListAction::Serie) {
            if (++at == arguments.size()) return std::nullopt;
            command.Serial = arguments[at];
        }
        // "-AB" is a serial: only a word that names an option is not the text waited for.
        if (command.Action == ListAction::Esperar && at + 1 < arguments.size() && !NamesOption(arguments[at + 1]))
            command.Serial = arguments[++at];
    }
    if (command.Seconds != 0 && command.Action != ListAction::Esperar) return std::nullopt;
    return command;
}
