// What a plug-in notice says: the adapters that came and went between two scans, one line each.
#include "scan/notice_text.h"

#include "app/ascii_text.h"
#include "scan/port_remark.h"
#include "scan/report_text.h"

#include <vector>

namespace {

constexpr std::u16string_view kLineBreak = u"\n";

// An adapter as the library read it. Adapters that share one are told apart only by how many there are.
bool SameAdapter(const ScannedDevice& one, const ScannedDevice& other) {
    return other.Read && one.Read->Vid == other.Read->Vid && one.Read->Pid == other.Read->Pid &&
           one.Read->Serial == other.Read->Serial;
}

// The n-th device of the scan that is the same adapter as `device`, counting from 0; null when there are fewer.
// A scan holds few devices: walking it for each one is cheap, and keeps the program small.
const ScannedDevice* NthLike(std::span<const ScannedDevice> scan, const ScannedDevice& device, std::size_t n) {
    for (const ScannedDevice& other : scan)
        if (SameAdapter(device, other) && n-- == 0) return &other;
    return nullptr;
}

// How many devices before `at` in its scan are the same adapter.
std::size_t RankOf(std::span<const ScannedDevice> scan, std::size_t at) {
    std::size_t rank = 0;
    for (std::size_t i = 0; i < at; ++i) rank += SameAdapter(scan[at], scan[i]);
    return rank;
}

// The serial as the report shows it.
std::u16string Shown(const ScannedDevice& device) { return AsShown(device.Read->Serial); }

// Why it has no port, or the problem of the one it has, follows where there is something to say.
std::u16string Arrival(const ScannedDevice& device) {
    const auto port = KnownPort(device);
    const auto remark = PortRemark(device);
    return u"Conectado: " + Shown(device) + (port ? u" en COM" + AsciiText(std::to_string(*port)) : u", sin puerto COM") +
           (remark ? u"; " + *remark : u"");
}

// Devices of one adapter are paired in scan order: the n-th now with the n-th before. One left over now arrived,
// as did one whose port became known (its driver finished installing); one left over before went.
std::vector<std::u16string> ChangeLines(std::span<const ScannedDevice> before, std::span<const ScannedDevice> now) {
    std::vector<std::u16string> lines;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (!now[i].Read) continue;
        const ScannedDevice* earlier = NthLike(before, now[i], RankOf(now, i));
        if (earlier == nullptr || (KnownPort(now[i]) && !KnownPort(*earlier))) lines.push_back(Arrival(now[i]));
    }
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i].Read && NthLike(now, before[i], RankOf(before, i)) == nullptr)
            lines.push_back(u"Desconectado: " + Shown(before[i]));
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
