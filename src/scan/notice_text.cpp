// What a plug-in notice says: the adapters that came and went, one line each.
#include "scan/notice_text.h"

#include "app/ascii_text.h"
#include "scan/port_remark.h"
#include "scan/report_text.h"

#include <vector>

namespace {

constexpr std::u16string_view kLineBreak = u"\n";

// The serial as the report shows it.
std::u16string Shown(const ScannedDevice& device) { return AsShown(device.Read->Serial); }

// Why it has no port, or the problem of the one it has, follows where there is something to say.
std::u16string Arrival(const ScannedDevice& device) {
    const auto port = KnownPort(device);
    const auto remark = PortRemark(device);
    return u"Conectado: " + Shown(device) + (port ? u" en COM" + AsciiText(std::to_string(*port)) : u", sin puerto COM") +
           (remark ? u"; " + *remark : u"");
}

// A port that became known, or another, is news to the user; a port lost while the adapter stays is not, nor is
// the old port of one that moved.
std::vector<std::u16string> ChangeLines(std::span<const AdapterChange> changes) {
    std::vector<std::u16string> lines;
    for (const AdapterChange& change : changes)
        if (change.What == ChangeKind::Conectado && (!change.PortChange || KnownPort(change.Device)))
            lines.push_back(Arrival(change.Device));
    for (const AdapterChange& change : changes)
        if (change.What == ChangeKind::Desconectado && !change.PortChange)
            lines.push_back(u"Desconectado: " + Shown(change.Device));
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

std::u16string NoticeText(std::span<const AdapterChange> changes, TextLength length) {
    const std::vector<std::u16string> lines = ChangeLines(changes);
    for (std::size_t whole = lines.size(); whole > 0; --whole) {
        std::u16string text = Joined(lines, whole);
        if (length(text) <= kNoticeTextLimit) return text;
    }
    return Joined(lines, 0);
}
