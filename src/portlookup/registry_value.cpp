// The buffer the port lookups read registry values into, and the text and port number made of it.
#include "portlookup/registry_value.h"

#include "portlookup/port_number.h"
#include "app/convert_to_string.h"

#include <algorithm>

std::u16string ValueText(const ValueBuffer& buffer, std::uint32_t ValueSize, const AnsiCodePage& codePage) {
    std::uint32_t length = std::min<std::uint32_t>(ValueSize, kValueBufferSize);
    if (length > 0 && buffer[length - 1] == 0) --length;
    return ConvertToString(buffer, static_cast<std::int32_t>(length), codePage);
}

std::int16_t PortNumberFromValue(ValueBuffer& buffer, std::uint32_t ValueSize, const AnsiCodePage& codePage) {
    constexpr std::size_t kPrefixLength = 3;
    std::fill_n(buffer.begin(), kPrefixLength, static_cast<std::uint8_t>('0'));
    return ReadPortNumber(ValueText(buffer, ValueSize, codePage)).value_or(kNoPort);
}
