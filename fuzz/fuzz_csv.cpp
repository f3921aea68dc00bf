// The CSV writer on arbitrary cells: whatever the cells, the text reads back as RFC 4180
// with as many fields on every row as were written, no field starts as a formula, no
// control byte but TAB, CR and LF is left, and each field is its cell (a leading "'"
// before a formula start, control bytes replaced).
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "core/text/csv_text.h"
#include "csv_reading.h"
#include "fuzz_check.h"

namespace {

using namespace kestrava;

// The cell as the field must read back.
std::string expected(const std::string& cell, CsvText text)
{
    std::string field = startsFormula(cell) ? "'" : "";
    for (const char c : cell) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && c != '\t' && c != '\r' && c != '\n')
            field += text == CsvText::Utf8 ? "\xEF\xBF\xBD" : "?";
        else
            field += c;
    }
    return field;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::size_t columns = input.ConsumeIntegralInRange<std::size_t>(1, 8);
    const CsvText text = input.ConsumeBool() ? CsvText::Utf8 : CsvText::Bytes;
    std::vector<std::vector<std::string>> written;
    while (input.remaining_bytes() > 0 && written.size() < 64) {
        std::vector<std::string> row;
        for (std::size_t c = 0; c < columns; ++c)
            row.push_back(input.ConsumeRandomLengthString(64));
        written.push_back(std::move(row));
    }
    std::string csv;
    for (const auto& row : written)
        appendCsvRow(csv, row, text);

    std::vector<std::vector<std::string>> read;
    FUZZ_CHECK(readCsv(csv, read));
    FUZZ_CHECK(read.size() == written.size());
    for (std::size_t r = 0; r < read.size(); ++r) {
        FUZZ_CHECK(read[r].size() == columns);
        for (std::size_t c = 0; c < columns; ++c) {
            FUZZ_CHECK(!startsFormula(read[r][c]));
            FUZZ_CHECK(read[r][c] == expected(written[r][c], text));
        }
    }
    return 0;
}
