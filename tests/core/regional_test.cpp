#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/regional.h"

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
    EXPECT_EQ(parseDateText("15/03/2009"), ymd(2009, 3, 15));
    EXPECT_EQ(parseDateText("15.03.2009"), ymd(2009, 3, 15));
    EXPECT_EQ(parseDateText("15-03-2009"), ymd(2009, 3, 15));
    EXPECT_EQ(parseDateText("5/3/2009"), ymd(2009, 3, 5));
    EXPECT_EQ(parseDateText("  05/03/09 "), ymd(2009, 3, 5));
    EXPECT_EQ(parseDateText("1/1/29"), ymd(2029, 1, 1));
    EXPECT_EQ(parseDateText("1/1/30"), ymd(1930, 1, 1));
    EXPECT_EQ(parseDateText("31/12/99"), ymd(1999, 12, 31));
    EXPECT_EQ(parseDateText("2009-03-15"), ymd(2009, 3, 15));
    EXPECT_EQ(parseDateText("2009/3/5"), ymd(2009, 3, 5));
    EXPECT_EQ(parseDateText("29/02/2008"), ymd(2008, 2, 29));
}

TEST(DateText, RefusesEverythingElse)
{
    for (const char* text : {"", "   ", "31/04/2009", "29/02/2009", "29/02/1900", "00/01/2009",
                             "01/13/2009", "15/03-2009", "15/03/209", "15/03/20091", "15/03/2009x",
                             "1/2/09\tAB", "15\t03/2009", "+1/2/2009", "2009-02-30", "123/1/2009",
                             "1//2009", "1/2/", "15 /03/2009", "0000-01-01", "15,03,2009"})
        EXPECT_FALSE(parseDateText(text)) << '"' << text << '"';
}

TEST(NumberText, FollowsTheLanguageSeparators)
{
    EXPECT_EQ(parseNumberText(" 27 ", Language::English), 27.0);
    EXPECT_EQ(parseNumberText("-5", Language::English), -5.0);
    EXPECT_EQ(parseNumberText("+26.5", Language::English), 26.5);
    EXPECT_EQ(parseNumberText("1,234", Language::English), 1234.0);
    EXPECT_EQ(parseNumberText("1e2", Language::English), 100.0);
    EXPECT_EQ(parseNumberText(".5", Language::English), 0.5);
    EXPECT_EQ(parseNumberText("5.", Language::English), 5.0);
    EXPECT_EQ(parseNumberText("26,5", Language::Polish), 26.5);
    EXPECT_EQ(parseNumberText("26.5", Language::Polish), 26.5);
    EXPECT_EQ(parseNumberText("1 234,5", Language::Polish), 1234.5);
    for (const char* text : {"", "E27", "27a", "1,2,3", "12,34", "--5", "5e", ".", "1.2.3", "1 2"})
        EXPECT_FALSE(parseNumberText(text, Language::English)) << '"' << text << '"';
    EXPECT_FALSE(parseNumberText("26,5,1", Language::Polish));
}

TEST(NumberText, ErrorNumberRoundsHalfEvenAndStaysIn16Bits)
{
    EXPECT_EQ(errorNumberFromText("26.5", Language::English), 26);
    EXPECT_EQ(errorNumberFromText("27.5", Language::English), 28);
    EXPECT_EQ(errorNumberFromText("-0.5", Language::English), 0);
    EXPECT_EQ(errorNumberFromText("-1.5", Language::English), -2);
    EXPECT_EQ(errorNumberFromText("32767", Language::English), 32767);
    EXPECT_EQ(errorNumberFromText("-32768", Language::English), -32768);
    EXPECT_EQ(errorNumberFromText("-32768.5", Language::English), -32768);
    EXPECT_FALSE(errorNumberFromText("32767.5", Language::English));
    EXPECT_FALSE(errorNumberFromText("32768", Language::English));
    EXPECT_FALSE(errorNumberFromText("1e400", Language::English));
    EXPECT_FALSE(errorNumberFromText("E27", Language::Polish));
}

TEST(LeadingNumericValue, IgnoresBlanksAndStopsAtTheFirstNonNumber)
{
    EXPECT_EQ(leadingNumericValue("5"), 5.0);
    EXPECT_EQ(leadingNumericValue(" 5 "), 5.0);
    EXPECT_EQ(leadingNumericValue("0 5"), 5.0);
    EXPECT_EQ(leadingNumericValue("\t05"), 5.0);
    EXPECT_EQ(leadingNumericValue("1\n2"), 12.0);
    EXPECT_EQ(leadingNumericValue("5."), 5.0);
    EXPECT_EQ(leadingNumericValue(".5"), 0.5);
    EXPECT_EQ(leadingNumericValue("-2.5x"), -2.5);
    EXPECT_EQ(leadingNumericValue("2e3"), 2000.0);
    EXPECT_EQ(leadingNumericValue("2e"), 2.0);
    EXPECT_EQ(leadingNumericValue("27,5"), 27.0);
    EXPECT_EQ(leadingNumericValue("E27"), 0.0);
    EXPECT_EQ(leadingNumericValue(""), 0.0);
    EXPECT_EQ(leadingNumericValue("-"), 0.0);
    EXPECT_EQ(leadingNumericValue("."), 0.0);
    EXPECT_EQ(leadingNumericValue("1e99999999999999999999"), HUGE_VAL);
    EXPECT_EQ(leadingNumericValue("1e-99999999999999999999"), 0.0);
    EXPECT_EQ(leadingNumericValue(std::string(400, '9')), HUGE_VAL);
    EXPECT_FALSE(roundToInt16(leadingNumericValue("99999")));
    EXPECT_EQ(roundToInt16(leadingNumericValue("4.5")), 4);
}
