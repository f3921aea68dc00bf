// Machine families and their error-code tables.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrava {

enum class MachineFamily { Unknown, ORV, T5Z };

// "unknown", "ORV", "5TZ"
std::string_view familyName(MachineFamily family);

struct ErrorCodeRow {
    std::string label;  // "E00", "E20", ...
    std::int64_t count = 0;  // records of the last listing run whose error field matched
};

// Ten rows; the chart's data. Rows follow the family's error-code table.
using ErrorCodeTable = std::array<ErrorCodeRow, 10>;

// The state at the start of every listing run: ORV labels, all counts 0.
ErrorCodeTable freshErrorCodeTable();

// Column 1 of the table for a family (Unknown gives the ORV labels).
void setErrorCodeLabels(ErrorCodeTable& table, MachineFamily family);

// Row of an error field's exact text ("5" is row 1 for 5TZ, "05" and " 5 " are no row).
// Unknown matches no row: nothing is counted before the family is decided.
std::optional<int> errorCodeRow(MachineFamily family, std::string_view errorFieldText);

// The code of an error row of a family ("E20"); empty for no row. Unknown gives the
// ORV codes, as the table does.
std::string_view errorCodeLabel(MachineFamily family, std::optional<int> row);

// The English description of an error row as the chart gives it ("E20 Low output
// voltage"); the window shows its translation. Empty for no row.
std::string_view errorDescription(MachineFamily family, int row);

// 1-based field numbers of a family (ORV: date 3, serial 2, error 5; others: 4, 3, 19).
int dateFieldOf(MachineFamily family);
int serialFieldOf(MachineFamily family);
int errorFieldOf(MachineFamily family);

}  // namespace kestrava
