// The fleet summary against the listing of each file on its own, on random files of
// both kinds, read with one and with two threads.
#include <gtest/gtest.h>

#include <map>
#include <random>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "core/files/file_io.h"
#include "core/fleet/fleet_summary.h"
#include "core/fleet/fleet_table.h"
#include "core/fleet/weld_set.h"
#include "core/listing/listing.h"
#include "core/text/csv_text.h"
#include "temp_folder.h"

using namespace kestrava;

namespace {

// An ORV or 5TZ download of a few records of one machine.
std::string randomDownload(std::mt19937& random, bool fiveTz, const std::string& serial)
{
    std::string text = (fiveTz ? sample::kFiveTzHeader : sample::kOrvHeader) + "\r\n";
    const int records = int(random() % 30);
    for (int i = 0; i < records; ++i) {
        const std::string date = std::to_string(10 + random() % 18) + "/0" +
                                 std::to_string(1 + random() % 9) + "/20" +
                                 std::to_string(10 + random() % 10);
        const std::string error =
            std::to_string(std::vector<int>{0, 0, 20, 27, 5, 6}[random() % 6]);
        text += (fiveTz ? sample::fiveTzRecord : sample::orvRecord)(std::to_string(i), serial, date,
                                                                    error) +
                "\r\n";
    }
    return text;
}

// An ORV download of records of serial, numbered from first, one day and error code each.
std::string orvDownload(const std::string& serial, int first, int count)
{
    std::string text = sample::kOrvHeader + "\r\n";
    for (int i = first; i < first + count; ++i)
        text += sample::orvRecord(std::to_string(i), serial,
                                  std::to_string(10 + i % 18) + "/03/2011", i % 3 ? "0" : "27") +
                "\r\n";
    return text;
}

[[maybe_unused]] std::map<std::string, UnreadFile::Why>
reasons(const std::vector<UnreadFile>& unread, const TempFolder& folder)
{
    std::map<std::string, UnreadFile::Why> named;
    for (const auto& file : unread)
        named[file.path.lexically_relative(folder.path()).string()] = file.why;
    return named;
}

}  // namespace

TEST(FleetSummary, AgreesWithListingEachFileAloneWhateverTheThreads)
{
    std::mt19937 random(20261207);
    TempFolder folder;
    std::filesystem::create_directories(folder.path() / "sub");
    std::map<std::string, std::uint64_t> records;  // per serial, from each file's own listing
    std::map<std::string, std::int64_t> errorRows;  // "serial/row" -> count
    const ListingFilter filter{
        .dateOn = true, .from = *parseDateText("01/01/2012"), .to = *parseDateText("31/12/2017")};
    for (int i = 0; i < 40; ++i) {
        const std::string oneMachine =
            randomDownload(random, i % 2, (i % 2 ? "5TZ-" : "ORV-") + std::to_string(i % 3));
        const bool pfd = random() % 2;
        folder.write("sub/f" + std::to_string(i) + (pfd ? ".pfd" : ".xls"),
                     pfd ? sample::scrambled(oneMachine) : oneMachine);
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
            EXPECT_EQ(machine.errorCodes[row].count,
                      errorRows[machine.serial + "/" + std::to_string(row)]);
        EXPECT_EQ(machine.files, machine.paths.size());
        EXPECT_TRUE(machine.first && machine.last && *machine.first >= filter.from &&
                    *machine.last <= filter.to);
        EXPECT_EQ(machine.paths, two->machines[m].paths);
    }
    EXPECT_EQ(fleetCsv(*one), fleetCsv(*two));
    ASSERT_EQ(one->unread.size(), 2u);
    EXPECT_NE(one->unread[0].reason.find("no date in field 3 or 4"), std::string::npos);
    EXPECT_NE(one->unread[1].reason.find("header line"), std::string::npos);
    EXPECT_EQ(one->filesRead, 40u);

    EXPECT_FALSE(
        summariseFleet(files, filter, 2, [](std::uint64_t, std::uint64_t) { return false; }));
}

TEST(FleetSummary, EachDownloadAndEachWeldCountOnceWhateverTheNamesAndThreads)
{
    TempFolder folder;
    const std::string a = orvDownload("S-1", 0, 90) + "0\tS-2\t01/01/2012\t10:00\t20\r\n";
    const auto plain = folder.write("a.xls", a);
    std::filesystem::create_directory(folder.path() / "b");
    folder.write("b/a copy.pfd", sample::scrambled(a));
    // Cut after the 60th record line; a later download repeats the first 40 and adds 30.
    std::size_t cut = 0;
    for (int line = 0; line < 61; ++line)
        cut = a.find("\r\n", cut) + 2;
    folder.write("a-head.xls", a.substr(0, cut));
    folder.write("z.xls", orvDownload("S-1", 0, 40) + orvDownload("S-1", 90, 30).substr(29));

    std::vector<UnreadFile> none;
    const auto alone = summariseFleet(downloadFilesIn({plain}, none), {}, 1);
    ASSERT_TRUE(alone);
    ASSERT_EQ(alone->machines.size(), 2u);
    EXPECT_EQ(alone->machines[0].records, 90u);
    EXPECT_EQ(alone->repeatedRecords, 0u);

    std::vector<UnreadFile> unread;
    const auto files =
        downloadFilesIn({folder.path() / "a-head.xls", folder.path() / "b", plain}, unread);
    for (const unsigned threads : {1u, 2u, 3u}) {
        SCOPED_TRACE(threads);
        const auto all = summariseFleet(files, {}, threads);
        ASSERT_TRUE(all);
        EXPECT_EQ(fleetCsv(*all), fleetCsv(*alone));
        EXPECT_EQ(all->machines[0].paths, std::vector<std::filesystem::path>{plain});
        EXPECT_EQ(all->repeatedRecords, 91u + 60u);
        ASSERT_EQ(all->unread.size(), 1u);
        EXPECT_EQ(all->unread[0].why, UnreadFile::Why::SameDownload);
        EXPECT_EQ(all->unread[0].original, plain);
        EXPECT_EQ(all->filesRead, 2u);  // the copy is not summed up

        // A download with records of its own counts as a file of the machine too.
        auto more = files;
        more.push_back(folder.path() / "z.xls");
        const auto withZ = summariseFleet(more, {}, threads);
        ASSERT_TRUE(withZ);
        EXPECT_EQ(withZ->machines[0].records, 120u);
        EXPECT_EQ(withZ->machines[0].files, 2u);
        EXPECT_EQ(withZ->repeatedRecords, 91u + 60u + 40u);
    }
}

// A download longer than a reader holds before its turn (its welds then go in as it
// reads) counts the same on any number of threads.
TEST(FleetSummary, ALongDownloadCountsTheSameOnAnyNumberOfThreads)
{
    TempFolder folder;
    const std::string longOne = orvDownload("S-1", 0, 70'000);
    std::vector<std::filesystem::path> files = {
        folder.write("long.xls", longOne), folder.write("long.pfd", sample::scrambled(longOne))};
    for (int i = 0; i < 6; ++i)
        files.push_back(folder.write("short" + std::to_string(i) + ".xls",
                                     orvDownload("S-1", 69'950 + i * 20, 100) +
                                         orvDownload("S-2", i, 2).substr(29)));
    std::string first;
    for (const unsigned threads : {1u, 2u, 4u}) {
        const auto summary = summariseFleet(files, {}, threads);
        ASSERT_TRUE(summary);
        ASSERT_EQ(summary->machines.size(), 2u);
        EXPECT_EQ(summary->machines[0].records, 70'150u);
        EXPECT_EQ(summary->machines[1].records, 7u);
        EXPECT_EQ(summary->repeatedRecords, 70'000u + 6u * 100u + 6u * 2u - 150u - 7u);
        if (first.empty())
            first = fleetCsv(*summary);
        EXPECT_EQ(fleetCsv(*summary), first);
    }
}

// Links, FIFOs and sockets: POSIX only.
#ifndef _WIN32
TEST(FleetSummary, EverySkippedNameIsNamedWithItsReason)
{
    TempFolder folder;
    const std::string download = orvDownload("S-1", 0, 3);
    std::filesystem::create_directories(folder.path() / "in/deep/er");
    const auto a = folder.write("in/a.xls", download);
    folder.write("in/deep/er/b.pfd", sample::scrambled(download));
    folder.write("in/notes.txt", "not a download by its name");
    std::filesystem::create_symlink("a.xls", folder.path() / "in/link.xls");
    std::filesystem::create_symlink("nowhere.xls", folder.path() / "in/dangling.xls");
    std::filesystem::create_symlink("..", folder.path() / "in/deep/up");
    ASSERT_EQ(::mkfifo((folder.path() / "in/pipe.pfd").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((folder.path() / "in/pipe.txt").c_str(), 0600), 0);

    std::vector<UnreadFile> unread;
    const auto files = downloadFilesIn(
        {folder.path() / "in", a, folder.path() / "in", folder.path() / "gone"}, unread);
    EXPECT_EQ(files, (std::vector<std::filesystem::path>{a, folder.path() / "in/deep/er/b.pfd"}));
    using Why = UnreadFile::Why;
    EXPECT_EQ(reasons(unread, folder), (std::map<std::string, Why>{
                                           {"in", Why::SameFile},  // given twice
                                           {"in/a.xls", Why::SameFile},
                                           {"in/link.xls", Why::SameFile},
                                           {"in/dangling.xls", Why::NotFound},
                                           {"in/deep/up", Why::SameFile},
                                           {"in/pipe.pfd", Why::NotRegular},
                                           {"gone", Why::NotFound},
                                       }));

    // A subfolder that cannot be opened (through the file layer's hook, so as root too) is
    // named, and the rest is searched.
    int opens = 0;
    fileio::setFaultHook([&](fileio::Operation operation) {
        return operation == fileio::Operation::OpenRead && ++opens == 2;
    });
    unread.clear();
    const auto cut = downloadFilesIn({folder.path() / "in"}, unread);
    fileio::setFaultHook({});
    EXPECT_EQ(cut, std::vector<std::filesystem::path>{a});
    EXPECT_EQ(reasons(unread, folder)["in/deep"], Why::FolderCut);
}
#endif

TEST(FleetTable, CsvFieldsCannotBecomeFormulasOrMoveCells)
{
    const struct {
        std::string cell, bytes, utf8;
    } cases[] = {
        {"S-7", "S-7", "S-7"},
        {"", "", ""},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\"", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"+1", "'+1", "'+1"},
        {"-1", "'-1", "'-1"},
        {"@SUM(A1)", "'@SUM(A1)", "'@SUM(A1)"},
        {"\t=1", "'\t=1", "'\t=1"},
        {"\r=1", "\"'\r=1\"", "\"'\r=1\""},
        {"a,b", "\"a,b\"", "\"a,b\""},
        {"a\nb", "\"a\nb\"", "\"a\nb\""},
        {"x=1", "x=1", "x=1"},
        {std::string("a\0b\x1b[31m\x7f", 9), "a?b?[31m\x7f",
         "a\xEF\xBF\xBD"
         "b\xEF\xBF\xBD[31m\x7f"},
        {"\x01=", "?=", "\xEF\xBF\xBD="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell);
        EXPECT_EQ(csvField(c.cell, CsvText::Bytes), c.bytes);
        EXPECT_EQ(csvField(c.cell, CsvText::Utf8), c.utf8);
    }
}

TEST(FleetTable, OneColumnPerErrorCodeAndLongSerialsShortenedInTheTextOnly)
{
    FleetSummary summary;
    MachineSummary orv;
    orv.serial = std::string(100'000, 'S');
    orv.family = MachineFamily::ORV;
    orv.records = 4;
    setErrorCodeLabels(orv.errorCodes, MachineFamily::ORV);
    orv.errorCodes[0].count = 3;  // E00
    orv.errorCodes[9].count = 1;  // E127
    MachineSummary tz;
    tz.serial = "T-1";
    tz.family = MachineFamily::T5Z;
    tz.records = 2;
    setErrorCodeLabels(tz.errorCodes, MachineFamily::T5Z);
    tz.errorCodes[1].count = 2;  // E05
    summary.machines = {orv, tz};

    EXPECT_EQ(fleetErrorColumns(summary), (std::vector<std::string>{"E00", "E05", "E127"}));
    const std::string csv = fleetCsv(summary);
    EXPECT_EQ(csv, "serial,family,files,records,first,last,not E00,E00,E05,E127\r\n" + orv.serial +
                       ",ORV,0,4,,,25.0%,3,,1\r\nT-1,5TZ,0,2,,,100.0%,,2,\r\n");
    const std::string text = fleetText(summary);
    EXPECT_LT(text.size(), 400u);
    EXPECT_NE(text.find(std::string(kSerialShown, 'S') + "\xE2\x80\xA6  ORV"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\nT-1" + std::string(kSerialShown - 3 + 1 + 2, ' ') + "5TZ"),
              std::string::npos)
        << text;
}

TEST(PathText, NamesAreShownWithControlsAndStrayBytesEscaped)
{
    const struct {
        std::string name, shown;
    } cases[] = {
        {"plain ł.xls", "plain ł.xls"},
        {"Łódź", "Łódź"},  // a character of two bytes at the very end
        {"pipe \xf0\x9f\x94\xa7.xls", "pipe \xf0\x9f\x94\xa7.xls"},  // four bytes, one character
        {"a\nb\r\tc.xls", "a\\nb\\r\\tc.xls"},
        {"\x1b[31mred\x7f", "\\x1b[31mred\\x7f"},
        {"bad\xff\xc3.xls", "bad\\xff\\xc3.xls"},
        {"\xc2\x9b"
         "2J",
         "\\u009b2J"},
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},  // a surrogate is no UTF-8 character
    };
    for (const auto& c : cases)
        EXPECT_EQ(shownText(c.name), c.shown) << c.name;
}

TEST(WeldSet, EachHashOnceInAboutItsOwnSize)
{
    WeldSet set;
    std::mt19937_64 random(7);
    std::vector<Hash128> given;
    for (int i = 0; i < 200'000; ++i)
        given.push_back({random(), random()});
    for (const auto& hash : given)
        EXPECT_TRUE(set.insert(hash));
    for (std::size_t i = 0; i < given.size(); i += 7)
        EXPECT_FALSE(set.insert(given[i]));
    EXPECT_FALSE(set.insert(Hash128{}) && set.insert(Hash128{}));
    EXPECT_EQ(set.size(), given.size() + 1);
    EXPECT_LT(double(set.bytes()) / double(set.size()), 16.0 / 0.6);

    // The same text however it is cut; a different seed, a different hash.
    const std::string text = "1\tS-7\t14/03/2009\t10:00\t0 and some more bytes to go past a block";
    for (std::size_t cut = 0; cut <= text.size(); cut += 5) {
        TextHash pieces;
        pieces.add(std::string_view(text).substr(0, cut));
        pieces.add(std::string_view(text).substr(cut));
        EXPECT_EQ(pieces.result(), hashText(text));
    }
    EXPECT_NE(hashText(text, 1), hashText(text, 2));
}

// The bytes count rises to the files' total size with any number of threads, also over
// a file that is not a weld-record download; stopping through it cancels the run.
TEST(FleetSummary, CountsBytesReadUpToTheFilesSizes)
{
    TempFolder folder;
    std::uint64_t total = 0;
    for (int i = 0; i < 6; ++i) {
        const std::string text = orvDownload("M1", 0, 200 * (i + 1));
        const bool pfd = i % 2;
        const std::string bytes = pfd ? sample::scrambled(text) : text;
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
        const auto summary =
            summariseFleet(files, {}, threads, {}, [&](std::uint64_t done, std::uint64_t all) {
                rising = rising && done > last && all == total;
                last = done;
                return true;
            });
        ASSERT_TRUE(summary);
        EXPECT_TRUE(rising) << threads;
        EXPECT_EQ(last, total) << threads;
    }
    EXPECT_FALSE(
        summariseFleet(files, {}, 2, {}, [](std::uint64_t, std::uint64_t) { return false; }));
}
