#include "core/settings/regional.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <limits>
#include <string>
#include <system_error>

namespace kestrava {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view trimSpaces(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// Reads a run of 1..maxDigits digits at the front of text.
std::optional<int> takeNumber(std::string_view& text, std::size_t minDigits, std::size_t maxDigits,
                              std::size_t* digitsRead = nullptr)
{
    std::size_t n = 0;
    int value = 0;
    while (n < text.size() && isDigit(text[n])) {
        if (n == maxDigits)
            return std::nullopt;
        value = value * 10 + (text[n] - '0');
        ++n;
    }
    if (n < minDigits)
        return std::nullopt;
    if (digitsRead)
        *digitsRead = n;
    text.remove_prefix(n);
    return value;
}

bool isDateSeparator(char c)
{
    return c == '/' || c == '.' || c == '-';
}

// Converts a normalised number text ("-123.45e-6", digits only around the point) to a
// double. A value beyond the double range reads as an infinity, one below it as 0.
double toDouble(const std::string& normal)
{
    double value = 0;
    const char* first = normal.data();
    const char* last = first + normal.size();
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc())
        return value;
    // Out of range: decide between overflow and underflow by the order of magnitude.
    const bool negative = !normal.empty() && normal[0] == '-';
    std::size_t i = negative ? 1 : 0;
    long long magnitude = 0;
    bool seenSignificant = false;
    bool afterPoint = false;
    for (; i < normal.size() && normal[i] != 'e'; ++i) {
        const char c = normal[i];
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        if (!seenSignificant) {
            if (c != '0') {
                seenSignificant = true;
                if (!afterPoint)
                    magnitude = 1;
            } else if (afterPoint) {
                --magnitude;
            }
        } else if (!afterPoint) {
            ++magnitude;
        }
    }
    if (!seenSignificant)
        return negative ? -0.0 : 0.0;
    long long exponent = 0;
    if (i < normal.size()) {
        ++i;
        bool expNegative = false;
        if (i < normal.size() && (normal[i] == '-' || normal[i] == '+'))
            expNegative = normal[i++] == '-';
        for (; i < normal.size(); ++i)
            if (exponent < 1'000'000'000)
                exponent = exponent * 10 + (normal[i] - '0');
        if (expNegative)
            exponent = -exponent;
    }
    const double huge = std::numeric_limits<double>::infinity();
    if (magnitude + exponent > 0)
        return negative ? -huge : huge;
    return negative ? -0.0 : 0.0;
}

// Reads an optional exponent ("e", optional sign, digits) at text[i]; appends it to out
// and advances i only when it is complete.
void takeExponent(std::string_view text, std::size_t& i, std::string& out)
{
    if (i >= text.size() || (text[i] != 'e' && text[i] != 'E'))
        return;
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == '+' || text[j] == '-'))
        exponent += text[j++];
    const std::size_t digitsStart = j;
    while (j < text.size() && isDigit(text[j]))
        exponent += text[j++];
    if (j == digitsStart)
        return;
    out += exponent;
    i = j;
}

}  // namespace

namespace {

// The date rule; with yearForDayMonth set, a day and a month alone ("5/3") are also a
// date, in that year.
std::optional<Day> parseDate(std::string_view text,
                             std::optional<std::chrono::year> yearForDayMonth)
{
    text = trimSpaces(text);
    if (text.empty() || !isDigit(text[0]))
        return std::nullopt;

    std::string_view rest = text;
    std::size_t firstDigits = 0;
    const auto first = takeNumber(rest, 1, 4, &firstDigits);
    if (!first || rest.empty() || !isDateSeparator(rest[0]))
        return std::nullopt;
    const char separator = rest[0];
    rest.remove_prefix(1);
    const auto second = takeNumber(rest, 1, 2);
    if (!second)
        return std::nullopt;

    int year = 0;
    int month = 0;
    int day = 0;
    if (rest.empty() && yearForDayMonth && firstDigits <= 2) {
        day = *first;
        month = *second;
        year = int(*yearForDayMonth);
    } else if (rest.empty() || rest[0] != separator) {
        return std::nullopt;
    } else if (firstDigits == 4) {
        // year-month-day
        rest.remove_prefix(1);
        const auto third = takeNumber(rest, 1, 2);
        if (!third || !rest.empty())
            return std::nullopt;
        year = *first;
        month = *second;
        day = *third;
    } else if (firstDigits <= 2) {
        // day-month-year, year of two or four digits
        rest.remove_prefix(1);
        std::size_t yearDigits = 0;
        const auto third = takeNumber(rest, 2, 4, &yearDigits);
        if (!third || !rest.empty() || yearDigits == 3)
            return std::nullopt;
        day = *first;
        month = *second;
        year = *third;
        if (yearDigits == 2)
            year += year < 30 ? 2000 : 1900;
    } else {
        return std::nullopt;
    }
    if (year < 1)
        return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year{year},
                                           std::chrono::month{unsigned(month)},
                                           std::chrono::day{unsigned(day)}};
    if (!date.ok())
        return std::nullopt;
    return Day{date};
}

}  // namespace

std::optional<Day> parseDateText(std::string_view text)
{
    return parseDate(text, std::nullopt);
}

std::optional<Day> parseTypedDate(std::string_view text, std::chrono::year currentYear)
{
    return parseDate(text, currentYear);
}

std::chrono::year currentLocalYear()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return std::chrono::year{local.tm_year + 1900};
}

std::optional<double> parseNumberText(std::string_view text, Language language)
{
    text = trimSpaces(text);
    const bool polish = language == Language::Polish;
    const char groupSeparator = polish ? ' ' : ',';

    std::string normal;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            normal += '-';
        ++i;
    }

    // Integer part: plain digits, or groups of three after a first group of one to three.
    std::size_t intDigits = 0;
    std::size_t groupLength = 0;
    bool grouped = false;
    while (i < text.size()) {
        const char c = text[i];
        if (isDigit(c)) {
            normal += c;
            ++intDigits;
            ++groupLength;
            if (grouped && groupLength > 3)
                return std::nullopt;
            ++i;
        } else if (c == groupSeparator && intDigits > 0 && i + 1 < text.size() &&
                   isDigit(text[i + 1])) {
            if ((!grouped && groupLength > 3) || (grouped && groupLength != 3))
                return std::nullopt;
            grouped = true;
            groupLength = 0;
            ++i;
        } else {
            break;
        }
    }
    if (grouped && groupLength != 3)
        return std::nullopt;

    // Fraction.
    std::size_t fractionDigits = 0;
    if (i < text.size() && (text[i] == '.' || (polish && text[i] == ','))) {
        normal += '.';
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            normal += text[i++];
            ++fractionDigits;
        }
    }
    if (intDigits + fractionDigits == 0)
        return std::nullopt;
    if (fractionDigits == 0 && !normal.empty() && normal.back() == '.')
        normal.pop_back();
    if (intDigits == 0)
        normal.insert(normal.size() - fractionDigits - 1, 1, '0');

    takeExponent(text, i, normal);
    if (i != text.size())
        return std::nullopt;
    return toDouble(normal);
}

double leadingNumericValue(std::string_view text)
{
    // Blanks, tabs and line feeds anywhere are not part of the number.
    thread_local std::string compact;
    thread_local std::string normal;
    compact.clear();
    normal.clear();
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            compact += c;

    std::size_t i = 0;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) {
        if (compact[i] == '-')
            normal += '-';
        ++i;
    }
    std::size_t digits = 0;
    while (i < compact.size() && isDigit(compact[i])) {
        normal += compact[i++];
        ++digits;
    }
    if (i < compact.size() && compact[i] == '.') {
        std::size_t j = i + 1;
        while (j < compact.size() && isDigit(compact[j]))
            ++j;
        const std::size_t fractionDigits = j - i - 1;
        if (fractionDigits > 0) {
            if (digits == 0)
                normal += '0';
            normal.append(compact, i, j - i);
            digits += fractionDigits;
            i = j;
        } else if (digits > 0) {
            i = j;  // "5." reads 5
        }
    }
    if (digits == 0)
        return 0.0;
    takeExponent(compact, i, normal);
    return toDouble(normal);
}

std::optional<std::int16_t> roundToInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double rounded = std::floor(value);
    const double remainder = value - rounded;
    if (remainder > 0.5 || (remainder == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::optional<std::int16_t> errorNumberFromText(std::string_view text, Language language)
{
    const auto value = parseNumberText(text, language);
    if (!value)
        return std::nullopt;
    return roundToInt16(*value);
}

}  // namespace kestrava
