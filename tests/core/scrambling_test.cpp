#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/text/scrambling.h"

using namespace kestrava;

using Bytes = std::vector<std::uint8_t>;

TEST(Scrambling, DecodesUnitsAndBorrowsIntoOddTail)
{
    // 5218 = 0x1462. Unit 0x1462 decodes to 0; 0x0000 is below the key and wraps.
    EXPECT_EQ(decodeBytes(Bytes{0x62, 0x14}), (Bytes{0x00, 0x00}));
    EXPECT_EQ(decodeBytes(Bytes{0x00, 0x00}), (Bytes{0x9E, 0xEB}));
    // Odd length: the tail byte loses the borrow of the last (wrapped) unit only.
    EXPECT_EQ(decodeBytes(Bytes{0x00, 0x00, 0x41}), (Bytes{0x9E, 0xEB, 0x40}));
    EXPECT_EQ(decodeBytes(Bytes{0x62, 0x14, 0x41}), (Bytes{0x00, 0x00, 0x41}));
    EXPECT_EQ(decodeBytes(Bytes{0x00, 0x00, 0x00}), (Bytes{0x9E, 0xEB, 0xFF}));
    // Exactly N bytes, whatever N; 0 and 1 byte are left as they are.
    EXPECT_TRUE(decodeBytes({}).empty());
    EXPECT_EQ(decodeBytes(Bytes{0x41}), (Bytes{0x41}));
    EXPECT_EQ(encodeBytes(Bytes{0x41}), (Bytes{0x41}));
    // Encoding carries into the tail when the last unit wraps past 65535.
    EXPECT_EQ(encodeBytes(Bytes{0xFF, 0xFF, 0x10}), (Bytes{0x61, 0x14, 0x11}));
}

// Random texts: decode and encode undo each other, keep the length, and give the same
// bytes however the text is split into pieces.
TEST(Scrambling, InversesOfEachOtherAndTheSameInPieces)
{
    std::mt19937 random(31337);
    for (int round = 0; round < 1000; ++round) {
        std::vector<std::uint8_t> data(random() % 64);
        for (auto& b : data)
            b = std::uint8_t(random());
        ASSERT_EQ(decodeBytes(encodeBytes(data)), data) << "round " << round;
        ASSERT_EQ(encodeBytes(decodeBytes(data)), data) << "round " << round;
        for (const auto direction : {ScrambleDirection::Decode, ScrambleDirection::Encode}) {
            const auto whole =
                direction == ScrambleDirection::Decode ? decodeBytes(data) : encodeBytes(data);
            ScrambleStream stream(direction);
            std::string out;
            for (std::size_t at = 0, piece; at < data.size(); at += piece) {
                piece = std::min<std::size_t>(random() % 5, data.size() - at);
                stream.feed({data.data() + at, piece}, out);
            }
            stream.finish(out);
            ASSERT_EQ(out, std::string(whole.begin(), whole.end())) << "round " << round;
        }
    }
}
