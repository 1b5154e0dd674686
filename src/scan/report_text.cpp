// The report of a scan as the window shows it, and a serial number as both programs show it.
#include "scan/report_text.h"

#include "app/ascii_text.h"

#include <algorithm>

namespace {

constexpr std::u16string_view LineBreak = u"\r\n";
constexpr std::u16string_view kSerialLabel = u"Número de Serie =";
constexpr std::u16string_view kPortLabel = u"Número de Puerto COM: ";

// A space before a number of 0 or more, a minus sign before a negative one.
std::u16string FormatPortNumber(std::int16_t PortNumber) {
    std::u16string text = PortNumber >= 0 ? u" " : u"";
    return text.append(AsciiText(std::to_string(PortNumber)));
}

}  // namespace

std::u16string ReportText(std::span<const ScannedDevice> devices) {
    std::u16string ReportText;
    for (const ScannedDevice& device : devices) {
        if (device.Read) ReportText.append(kSerialLabel).append(device.Read->Serial).append(LineBreak);
        ReportText.append(kPortLabel).append(FormatPortNumber(device.PortNumber)).append(LineBreak).append(LineBreak);
    }
    return ReportText.append(LineBreak).append(LineBreak);
}

std::u16string AsShown(std::u16string text) {
    std::replace(text.begin(), text.end(), u'\0', u'\uFFFD');
    return text;
}
