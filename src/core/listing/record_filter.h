// The record filter: the filter request of a listing (a date range, an error number)
// and whether a record line is kept under it. The listing, the print copy and
// kestrava-cli all select records through it, so the printout holds exactly the
// records of the listing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/listing/machine_family.h"
#include "core/settings/regional.h"

namespace kestrava {

struct ListingFilter {
    bool dateOn = false;  // keep records whose date lies in [from, to], whole days
    Day from{};
    Day to{};
    bool errorOn = false;  // keep records whose error number equals errorNumber
    std::int16_t errorNumber = 0;

    bool any() const { return dateOn || errorOn; }
    bool operator==(const ListingFilter&) const = default;
};

// The date is the 10 characters from the start of the family's date field (they may
// run on into the next field); the error number is the leading numeric value of the
// text from the tab before the family's error field to the end of that field, rounded
// to 16 bits. A record without a readable date is left out under a date filter; one
// that lacks the error field (or whose number does not fit 16 bits) under an error
// filter. With no filter on, every record is kept. The family Unknown reads the 5TZ
// fields.
// Start of 1-based field k of a tab-separated line (the character after the (k-1)-th
// tab), or npos when the line has fewer fields.
std::size_t fieldStart(std::string_view line, int k);

// 1-based field k of a tab-separated line, without its tab; empty when the line has
// fewer fields.
std::string_view fieldOf(std::string_view line, int k);

bool recordSelected(std::string_view record, MachineFamily family, const ListingFilter& filter);

// The two values the filter reads from a record, as it reads them: the date (nullopt
// when the record has no date field or its 10 characters are no date) and the error
// number (nullopt when the record lacks the error field or the number does not fit 16
// bits). A record is kept under a filter exactly when these lie within its bounds.
std::optional<Day> recordDay(std::string_view record, MachineFamily family);
std::optional<std::int16_t> recordErrorNumber(std::string_view record, MachineFamily family);

}  // namespace kestrava
