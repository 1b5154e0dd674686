// What /vigilar tells of each scan: the adapters that came and went since the lines before.
#include "cli/watch.h"

#include "scan/report_text.h"

#include <algorithm>

namespace {

bool SameAdapter(const ScannedDevice& a, const ScannedDevice& b) {
    return a.Read->Vid == b.Read->Vid && a.Read->Pid == b.Read->Pid &&
           AsShown(a.Read->Serial) == AsShown(b.Read->Serial) && KnownPort(a) == KnownPort(b);
}

}  // namespace

std::vector<AdapterChange> AttachedAdapters::Next(std::span<const ScannedDevice> scan) {
    std::vector<bool> matched(scan.size(), false);
    std::vector<ScannedDevice> missing;
    for (const ScannedDevice& told : told_) {
        std::size_t at = 0;
        while (at < scan.size() && (matched[at] || !scan[at].Read || !SameAdapter(told, scan[at]))) ++at;
        if (at < scan.size()) matched[at] = true;
        else missing.push_back(told);
    }
    // Which of the missing ones an unreadable adapter is cannot be told: the first ones told are kept.
    const auto unreadable = std::ranges::count_if(scan, [](const ScannedDevice& device) { return !device.Read; });
    const auto held = std::min<std::size_t>(std::size_t(unreadable), missing.size());

    std::vector<AdapterChange> changes;
    for (std::size_t gone = held; gone < missing.size(); ++gone) changes.push_back({ChangeKind::Desconectado, missing[gone]});
    told_.clear();
    for (std::size_t at = 0; at < scan.size(); ++at) {
        if (!scan[at].Read) continue;
        if (!matched[at]) changes.push_back({ChangeKind::Conectado, scan[at]});
        told_.push_back(scan[at]);
    }
    told_.insert(told_.end(), missing.begin(), missing.begin() + std::ptrdiff_t(held));
    return changes;
}
