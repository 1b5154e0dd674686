// Shared by the fuzz targets: a random registry made from the input, device identities, and a
// plain model of what each port lookup should find, to check the real lookups against.
#include "fuzz_support.h"

#include "portlookup/registry_value.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace {

const std::string kInstancePrefix = "Enum\\SLABCR\\guid\\";
const std::string kUsbEnum = "SYSTEM\\CurrentControlSet\\Enum\\USB\\";
constexpr std::size_t kLongestValue = 4096;

std::string Hex4(std::int32_t id, bool upperCase) {
    char digits[16];
    std::snprintf(digits, sizeof digits, upperCase ? "%04X" : "%04x", static_cast<std::uint32_t>(id));
    return digits;
}

// Up to the first zero byte: what a NUL-terminated registry path lets the registry see.
std::string AsPath(const std::string& bytes) { return std::string(bytes.c_str()); }

std::string InstanceName(int index) { return kInstancePrefix + "000" + std::to_string(index); }

int ConsumeInstanceIndex(FuzzedDataProvider& input, int highest) {
    return input.ConsumeIntegralInRange(0, input.ConsumeBool() ? std::min(highest, 12) : highest);
}

std::string ConsumeInstancePath(FuzzedDataProvider& input, int highest) {
    if (input.ConsumeIntegralInRange(0, 7) != 0) return InstanceName(ConsumeInstanceIndex(input, highest));
    return kInstancePrefix + input.ConsumeRandomLengthString(10);  // 00001, 0x1, 0000\sub, ...
}

std::uint32_t ConsumeType(FuzzedDataProvider& input) {
    return input.ConsumeBool() ? kRegSz : input.ConsumeIntegral<std::uint32_t>() % 12;
}

std::vector<std::uint8_t> WithOptionalZero(FuzzedDataProvider& input, std::string text) {
    if (input.ConsumeBool()) text.push_back('\0');
    return {text.begin(), text.end()};
}

// A value's bytes: port names, sizes around the lookups' buffer, long fills, raw input.
std::vector<std::uint8_t> ConsumeValue(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0:
        return WithOptionalZero(input, "COM" + std::to_string(input.ConsumeIntegralInRange(-40000, 40000)));
    case 1:
        return WithOptionalZero(input, input.ConsumeRandomLengthString(128));
    case 2: {
        const auto length = input.ConsumeIntegralInRange<std::size_t>(0, kLongestValue);
        std::string text(length, static_cast<char>(input.ConsumeIntegral<std::uint8_t>()));
        if (!text.empty() && input.ConsumeBool()) text.back() = '\0';
        return {text.begin(), text.end()};
    }
    case 3: {
        // 95..105 bytes: either side of what the lookups offer and hold.
        const auto length = input.ConsumeIntegralInRange<std::size_t>(95, 105);
        std::string text = "COM" + std::string(length - 5, '0') + "9";
        text.push_back(input.ConsumeBool() ? '\0' : '7');
        return {text.begin(), text.end()};
    }
    case 4:
        return {};
    default: {
        const std::string text = input.ConsumeRandomLengthString(kLongestValue);
        return {text.begin(), text.end()};
    }
    }
}

const Identity& ConsumeKnown(FuzzedDataProvider& input, const std::vector<Identity>& known) {
    static const Identity kEmpty;  // what a device whose reads failed is looked up as
    const auto pick = input.ConsumeIntegralInRange<std::size_t>(0, known.size());
    return pick == known.size() ? kEmpty : known[pick];
}

std::optional<std::vector<std::uint8_t>> ReadWhole(FakeRegistry& registry, RegKey key, const char* name) {
    std::vector<std::uint8_t> bytes(2 * kLongestValue);
    auto size = static_cast<std::uint32_t>(bytes.size());
    std::uint32_t type = 0;
    if (registry.QueryValueEx(key, name, &type, bytes.data(), &size) != kRegSuccess) return std::nullopt;
    FUZZ_CHECK(size <= bytes.size(), "value %s of %u bytes is longer than the fuzzer writes", name, size);
    bytes.resize(size);
    return bytes;
}

std::int16_t PortOf(const std::vector<std::uint8_t>& bytes, const AnsiCodePage& codePage) {
    ValueBuffer buffer{};
    std::copy(bytes.begin(), bytes.end(), buffer.begin());
    return PortNumberFromValue(buffer, static_cast<std::uint32_t>(bytes.size()), codePage);
}

}  // namespace

std::string UsedSerial(const Identity& identity) {
    const auto count = std::clamp<std::int64_t>(identity.SerialLength, 0, 64);
    return std::string(identity.Serial.begin(), identity.Serial.begin() + count);
}

std::string XPDeviceKeyPath(const Identity& identity) {
    std::string serial = UsedSerial(identity);
    std::replace(serial.begin(), serial.end(), ' ', '_');
    return "Vid_" + Hex4(identity.Vid, false) + "&Pid_" + Hex4(identity.Pid, false) + "&Mi_00\\" + serial + "_00";
}

std::string DeviceId98(const Identity& identity) {
    std::string serial = UsedSerial(identity);
    for (char& ch : serial) {
        if (ch == ' ')
            ch = '_';
        else if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    }
    return "USB\\VID_" + Hex4(identity.Vid, true) + "&PID_" + Hex4(identity.Pid, true) + "&MI_00\\" + serial + "_00";
}

std::int32_t ConsumeClaimedLength(FuzzedDataProvider& input, std::size_t actual) {
    switch (input.ConsumeIntegralInRange(0, 8)) {
    case 0: return -1;
    case 1: return 0;
    case 2: return 64;
    case 3: return 65;
    case 4: return 1000;
    case 5: return input.ConsumeBool() ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int32_t>::max();
    case 6: return input.ConsumeIntegral<std::int32_t>();
    default: return static_cast<std::int32_t>(actual);
    }
}

std::int32_t ConsumeUsbId(FuzzedDataProvider& input, std::int32_t usual) {
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0: return input.ConsumeIntegral<std::int32_t>();
    case 1: return 0;
    default: return usual;
    }
}

Identity ConsumeIdentity(FuzzedDataProvider& input) {
    Identity identity;
    identity.Vid = ConsumeUsbId(input, 0x1A2B);
    identity.Pid = ConsumeUsbId(input, 0xC3D4);
    const auto bytes = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 64));
    std::copy(bytes.begin(), bytes.end(), identity.Serial.begin());
    identity.SerialLength = ConsumeClaimedLength(input, bytes.size());
    return identity;
}

// Each value consumes its bytes, then its type: one statement each, so that an input means
// the same registry whatever order a compiler evaluates arguments in.
void SetConsumedValue(FuzzedDataProvider& input, FakeRegistry& registry, const std::string& key,
                      const std::string& name) {
    std::vector<std::uint8_t> bytes = ConsumeValue(input);
    const std::uint32_t type = ConsumeType(input);
    registry.SetValue(key, name, std::move(bytes), type);
}

void SetDeviceId(FuzzedDataProvider& input, FakeRegistry& registry, const std::string& key, const std::string& id) {
    std::vector<std::uint8_t> bytes = WithOptionalZero(input, id);
    const std::uint32_t type = ConsumeType(input);
    registry.SetValue(key, "CRLowerDeviceID", std::move(bytes), type);
}

void BuildRegistry(FuzzedDataProvider& input, FakeRegistry& registry, const std::vector<Identity>& known,
                   int highestIndex) {
    const int steps = input.ConsumeIntegralInRange(0, 40);
    for (int step = 0; step < steps && input.remaining_bytes() > 0; ++step) {
        switch (input.ConsumeIntegralInRange(0, 9)) {
        case 0: {  // an instance naming a device, its id with or without the zero byte
            const std::string path = ConsumeInstancePath(input, highestIndex);
            SetDeviceId(input, registry, path, DeviceId98(ConsumeKnown(input, known)));
            break;
        }
        case 1:
            SetConsumedValue(input, registry, ConsumeInstancePath(input, highestIndex), "PortName");
            break;
        case 2:
            SetConsumedValue(input, registry, ConsumeInstancePath(input, highestIndex), "CRLowerDeviceID");
            break;
        case 3: {  // a row of bare instance keys: long walks
            const int last = ConsumeInstanceIndex(input, highestIndex);
            for (int index = 0; index <= last; ++index) registry.AddKey(InstanceName(index));
            break;
        }
        case 4: {  // the device's own 2000/XP key
            const std::string device = kUsbEnum + AsPath(XPDeviceKeyPath(ConsumeKnown(input, known)));
            SetConsumedValue(input, registry, device + "\\Device Parameters", "PortName");
            break;
        }
        case 5: {  // the device's key without "Device Parameters", its port one level too high
            const std::string device = kUsbEnum + AsPath(XPDeviceKeyPath(ConsumeKnown(input, known)));
            registry.AddKey(device);
            if (input.ConsumeBool()) SetConsumedValue(input, registry, device, "PortName");
            break;
        }
        case 6: {  // a key and value of any name below either layout's root
            const std::string base = input.ConsumeBool() ? kUsbEnum : kInstancePrefix;
            const std::string key = base + input.ConsumeRandomLengthString(80);
            std::string name = "PortName";
            if (input.ConsumeBool()) name = input.ConsumeBool() ? "CRLowerDeviceID" : input.ConsumeRandomLengthString(20);
            SetConsumedValue(input, registry, key, name);
            break;
        }
        case 7:
            registry.AddKey(input.ConsumeBool() ? "SYSTEM\\CurrentControlSet\\Enum\\USB" : "SYSTEM\\CurrentControlSet\\Enum");
            break;
        case 8: {  // the device's key spelt in capitals, which the registry does not tell apart
            std::string device = AsPath(XPDeviceKeyPath(ConsumeKnown(input, known)));
            std::transform(device.begin(), device.end(), device.begin(),
                           [](char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch; });
            SetConsumedValue(input, registry, kUsbEnum + device + "\\Device Parameters", "PortName");
            break;
        }
        default: {  // an instance that names a device but with something put into its id
            const std::string path = ConsumeInstancePath(input, highestIndex);
            std::string id = DeviceId98(ConsumeKnown(input, known));
            const auto at = input.ConsumeIntegralInRange<std::size_t>(0, id.size());
            id.insert(at, input.ConsumeRandomLengthString(4));
            SetDeviceId(input, registry, path, id);
            break;
        }
        }
    }
}

int InstanceRowLength(FakeRegistry& registry) {
    int count = 0;
    for (; count <= std::numeric_limits<std::int16_t>::max(); ++count) {
        RegKey key = 0;
        if (registry.OpenKey(kLocalMachine, InstanceName(count).c_str(), &key) != kRegSuccess) break;
        registry.CloseKey(key);
    }
    return count;
}

std::int16_t ModelXP2000(FakeRegistry& registry, const AnsiCodePage& codePage, const Identity& identity) {
    std::int16_t port = -1;
    RegKey controlSet = 0, usb = 0, device = 0, parameters = 0;
    if (registry.OpenKeyEx(kLocalMachine, "SYSTEM\\CurrentControlSet\\", 0, kKeyRead, &controlSet) != kRegSuccess)
        return port;
    if (registry.OpenKey(controlSet, "Enum\\USB\\", &usb) == kRegSuccess) {
        if (registry.OpenKey(usb, XPDeviceKeyPath(identity).c_str(), &device) == kRegSuccess) {
            if (registry.OpenKey(device, "Device Parameters", &parameters) == kRegSuccess) {
                // The lookup offers 100 bytes: a longer name finds nothing.
                const auto value = ReadWhole(registry, parameters, "PortName");
                if (value && value->size() <= kValueCapacity) port = PortOf(*value, codePage);
                registry.CloseKey(parameters);
            }
            registry.CloseKey(device);
        }
        registry.CloseKey(usb);
    }
    registry.CloseKey(controlSet);
    return port;
}

std::int16_t Model98(FakeRegistry& registry, const AnsiCodePage& codePage, const Identity& identity) {
    const std::string expectedId = DeviceId98(identity);
    std::int16_t port = -1;
    for (int index = 0; index <= std::numeric_limits<std::int16_t>::max(); ++index) {
        RegKey key = 0;
        if (registry.OpenKey(kLocalMachine, InstanceName(index).c_str(), &key) != kRegSuccess) break;
        // An id that fits the 102-byte buffer is always read in the end; a longer one never is.
        // The port name is offered as many bytes as the id had: the last match whose name
        // fits them gives the port.
        if (const auto id = ReadWhole(registry, key, "CRLowerDeviceID"); id && id->size() <= kValueBufferSize) {
            std::string text(id->begin(), id->end());
            if (!text.empty() && text.back() == '\0') text.pop_back();
            if (text == expectedId) {
                const auto name = ReadWhole(registry, key, "PortName");
                if (name && name->size() <= id->size()) port = PortOf(*name, codePage);
            }
        }
        registry.CloseKey(key);
    }
    return port;
}

bool Tracing() {
    static const bool tracing = std::getenv("FUZZ_TRACE") != nullptr;
    return tracing;
}

std::string Printable(const std::string& bytes) {
    std::string text;
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x20 && byte < 0x7F) {
            text.push_back(ch);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text;
}
