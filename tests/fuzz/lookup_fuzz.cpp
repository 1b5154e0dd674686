// Both port lookups over a registry made from the input, checked against a plain model of each
// and against what they may do to the registry and to the serial bytes.
#include "fuzz_support.h"

#include "portlookup/port_lookup.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

const WindowsLatin1CodePage kCodePage;

// Passes every call on and stops the run at the first call past the bound, so an endless
// re-read loop is reported as such rather than as a timeout.
class BoundedRegistry final : public Registry {
public:
    BoundedRegistry(FakeRegistry& registry, std::size_t bound, const char* lookup)
        : registry_(registry), bound_(bound), lookup_(lookup) {}
    std::int32_t OpenKeyEx(RegKey parent, const char* subKey, std::uint32_t options, std::uint32_t access,
                           RegKey* result) override {
        Count();
        return registry_.OpenKeyEx(parent, subKey, options, access, result);
    }
    std::int32_t OpenKey(RegKey parent, const char* subKey, RegKey* result) override {
        Count();
        return registry_.OpenKey(parent, subKey, result);
    }
    std::int32_t QueryValueEx(RegKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) override {
        Count();
        return registry_.QueryValueEx(key, valueName, type, data, size);
    }
    std::int32_t CloseKey(RegKey key) override {
        Count();
        return registry_.CloseKey(key);
    }

private:
    void Count() {
        FUZZ_CHECK(++calls_ <= bound_, "%s went past %zu registry calls; the last ones:\n  %s\n  %s", lookup_, bound_,
                   registry_.Journal.size() > 1 ? registry_.Journal[registry_.Journal.size() - 2].c_str() : "",
                   registry_.Journal.empty() ? "" : registry_.Journal.back().c_str());
    }
    FakeRegistry& registry_;
    std::size_t bound_;
    const char* lookup_;
    std::size_t calls_ = 0;
};

void ResetCounters(FakeRegistry& registry) {
    registry.Journal.clear();
    registry.CallCount = 0;
    registry.MostKeysOpenAtOnce = 0;
}

void CheckRegistryLeftClean(const FakeRegistry& registry, const char* lookup) {
    FUZZ_CHECK(registry.OpenKeyCount() == 1, "%s left %zu keys open", lookup, registry.OpenKeyCount() - 1);
    for (const std::string& line : registry.Journal)
        FUZZ_CHECK(line.find("invalid handle") == std::string::npos, "%s: %s", lookup, line.c_str());
}

// The prefix zeros leave no room for a sign, so a port is -1 or 0..32767.
void CheckPortRange(std::int16_t port, const char* lookup) {
    FUZZ_CHECK(port == -1 || port >= 0, "%s returned %d", lookup, port);
}

// The first SerialLength bytes take the registry's spelling (when the lookup got as far as
// spelling it); every later byte stays as it was.
void CheckSerialRewrite(const Identity& identity, const std::vector<std::uint8_t>& after, bool rewritten,
                        bool upperCase, const char* lookup) {
    const auto used = rewritten ? static_cast<std::size_t>(std::clamp(identity.SerialLength, 0, 64)) : 0;
    for (std::size_t i = 0; i < identity.Serial.size(); ++i) {
        std::uint8_t expected = identity.Serial[i];
        if (i < used && expected == ' ')
            expected = '_';
        else if (i < used && upperCase && expected >= 'a' && expected <= 'z')
            expected = static_cast<std::uint8_t>(expected - 'a' + 'A');
        FUZZ_CHECK(after[i] == expected, "%s: serial byte %zu is %02X, expected %02X (length %d, %s)", lookup, i,
                   after[i], expected, identity.SerialLength, rewritten ? "rewritten" : "not rewritten");
    }
}

bool KeyExists(FakeRegistry& registry, const char* path) {
    RegKey key = 0;
    if (registry.OpenKey(kLocalMachine, path, &key) != kRegSuccess) return false;
    registry.CloseKey(key);
    return true;
}

void LookUpXP2000(FakeRegistry& registry, const Identity& identity) {
    // The serial is spelled for the device key's name once Enum\USB has opened, not before.
    const bool rewritten = KeyExists(registry, "SYSTEM\\CurrentControlSet\\Enum\\USB");
    // Exactly 64 bytes on the heap: a write past them faults under AddressSanitizer.
    std::vector<std::uint8_t> serial(identity.Serial.begin(), identity.Serial.end());
    ResetCounters(registry);
    // Four opens, one query, four closes at most.
    BoundedRegistry bounded(registry, 9, "XP");
    const std::int16_t port =
        GetPortNumXP2000(bounded, kCodePage, identity.Vid, identity.Pid, serial, identity.SerialLength);

    CheckPortRange(port, "XP");
    CheckRegistryLeftClean(registry, "XP");
    FUZZ_CHECK(registry.MostKeysOpenAtOnce <= 4, "XP held %zu keys open at once", registry.MostKeysOpenAtOnce);
    CheckSerialRewrite(identity, serial, rewritten, false, "XP");

    if (Tracing()) std::fprintf(stderr, "XP key %s: port %d\n", Printable(XPDeviceKeyPath(identity)).c_str(), port);
    const std::int16_t expected = ModelXP2000(registry, kCodePage, identity);
    FUZZ_CHECK(port == expected, "XP found %d, the model %d, for key %s", port, expected,
               Printable(XPDeviceKeyPath(identity)).c_str());
}

// Instance indexes as the walk opened them: 0, 1, 2, ... each at most twice (one re-read),
// ending on the first missing key or on 32767.
void CheckWalkOrder(const FakeRegistry& registry, int row) {
    const std::string prefix = "open Enum\\SLABCR\\guid\\000";
    std::map<int, int> opens;
    int previous = -1;
    for (const std::string& line : registry.Journal) {
        if (line.rfind("open ", 0) != 0) continue;
        FUZZ_CHECK(line.rfind(prefix, 0) == 0, "98 opened %s", line.c_str());
        const int index = std::stoi(line.substr(prefix.size()));
        FUZZ_CHECK(index == previous || index == previous + 1, "98 went from index %d to %d", previous, index);
        FUZZ_CHECK(++opens[index] <= 2, "98 opened index %d a third time", index);
        previous = index;
    }
    const auto expectedIndexes = static_cast<std::size_t>(row < 32768 ? row + 1 : row);
    FUZZ_CHECK(opens.size() == expectedIndexes, "98 visited %zu indexes of a row of %d keys", opens.size(), row);
}

void LookUp98(FakeRegistry& registry, const Identity& identity) {
    const int row = InstanceRowLength(registry);
    std::vector<std::uint8_t> serial(identity.Serial.begin(), identity.Serial.end());
    ResetCounters(registry);
    // Per instance: open, id, close, then again with the port name; then the missing key.
    BoundedRegistry bounded(registry, 7 * static_cast<std::size_t>(row) + 1, "98");
    const std::int16_t port = GetPortNum98(bounded, kCodePage, identity.Vid, identity.Pid, serial, identity.SerialLength);

    CheckPortRange(port, "98");
    CheckRegistryLeftClean(registry, "98");
    FUZZ_CHECK(registry.MostKeysOpenAtOnce <= 1, "98 held %zu keys open at once", registry.MostKeysOpenAtOnce);
    CheckWalkOrder(registry, row);
    CheckSerialRewrite(identity, serial, true, true, "98");

    if (Tracing()) std::fprintf(stderr, "98 id %s, %d instances: port %d\n", Printable(DeviceId98(identity)).c_str(), row, port);
    const std::int16_t expected = Model98(registry, kCodePage, identity);
    FUZZ_CHECK(port == expected, "98 found %d, the model %d, for id %s", port, expected,
               Printable(DeviceId98(identity)).c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const Identity identity = ConsumeIdentity(input);
    const Identity other = ConsumeIdentity(input);
    FakeRegistry registry;
    BuildRegistry(input, registry, {identity, other}, 40);

    LookUpXP2000(registry, identity);
    LookUp98(registry, identity);
    return 0;
}
