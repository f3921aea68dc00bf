#include "core/listing/machine_family.h"

namespace kestrava {

namespace {

// The window shows the descriptions translated; its translation tool collects the
// texts marked so from this file (the mark leaves the text as it is).
#define KESTRAVA_TRANSLATE_NOOP(context, text) text

struct FamilyTable {
    std::array<std::string_view, 10> numbers;
    std::array<std::string_view, 10> labels;
    std::array<std::string_view, 10> descriptions;
};

constexpr FamilyTable kOrv{
    {"0", "20", "21", "22", "23", "24", "25", "26", "27", "127"},
    {"E00", "E20", "E21", "E22", "E23", "E24", "E25", "E26", "E27", "E127"},
    {
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E00 Weld OK"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E20 Low output voltage"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E21 High output voltage"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E22 Excess output voltage"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E23 Low output current"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E24 Shorted turn in fitting"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E25 Stop button pressed"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E26 Relay unlatched"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E27 Fitting open circuit"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E127 Power failure"),
    }};

constexpr FamilyTable k5tz{
    {"0", "5", "6", "7", "8", "9", "11", "16", "17", "127"},
    {"E00", "E05", "E06", "E07", "E08", "E09", "E11", "E16", "E17", "E127"},
    {
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E00 Weld OK"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E05 Low output voltage"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E06 High output voltage"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E07 Excess output voltage"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E08 Connection fault"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E09 Low output current"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E11 Stop button pressed"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E16 Internal relay fault"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E17 Output current surge"),
        KESTRAVA_TRANSLATE_NOOP("FormChart", "E127 Loss of supply"),
    }};

const FamilyTable& tableOf(MachineFamily family)
{
    return family == MachineFamily::T5Z ? k5tz : kOrv;
}

}  // namespace

std::string_view familyName(MachineFamily family)
{
    switch (family) {
    case MachineFamily::ORV: return "ORV";
    case MachineFamily::T5Z: return "5TZ";
    case MachineFamily::Unknown: break;
    }
    return "unknown";
}

ErrorCodeTable freshErrorCodeTable()
{
    ErrorCodeTable table;
    setErrorCodeLabels(table, MachineFamily::Unknown);
    return table;
}

void setErrorCodeLabels(ErrorCodeTable& table, MachineFamily family)
{
    const auto& source = tableOf(family);
    for (std::size_t row = 0; row < table.size(); ++row)
        table[row].label = std::string(source.labels[row]);
}

std::optional<int> errorCodeRow(MachineFamily family, std::string_view errorFieldText)
{
    if (family == MachineFamily::Unknown)
        return std::nullopt;
    const auto& source = tableOf(family);
    for (std::size_t row = 0; row < source.numbers.size(); ++row)
        if (source.numbers[row] == errorFieldText)
            return int(row);
    return std::nullopt;
}

std::string_view errorCodeLabel(MachineFamily family, std::optional<int> row)
{
    if (!row || *row < 0 || *row > 9)
        return {};
    return tableOf(family).labels[std::size_t(*row)];
}

std::string_view errorDescription(MachineFamily family, int row)
{
    if (row < 0 || row > 9)
        return {};
    return tableOf(family).descriptions[std::size_t(row)];
}

int dateFieldOf(MachineFamily family)
{
    return family == MachineFamily::ORV ? 3 : 4;
}

int serialFieldOf(MachineFamily family)
{
    return family == MachineFamily::ORV ? 2 : 3;
}

int errorFieldOf(MachineFamily family)
{
    return family == MachineFamily::ORV ? 5 : 19;
}

}  // namespace kestrava
