// CSV for spreadsheet programs (RFC 4180): fields separated by commas, rows ended by
// CR LF, a field quoted (its quotes doubled) when it holds a comma, a quote, CR or LF.
// A spreadsheet program takes a field starting with "=", "+", "-" or "@" as a formula
// to work out (and TAB or CR before one as nothing), so such a field gets a leading
// "'", which shows it as the text it is. The other control bytes (below 0x20 but TAB,
// CR and LF) are replaced, so that nothing in a file read from a machine can move the
// cells about or reach the program as a command.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrava {

enum class CsvText {
    Utf8,  // control bytes become U+FFFD (the replacement character)
    Bytes,  // the bytes of the files as they stand: control bytes become "?"
};

// One field as it is written.
std::string csvField(std::string_view cell, CsvText text);

// Appends one row (the fields and CR LF) to out.
void appendCsvRow(std::string& out, const std::vector<std::string>& cells, CsvText text);

}  // namespace kestrava
