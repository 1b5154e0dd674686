// What the process that loaded the stand-in holds: its GDI objects and kernel handles, counted from inside it.
// From inside, because another process cannot read an emulated 32-bit process's memory (QEMU keeps it at an
// offset of its own), and Wine's GetGuiResources and GetProcessHandleCount answer 0 whatever a process holds.
#include "held_objects.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Wine records the GDI handle table (GdiSharedHandleTable) only in the 64-bit PEB, at 0xF8; a 32-bit process
// has that PEB too, one page below its own. 24-byte entries whose type byte, at offset 14, is 0 when free.
constexpr std::ptrdiff_t kPeb64BelowPeb = sizeof(void*) == 8 ? 0 : 0x1000, kTableInPeb64 = 0xF8;
constexpr std::size_t kEntrySize = 24, kEntryType = 14, kMaxEntries = 0x10000;

// Bytes readable from `at` on within its committed region, at most `wanted`.
std::size_t Readable(const void* at, std::size_t wanted) {
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(at, &region, sizeof region) == 0 || region.State != MEM_COMMIT) return 0;
    const auto offset = static_cast<std::size_t>(static_cast<const char*>(at) - static_cast<const char*>(region.BaseAddress));
    return std::min<std::size_t>(wanted, region.RegionSize - offset);
}

unsigned long GdiObjects() {
    if (const DWORD told = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return told;
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return 0;
    const char* peb64 = reinterpret_cast<const char*>(basic.PebBaseAddress) - kPeb64BelowPeb;
    std::uint64_t tableAddress = 0;
    if (Readable(peb64 + kTableInPeb64, sizeof tableAddress) < sizeof tableAddress) return 0;
    std::memcpy(&tableAddress, peb64 + kTableInPeb64, sizeof tableAddress);
    const auto* table = reinterpret_cast<const unsigned char*>(static_cast<std::uintptr_t>(tableAddress));
    if (table == nullptr) return 0;
    const std::size_t bytes = Readable(table, kMaxEntries * kEntrySize);
    unsigned long live = 0;
    for (std::size_t at = 0; at + kEntrySize <= bytes; at += kEntrySize) live += table[at + kEntryType] != 0;
    return live;
}

// Its entries in the system's list of every handle (SystemExtendedHandleInformation): past a count and a word,
// entries of three pointer-sized fields (the second the owner's id) and 16 bytes.
unsigned long KernelHandles() {
    constexpr auto kExtendedHandleInformation = std::bit_cast<SYSTEM_INFORMATION_CLASS>(64);
    constexpr NTSTATUS kLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
    constexpr std::size_t kHeader = 2 * sizeof(void*), kEntry = 3 * sizeof(void*) + 16;
    std::vector<unsigned char> buffer(1 << 20);
    ULONG needed = 0;
    while (NtQuerySystemInformation(kExtendedHandleInformation, buffer.data(), ULONG(buffer.size()), &needed) ==
           kLengthMismatch)
        buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
    ULONG_PTR listed = 0, owner = 0;
    std::memcpy(&listed, buffer.data(), sizeof listed);
    const ULONG_PTR self = GetCurrentProcessId();
    unsigned long owned = 0;
    for (std::size_t n = 0; n < std::min<std::size_t>(listed, (buffer.size() - kHeader) / kEntry); ++n) {
        std::memcpy(&owner, &buffer[kHeader + n * kEntry + sizeof(void*)], sizeof owner);
        owned += owner == self;
    }
    return owned;
}

}  // namespace

std::string HeldObjectsLine() {
    return "gdi=" + std::to_string(GdiObjects()) + " handles=" + std::to_string(KernelHandles());
}
