// Parser for the stand-in device library's device file, kept free of Windows headers so it is unit-tested natively.
//
// File format (plain ASCII text, one statement per line; LF or CRLF line ends):
//   - Blank lines, and lines whose first non-blank character is '#', are ignored.
//   - `count N`        GetNumDevices writes N instead of the number of device lines.
//   - `countstatus S`  GetNumDevices returns status S (it still writes the count).
//   - Any other line is a device:  VID PID SERIAL [option ...]
//       VID, PID   1..8 hex digits without 0x (e.g. `5e1a b007`), taken as 32-bit values.
//       SERIAL     one token: `-` is the empty serial; otherwise each character is one byte and
//                  `%XX` (two hex digits) is any byte, e.g. `ABC%2012` = "ABC 12", `%2D` = "-".
//                  At most 64 bytes.
//       options    `open=S` `vid=S` `pid=S` `serial=S` `close=S`: that call returns status S for
//                  this device; `len=N`: GetDeviceSerialNumber reports N as the length.
//   Tokens are separated by spaces or tabs. Numbers S and N are decimal with an optional '-', or
//   0x followed by 1..8 hex digits (a 32-bit pattern, so 0xFFFFFFFF is -1). A repeated `count`,
//   `countstatus` or option: the last one wins.
//   A malformed line (bad number, bad escape, serial over 64 bytes, unknown option, missing or
//   extra token) is skipped as a whole, so a typo removes one device rather than crashing.
#include "device_file.h"

#include <charconv>
#include <string_view>
#include <system_error>

namespace standin {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::vector<std::string_view> SplitTokens(std::string_view line) {
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        if (i > start) tokens.push_back(line.substr(start, i - start));
    }
    return tokens;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Hex digits only, whole token, fits in 32 bits (from_chars alone would accept a prefix).
std::optional<std::uint32_t> ParseHex32(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    for (char c : digits)
        if (HexDigit(c) < 0) return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (ec != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

bool ParseDevice(const std::vector<std::string_view>& tokens, DeviceEntry& device) {
    if (tokens.size() < 3) return false;
    const auto vid = ParseHexId(tokens[0]);
    const auto pid = ParseHexId(tokens[1]);
    auto serial = ParseSerialToken(tokens[2]);
    if (!vid || !pid || !serial) return false;
    device.vid = *vid;
    device.pid = *pid;
    device.serial = std::move(*serial);

    for (std::size_t i = 3; i < tokens.size(); ++i) {
        const std::string_view option = tokens[i];
        const std::size_t eq = option.find('=');
        if (eq == std::string_view::npos) return false;
        const std::string_view key = option.substr(0, eq);
        const auto value = ParseInt32(option.substr(eq + 1));
        if (!value) return false;
        if (key == "open") device.openStatus = *value;
        else if (key == "vid") device.vidStatus = *value;
        else if (key == "pid") device.pidStatus = *value;
        else if (key == "serial") device.serialStatus = *value;
        else if (key == "close") device.closeStatus = *value;
        else if (key == "len") device.reportedLength = *value;
        else return false;
    }
    return true;
}

}  // namespace

std::int32_t DeviceFile::ReportedCount() const {
    return count ? *count : static_cast<std::int32_t>(devices.size());
}

std::optional<std::int32_t> ParseInt32(std::string_view token) {
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
        const auto bits = ParseHex32(token.substr(2));
        if (!bits) return std::nullopt;
        return static_cast<std::int32_t>(*bits);
    }
    if (token.empty()) return std::nullopt;
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value, 10);
    if (ec != std::errc{} || end != token.data() + token.size()) return std::nullopt;
    return value;
}

std::optional<std::uint32_t> ParseHexId(std::string_view token) { return ParseHex32(token); }

std::optional<std::vector<std::uint8_t>> ParseSerialToken(std::string_view token) {
    std::vector<std::uint8_t> bytes;
    if (token == "-") return bytes;
    if (token.empty()) return std::nullopt;
    for (std::size_t i = 0; i < token.size(); ++i) {
        std::uint8_t byte = static_cast<std::uint8_t>(token[i]);
        if (token[i] == '%') {
            if (i + 2 >= token.size()) return std::nullopt;  // fewer than two characters follow
            const int high = HexDigit(token[i + 1]);
            const int low = HexDigit(token[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            byte = static_cast<std::uint8_t>(high * 16 + low);
            i += 2;
        }
        if (bytes.size() == kMaxSerialBytes) return std::nullopt;
        bytes.push_back(byte);
    }
    return bytes;
}

DeviceFile ParseDeviceFile(std::string_view text) {
    DeviceFile file;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);

        const auto tokens = SplitTokens(line);
        if (tokens.empty() || tokens[0].front() == '#') continue;

        if (tokens[0] == "count" || tokens[0] == "countstatus") {
            if (tokens.size() != 2) continue;
            const auto value = ParseInt32(tokens[1]);
            if (!value) continue;
            if (tokens[0] == "count") file.count = *value;
            else file.countStatus = *value;
            continue;
        }

        DeviceEntry device;
        if (ParseDevice(tokens, device)) file.devices.push_back(std::move(device));
    }
    return file;
}

}  // namespace standin
