// What changed between two scans, as both programs tell it: the window's balloon and ListaVIRK /vigilar.
#include "scan/adapter_changes.h"

#include "scan/report_text.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::size_t kUnpaired = std::size_t(-1);

// Each device's serial as shown, or none where it was not read.
std::vector<std::u16string> ShownSerials(std::span<const ScannedDevice> devices) {
    std::vector<std::u16string> shown;
    for (const ScannedDevice& device : devices) shown.push_back(device.Read ? AsShown(device.Read->Serial) : u"");
    return shown;
}

}  // namespace

std::vector<AdapterChange> AttachedAdapters::Next(std::span<const ScannedDevice> scan) {
    const std::vector<std::u16string> toldSerials = ShownSerials(told_), scanSerials = ShownSerials(scan);
    const auto same = [&](std::size_t told, std::size_t now) {
        const ScannedDevice::Identity &before = *told_[told].Read, &after = *scan[now].Read;
        return before.Vid == after.Vid && before.Pid == after.Pid && toldSerials[told] == scanSerials[now];
    };
    // Same port first, so that two adapters of one serial that swapped nothing are never taken for a port change.
    std::vector<std::size_t> pairOf(told_.size(), kUnpaired), toldOf(scan.size(), kUnpaired);
    for (const bool anyPort : {false, true}) {
        for (std::size_t told = 0; told < told_.size(); ++told) {
            for (std::size_t now = 0; now < scan.size() && pairOf[told] == kUnpaired; ++now) {
                if (toldOf[now] != kUnpaired || !scan[now].Read || !same(told, now)) continue;
                if (!anyPort && KnownPort(told_[told]) != KnownPort(scan[now])) continue;
                pairOf[told] = now;
                toldOf[now] = told;
            }
        }
    }
    const auto moved = [&](std::size_t told) { return KnownPort(told_[told]) != KnownPort(scan[pairOf[told]]); };

    // Which of the missing ones an unreadable adapter is cannot be told: the first ones told are kept.
    auto unreadable = std::ranges::count_if(scan, [](const ScannedDevice& device) { return !device.Read; });
    std::vector<AdapterChange> changes;
    std::vector<ScannedDevice> held;
    for (std::size_t told = 0; told < told_.size(); ++told) {
        if (pairOf[told] != kUnpaired) {
            if (moved(told)) changes.push_back({ChangeKind::Desconectado, told_[told], true});
        } else if (unreadable > 0) {
            --unreadable;
            held.push_back(told_[told]);
        } else {
            changes.push_back({ChangeKind::Desconectado, told_[told]});
        }
    }
    std::vector<ScannedDevice> told;
    for (std::size_t now = 0; now < scan.size(); ++now) {
        if (!scan[now].Read) continue;
        if (toldOf[now] == kUnpaired) changes.push_back({ChangeKind::Conectado, scan[now]});
        else if (moved(toldOf[now])) changes.push_back({ChangeKind::Conectado, scan[now], true});
        told.push_back(scan[now]);
    }
    told.insert(told.end(), held.begin(), held.end());
    told_ = std::move(told);
    return changes;
}
