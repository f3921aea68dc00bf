// Date and number texts from arbitrary bytes. A date that is read must be a real
// calendar day written in one of the accepted forms; a number that is read must be
// the value the C library reads from the same text; the 16-bit conversion must round
// to the nearest integer (halves to even) or refuse.
#include <fuzzer/FuzzedDataProvider.h>

#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/settings/regional.h"
#include "fuzz_check.h"

namespace {

using namespace kestrava;

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Values below the smallest normal double count as 0: whether such a tiny value
// survives or becomes 0 is of no consequence to any rule of the program.
double flushTiny(double value)
{
    return std::fabs(value) < DBL_MIN ? 0.0 : value;
}

// The C library's reading of text, which must take all of it.
bool sameAsStrtod(const std::string& text, double value)
{
    char* end = nullptr;
    const double expected = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size())
        return false;
    return flushTiny(expected) == flushTiny(value);
}

void checkDate(std::string_view text)
{
    const auto day = parseDateText(text);
    if (!day)
        return;
    const std::string_view core = trimmed(text);
    FUZZ_CHECK(core.size() >= 6 && core.size() <= 10);
    for (const char c : core)
        FUZZ_CHECK(isDigit(c) || c == '/' || c == '.' || c == '-');
    const std::chrono::year_month_day ymd{*day};
    FUZZ_CHECK(ymd.ok());
    // Writing the day back in both forms must read as the same day.
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02u/%02u/%04d", unsigned(ymd.day()),
                  unsigned(ymd.month()), int(ymd.year()));
    FUZZ_CHECK(parseDateText(buffer) == day);
    std::snprintf(buffer, sizeof buffer, "%04d-%u-%u", int(ymd.year()), unsigned(ymd.month()),
                  unsigned(ymd.day()));
    FUZZ_CHECK(parseDateText(buffer) == day);
}

// A day, month and year from the input, written in a form from the input: read back
// exactly when the day exists.
void checkDateForms(FuzzedDataProvider& provider)
{
    const int day = provider.ConsumeIntegralInRange<int>(0, 32);
    const int month = provider.ConsumeIntegralInRange<int>(0, 13);
    const int year = provider.ConsumeIntegralInRange<int>(1930, 2029);
    const char separator = "/.-"[provider.ConsumeIntegralInRange<int>(0, 2)];
    const bool twoDigitYear = provider.ConsumeBool();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d%c%d%c%0*d", day, separator, month, separator,
                  twoDigitYear ? 2 : 4, twoDigitYear ? year % 100 : year);
    const std::chrono::year_month_day expected{std::chrono::year{year},
                                               std::chrono::month{unsigned(month)},
                                               std::chrono::day{unsigned(day)}};
    const auto parsed = parseDateText(buffer);
    FUZZ_CHECK(parsed.has_value() == expected.ok());
    if (parsed)
        FUZZ_CHECK(*parsed == Day{expected});
}

void checkNumber(std::string_view text)
{
    const auto english = parseNumberText(text, Language::English);
    const auto polish = parseNumberText(text, Language::Polish);
    const std::string core(trimmed(text));
    if (english) {
        FUZZ_CHECK(!std::isnan(*english));
        // Without group separators the text is a plain C number.
        if (core.find(',') == std::string::npos)
            FUZZ_CHECK(sameAsStrtod(core, *english));
    }
    if (polish) {
        FUZZ_CHECK(!std::isnan(*polish));
        // Polish reads "," as the decimal mark; without group blanks it is a C number too.
        std::string c = core;
        for (char& ch : c)
            if (ch == ',')
                ch = '.';
        if (c.find(' ') == std::string::npos)
            FUZZ_CHECK(sameAsStrtod(c, *polish));
    }
    // English needs no Polish decimal comma, so every English reading without a comma
    // is a Polish reading of the same value.
    if (english && core.find(',') == std::string::npos)
        FUZZ_CHECK(polish && *polish == *english);

    for (const auto language : {Language::English, Language::Polish}) {
        const auto value = parseNumberText(text, language);
        const auto number = errorNumberFromText(text, language);
        FUZZ_CHECK(!number || value);
        if (value && number)
            FUZZ_CHECK(std::fabs(*value - *number) <= 0.5);
    }
}

void checkLeadingValue(std::string_view text)
{
    const double value = leadingNumericValue(text);
    FUZZ_CHECK(!std::isnan(value));
    // The same leading number as the C library reads from the text without blanks,
    // tabs and line feeds, cut before the first character no number can hold.
    std::string compact;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\n')
            continue;
        if (!isDigit(c) && c != '+' && c != '-' && c != '.' && c != 'e' && c != 'E')
            break;
        compact += c;
    }
    FUZZ_CHECK(flushTiny(value) == flushTiny(std::strtod(compact.c_str(), nullptr)));
}

void checkRounding(double value)
{
    const auto rounded = roundToInt16(value);
    if (!std::isfinite(value) || value < -32768.5 || value > 32767.5) {
        FUZZ_CHECK(!rounded);
        return;
    }
    if (value > -32768.5 && value < 32767.5)
        FUZZ_CHECK(rounded.has_value());
    if (!rounded)
        return;
    const double difference = value - *rounded;
    FUZZ_CHECK(std::fabs(difference) <= 0.5);
    if (std::fabs(difference) == 0.5)
        FUZZ_CHECK(*rounded % 2 == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The whole input is the text; the same bytes also give the structured cases.
    const std::string text(reinterpret_cast<const char*>(data), size);
    FuzzedDataProvider provider(data, size);
    checkRounding(provider.ConsumeFloatingPoint<double>());
    checkRounding(provider.ConsumeIntegralInRange<int>(-70000, 70000) / 2.0);
    checkDateForms(provider);
    checkDate(text);
    checkNumber(text);
    checkLeadingValue(text);
    return 0;
}
