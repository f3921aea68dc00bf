#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/scrambling.h"
#include "temp_folder.h"

using namespace kestrava;

namespace {

std::vector<std::uint8_t> bytes(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> out;
    for (int v : values)
        out.push_back(std::uint8_t(v));
    return out;
}

}  // namespace

TEST(Scrambling, DecodesUnitsAndBorrowsIntoOddTail)
{
    // 5218 = 0x1462. Unit 0x1462 decodes to 0; 0x0000 is below the key and wraps.
    EXPECT_EQ(decodeBytes(bytes({0x62, 0x14})), bytes({0x00, 0x00}));
    EXPECT_EQ(decodeBytes(bytes({0x00, 0x00})), bytes({0x9E, 0xEB}));
    // Odd length: the tail byte loses the borrow of the last (wrapped) unit only.
    EXPECT_EQ(decodeBytes(bytes({0x00, 0x00, 0x41})), bytes({0x9E, 0xEB, 0x40}));
    EXPECT_EQ(decodeBytes(bytes({0x62, 0x14, 0x41})), bytes({0x00, 0x00, 0x41}));
    EXPECT_EQ(decodeBytes(bytes({0x00, 0x00, 0x00})), bytes({0x9E, 0xEB, 0xFF}));
    // Exactly N bytes, whatever N; 0 and 1 byte are left as they are.
    EXPECT_TRUE(decodeBytes({}).empty());
    EXPECT_EQ(decodeBytes(bytes({0x41})), bytes({0x41}));
    EXPECT_EQ(encodeBytes(bytes({0x41})), bytes({0x41}));
    // Encoding carries into the tail when the last unit wraps past 65535.
    EXPECT_EQ(encodeBytes(bytes({0xFF, 0xFF, 0x10})), bytes({0x61, 0x14, 0x11}));
}

TEST(Scrambling, EncodeAndDecodeAreExactInversesOnRandomInput)
{
    std::mt19937 random(20260);
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> data(random() % 64);
        for (auto& b : data)
            b = std::uint8_t(random());
        ASSERT_EQ(decodeBytes(encodeBytes(data)), data) << "round " << round;
        ASSERT_EQ(encodeBytes(decodeBytes(data)), data) << "round " << round;
        ASSERT_EQ(decodeBytes(data).size(), data.size());
    }
}

TEST(Scrambling, FileFaultsLeaveTargetAlone)
{
    TempFolder folder;
    const auto source = folder.write("in.pfd", "abcdef");
    const auto target = folder.write("out.xls", "old contents");

    // Refusing to replace keeps the old target and leaves no temporary file.
    auto refused = scrambleFile(ScrambleDirection::Decode, source, target, false);
    EXPECT_EQ(refused.fault, FileFault::TargetExists);
    EXPECT_EQ(folder.read("out.xls"), "old contents");

    EXPECT_EQ(scrambleFile(ScrambleDirection::Decode, folder.path() / "missing.pfd", target).fault,
              FileFault::SourceMissing);
    EXPECT_EQ(scrambleFile(ScrambleDirection::Decode, folder.path(), target).fault,
              FileFault::SourceNotRegular);
    EXPECT_EQ(scrambleFile(ScrambleDirection::Decode, source, folder.path() / "no" / "dir.xls").fault,
              FileFault::TargetCreate);

    // Cancelling through the progress callback writes nothing.
    auto cancelled = scrambleFile(ScrambleDirection::Decode, source, target, true,
                                  [](std::uint64_t, std::uint64_t) { return false; });
    EXPECT_EQ(cancelled.fault, FileFault::Cancelled);
    EXPECT_EQ(folder.read("out.xls"), "old contents");
    EXPECT_EQ(folder.entries(), 2u);  // in.pfd and out.xls only
    EXPECT_EQ(folder.read("in.pfd"), "abcdef");
}

TEST(Scrambling, StreamGivesTheSameBytesHoweverTheTextIsSplit)
{
    std::mt19937 random(31337);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint8_t> data(random() % 50);
        for (auto& b : data)
            b = std::uint8_t(random());
        for (const auto direction : {ScrambleDirection::Decode, ScrambleDirection::Encode}) {
            const auto whole = direction == ScrambleDirection::Decode ? decodeBytes(data) : encodeBytes(data);
            ScrambleStream stream(direction);
            std::string out;
            std::size_t at = 0;
            while (at < data.size()) {
                const std::size_t piece = std::min<std::size_t>(random() % 5, data.size() - at);
                stream.feed({data.data() + at, piece}, out);
                at += piece;
            }
            stream.finish(out);
            ASSERT_EQ(out, std::string(whole.begin(), whole.end())) << "round " << round;
        }
    }
}
