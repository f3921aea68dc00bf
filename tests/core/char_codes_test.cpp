#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "core/text/char_codes.h"

using kestrava::decodeCharCodes;
using kestrava::encodeCharCodes;

// A unit's signed value keeps its last three characters, padded with "0" on the left;
// read back, -99..-1 come back whole and the rest as their last three digits.
TEST(CharCodes, UnitsRoundTrip)
{
    const std::tuple<int, const char*, int> cases[] = {
        {0, "000", 0},         {0x41, "065", 0x41},   {999, "999", 999},     {1000, "000", 0},
        {1234, "234", 234},    {0x7FFF, "767", 767},  {0x8000, "768", 768},  {65436, "100", 100},
        {65437, "-99", 65437}, {65526, "-10", 65526}, {65527, "0-9", 65527}, {65535, "0-1", 65535}};
    for (const auto& [unit, codes, back] : cases) {
        EXPECT_EQ(encodeCharCodes(std::u16string(1, char16_t(unit))), codes) << unit;
        EXPECT_EQ(decodeCharCodes(codes), std::u16string(1, char16_t(back))) << unit;
    }
}

TEST(CharCodes, LongTextsAndForeignCodeStrings)
{
    // No length limit: far beyond 10922 units.
    std::u16string text;
    for (int i = 0; i < 40000; ++i)
        text += static_cast<char16_t>(u'a' + i % 26);
    text += u'\uFFFF';
    const std::string codes = encodeCharCodes(text);
    EXPECT_EQ(codes.size(), text.size() * 3);
    EXPECT_EQ(decodeCharCodes(codes), text);

    using kestrava::readCodeGroup;
    EXPECT_EQ(readCodeGroup("042"), 42);
    EXPECT_EQ(readCodeGroup("0-5"), -5);
    for (const char* bad :
         {"00-", "-", "", "1-2", "--1", "+12", " 12", "65536", "99999999999999999999"})
        EXPECT_EQ(readCodeGroup(bad), std::nullopt) << bad;

    // Groups that are no number keep their place; a short last group is read as it stands.
    const std::u16string back = decodeCharCodes("097x9900-0-007");
    EXPECT_EQ(back, (std::u16string{u'a', kestrava::kUnreadableGroupUnit,
                                    kestrava::kUnreadableGroupUnit, u'\0', u'\u0007'}));
}
