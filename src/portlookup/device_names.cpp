// How the registry names a device: the serial number's spelling, the 2000/XP key path and the 98 device id.
#include "portlookup/device_names.h"

#include "app/ascii_text.h"

#include <algorithm>

namespace {

std::span<std::uint8_t> ValidBytes(std::span<std::uint8_t> SerialString, std::int32_t SerialLength) {
    const auto count = std::clamp<std::int64_t>(SerialLength, 0, static_cast<std::int64_t>(SerialString.size()));
    return SerialString.first(static_cast<std::size_t>(count));
}

template <typename Char>
constexpr Char FoldedAscii(Char c) {
    return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - (Char('a') - Char('A'))) : c;
}

// A serial's byte or character as Windows records it: spaces as underscores, ASCII letters in capitals.
template <typename Char>
constexpr Char Recorded(Char c) {
    return c == Char(' ') ? Char('_') : FoldedAscii(c);
}

}  // namespace

void SerialForXP2000(std::span<std::uint8_t> SerialString, std::int32_t SerialLength) {
    for (std::uint8_t& byte : ValidBytes(SerialString, SerialLength))
        if (byte == ' ') byte = '_';
}

void SerialFor98(std::span<std::uint8_t> SerialString, std::int32_t SerialLength) {
    for (std::uint8_t& byte : ValidBytes(SerialString, SerialLength)) byte = Recorded(byte);
}

std::u16string RecordedSerial(std::u16string serial) {
    std::ranges::transform(serial, serial.begin(), Recorded<char16_t>);
    return serial;
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
    return std::ranges::equal(a, b, {}, FoldedAscii<char>, FoldedAscii<char>);
}

bool InstanceIdBefore(std::string_view a, std::string_view b) {
    return std::ranges::lexicographical_compare(a, b, {}, FoldedAscii<char>, FoldedAscii<char>);
}
