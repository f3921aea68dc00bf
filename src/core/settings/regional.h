// Regional rules for date and number texts, used by every part of the program that
// reads a date or a number typed by the user or stored in a record.
//
// Date text: blanks (spaces) around it are ignored. Accepted forms:
//   day/month/year with "/", "." or "-" (the same separator twice), day and month of
//   one or two digits, year of four digits or of two (00-29 are 2000-2029, 30-99 are
//   1930-1999); or year-month-day with a four-digit year and the same separators.
//   The date must exist (31/04/2009 and 29/02/2009 are no dates). A tab or any other
//   character makes the text no date. Dates compare as whole calendar days.
//
// Number text (the filter panel's check): blanks around it, an optional sign, digits
// optionally in groups of three split by the thousands separator, at most one decimal
// mark, an optional exponent. "." is the decimal mark in English; in Polish "," is the
// decimal mark and "." is accepted as one too.
//
// Leading numeric value of a record's error field (the listing's error filter): spaces,
// tabs and line feeds anywhere in the text are ignored, then the leading number is
// read (sign, digits, "." and digits, as in "5", "5.", ".5", with an exponent), 0 when
// there is none. Conversion to a 16-bit integer rounds halves to the even neighbour;
// values outside -32768..32767 do not convert.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/settings/build_profile.h"

namespace kestrava {

using Day = std::chrono::sys_days;

std::optional<Day> parseDateText(std::string_view text);

// A date the user types (the filter panel, the command line's bounds): every form of
// parseDateText, and also a day and a month alone ("5/3", "05.03"), which mean that
// day of currentYear.
std::optional<Day> parseTypedDate(std::string_view text, std::chrono::year currentYear);

// This year by the local clock.
std::chrono::year currentLocalYear();

std::optional<double> parseNumberText(std::string_view text, Language language);

double leadingNumericValue(std::string_view text);

std::optional<std::int16_t> roundToInt16(double value);

// The filter panel's error number: a number text by parseNumberText, converted by
// roundToInt16. nullopt for a non-number or a value outside the 16-bit range.
std::optional<std::int16_t> errorNumberFromText(std::string_view text, Language language);

}  // namespace kestrava
