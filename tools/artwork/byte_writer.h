// Little-endian byte appending shared by the BMP, ICO and WMF writers (all three formats are little-endian).
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace art {

using Bytes = std::vector<std::uint8_t>;

inline void Put8(Bytes& out, std::uint32_t value) { out.push_back(static_cast<std::uint8_t>(value & 0xFFu)); }

inline void Put16(Bytes& out, std::uint32_t value) {
    Put8(out, value);
    Put8(out, value >> 8);
}

inline void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFFu);
    Put16(out, value >> 16);
}

// Writes the whole file at once; throws when it cannot, so a half-written picture never looks current.
void WriteFile(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace art
