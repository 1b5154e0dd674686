// Shared by the fuzz targets: a random registry made from the input, device identities, and a
// plain model of what each port lookup should find, to check the real lookups against.
#pragma once

#include "app/code_page.h"
#include "fake_registry.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Stops the run with a message; libFuzzer keeps the input that got here.
#define FUZZ_CHECK(condition, ...)                                                           \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            std::fprintf(stderr, "%s:%d: check failed: %s\n  ", __FILE__, __LINE__, #condition); \
            std::fprintf(stderr, __VA_ARGS__);                                               \
            std::fprintf(stderr, "\n");                                                      \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

// What a device tells the scan: ids, the 64 serial bytes and the length claimed for them.
struct Identity {
    std::int32_t Vid = 0;
    std::int32_t Pid = 0;
    std::array<std::uint8_t, 64> Serial{};
    std::int32_t SerialLength = 0;
};

// The serial bytes a lookup may use: the first SerialLength of them, within the 64.
std::string UsedSerial(const Identity& identity);

// The names Windows gives the device, made here by hand from the naming rules: the instance key
// below Enum\USB (2000/XP) and the "CRLowerDeviceID" text (98), both as code page bytes.
std::string XPDeviceKeyPath(const Identity& identity);
std::string DeviceId98(const Identity& identity);

// A vendor or product id: mostly `usual`, sometimes 0 or anything.
std::int32_t ConsumeUsbId(FuzzedDataProvider& input, std::int32_t usual);
Identity ConsumeIdentity(FuzzedDataProvider& input);
// Lengths a library might claim: the edges around the buffer most of the time, anything otherwise.
std::int32_t ConsumeClaimedLength(FuzzedDataProvider& input, std::size_t actual);

// Builds keys and values below HKEY_LOCAL_MACHINE: 98 instance keys Enum\SLABCR\guid\000<n>,
// 2000/XP device keys below SYSTEM\CurrentControlSet\Enum\USB, some naming `known` devices,
// values of any type and of 0..4096 bytes, with and without zero bytes, and stray keys.
// Instance indexes go up to highestIndex, which bounds the 98 walk.
void BuildRegistry(FuzzedDataProvider& input, FakeRegistry& registry, const std::vector<Identity>& known,
                   int highestIndex);

// The 98 instance keys that stand in an unbroken row from index 0 (the walk's length).
int InstanceRowLength(FakeRegistry& registry);

// What each lookup should return, found by reading the fake registry directly with room for
// every value. They make calls of their own: read the registry's counters before using them.
std::int16_t ModelXP2000(FakeRegistry& registry, const AnsiCodePage& codePage, const Identity& identity);
std::int16_t Model98(FakeRegistry& registry, const AnsiCodePage& codePage, const Identity& identity);

// FUZZ_TRACE=1 in the environment: the targets print what an input decoded to and found, for
// looking into a finding or checking what a seed means.
bool Tracing();

// One text character per byte, through the code page, for messages.
std::string Printable(const std::string& bytes);
