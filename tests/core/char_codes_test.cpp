#include <gtest/gtest.h>

#include <string>

#include "core/char_codes.h"

using kestrava::decodeCharCodes;
using kestrava::encodeCharCodes;

// Every code unit against an independent statement of the group it gets and of what
// survives the round trip.
TEST(CharCodes, EveryUnitRoundTrip)
{
    EXPECT_EQ(kestrava::codeGroup(0x8000), "768");  // -32768 keeps its last three
    EXPECT_EQ(kestrava::codeGroup(65531), "0-5");   // -5 padded on the left
    EXPECT_EQ(kestrava::codeGroup(65526), "-10");
    for (int unit = 0; unit <= 0xFFFF; ++unit) {
        const int value = unit < 32768 ? unit : unit - 65536;
        std::string written = std::to_string(value);
        written = written.size() < 3 ? std::string(3 - written.size(), '0') + written
                                     : written.substr(written.size() - 3);
        // -99..-1 are kept whole ("-99".."-10", "0-9".."0-1"); the rest keep three digits.
        const int expected = value >= -99 && value < 0 ? unit : (value < 0 ? -value : value) % 1000;

        const std::string codes = encodeCharCodes(std::u16string(1, static_cast<char16_t>(unit)));
        ASSERT_EQ(codes, written) << unit;
        const std::u16string back = decodeCharCodes(codes);
        ASSERT_EQ(back.size(), 1u) << unit;
        ASSERT_EQ(static_cast<int>(back[0]), expected) << "unit " << unit << " codes " << codes;
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
    for (const char* bad : {"00-", "-", "", "1-2", "--1", "+12", " 12", "65536", "99999999999999999999"})
        EXPECT_EQ(readCodeGroup(bad), std::nullopt) << bad;

    // Groups that are no number keep their place; a short last group is read as it stands.
    const std::u16string back = decodeCharCodes("097x9900-0-007");
    EXPECT_EQ(back, (std::u16string{u'a', kestrava::kUnreadableGroupUnit,
                                    kestrava::kUnreadableGroupUnit, u'\0', u'\u0007'}));
}
