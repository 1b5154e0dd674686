// Which device notifications call for a scan; free of <windows.h>, so the native tests check it.
#include "scan/port_change.h"

#include <cstddef>
#include <cstring>

namespace {

// As Windows' dbt.h numbers them.
constexpr std::uintptr_t kDeviceArrival = 0x8000;         // DBT_DEVICEARRIVAL
constexpr std::uintptr_t kDeviceRemoveComplete = 0x8004;  // DBT_DEVICEREMOVECOMPLETE
constexpr std::uint32_t kPortType = 3;                    // DBT_DEVTYP_PORT

// DEV_BROADCAST_HDR: dbch_size (the whole message's bytes), dbch_devicetype, dbch_reserved, 32 bits each.
constexpr std::size_t kSizeOffset = 0;
constexpr std::size_t kTypeOffset = 4;
constexpr std::uint32_t kHeaderSize = 12;

std::uint32_t Field(const void* broadcast, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, static_cast<const unsigned char*>(broadcast) + offset, sizeof value);
    return value;
}

}  // namespace

bool IsPortChange(std::uintptr_t event, const void* broadcast) {
    if ((event != kDeviceArrival && event != kDeviceRemoveComplete) || broadcast == nullptr) return false;
    // The size comes first: a message shorter than its header has no type to read.
    return Field(broadcast, kSizeOffset) >= kHeaderSize && Field(broadcast, kTypeOffset) == kPortType;
}
