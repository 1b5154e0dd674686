// libFuzzer targets, one driver: scan_fuzz (whole scans decoded from the input), text_fuzz (port numbers, bytes to text).
#include "app/convert_to_string.h"
#include "fakes.h"
#include "portlookup/device_names.h"
#include "portlookup/port_number.h"
#include "scan/device_scan.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

const WindowsLatin1CodePage kCodePage;

// Stops the run; libFuzzer keeps the input that got here.
void Check(bool ok, const std::string& what) {
    if (ok) return;
    std::fprintf(stderr, "check failed: %s\n", what.c_str());
    std::abort();
}

#if defined(FUZZ_scan_fuzz)
enum class Layout { XP2000, Windows98, Today };

// The device's key name or instance ID in each layout, so that inputs reach the values below it.
std::string KeyName(const FakeDevice& device, Layout layout) {
    const std::int32_t length = device.ReportedLength.value_or(static_cast<std::int32_t>(device.Serial.size()));
    std::vector<std::uint8_t> serial(device.Serial.begin(), device.Serial.end());
    serial.resize(kSerialBufferSize);  // as the scan's buffer: zeros after what the library wrote
    layout == Layout::Windows98 ? SerialFor98(serial, length) : SerialForXP2000(serial, length);
    const std::u16string text = ConvertToString(serial, length, kCodePage);
    const auto name = layout == Layout::XP2000 ? DeviceKeyPathXP2000 : layout == Layout::Windows98 ? ExpectedDeviceId98 : UsbDeviceId;
    return kCodePage.ToAnsi(name(device.Vid, device.Pid, text));
}

// Devices that fail or lie, in a registry of either layout (or both), under any version word:
// no crash, every opened device closed once, no key left open, no stale handle used.
void Fuzz(FuzzedDataProvider& in) {
    ScanRig rig;
    const std::uint32_t versions[] = {0x0A280105, 0xC0000A04, 0x05650004, in.ConsumeIntegral<std::uint32_t>()};
    rig.version.Value = versions[in.ConsumeIntegralInRange(0, 3)];
    int instances = 0;
    for (int i = in.ConsumeIntegralInRange(0, 4); i > 0; --i) {
        FakeDevice& device = rig.devices.Devices.emplace_back();
        if (in.ConsumeBool()) device.Vid = in.ConsumeIntegral<std::int32_t>();
        device.Serial = in.ConsumeRandomLengthString(80);
        if (in.ConsumeBool()) device.ReportedLength = in.ConsumeIntegral<std::int32_t>();
        for (const char* call : {"Open", "Vid", "Pid", "Serial", "Close"})
            if (in.ConsumeIntegralInRange(0, 7) == 0) device.Failures[call] = in.ConsumeIntegral<std::int16_t>();
        if (in.ConsumeIntegralInRange(0, 15) == 0) device.Throws = "Serial";
        if (in.ConsumeBool())
            rig.registry.SetValue("SYSTEM\\CurrentControlSet\\Enum\\USB\\" + KeyName(device, Layout::XP2000) + "\\Device Parameters",
                                  "PortName", in.ConsumeRandomLengthString(110));
        for (int n = in.ConsumeIntegralInRange(0, 2); n > 0; --n) {
            const std::string key = "Enum\\SLABCR\\guid\\000" + std::to_string(instances++);
            rig.registry.SetValue(key, "CRLowerDeviceID", in.ConsumeBool() ? KeyName(device, Layout::Windows98) + '\0'
                                                                           : in.ConsumeRandomLengthString(120));
            if (in.ConsumeBool()) rig.registry.SetValue(key, "PortName", in.ConsumeRandomLengthString(110));
        }
        // A present port device named after it, after its USB socket (an ID made up with & in it), under either,
        // or anything at all, with any port name and location.
        if (in.ConsumeBool()) {
            const std::string named = KeyName(device, Layout::Today);
            const auto someId = [&] {
                switch (in.ConsumeIntegralInRange(0, 2)) {
                case 0: return named;
                case 1: return kCodePage.ToAnsi(UsbDeviceId(device.Vid, device.Pid, u"5&2A0E1B13&0&")) + in.ConsumeRandomLengthString(8);
                default: return in.ConsumeRandomLengthString(80);
                }
            };
            PresentPort& port = rig.ports.Ports->emplace_back();
            port.InstanceId = someId();
            port.ParentInstanceId = someId();
            port.PortName = in.ConsumeRandomLengthString(100);
            if (in.ConsumeBool()) port.Location = in.ConsumeRandomLengthString(80);
        }
    }
    if (in.ConsumeIntegralInRange(0, 7) == 0) rig.ports.Ports.reset();
    const std::int32_t counts[] = {-1, 1025, INT32_MAX, in.ConsumeIntegral<std::int32_t>(), in.ConsumeIntegralInRange(0, 6)};
    if (in.ConsumeBool()) rig.devices.Count = counts[in.ConsumeIntegralInRange(0, 4)];
    if (in.ConsumeBool()) rig.devices.CountStatus = in.ConsumeIntegral<std::int16_t>();
    try {
        const FilledList list = FillDeviceList(rig.platform, rig.state);
        Check(list.Report.ends_with(u"\r\n\r\n"), "report ends with two line breaks");
        Check(list.Report.find(u'\0') == std::u16string::npos, "no zero to cut the report short in the box");
    } catch (const DeviceLibraryFault&) {
        Check(rig.state.DeviceOpen, "a fault leaves its device to the unload step");
        CloseDeviceLeftOpen(rig.devices, rig.state);
    }
    Check(rig.Leftovers().empty(), rig.Leftovers());
    Check(rig.ports.Listings <= 1, "present ports listed more than once a scan");
}
#else
// Raw bytes as text: one character per byte that converts back, and as 16-bit text for
// ReadPortNumber, where blanks, tabs and line feeds count nowhere.
void Fuzz(FuzzedDataProvider& in) {
    const auto count = in.ConsumeIntegral<std::int32_t>();
    const std::vector<std::uint8_t> bytes = in.ConsumeRemainingBytes<std::uint8_t>();
    const std::u16string text = ConvertToString(bytes, count, kCodePage);
    const auto kept = static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, static_cast<std::int64_t>(bytes.size())));
    Check(kCodePage.ToAnsi(text) == std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(kept)),
          "every byte converts back");
    (void)ReadPortNumber(text);
    std::u16string wide, packed;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) wide += static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    std::copy_if(wide.begin(), wide.end(), std::back_inserter(packed), [](char16_t c) { return c != u' ' && c != u'\t' && c != u'\n'; });
    Check(ReadPortNumber(wide) == ReadPortNumber(packed), "blanks change the number");
}
#endif

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Fuzz(in);
    return 0;
}
