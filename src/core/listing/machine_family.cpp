#include "core/listing/machine_family.h"

namespace kestrava {

namespace {

// The window shows the descriptions translated; its translation tool collects the
// texts marked so from this file (the mark leaves the text as it is).
#define KESTRAVA_TRANSLATE_NOOP(context, text) text

// One error code of a family: the error field's exact text, the code, its description.
struct ErrorCode {
    std::string_view number;
    std::string_view label;
    std::string_view description;
};

// The ten rows of the error-code table, the ORV code and the 5TZ code of each row.
struct ErrorCodeRowOfFamilies {
    ErrorCode orv;
    ErrorCode t5z;
};

// clang-format off
constexpr std::array<ErrorCodeRowOfFamilies, 10> kErrorCodes = {{
    {{"0", "E00", KESTRAVA_TRANSLATE_NOOP("FormChart", "E00 Weld OK")}, {"0", "E00", KESTRAVA_TRANSLATE_NOOP("FormChart", "E00 Weld OK")}},
    {{"20", "E20", KESTRAVA_TRANSLATE_NOOP("FormChart", "E20 Low output voltage")}, {"5", "E05", KESTRAVA_TRANSLATE_NOOP("FormChart", "E05 Low output voltage")}},
    {{"21", "E21", KESTRAVA_TRANSLATE_NOOP("FormChart", "E21 High output voltage")}, {"6", "E06", KESTRAVA_TRANSLATE_NOOP("FormChart", "E06 High output voltage")}},
    {{"22", "E22", KESTRAVA_TRANSLATE_NOOP("FormChart", "E22 Excess output voltage")}, {"7", "E07", KESTRAVA_TRANSLATE_NOOP("FormChart", "E07 Excess output voltage")}},
    {{"23", "E23", KESTRAVA_TRANSLATE_NOOP("FormChart", "E23 Low output current")}, {"8", "E08", KESTRAVA_TRANSLATE_NOOP("FormChart", "E08 Connection fault")}},
    {{"24", "E24", KESTRAVA_TRANSLATE_NOOP("FormChart", "E24 Shorted turn in fitting")}, {"9", "E09", KESTRAVA_TRANSLATE_NOOP("FormChart", "E09 Low output current")}},
    {{"25", "E25", KESTRAVA_TRANSLATE_NOOP("FormChart", "E25 Stop button pressed")}, {"11", "E11", KESTRAVA_TRANSLATE_NOOP("FormChart", "E11 Stop button pressed")}},
    {{"26", "E26", KESTRAVA_TRANSLATE_NOOP("FormChart", "E26 Relay unlatched")}, {"16", "E16", KESTRAVA_TRANSLATE_NOOP("FormChart", "E16 Internal relay fault")}},
    {{"27", "E27", KESTRAVA_TRANSLATE_NOOP("FormChart", "E27 Fitting open circuit")}, {"17", "E17", KESTRAVA_TRANSLATE_NOOP("FormChart", "E17 Output current surge")}},
    {{"127", "E127", KESTRAVA_TRANSLATE_NOOP("FormChart", "E127 Power failure")}, {"127", "E127", KESTRAVA_TRANSLATE_NOOP("FormChart", "E127 Loss of supply")}},
}};
// clang-format on

// Unknown reads as ORV, as the table's reset labels do.
const ErrorCode& codeOf(MachineFamily family, std::size_t row)
{
    return family == MachineFamily::T5Z ? kErrorCodes[row].t5z : kErrorCodes[row].orv;
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
    for (std::size_t row = 0; row < table.size(); ++row)
        table[row].label = std::string(codeOf(family, row).label);
}

std::optional<int> errorCodeRow(MachineFamily family, std::string_view errorFieldText)
{
    if (family == MachineFamily::Unknown)
        return std::nullopt;
    for (std::size_t row = 0; row < kErrorCodes.size(); ++row)
        if (codeOf(family, row).number == errorFieldText)
            return int(row);
    return std::nullopt;
}

std::string_view errorCodeLabel(MachineFamily family, std::optional<int> row)
{
    if (!row || *row < 0 || *row > 9)
        return {};
    return codeOf(family, std::size_t(*row)).label;
}

std::string_view errorDescription(MachineFamily family, int row)
{
    if (row < 0 || row > 9)
        return {};
    return codeOf(family, std::size_t(row)).description;
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
