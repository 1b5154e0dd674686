// The stand-in device library's device file: what it describes and how it is parsed (portable, no Windows headers).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace standin {

// A serial number never holds more than this many bytes; longer ones make the line malformed.
inline constexpr std::size_t kMaxSerialBytes = 64;

// One device line of the file.
struct DeviceEntry {
    std::uint32_t vid = 0;
    std::uint32_t pid = 0;
    std::vector<std::uint8_t> serial;

    // Statuses the corresponding call returns for this device (0 = success).
    std::int32_t openStatus = 0;
    std::int32_t vidStatus = 0;
    std::int32_t pidStatus = 0;
    std::int32_t serialStatus = 0;
    std::int32_t closeStatus = 0;

    // When set, the length GetDeviceSerialNumber reports instead of serial.size().
    std::optional<std::int32_t> reportedLength;
};

struct DeviceFile {
    std::vector<DeviceEntry> devices;
    // When set, the count GetNumDevices reports instead of devices.size().
    std::optional<std::int32_t> count;
    // The status GetNumDevices returns.
    std::int32_t countStatus = 0;

    // What GetNumDevices writes: the `count` override or the number of device lines.
    std::int32_t ReportedCount() const;
};

// Parses the whole file text; malformed lines are skipped, so any input gives a result.
DeviceFile ParseDeviceFile(std::string_view text);

// Parses one SERIAL token (`-`, or bytes with %XX escapes); nullopt when malformed or over 64 bytes.
std::optional<std::vector<std::uint8_t>> ParseSerialToken(std::string_view token);

// Parses a status or number value: decimal with optional '-', or 0x + 1..8 hex digits as a 32-bit pattern.
std::optional<std::int32_t> ParseInt32(std::string_view token);

// Parses a VID/PID: 1..8 hex digits, no 0x prefix.
std::optional<std::uint32_t> ParseHexId(std::string_view token);

}  // namespace standin
