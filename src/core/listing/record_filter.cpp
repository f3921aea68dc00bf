#include "core/listing/record_filter.h"

#include <optional>

#include "core/listing/field_scan.h"
#include "core/settings/regional.h"

namespace kestrava {

std::size_t fieldStart(std::string_view line, int k)
{
    if (k <= 1)
        return 0;
    const char* const end = line.data() + line.size();
    int field = 1;
    std::size_t start = std::string_view::npos;
    forEachField(line.data(), end, [&](const char*, const char* to) {
        if (to == end)
            return false;  // the last field: no tab after it
        if (++field < k)
            return true;
        start = std::size_t(to + 1 - line.data());
        return false;
    });
    return start;
}

std::string_view fieldOf(std::string_view line, int k)
{
    const std::size_t start = fieldStart(line, k);
    if (start == std::string_view::npos)
        return {};
    const std::size_t end = line.find('\t', start);
    return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

namespace {

// The error number of a record whose error field starts at start: a field of one to
// five digits and nothing else is read at once (the same value the general rule gives),
// every other through the general rule.
std::optional<std::int16_t> errorNumberAt(std::string_view record, std::size_t start)
{
    unsigned number = 0;
    std::size_t digits = 0;
    for (; digits < 6 && start + digits < record.size(); ++digits) {
        const auto digit =
            unsigned(static_cast<unsigned char>(record[start + digits])) - unsigned('0');
        if (digit > 9)
            break;
        number = number * 10 + digit;
    }
    const std::size_t stop = start + digits;
    if (digits >= 1 && digits <= 5 && (stop == record.size() || record[stop] == '\t'))
        return number <= 32767 ? std::optional<std::int16_t>(std::int16_t(number)) : std::nullopt;

    const std::size_t end = record.find('\t', start);
    // From the tab before the field to the field's end; the tab reads as a blank.
    const std::size_t from = start == 0 ? 0 : start - 1;
    const std::string_view text =
        record.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from);
    return roundToInt16(leadingNumericValue(text));
}

}  // namespace

std::optional<Day> recordDay(std::string_view record, MachineFamily family)
{
    const std::size_t start = fieldStart(record, dateFieldOf(family));
    if (start == std::string_view::npos)
        return std::nullopt;
    return parseDateText(record.substr(start, 10));
}

std::optional<std::int16_t> recordErrorNumber(std::string_view record, MachineFamily family)
{
    const std::size_t start = fieldStart(record, errorFieldOf(family));
    if (start == std::string_view::npos)
        return std::nullopt;
    return errorNumberAt(record, start);
}

bool recordSelected(std::string_view record, MachineFamily family, const ListingFilter& filter)
{
    if (filter.dateOn) {
        const std::optional<Day> day = recordDay(record, family);
        if (!day || *day < filter.from || *day > filter.to)
            return false;
    }
    if (filter.errorOn) {
        const std::optional<std::int16_t> number = recordErrorNumber(record, family);
        if (!number || *number != filter.errorNumber)
            return false;
    }
    return true;
}

}  // namespace kestrava
