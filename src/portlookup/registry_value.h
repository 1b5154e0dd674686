// The buffer the port lookups read registry values into, the value they read, and the port number made of it.
#pragma once

#include "app/code_page.h"

#include <array>
#include <cstdint>
#include <string>

inline constexpr std::size_t kValueBufferSize = 102;
inline constexpr std::uint32_t kValueCapacity = 100;  // offered to the first query of a lookup

using ValueBuffer = std::array<std::uint8_t, kValueBufferSize>;

// The value that holds a port's name in every record Windows keeps of one: both registry layouts and a present
// port device's key.
inline constexpr const char* kPortNameValue = "PortName";

// The value's text: its bytes, less the last one when that is the terminating zero byte.
std::u16string ValueText(const ValueBuffer& buffer, std::uint32_t ValueSize, const AnsiCodePage& codePage);

// The number of a "PortName" value: its first three characters (COM, LPT, ...) count as
// zeros and the number is read from the rest; -1 when it does not fit a port number.
std::int16_t PortNumberFromValue(ValueBuffer& buffer, std::uint32_t ValueSize, const AnsiCodePage& codePage);
