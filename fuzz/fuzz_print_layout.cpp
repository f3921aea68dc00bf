// The printout's selection and layout on arbitrary bytes with a filter drawn from the
// input. Checks that the record filter, applied line by line as the print copy applies
// it, keeps exactly the records the listing run keeps, that a copy line is one
// 23-character-or-longer cell per field, and that its text rows put the copy line back
// together in pieces of at most 125 characters.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/listing/listing.h"
#include "core/listing/print_layout.h"
#include "core/listing/record_filter.h"
#include "fuzz_check.h"

namespace {

using namespace kestrava;

// Lines as the engine reads them: each CR (or CR LF) ends one; a lone LF does not.
std::vector<std::string_view> linesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

Day dayFrom(FuzzedDataProvider& input)
{
    using namespace std::chrono;
    return Day(year(input.ConsumeIntegralInRange(1995, 2035)) /
               month(input.ConsumeIntegralInRange(1u, 12u)) /
               day(input.ConsumeIntegralInRange(1u, 28u)));
}

void checkLayout(std::string_view line)
{
    std::string cells;
    appendPrintCells(cells, line);
    // Every field, padded to 23 characters when shorter, then ": ".
    std::size_t expected = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        const std::size_t length = (tab == std::string_view::npos ? line.size() : tab) - start;
        expected += std::max(length, printCellWidth) + 2;
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    FUZZ_CHECK(cells.size() == expected);
    FUZZ_CHECK(cells.ends_with(": "));

    std::string joined;
    std::size_t rows = 0;
    forEachPrintTextRow(cells, [&](std::string_view row) {
        FUZZ_CHECK(row.starts_with(printTextRowPrefix));
        FUZZ_CHECK(row.size() <= printTextRowPrefix.size() + printRowLength);
        joined.append(row.substr(printTextRowPrefix.size()));
        ++rows;
        return true;
    });
    FUZZ_CHECK(joined == cells);
    FUZZ_CHECK(rows == cells.size() / printRowLength + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    ListingFilter filter;
    filter.dateOn = input.ConsumeBool();
    filter.from = dayFrom(input);
    filter.to = dayFrom(input);
    filter.errorOn = input.ConsumeBool();
    filter.errorNumber = input.ConsumeIntegral<std::int16_t>();
    const std::string text = input.ConsumeRemainingBytesAsString();

    std::string listing;
    const ListingSummary summary = listText(text, filter, {}, listing);
    const std::vector<std::string_view> lines = linesOf(text);
    for (std::size_t i = 0; i < lines.size() && i < 64; ++i)
        checkLayout(lines[i]);
    if (summary.outcome == ListingOutcome::NoFamily)
        return 0;

    std::uint64_t selected = 0;
    for (std::size_t i = 1; i < lines.size(); ++i)
        selected += recordSelected(lines[i], summary.family, filter);
    FUZZ_CHECK(selected == summary.records);
    return 0;
}
