// What a plug-in notice says: the adapters that came and went between two scans, one line each.
#include "scan/notice_text.h"

#include "app/ascii_text.h"
#include "scan/report_text.h"

#include <map>
#include <tuple>
#include <vector>

namespace {

constexpr std::u16string_view kLineBreak = u"\n";

// An adapter as the library read it. Adapters that share one are told apart only by how many there are.
using Identity = std::tuple<std::int32_t, std::int32_t, std::u16string>;
Identity IdentityOf(const ScannedDevice& device) { return {device.Read->Vid, device.Read->Pid, device.Read->Serial}; }

// The serial as the report shows it.
std::u16string Shown(const ScannedDevice& device) { return AsShown(device.Read->Serial); }

std::u16string Arrival(const ScannedDevice& device) {
    if (!KnownPort(device)) return u"Conectado: " + Shown(device) + u", sin puerto COM";
    return u"Conectado: " + Shown(device) + u" en COM" + AsciiText(std::to_string(device.PortNumber));
}

// Devices of one identity are paired in scan order: the n-th now with the n-th before. One left over now arrived,
// as did one whose port became known (its driver finished installing); one left over before went.
std::vector<std::u16string> ChangeLines(std::span<const ScannedDevice> before, std::span<const ScannedDevice> now) {
    std::map<Identity, std::vector<const ScannedDevice*>> earlier;
    for (const ScannedDevice& device : before)
        if (device.Read) earlier[IdentityOf(device)].push_back(&device);
    std::map<Identity, std::size_t> nowCount;
    std::vector<std::u16string> lines;
    for (const ScannedDevice& device : now) {
        if (!device.Read) continue;
        const Identity identity = IdentityOf(device);
        const auto& same = earlier[identity];
        const std::size_t n = nowCount[identity]++;
        if (n >= same.size() || (KnownPort(device) && !KnownPort(*same[n]))) lines.push_back(Arrival(device));
    }
    std::map<Identity, std::size_t> beforeCount;
    for (const ScannedDevice& device : before) {
        if (!device.Read) continue;
        const Identity identity = IdentityOf(device);
        if (beforeCount[identity]++ >= nowCount[identity]) lines.push_back(u"Desconectado: " + Shown(device));
    }
    return lines;
}

// The first `whole` lines, then how many more there are.
std::u16string Joined(const std::vector<std::u16string>& lines, std::size_t whole) {
    std::u16string text;
    for (std::size_t i = 0; i < whole; ++i) text.append(i > 0 ? kLineBreak : u"").append(lines[i]);
    if (whole < lines.size())
        text.append(whole > 0 ? kLineBreak : u"")
            .append(u"(y " + AsciiText(std::to_string(lines.size() - whole)) + u" más)");
    return text;
}

}  // namespace

std::u16string NoticeText(std::span<const ScannedDevice> before, std::span<const ScannedDevice> now) {
    const std::vector<std::u16string> lines = ChangeLines(before, now);
    for (std::size_t whole = lines.size(); whole > 0; --whole) {
        std::u16string text = Joined(lines, whole);
        if (text.size() <= kNoticeTextLimit) return text;
    }
    return Joined(lines, 0);
}
