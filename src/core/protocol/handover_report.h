// The handover report of a selection of welds: a cover (the machines, the period, the
// number of welds and of welds not E00, the count of each error code for the chart),
// then the welds as a table under their column names, then the protocols of the welds
// not E00. The cover is gathered in one pass over the welds; the table and the
// protocols are further passes (WeldSource::forEachWeld), so that nothing grows with
// the number of welds but the list of machines, which is cut at kMachinesKept.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/files/file_result.h"
#include "core/protocol/weld_protocol.h"
#include "core/protocol/weld_source.h"

namespace kestrava {

// The most machines a cover names; the rest are counted.
constexpr std::size_t kMachinesKept = 200;
constexpr std::size_t kFieldsMeasured = 200;

struct ReportMachine {
    std::string serial;
    MachineFamily family = MachineFamily::Unknown;
    std::uint64_t welds = 0;
};

// One bar of the cover's chart: an error code of a family and its count.
struct ReportErrorCount {
    MachineFamily family = MachineFamily::Unknown;
    int row = 0;
    std::uint64_t count = 0;
};

struct ReportCover {
    std::vector<ReportMachine> machines;  // in the order first met
    std::uint64_t machinesNotKept = 0;  // machines met beyond kMachinesKept
    std::optional<Day> firstDay;  // the period of the welds' dates
    std::optional<Day> lastDay;
    std::uint64_t undated = 0;  // welds without a readable date
    std::uint64_t welds = 0;
    std::uint64_t weldsNotOk = 0;  // welds whose error code is not E00
    std::uint64_t unknownErrors = 0;  // of those, welds whose error field names no code
    // The welds per error code of each family met (ORV, 5TZ): [family][row].
    std::array<std::array<std::uint64_t, 10>, 2> counts{};
    std::array<bool, 2> familyMet{};
    // The longest value of each field (bytes), for the first kFieldsMeasured fields: the
    // table's columns are sized by them.
    std::vector<std::size_t> widestField;

    // The chart's bars: the ten codes of the one family met (ORV's when none was), or
    // those of both families, ORV's first.
    std::vector<ReportErrorCount> errorCounts() const;
    bool mixedFamilies() const { return familyMet[0] && familyMet[1]; }
};

// Gathers the cover of the welds of source.
FileResult collectReportCover(const WeldSource& source, ReportCover& cover,
                              const Progress& progress = {});

}  // namespace kestrava
