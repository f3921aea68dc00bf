#include "core/protocol/weld_protocol.h"

#include <array>

#include "core/listing/field_scan.h"
#include "core/listing/record_filter.h"

namespace kestrava {

namespace {

constexpr std::array<std::string_view, 10> kOrvDescriptions = {
    "E00 Weld OK",
    "E20 Low output voltage",
    "E21 High output voltage",
    "E22 Excess output voltage",
    "E23 Low output current",
    "E24 Shorted turn in fitting",
    "E25 Stop button pressed",
    "E26 Relay unlatched",
    "E27 Fitting open circuit",
    "E127 Power failure",
};

constexpr std::array<std::string_view, 10> k5tzDescriptions = {
    "E00 Weld OK",
    "E05 Low output voltage",
    "E06 High output voltage",
    "E07 Excess output voltage",
    "E08 Connection fault",
    "E09 Low output current",
    "E11 Stop button pressed",
    "E16 Internal relay fault",
    "E17 Output current surge",
    "E127 Loss of supply",
};

}  // namespace

void readWeldProtocol(const WeldRecord& weld, WeldProtocol& protocol)
{
    protocol.fields.clear();
    const std::string_view header = weld.header;
    std::size_t nameFrom = 0;
    bool namesLeft = true;
    forEachField(weld.record.data(), weld.record.data() + weld.record.size(),
                 [&](const char* from, const char* to) {
                     std::string_view name;
                     if (namesLeft) {
                         const std::size_t tab = header.find('\t', nameFrom);
                         name = header.substr(nameFrom, tab == std::string_view::npos
                                                            ? std::string_view::npos
                                                            : tab - nameFrom);
                         namesLeft = tab != std::string_view::npos;
                         nameFrom = tab + 1;
                     }
                     protocol.fields.push_back({name, std::string_view(from, std::size_t(to - from))});
                     return true;
                 });
    const auto field = [&](int k) {
        return k >= 1 && std::size_t(k) <= protocol.fields.size() ? protocol.fields[std::size_t(k) - 1].value
                                                                   : std::string_view();
    };
    const MachineFamily family = weld.family;
    protocol.family = family;
    protocol.serial = field(serialFieldOf(family));
    protocol.date = field(dateFieldOf(family));
    protocol.time = field(dateFieldOf(family) + 1);
    protocol.day = recordDay(weld.record, family);
    protocol.hasErrorField = std::size_t(errorFieldOf(family)) <= protocol.fields.size();
    protocol.errorText = field(errorFieldOf(family));
    protocol.errorRow = protocol.hasErrorField ? errorCodeRow(family, protocol.errorText) : std::nullopt;
    protocol.download = weld.download;
    protocol.number = weld.number;
}

std::string_view errorCodeLabel(MachineFamily family, std::optional<int> row)
{
    if (!row || *row < 0 || *row > 9)
        return {};
    const std::string_view description = errorDescription(family, *row);
    return description.substr(0, description.find(' '));
}

std::string_view errorDescription(MachineFamily family, int row)
{
    if (row < 0 || row > 9)
        return {};
    return (family == MachineFamily::ORV ? kOrvDescriptions : k5tzDescriptions)[std::size_t(row)];
}

}  // namespace kestrava
