// The stand-in device library's journal lines, formatted portably so end-to-end tests can rely on a tested format.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace standin {

// Bytes <= 0x20, >= 0x7F and '%' become %XX (upper-case hex); the device file reads this back.
std::string EscapeSerial(std::span<const std::uint8_t> bytes);

// One journal line per call, without the line end. On a non-zero status only `-> status=S` follows
// the arguments; the values are written only on success.
std::string JournalGetNumDevices(std::int32_t status, std::int32_t count);
std::string JournalOpen(std::int32_t index, std::int32_t status, std::uint64_t handle);
std::string JournalVid(std::uint64_t handle, std::int32_t status, std::uint32_t vid);
std::string JournalPid(std::uint64_t handle, std::int32_t status, std::uint32_t pid);
std::string JournalSerial(std::uint64_t handle, std::int32_t ascii, std::int32_t status, std::int32_t length,
                          std::span<const std::uint8_t> serial);
std::string JournalClose(std::uint64_t handle, std::int32_t status);

}  // namespace standin
