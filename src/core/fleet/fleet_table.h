// The fleet summary as a table: one row per machine under fixed headings, as an
// aligned text table or as RFC 4180 CSV. kestrava-cli prints these; the window saves
// the CSV.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/fleet/fleet_summary.h"

namespace kestrava {

// "serial", "family", "files", "records", "first", "last", "not E00", "errors".
const std::vector<std::string>& fleetHeadings();

// dd/mm/yyyy; empty for no date.
std::string fleetDayText(const std::optional<Day>& day);

// The cells of one machine under fleetHeadings: the share as "12.5%", the error codes
// that occur as "E20 3; E27 1" (the family's labels, in table order).
std::vector<std::string> fleetRow(const MachineSummary& machine);

// The headings and a row per machine. Field bytes stand as in the files.
std::string fleetText(const FleetSummary& summary);  // columns two spaces apart, LF
std::string fleetCsv(const FleetSummary& summary);   // comma-separated, quoted where needed, CR LF

}  // namespace kestrava
