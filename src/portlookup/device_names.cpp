// How the registry names a device: the serial number's spelling, the 2000/XP key path and the 98 device id.
#include "portlookup/device_names.h"

#include "app/ascii_text.h"

#include <algorithm>
#include <cstdio>

namespace {

std::span<std::uint8_t> ValidBytes(std::span<std::uint8_t> SerialString, std::int32_t SerialLength) {
    const auto count = std::clamp<std::int64_t>(SerialLength, 0, static_cast<std::int64_t>(SerialString.size()));
    return SerialString.first(static_cast<std::size_t>(count));
}

char FoldedAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c; }

constexpr std::uint8_t kSpace = ' ';
constexpr std::uint8_t kUnderscore = '_';

// Windows names USB ids with four hex digits; a negative id shows its 32-bit two's complement.
std::u16string HexId(std::int32_t id, bool upperCase) {
    char digits[16];
    std::snprintf(digits, sizeof digits, upperCase ? "%04X" : "%04x", static_cast<std::uint32_t>(id));
    return AsciiText(digits);
}

}  // namespace

void SerialForXP2000(std::span<std::uint8_t> SerialString, std::int32_t SerialLength) {
    for (std::uint8_t& byte : ValidBytes(SerialString, SerialLength))
        if (byte == kSpace) byte = kUnderscore;
}

void SerialFor98(std::span<std::uint8_t> SerialString, std::int32_t SerialLength) {
    for (std::uint8_t& byte : ValidBytes(SerialString, SerialLength)) {
        if (byte == kSpace)
            byte = kUnderscore;
        else if (byte >= 'a' && byte <= 'z')
            byte = static_cast<std::uint8_t>(byte - ('a' - 'A'));
    }
}

std::u16string DeviceKeyPathXP2000(std::int32_t Vid, std::int32_t Pid, std::u16string_view serialText) {
    std::u16string path = u"Vid_" + HexId(Vid, false) + u"&Pid_" + HexId(Pid, false) + u"&Mi_00\\";
    return path.append(serialText).append(u"_00");
}

std::u16string ExpectedDeviceId98(std::int32_t Vid, std::int32_t Pid, std::u16string_view serialText) {
    return UsbFirstInterfaceId(Vid, Pid, serialText);
}

std::u16string UsbDeviceId(std::int32_t Vid, std::int32_t Pid, std::u16string_view serialText) {
    std::u16string id = u"USB\\VID_" + HexId(Vid, true) + u"&PID_" + HexId(Pid, true) + u"\\";
    return id.append(serialText);
}

std::u16string UsbFirstInterfaceId(std::int32_t Vid, std::int32_t Pid, std::u16string_view serialText) {
    std::u16string id = u"USB\\VID_" + HexId(Vid, true) + u"&PID_" + HexId(Pid, true) + u"&MI_00\\";
    return id.append(serialText).append(u"_00");
}

bool SameInstanceId(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, {}, FoldedAscii, FoldedAscii);
}

bool InstanceIdBefore(std::string_view a, std::string_view b) {
    return std::ranges::lexicographical_compare(a, b, {}, FoldedAscii, FoldedAscii);
}
