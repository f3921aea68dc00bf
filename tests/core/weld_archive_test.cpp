// The weld archive against the fleet summary of the same files, and its refusals.
#ifdef KESTRAVA_HAVE_ARCHIVE

#include <gtest/gtest.h>

#include <sqlite3.h>

#include "core/archive/weld_archive.h"
#include "core/fleet/fleet_table.h"
#include "temp_folder.h"

using namespace kestrava;

namespace {

// Record lines of one machine, numbered from first: a day and an error code each.
std::string orvRecords(const std::string& serial, int first, int count)
{
    std::string text;
    for (int i = first; i < first + count; ++i)
        text += std::to_string(i) + "\t" + serial + "\t" + std::to_string(10 + i % 18) + "/0" +
                std::to_string(1 + i % 3) + "/2009\t10:00\t" + (i % 4 ? "0" : i % 8 ? "27" : "05") + "\r\n";
    return text;
}

std::string fiveTzRecords(const std::string& serial, int first, int count)
{
    std::string text;
    for (int i = first; i < first + count; ++i) {
        text += std::to_string(i) + "\tAnna\t" + serial + "\t" + std::to_string(10 + i % 18) + "/11/2011";
        for (int field = 5; field < 19; ++field)
            text += "\tx";
        text += std::string("\t") + (i % 3 ? "0" : "5") + "\r\n";
    }
    return text;
}

const std::string kOrvHeader = "Weld No\tSerial No\tDate\tTime\tError\r\n";
const std::string kTzHeader = "Weld\tOperator\tSerial\tDate\r\n";

// Overlapping downloads of three machines, in both kinds, and files that are none.
struct Downloads : TempFolder {
    Downloads()
    {
        std::filesystem::create_directory(path() / "sub");
        write("a.xls", kOrvHeader + orvRecords("ORV-1", 0, 60));
        write("sub/b.pfd", scrambledText(kOrvHeader + orvRecords("ORV-1", 40, 50) + orvRecords("ORV-2", 0, 9)));
        write("sub/b copy.xls", kOrvHeader + orvRecords("ORV-1", 40, 50) + orvRecords("ORV-2", 0, 9));
        write("c.pfd", scrambledText(kTzHeader + fiveTzRecords("5TZ-7", 0, 30)));
        write("d.xls", kTzHeader + fiveTzRecords("5TZ-7", 20, 30));
        write("words.xls", "Hello\tthere\r\n");
        write("nodate.pfd", scrambledText("Weld\tSerial\r\n1\tno date here\r\n"));
        write("notes.txt", "not a download by its name");
    }
};

std::string summaryCsv(WeldArchive& archive, const ArchiveQuery& query = {})
{
    FleetSummary summary;
    const ArchiveError error = archive.summary(query, summary);
    EXPECT_TRUE(error.ok()) << error.text;
    return fleetCsv(summary);
}

int sqliteSet(const std::filesystem::path& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.string().c_str(), &db);
    const int code = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return code;
}

}  // namespace

TEST(WeldArchive, ImportGivesTheFleetSummaryUnderEveryFilter)
{
    Downloads folder;
    WeldArchive archive;
    ASSERT_TRUE(archive.open(folder.path() / "data" / "archive.sqlite", true).ok());
    const ImportReport report = archive.import({folder.path(), folder.path() / "notes.txt"});
    ASSERT_TRUE(report.error.ok()) << report.error.text;
    EXPECT_EQ(report.filesAdded, 4u);  // b copy.xls is b.pfd's download
    EXPECT_EQ(report.weldsAdded, 90u + 9u + 50u);
    EXPECT_EQ(report.filesRefused, 3u);  // words, nodate, notes.txt

    std::vector<UnreadFile> unread;
    const auto files = downloadFilesIn({folder.path()}, unread);
    struct Case {
        const char* name;
        ListingFilter filter;
    };
    ListingFilter march;
    march.dateOn = true;
    march.from = *parseDateText("01/03/2009");
    march.to = *parseDateText("31/03/2009");
    ListingFilter error27;
    error27.errorOn = true;
    error27.errorNumber = 27;
    ListingFilter error5InNovember = error27;
    error5InNovember.errorNumber = 5;
    error5InNovember.dateOn = true;
    error5InNovember.from = *parseDateText("15/11/2011");
    error5InNovember.to = *parseDateText("30/11/2011");
    for (const Case& each : {Case{"all", {}}, Case{"march", march}, Case{"error 27", error27},
                             Case{"error 5, late November", error5InNovember}}) {
        const auto fleet = summariseFleet(files, each.filter, 1);
        ASSERT_TRUE(fleet);
        EXPECT_EQ(summaryCsv(archive, ArchiveQuery::of(each.filter)), fleetCsv(*fleet)) << each.name;
    }

    // A second import adds nothing and changes nothing.
    const std::string before = summaryCsv(archive);
    const ImportReport again = archive.import({folder.path()});
    EXPECT_EQ(again.filesAdded, 0u);
    EXPECT_EQ(again.weldsAdded, 0u);
    EXPECT_EQ(summaryCsv(archive), before);
    std::vector<ArchivedDownload> downloads;
    ASSERT_TRUE(archive.downloads(downloads).ok());
    EXPECT_EQ(downloads.size(), 4u);
}

TEST(WeldArchive, QueriesCountsAndTheFilesOfAWeld)
{
    Downloads folder;
    WeldArchive archive;
    ASSERT_TRUE(archive.open(folder.path() / "archive.sqlite", true).ok());
    archive.import({folder.path()});

    struct Case {
        const char* name;
        ArchiveQuery query;
        std::size_t welds;
    };
    ArchiveQuery orv1;
    orv1.machines = {"ORV-1"};
    ArchiveQuery twoMachines;
    twoMachines.machines = {"ORV-2", "5TZ-7"};
    ArchiveQuery errors;
    errors.errors = {27, 5};
    ArchiveQuery text;
    text.text = "Anna";  // 5TZ-7's operator
    ArchiveQuery days;
    days.from = *parseDateText("10/01/2009");
    days.to = *parseDateText("10/01/2009");
    // Errors: ORV-1's 27s (11) and "05"s (12, read as 5 by the error filter), ORV-2's (1
    // and 2), 5TZ-7's 5s (17). The day: every 18th weld of the ORV machines.
    for (const Case& each : {Case{"ORV-1", orv1, 90}, Case{"two machines", twoMachines, 9 + 50},
                             Case{"errors 27 and 5", errors, 43}, Case{"text", text, 50}, Case{"one day", days, 6}}) {
        std::size_t welds = 0;
        ASSERT_TRUE(archive.forEachWeld(each.query, [&](const StoredWeld& weld) {
            ++welds;
            if (!each.query.machines.empty()) {
                EXPECT_NE(std::find(each.query.machines.begin(), each.query.machines.end(), weld.serial),
                          each.query.machines.end());
            }
            return true;
        }).ok());
        EXPECT_EQ(welds, each.welds) << each.name;
    }

    // Per error code: ORV-1's welds 0..89.
    std::vector<ErrorCount> counts;
    ASSERT_TRUE(archive.errorCounts(orv1, counts).ok());
    std::map<std::string, std::uint64_t> byLabel;
    for (const auto& count : counts)
        byLabel[count.label] += count.count;
    EXPECT_EQ(byLabel["E00"], 67u);   // i % 4 != 0 of 0..89
    EXPECT_EQ(byLabel["E27"], 11u);   // i % 8 == 4
    EXPECT_EQ(byLabel[""], 12u);      // i % 8 == 0: "05" names no ORV code

    std::vector<MonthCount> months;
    ASSERT_TRUE(archive.monthCounts(orv1, months).ok());
    ASSERT_EQ(months.size(), 3u);
    EXPECT_EQ(months[0].year, 2009);
    EXPECT_EQ(months[0].month, 1u);
    EXPECT_EQ(months[0].count + months[1].count + months[2].count, 90u);

    // Weld 45 of ORV-1 stands in a.xls (first) and in b's download (taken as "b copy.xls",
    // plain before scrambled).
    ArchiveQuery weld45 = orv1;
    weld45.text = "45\tORV-1\t";
    std::int64_t id = 0;
    archive.forEachWeld(weld45, [&](const StoredWeld& weld) {
        id = weld.id;
        EXPECT_EQ(weld.firstFile, utf8Text(folder.path() / "a.xls"));
        return false;
    });
    std::vector<ArchivedDownload> files;
    ASSERT_TRUE(archive.filesOf(id, files).ok());
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].name, utf8Text(folder.path() / "a.xls"));
    EXPECT_EQ(files[1].name, utf8Text(folder.path() / "sub" / "b copy.xls"));
}

TEST(WeldArchive, ACancelledImportKeepsTheFilesFinishedAndNothingOfTheOneInProgress)
{
    TempFolder folder;
    folder.write("big.xls", kOrvHeader + orvRecords("ORV-1", 0, 20000));
    folder.write("small.xls", kOrvHeader + orvRecords("ORV-2", 0, 10));
    WeldArchive archive;
    ASSERT_TRUE(archive.open(folder.path() / "archive.sqlite", true).ok());
    // The larger file is imported first; the cancel comes half-way through the smaller.
    std::uint64_t bigSize = std::filesystem::file_size(folder.path() / "big.xls");
    const ImportReport report = archive.import({folder.path()}, [&](std::uint64_t done, std::uint64_t) {
        return done <= bigSize;
    });
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.filesAdded, 1u);
    std::vector<ArchivedDownload> downloads;
    archive.downloads(downloads);
    ASSERT_EQ(downloads.size(), 1u);
    EXPECT_EQ(downloads[0].records, 20000u);
    ArchiveQuery orv2;
    orv2.machines = {"ORV-2"};
    std::size_t welds = 0;
    archive.forEachWeld(orv2, [&](const StoredWeld&) { return ++welds, true; });
    EXPECT_EQ(welds, 0u);
}

TEST(WeldArchive, AnArchiveItCannotTrustIsRefusedAndLeftAsItIs)
{
    TempFolder folder;
    folder.write("a.xls", kOrvHeader + orvRecords("ORV-1", 0, 2000));
    const auto made = [&](const std::string& name) {
        const auto path = folder.path() / name;
        WeldArchive archive;
        EXPECT_TRUE(archive.open(path, true).ok());
        archive.import({folder.path() / "a.xls"});
        return path;
    };
    struct Case {
        const char* name;
        std::function<std::filesystem::path()> make;
        ArchiveFault fault;
    };
    const std::vector<Case> cases = {
        {"newer layout",
         [&] {
             const auto path = made("newer.sqlite");
             sqliteSet(path, "PRAGMA user_version = 2");
             return path;
         },
         ArchiveFault::Newer},
        {"another program's database",
         [&] {
             const auto path = folder.path() / "other.sqlite";
             sqliteSet(path, "CREATE TABLE t(x)");
             return path;
         },
         ArchiveFault::NotArchive},
        {"not SQLite", [&] { return folder.write("text.sqlite", std::string(8192, 'x')); }, ArchiveFault::NotArchive},
        {"damaged",
         [&] {
             const auto path = made("damaged.sqlite");
             sqliteSet(path, "PRAGMA wal_checkpoint(TRUNCATE); PRAGMA journal_mode = DELETE");
             // Garbage over the pages after the first: the tables' pages no longer read.
             std::string bytes = fileText(path);
             for (std::size_t i = 4096 * 3; i < bytes.size() && i < 4096 * 6; ++i)
                 bytes[i] = char(i * 7);
             return folder.write("damaged.sqlite", bytes);
         },
         ArchiveFault::Damaged},
    };
    for (const Case& each : cases) {
        const auto path = each.make();
        const std::string before = fileText(path);
        for (const bool forImport : {true, false}) {
            WeldArchive archive;
            const ArchiveError error = archive.open(path, forImport);
            EXPECT_EQ(error.fault, each.fault) << each.name << ": " << error.text;
            EXPECT_NE(error.text.find(utf8Text(path)), std::string::npos) << each.name;
        }
        EXPECT_EQ(fileText(path), before) << each.name;
    }
    WeldArchive missing;
    EXPECT_EQ(missing.open(folder.path() / "none.sqlite", false).fault, ArchiveFault::Missing);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "none.sqlite"));
}

#endif
