#include <gtest/gtest.h>

#include <string>

#include "core/char_codes.h"

using kestrava::decodeCharCodes;
using kestrava::encodeCharCodes;

TEST(CharCodes, WorkedExamples)
{
    EXPECT_EQ(encodeCharCodes(u"abc"), "097098099");
    EXPECT_EQ(decodeCharCodes("097098099"), u"abc");

    // A tab is a group like any other; what follows it still decodes.
    EXPECT_EQ(encodeCharCodes(u"a\tb"), "097009098");
    EXPECT_EQ(decodeCharCodes("097009098"), u"a\tb");

    EXPECT_EQ(encodeCharCodes(u"\u0142"), "322");
    EXPECT_EQ(decodeCharCodes("322"), u"\u0142");

    // Only the last three digits of larger codes survive.
    EXPECT_EQ(encodeCharCodes(u"\u20AC"), "364");
    EXPECT_EQ(decodeCharCodes("364"), u"\u016C");

    EXPECT_EQ(encodeCharCodes(u""), "");
    EXPECT_EQ(decodeCharCodes(""), u"");
}

TEST(CharCodes, SignedGroupsPadAndCut)
{
    EXPECT_EQ(kestrava::codeGroup(7), "007");
    EXPECT_EQ(kestrava::codeGroup(65), "065");
    EXPECT_EQ(kestrava::codeGroup(0), "000");
    EXPECT_EQ(kestrava::codeGroup(32767), "767");
    EXPECT_EQ(kestrava::codeGroup(0x8000), "768");   // -32768
    EXPECT_EQ(kestrava::codeGroup(65531), "0-5");    // -5
    EXPECT_EQ(kestrava::codeGroup(65535), "0-1");    // -1
    EXPECT_EQ(kestrava::codeGroup(65526), "-10");
    EXPECT_EQ(kestrava::codeGroup(65437), "-99");
    EXPECT_EQ(kestrava::codeGroup(65436), "100");    // -100
}

// Every code unit against an independent statement of what survives the round trip.
TEST(CharCodes, RoundTripOfEveryUnit)
{
    for (int unit = 0; unit <= 0xFFFF; ++unit) {
        const int value = unit < 32768 ? unit : unit - 65536;
        int expected;
        if (value >= 0)
            expected = value % 1000;
        else if (value >= -99)
            expected = unit;  // "-99".."-10" and "0-9".."0-1" read back as themselves
        else
            expected = (-value) % 1000;
        const std::u16string one(1, static_cast<char16_t>(unit));
        const std::string codes = encodeCharCodes(one);
        ASSERT_EQ(codes.size(), 3u) << unit;
        const std::u16string back = decodeCharCodes(codes);
        ASSERT_EQ(back.size(), 1u) << unit;
        ASSERT_EQ(static_cast<int>(back[0]), expected) << "unit " << unit << " codes " << codes;
    }
    // The whole range the round trip keeps, in particular 65527..65535 ("0-9".."0-1").
    for (int unit : {0, 999, 65437, 65526, 65527, 65530, 65535}) {
        const std::u16string one(1, static_cast<char16_t>(unit));
        EXPECT_EQ(decodeCharCodes(encodeCharCodes(one)), one) << unit;
    }
}

TEST(CharCodes, LongInputsAreNotLimited)
{
    std::u16string text;
    for (int i = 0; i < 40000; ++i)
        text += static_cast<char16_t>(u'a' + i % 26);
    text += u'\uFFFF';
    const std::string codes = encodeCharCodes(text);
    EXPECT_EQ(codes.size(), text.size() * 3);
    EXPECT_EQ(codes.substr(codes.size() - 3), "0-1");
    EXPECT_EQ(decodeCharCodes(codes), text);
}

TEST(CharCodes, GroupsThatAreNoNumber)
{
    using kestrava::readCodeGroup;
    EXPECT_EQ(readCodeGroup("042"), 42);
    EXPECT_EQ(readCodeGroup("000"), 0);
    EXPECT_EQ(readCodeGroup("-10"), -10);
    EXPECT_EQ(readCodeGroup("0-5"), -5);
    EXPECT_EQ(readCodeGroup("00-"), std::nullopt);
    EXPECT_EQ(readCodeGroup("-"), std::nullopt);
    EXPECT_EQ(readCodeGroup(""), std::nullopt);
    EXPECT_EQ(readCodeGroup("1-2"), std::nullopt);
    EXPECT_EQ(readCodeGroup("--1"), std::nullopt);
    EXPECT_EQ(readCodeGroup("+12"), std::nullopt);
    EXPECT_EQ(readCodeGroup(" 12"), std::nullopt);
    EXPECT_EQ(readCodeGroup("99999999999999999999"), std::nullopt);
    EXPECT_EQ(readCodeGroup("65535"), 65535);
    EXPECT_EQ(readCodeGroup("65536"), std::nullopt);

    // A foreign code string: unreadable groups keep their place, a short last group
    // is read as it stands.
    const std::u16string back = decodeCharCodes("097x9900-0-007");
    ASSERT_EQ(back.size(), 5u);
    EXPECT_EQ(back[0], u'a');
    EXPECT_EQ(back[1], kestrava::kUnreadableGroupUnit);  // "x99"
    EXPECT_EQ(back[2], kestrava::kUnreadableGroupUnit);  // "00-"
    EXPECT_EQ(back[3], u'\0');                          // "0-0" is minus zero
    EXPECT_EQ(back[4], u'\u0007');                      // "07"
}
