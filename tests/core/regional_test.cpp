#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>

#include "core/settings/regional.h"

using namespace kestrava;
using namespace std::chrono;

namespace {

Day ymd(int y, unsigned m, unsigned d)
{
    return Day{year{y} / month{m} / day{d}};
}

}  // namespace

TEST(DateText, AcceptsDayMonthYearAndIsoForms)
{
    const std::pair<const char*, Day> cases[] = {
        {"15/03/2009", ymd(2009, 3, 15)}, {"15.03.2009", ymd(2009, 3, 15)},
        {"15-03-2009", ymd(2009, 3, 15)}, {"5/3/2009", ymd(2009, 3, 5)},
        {"  05/03/09 ", ymd(2009, 3, 5)}, {"1/1/29", ymd(2029, 1, 1)},
        {"1/1/30", ymd(1930, 1, 1)},      {"31/12/99", ymd(1999, 12, 31)},
        {"2009-03-15", ymd(2009, 3, 15)}, {"2009/3/5", ymd(2009, 3, 5)},
        {"29/02/2008", ymd(2008, 2, 29)}};
    for (const auto& [text, date] : cases)
        EXPECT_EQ(parseDateText(text), date) << text;
}

TEST(DateText, RefusesEverythingElse)
{
    for (const char* text : {"",
                             "   ",
                             "31/04/2009",
                             "29/02/2009",
                             "29/02/1900",
                             "00/01/2009",
                             "01/13/2009",
                             "15/03-2009",
                             "15/03/209",
                             "15/03/20091",
                             "15/03/2009x",
                             "1/2/09\tAB",
                             "15\t03/2009",
                             "+1/2/2009",
                             "2009-02-30",
                             "123/1/2009",
                             "1//2009",
                             "1/2/",
                             "15 /03/2009",
                             "0000-01-01",
                             "15,03,2009"})
        EXPECT_FALSE(parseDateText(text)) << '"' << text << '"';
}

TEST(DateText, TypedDayAndMonthMeanTheCurrentYear)
{
    const year now{2026};
    const std::pair<const char*, Day> cases[] = {{"5/3", ymd(2026, 3, 5)},
                                                 {" 05.03 ", ymd(2026, 3, 5)},
                                                 {"31-12", ymd(2026, 12, 31)},
                                                 {"5/3/2009", ymd(2009, 3, 5)},
                                                 {"2009-03-05", ymd(2009, 3, 5)}};
    for (const auto& [text, date] : cases)
        EXPECT_EQ(parseTypedDate(text, now), date) << text;
    for (const char* text : {"29/02", "5/3/", "5/13", "2009-03", "5", "5.3-", "5/3.2009"})
        EXPECT_FALSE(parseTypedDate(text, now)) << text;
    EXPECT_EQ(parseTypedDate("29/02", year{2028}), ymd(2028, 2, 29));
    EXPECT_FALSE(parseDateText("5/3"));  // a record's date keeps its year
}

TEST(NumberText, FollowsTheLanguageSeparators)
{
    const std::tuple<const char*, Language, double> cases[] = {
        {" 27 ", Language::English, 27.0},  {"-5", Language::English, -5.0},
        {"+26.5", Language::English, 26.5}, {"1,234", Language::English, 1234.0},
        {"1e2", Language::English, 100.0},  {".5", Language::English, 0.5},
        {"5.", Language::English, 5.0},     {"26,5", Language::Polish, 26.5},
        {"26.5", Language::Polish, 26.5},   {"1 234,5", Language::Polish, 1234.5}};
    for (const auto& [text, language, value] : cases)
        EXPECT_EQ(parseNumberText(text, language), value) << text;
    for (const char* text : {"", "E27", "27a", "1,2,3", "12,34", "--5", "5e", ".", "1.2.3", "1 2"})
        EXPECT_FALSE(parseNumberText(text, Language::English)) << '"' << text << '"';
    EXPECT_FALSE(parseNumberText("26,5,1", Language::Polish));
}

TEST(NumberText, ErrorNumberRoundsHalfEvenAndStaysIn16Bits)
{
    const std::pair<const char*, int> cases[] = {
        {"26.5", 26},     {"27.5", 28},       {"-0.5", 0},         {"-1.5", -2},
        {"32767", 32767}, {"-32768", -32768}, {"-32768.5", -32768}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(errorNumberFromText(text, Language::English), value) << text;
    for (const char* text : {"32767.5", "32768", "1e400"})
        EXPECT_FALSE(errorNumberFromText(text, Language::English)) << text;
    EXPECT_FALSE(errorNumberFromText("E27", Language::Polish));
}

TEST(LeadingNumericValue, IgnoresBlanksAndStopsAtTheFirstNonNumber)
{
    const std::pair<std::string, double> cases[] = {{"5", 5.0},
                                                    {" 5 ", 5.0},
                                                    {"0 5", 5.0},
                                                    {"\t05", 5.0},
                                                    {"1\n2", 12.0},
                                                    {"5.", 5.0},
                                                    {".5", 0.5},
                                                    {"-2.5x", -2.5},
                                                    {"2e3", 2000.0},
                                                    {"2e", 2.0},
                                                    {"27,5", 27.0},
                                                    {"E27", 0.0},
                                                    {"", 0.0},
                                                    {"-", 0.0},
                                                    {".", 0.0},
                                                    {"1e99999999999999999999", HUGE_VAL},
                                                    {"1e-99999999999999999999", 0.0},
                                                    {std::string(400, '9'), HUGE_VAL}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(leadingNumericValue(text), value) << '"' << text << '"';
    EXPECT_FALSE(roundToInt16(leadingNumericValue("99999")));
    EXPECT_EQ(roundToInt16(leadingNumericValue("4.5")), 4);
}
