// The weld protocol of one weld: every field of its record under its column name, the
// machine (serial number and family), the date and time, the error number with its
// code, and the download it came from. The views point into the weld's header and
// record line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/listing/machine_family.h"
#include "core/protocol/weld_source.h"
#include "core/settings/regional.h"

namespace kestrava {

struct ProtocolField {
    std::string_view name;  // the column name; empty for a field beyond the header's
    std::string_view value;
};

struct WeldProtocol {
    std::vector<ProtocolField> fields;
    std::string_view serial;  // the family's serial-number field
    MachineFamily family = MachineFamily::Unknown;
    std::string_view date;  // the family's date field as it stands
    std::string_view time;  // the field after the date field
    std::optional<Day> day;  // the date as the listing's date filter reads it
    std::string_view errorText;  // the family's error-number field as it stands
    bool hasErrorField = false;
    std::optional<int> errorRow;  // its row of the family's error-code table
    std::string_view download;
    std::uint64_t number = 0;  // place in the selection

    // A weld without error: its error field is the family's "0" (code E00).
    bool weldOk() const { return errorRow == 0; }
};

// Fills protocol from weld (its vector's storage is reused between welds).
void readWeldProtocol(const WeldRecord& weld, WeldProtocol& protocol);

}  // namespace kestrava
