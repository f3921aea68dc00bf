// The fleet summary against the listing of each file on its own, on random files of
// both kinds, read with one and with two threads.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "core/fleet/fleet_summary.h"
#include "core/listing/listing.h"
#include "temp_folder.h"

using namespace kestrava;

namespace {

// An ORV or 5TZ download of a few records of one machine.
std::string randomDownload(std::mt19937& random, bool fiveTz, const std::string& serial)
{
    std::string text = fiveTz ? "Weld\tOperator\tSerial\tDate\r\n" : "Weld\tSerial\tDate\tTime\tError\r\n";
    const int records = int(random() % 30);
    for (int i = 0; i < records; ++i) {
        const std::string date = std::to_string(10 + random() % 18) + "/0" +
                                 std::to_string(1 + random() % 9) + "/20" +
                                 std::to_string(10 + random() % 10);
        const std::string error = std::to_string(std::vector<int>{0, 0, 20, 27, 5, 6}[random() % 6]);
        if (fiveTz) {
            text += std::to_string(i) + "\tAnna\t" + serial + "\t" + date;
            for (int field = 5; field < 19; ++field)
                text += "\tx";
            text += "\t" + error + "\r\n";
        } else {
            text += std::to_string(i) + "\t" + serial + "\t" + date + "\t10:00\t" + error + "\r\n";
        }
    }
    return text;
}

}  // namespace

TEST(FleetSummary, AgreesWithListingEachFileAloneWhateverTheThreads)
{
    std::mt19937 random(20261207);
    TempFolder folder;
    std::filesystem::create_directories(folder.path() / "sub");
    std::map<std::string, std::uint64_t> records;  // per serial, from each file's own listing
    std::map<std::string, std::int64_t> errorRows;  // "serial/row" -> count
    ListingFilter filter;
    filter.dateOn = true;
    filter.from = *parseDateText("01/01/2012");
    filter.to = *parseDateText("31/12/2017");
    for (int i = 0; i < 40; ++i) {
        const std::string oneMachine =
            randomDownload(random, i % 2, (i % 2 ? "5TZ-" : "ORV-") + std::to_string(i % 3));
        const bool pfd = random() % 2;
        folder.write("sub/f" + std::to_string(i) + (pfd ? ".pfd" : ".xls"), pfd ? scrambledText(oneMachine) : oneMachine);
        std::string listing;
        const ListingSummary alone = listText(oneMachine, filter, "", listing);
        if (alone.records == 0)
            continue;
        records[alone.serial] += alone.records;
        for (std::size_t row = 0; row < alone.errorCodes.size(); ++row)
            errorRows[alone.serial + "/" + std::to_string(row)] += alone.errorCodes[row].count;
    }
    folder.write("sub/notes.XLS", "ignored: a name Open refuses");
    folder.write("sub/other.xls", "Weld\tSerial\r\n1\tno date here\r\n");
    folder.write("sub/words.xls", "Hello\tthere\r\n");

    std::vector<UnreadFile> unread;
    const auto files = downloadFilesIn({folder.path(), folder.path() / "gone"}, unread);
    EXPECT_EQ(files.size(), 42u);
    ASSERT_EQ(unread.size(), 1u);

    const auto one = summariseFleet(files, filter, 1);
    const auto two = summariseFleet(files, filter, 2);
    ASSERT_TRUE(one && two);
    ASSERT_EQ(one->machines.size(), records.size());
    for (std::size_t m = 0; m < one->machines.size(); ++m) {
        const MachineSummary& machine = one->machines[m];
        EXPECT_EQ(machine.records, records[machine.serial]) << machine.serial;
        for (std::size_t row = 0; row < machine.errorCodes.size(); ++row)
            EXPECT_EQ(machine.errorCodes[row].count, errorRows[machine.serial + "/" + std::to_string(row)]);
        EXPECT_EQ(machine.files, machine.paths.size());
        EXPECT_TRUE(machine.first && machine.last && *machine.first >= filter.from && *machine.last <= filter.to);
        EXPECT_EQ(machine.serial, two->machines[m].serial);
        EXPECT_EQ(machine.records, two->machines[m].records);
        EXPECT_EQ(machine.paths, two->machines[m].paths);
        EXPECT_EQ(machine.first, two->machines[m].first);
    }
    ASSERT_EQ(one->unread.size(), 2u);
    EXPECT_NE(one->unread[0].reason.find("no date in field 3 or 4"), std::string::npos);
    EXPECT_NE(one->unread[1].reason.find("header line"), std::string::npos);
    EXPECT_EQ(one->filesRead, 40u);

    EXPECT_FALSE(summariseFleet(files, filter, 2, [](std::uint64_t, std::uint64_t) { return false; }));
}

// The bytes count rises to the files' total size with any number of threads, also over
// a file that is not a weld-record download; stopping through it cancels the run.
TEST(FleetSummary, CountsBytesReadUpToTheFilesSizes)
{
    TempFolder folder;
    std::uint64_t total = 0;
    for (int i = 0; i < 6; ++i) {
        std::string text = "Weld\tSerial\tDate\tTime\tError\r\n";
        for (int r = 0; r < 200 * (i + 1); ++r)
            text += std::to_string(r) + "\tM1\t01/02/2010\t10:00\t0\r\n";
        const bool pfd = i % 2;
        const std::string bytes = pfd ? scrambledText(text) : text;
        folder.write("f" + std::to_string(i) + (pfd ? ".pfd" : ".xls"), bytes);
        total += bytes.size();
    }
    folder.write("words.xls", "Hello\tthere\r\n");
    total += 13;
    std::vector<UnreadFile> unread;
    const auto files = downloadFilesIn({folder.path()}, unread);

    for (unsigned threads : {1u, 2u}) {
        std::uint64_t last = 0;
        bool rising = true;
        const auto summary = summariseFleet(files, {}, threads, {}, [&](std::uint64_t done, std::uint64_t all) {
            rising = rising && done > last && all == total;
            last = done;
            return true;
        });
        ASSERT_TRUE(summary);
        EXPECT_TRUE(rising) << threads;
        EXPECT_EQ(last, total) << threads;
    }
    EXPECT_FALSE(summariseFleet(files, {}, 2, {}, [](std::uint64_t, std::uint64_t) { return false; }));
}
