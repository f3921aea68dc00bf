#include "core/listing/machine_family.h"

namespace kestrava {

namespace {

struct FamilyTable {
    std::array<std::string_view, 10> numbers;
    std::array<std::string_view, 10> labels;
};

constexpr FamilyTable kOrv{
    {"0", "20", "21", "22", "23", "24", "25", "26", "27", "127"},
    {"E00", "E20", "E21", "E22", "E23", "E24", "E25", "E26", "E27", "E127"}};

constexpr FamilyTable k5tz{
    {"0", "5", "6", "7", "8", "9", "11", "16", "17", "127"},
    {"E00", "E05", "E06", "E07", "E08", "E09", "E11", "E16", "E17", "E127"}};

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
