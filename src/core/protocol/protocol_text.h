// The weld protocols and the handover report as text rows, one row a line, its cells
// split by tabs: what kestrava-cli protocol writes, and what the printed report says
// in the same order. Field bytes are written as they stand in the file; descriptions
// are in English.
//
//   protocol <TAB> N                  one block per weld, N its place in the selection
//   download <TAB> NAME
//   machine <TAB> SERIAL <TAB> FAMILY
//   date <TAB> DATE <TAB> TIME
//   error <TAB> NUMBER <TAB> DESCRIPTION
//   field <TAB> COLUMN NAME <TAB> VALUE   (every field of the record, in order)
//
// The report: the cover, the table, then the blocks of the welds not E00:
//
//   machine <TAB> SERIAL <TAB> FAMILY <TAB> WELDS   (each machine named)
//   period <TAB> FIRST <TAB> LAST
//   welds <TAB> N
//   welds not E00 <TAB> N
//   code <TAB> DESCRIPTION <TAB> COUNT              (each bar of the chart)
//   columns <TAB> the column names
//   weld <TAB> the fields                           (one row per weld)
#pragma once

#include <string>
#include <string_view>

#include "core/protocol/handover_report.h"
#include "core/protocol/weld_protocol.h"

namespace kestrava {

// The description of a weld's error: the code's description, or for a number the
// family's table does not name "unknown code", for a record without the field
// "no error field".
std::string errorDescriptionText(const WeldProtocol& weld);

void appendProtocolText(std::string& out, const WeldProtocol& weld);
void appendCoverText(std::string& out, const ReportCover& cover);
void appendColumnsText(std::string& out, std::string_view header);
void appendTableRowText(std::string& out, const WeldProtocol& weld);

// "ORV E20 Low output voltage" when both families are on the cover, else the
// description alone.
std::string reportCodeText(const ReportCover& cover, const ReportErrorCount& bar);

}  // namespace kestrava
