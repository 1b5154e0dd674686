// Whole scans: FillDeviceList over a device library and a registry made from the input, with
// any version word. The report must equal one built here from the devices and the lookup
// models, and no device or key may be left open or touched through a stale handle.
#include "fuzz_support.h"

#include "app/platform.h"
#include "fake_device_library.h"
#include "scan/device_scan.h"
#include "test_support.h"

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

const WindowsLatin1CodePage kCodePage;
const std::u16string kSerialLabel = u"Número de Serie =";
const std::u16string kPortLabel = u"Número de Puerto COM: ";

std::uint32_t ConsumeVersion(FuzzedDataProvider& input) {
    std::uint32_t version = 0;
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0: version = kVersionXP; break;
    case 1: version = kVersion98; break;
    case 2: version = kVersionNT4; break;
    case 3: version = kVersionWin10; break;
    case 4: version = 0x80000000u | input.ConsumeIntegral<std::uint32_t>(); break;
    default: version = input.ConsumeIntegral<std::uint32_t>(); break;
    }
    return version;
}

FakeDevice ConsumeDevice(FuzzedDataProvider& input) {
    FakeDevice device;
    device.Vid = ConsumeUsbId(input, 0x1A2B);
    device.Pid = ConsumeUsbId(input, 0xC3D4);
    device.Serial = input.ConsumeRandomLengthString(80);  // the library writes 64 at most
    if (input.ConsumeBool()) device.ReportedLength = ConsumeClaimedLength(input, device.Serial.size());
    for (const char* call : {"Open", "Vid", "Pid", "Serial", "Close"})
        if (input.ConsumeIntegralInRange(0, 5) == 0) device.Failures[call] = input.ConsumeIntegral<std::int16_t>();
    return device;
}

std::optional<std::int32_t> ConsumeCount(FuzzedDataProvider& input, std::size_t devices) {
    // Counts past the cap walk 1024 devices: a few inputs in every 64, so the rest run fast.
    switch (input.ConsumeIntegralInRange(0, 63)) {
    case 0: return -1;
    case 1: return 0;
    case 2: return static_cast<std::int32_t>(devices) + 1;
    case 3: return 65536;
    case 4: return input.ConsumeBool() ? std::numeric_limits<std::int32_t>::max() : std::numeric_limits<std::int32_t>::min();
    case 5: return input.ConsumeIntegral<std::int32_t>();
    case 6:
    case 7: return input.ConsumeIntegralInRange(-3, 12);
    default: return std::nullopt;  // as many as there are
    }
}

std::int16_t Failure(const FakeDevice& device, const char* call) {
    const auto found = device.Failures.find(call);
    return found == device.Failures.end() ? 0 : found->second;
}

// What the scan reads from a device, or nullopt when its open or one of its reads fails.
std::optional<Identity> Readable(const FakeDevice& device) {
    for (const char* call : {"Open", "Vid", "Pid", "Serial"})
        if (Failure(device, call) != 0) return std::nullopt;
    Identity identity;
    identity.Vid = device.Vid;
    identity.Pid = device.Pid;
    std::copy_n(device.Serial.begin(), std::min<std::size_t>(device.Serial.size(), 64), identity.Serial.begin());
    identity.SerialLength = std::min(device.ReportedLength.value_or(static_cast<std::int32_t>(std::min<std::size_t>(device.Serial.size(), 64))), 64);
    return identity;
}

enum class Layout { XP2000, Windows98, None };

// NT from major 5 up: 2000/XP; the 95/98/Me family at major 4: 98; anything else looks nothing up.
Layout LayoutOf(std::uint32_t version) {
    const std::uint32_t major = version & 0xFF;
    if ((version & 0x80000000u) == 0) return major >= 5 ? Layout::XP2000 : Layout::None;
    return major == 4 ? Layout::Windows98 : Layout::None;
}

class ExpectedPorts {
public:
    ExpectedPorts(FakeRegistry& registry, Layout layout) : registry_(registry), layout_(layout) {}
    std::int16_t Of(const Identity& identity) {
        const std::string key = std::to_string(identity.Vid) + "/" + std::to_string(identity.Pid) + "/" + UsedSerial(identity);
        const auto found = cache_.find(key);
        if (found != cache_.end()) return found->second;
        const std::int16_t port = layout_ == Layout::XP2000 ? ModelXP2000(registry_, kCodePage, identity)
                                                            : Model98(registry_, kCodePage, identity);
        cache_.emplace(key, port);
        return port;
    }

private:
    FakeRegistry& registry_;
    Layout layout_;
    std::map<std::string, std::int16_t> cache_;
};

std::u16string PortText(std::int16_t port) {
    const std::string digits = std::to_string(port);
    std::u16string text = port >= 0 ? u" " : u"";
    return text.append(digits.begin(), digits.end());
}

// Every open that worked is followed by exactly one close of that device before anything else opens.
void CheckDeviceJournal(const FakeDeviceLibrary& devices) {
    std::int32_t open = -1;
    for (const std::string& line : devices.Journal) {
        FUZZ_CHECK(line.find("bad handle") == std::string::npos, "%s", line.c_str());
        if (line.rfind("Open ", 0) == 0) {
            FUZZ_CHECK(open == -1, "device %d still open at %s", open, line.c_str());
            if (line.ends_with("-> 0")) open = std::stoi(line.substr(5));
        } else if (line.rfind("Close ", 0) == 0) {
            FUZZ_CHECK(open == std::stoi(line.substr(6)), "%s while device %d was open", line.c_str(), open);
            open = -1;
        }
    }
    FUZZ_CHECK(open == -1, "device %d never closed", open);
    FUZZ_CHECK(devices.OpenDevices.empty(), "%zu devices left open", devices.OpenDevices.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    FakeDeviceLibrary devices;
    FixedVersion version{ConsumeVersion(input)};
    const int deviceCount = input.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < deviceCount; ++i) devices.Devices.push_back(ConsumeDevice(input));
    devices.Count = ConsumeCount(input, devices.Devices.size());
    if (input.ConsumeBool()) devices.CountStatus = input.ConsumeIntegral<std::int16_t>();

    std::vector<Identity> readable;
    for (const FakeDevice& device : devices.Devices)
        if (const auto identity = Readable(device)) readable.push_back(*identity);
    FakeRegistry registry;
    // Short 98 walks: a scan may look up 1024 devices, and the walk itself is lookup_fuzz's.
    BuildRegistry(input, registry, readable, 8);
    const int row = InstanceRowLength(registry);
    registry.Journal.clear();
    registry.CallCount = 0;

    SharedState state;
    Platform platform{devices, registry, version, kCodePage};
    version.OnCall = [&devices] { FUZZ_CHECK(devices.OpenDevices.empty(), "a device is open during its lookup"); };
    const std::u16string report = FillDeviceList(platform, state);
    if (Tracing())
        std::fprintf(stderr, "version %08X, %zu devices, count %d, %d instances; report:\n%s\n", version.Value,
                     devices.Devices.size(), devices.Count.value_or(-999), row, Printable(Utf8(report)).c_str());

    CheckDeviceJournal(devices);
    FUZZ_CHECK(!state.DeviceOpen, "the shared state says a device is open");
    FUZZ_CHECK(registry.OpenKeyCount() == 1, "%zu registry keys left open", registry.OpenKeyCount() - 1);
    FUZZ_CHECK(registry.MostKeysOpenAtOnce <= 4, "%zu keys open at once", registry.MostKeysOpenAtOnce);
    for (const std::string& line : registry.Journal)
        FUZZ_CHECK(line.find("invalid handle") == std::string::npos, "%s", line.c_str());

    const auto walked = std::clamp(devices.Count.value_or(static_cast<std::int32_t>(devices.Devices.size())), 0, kMaxDevices);
    const auto perDevice = std::max<std::size_t>(9, 7 * static_cast<std::size_t>(row) + 1);
    FUZZ_CHECK(registry.CallCount <= static_cast<std::size_t>(walked) * perDevice, "%zu registry calls for %d devices",
               registry.CallCount, walked);
    FUZZ_CHECK(report.ends_with(u"\r\n\r\n"), "the report does not end with two line breaks");

    // The report as it must be, device by device.
    const Layout layout = LayoutOf(version.Value);
    ExpectedPorts ports(registry, layout);
    std::u16string expected;
    std::int16_t port = 0;  // kept when no lookup runs
    std::int32_t portLines = 0;
    for (std::int32_t index = 0; index < walked; ++index) {
        std::optional<Identity> identity;
        if (index < static_cast<std::int32_t>(devices.Devices.size()))
            identity = Readable(devices.Devices[static_cast<std::size_t>(index)]);
        if (identity) {
            expected += kSerialLabel;
            const auto shown = std::clamp(identity->SerialLength, 0, 64);
            for (std::int32_t i = 0; i < shown; ++i) expected += kCodePage.ByteChars()[identity->Serial[static_cast<std::size_t>(i)]];
            expected += u"\r\n";
        }
        if (layout != Layout::None) port = ports.Of(identity.value_or(Identity{}));
        expected += kPortLabel + PortText(port) + u"\r\n\r\n";
        ++portLines;
    }
    expected += u"\r\n\r\n";
    FUZZ_CHECK(portLines == walked, "%d port lines for %d devices", portLines, walked);
    if (report != expected) {
        const auto at = std::mismatch(report.begin(), report.end(), expected.begin(), expected.end());
        const auto offset = static_cast<std::size_t>(at.first - report.begin());
        FUZZ_CHECK(false, "the report differs at character %zu of %zu (expected %zu):\n  got      %s\n  expected %s", offset,
                   report.size(), expected.size(), Utf8(report.substr(offset > 40 ? offset - 40 : 0, 120)).c_str(),
                   Utf8(expected.substr(offset > 40 ? offset - 40 : 0, 120)).c_str());
    }
    return 0;
}
