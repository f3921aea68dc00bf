#include "core/protocol/handover_report.h"

#include <algorithm>
#include <unordered_map>

#include "core/fleet/weld_set.h"

namespace kestrava {

namespace {

int familySlot(MachineFamily family)
{
    return family == MachineFamily::T5Z ? 1 : 0;
}

}  // namespace

std::vector<ReportErrorCount> ReportCover::errorCounts() const
{
    std::vector<ReportErrorCount> bars;
    const bool none = !familyMet[0] && !familyMet[1];
    for (int slot = 0; slot < 2; ++slot) {
        if (!familyMet[std::size_t(slot)] && !(none && slot == 0))
            continue;
        const MachineFamily family = slot == 0 ? MachineFamily::ORV : MachineFamily::T5Z;
        for (int row = 0; row < 10; ++row)
            bars.push_back({family, row, counts[std::size_t(slot)][std::size_t(row)]});
    }
    return bars;
}

FileResult collectReportCover(const WeldSource& source, ReportCover& cover,
                              const Progress& progress)
{
    cover = ReportCover{};
    // Machines by family and serial, to their place in cover.machines.
    std::unordered_map<std::string, std::size_t> known;
    WeldSet others;
    std::string key;
    WeldProtocol weld;
    return source.forEachWeld(
        [&](const WeldRecord& record) {
            readWeldProtocol(record, weld);
            ++cover.welds;
            const std::size_t measured = std::min(weld.fields.size(), kFieldsMeasured);
            if (cover.widestField.size() < measured)
                cover.widestField.resize(measured);
            for (std::size_t k = 0; k < measured; ++k)
                cover.widestField[k] = std::max(cover.widestField[k], weld.fields[k].value.size());
            const auto slot = std::size_t(familySlot(weld.family));
            cover.familyMet[slot] = true;
            if (weld.errorRow)
                ++cover.counts[slot][std::size_t(*weld.errorRow)];
            if (!weld.weldOk()) {
                ++cover.weldsNotOk;
                if (!weld.errorRow)
                    ++cover.unknownErrors;
            }
            if (weld.day) {
                if (!cover.firstDay || *weld.day < *cover.firstDay)
                    cover.firstDay = weld.day;
                if (!cover.lastDay || *weld.day > *cover.lastDay)
                    cover.lastDay = weld.day;
            } else {
                ++cover.undated;
            }
            key.assign(familyName(weld.family));
            key += '\t';
            key.append(weld.serial);
            if (const auto found = known.find(key); found != known.end()) {
                if (found->second < cover.machines.size())
                    ++cover.machines[found->second].welds;
            } else if (known.size() < kMachinesKept) {
                known.emplace(key, cover.machines.size());
                cover.machines.push_back({std::string(weld.serial), weld.family, 1});
            } else if (others.insert(hashText(key))) {
                ++cover.machinesNotKept;  // counted (16 bytes each), not named
            }
            return true;
        },
        progress);
}

}  // namespace kestrava
