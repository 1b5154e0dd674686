// Formats the stand-in device library's journal lines (portable, so the format is unit-tested natively).
#include "journal_format.h"

namespace standin {
namespace {

constexpr char kUpperHex[] = "0123456789ABCDEF";
constexpr char kLowerHex[] = "0123456789abcdef";

// Ids are shown as lower-case hex with at least four digits, the way USB ids are usually written.
std::string HexId(std::uint32_t value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), kLowerHex[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
    return "0x" + digits;
}

std::string Status(std::int32_t status) { return " -> status=" + std::to_string(status); }

}  // namespace

std::string EscapeSerial(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (byte <= 0x20 || byte >= 0x7F || byte == '%') {
            text += '%';
            text += kUpperHex[byte >> 4];
            text += kUpperHex[byte & 0xF];
        } else {
            text += static_cast<char>(byte);
        }
    }
    return text;
}

std::string JournalGetNumDevices(std::int32_t status, std::int32_t count) {
    std::string line = "GetNumDevices" + Status(status);
    if (status == 0) line += " count=" + std::to_string(count);
    return line;
}

std::string JournalOpen(std::int32_t index, std::int32_t status, std::uint64_t handle) {
    std::string line = "Open index=" + std::to_string(index) + Status(status);
    if (status == 0) line += " handle=" + std::to_string(handle);
    return line;
}

std::string JournalVid(std::uint64_t handle, std::int32_t status, std::uint32_t vid) {
    std::string line = "GetDeviceVid handle=" + std::to_string(handle) + Status(status);
    if (status == 0) line += " vid=" + HexId(vid);
    return line;
}

std::string JournalPid(std::uint64_t handle, std::int32_t status, std::uint32_t pid) {
    std::string line = "GetDevicePid handle=" + std::to_string(handle) + Status(status);
    if (status == 0) line += " pid=" + HexId(pid);
    return line;
}

std::string JournalSerial(std::uint64_t handle, std::int32_t ascii, std::int32_t status, std::int32_t length,
                          std::span<const std::uint8_t> serial) {
    std::string line = "GetDeviceSerialNumber handle=" + std::to_string(handle) + " ascii=" + std::to_string(ascii) +
                       Status(status);
    if (status == 0) line += " length=" + std::to_string(length) + " serial=" + EscapeSerial(serial);
    return line;
}

std::string JournalClose(std::uint64_t handle, std::int32_t status) {
    return "Close handle=" + std::to_string(handle) + Status(status);
}

}  // namespace standin
