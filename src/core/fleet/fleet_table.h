// The fleet summary as a table: one row per machine, one column per error code that
// occurs, as an aligned text table or as CSV. kestrava-cli prints these; the window
// shows the same cells under headings in its language and saves the CSV.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/fleet/fleet_summary.h"

namespace kestrava {

// The most characters of a serial number a table shows (the CSV keeps it whole).
constexpr std::size_t kSerialShown = 64;

// The error codes that occur in the summary, by number: "E00", "E05", "E20", ... (both
// families' codes in one row of headings).
std::vector<std::string> fleetErrorColumns(const FleetSummary& summary);

// "serial", "family", "files", "records", "first", "last", "not E00", then errorColumns.
std::vector<std::string> fleetHeadings(const std::vector<std::string>& errorColumns);

// dd/mm/yyyy; empty for no date.
std::string fleetDayText(const std::optional<Day>& day);

// The cells of one machine under fleetHeadings(errorColumns): the whole serial, the
// share as "12.5%", each error column's count, empty where the code did not occur.
std::vector<std::string> fleetRow(const MachineSummary& machine,
                                  const std::vector<std::string>& errorColumns);

// The error codes that occur in one machine's records as "E20 3; E27 1".
std::string fleetErrorsText(const MachineSummary& machine);

// The serial as a table shows it: whole up to kSerialShown bytes, else its first bytes
// (no UTF-8 character cut) and "…".
std::string shownSerial(std::string_view serial);

// The headings and a row per machine, field bytes as in the files.
std::string
fleetText(const FleetSummary& summary);  // columns two spaces apart, LF; serials shortened
std::string
fleetCsv(const FleetSummary& summary);  // CSV of the bytes (csv_text.h), English headings

}  // namespace kestrava
