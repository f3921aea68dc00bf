#include "core/record_filter.h"

#include <optional>

#include "core/regional.h"

namespace kestrava {

std::size_t fieldStart(std::string_view line, int k)
{
    std::size_t start = 0;
    for (int tabs = 1; tabs < k; ++tabs) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos)
            return std::string_view::npos;
        start = tab + 1;
    }
    return start;
}

bool recordSelected(std::string_view record, MachineFamily family, const ListingFilter& filter)
{
    if (filter.dateOn) {
        const std::size_t start = fieldStart(record, dateFieldOf(family));
        if (start == std::string_view::npos)
            return false;
        const std::optional<Day> day = parseDateText(record.substr(start, 10));
        if (!day || *day < filter.from || *day > filter.to)
            return false;
    }
    if (filter.errorOn) {
        const std::size_t start = fieldStart(record, errorFieldOf(family));
        if (start == std::string_view::npos)
            return false;
        const std::size_t end = record.find('\t', start);
        // From the tab before the field to the field's end; the tab reads as a blank.
        const std::size_t from = start == 0 ? 0 : start - 1;
        const std::string_view text = record.substr(
            from, end == std::string_view::npos ? std::string_view::npos : end - from);
        const std::optional<std::int16_t> number = roundToInt16(leadingNumericValue(text));
        if (!number || *number != filter.errorNumber)
            return false;
    }
    return true;
}

}  // namespace kestrava
