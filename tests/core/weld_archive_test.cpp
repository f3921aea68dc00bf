// The weld archive against the fleet summary of the same files, and its refusals.
#ifdef KESTRAVA_HAVE_ARCHIVE

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <regex>
#include <sstream>
#include <tuple>

#include "core/archive/archive_schema.h"
#include "core/archive/weld_archive.h"
#ifdef KESTRAVA_HAVE_XLSX
#include "core/archive/archive_xlsx.h"
#endif
#include "core/fleet/fleet_table.h"
#include "temp_folder.h"

using namespace kestrava;

namespace {

// Record lines of one machine, numbered from first: a day and an error code each.
std::string orvRecords(const std::string& serial, int first, int count)
{
    std::string text;
    for (int i = first; i < first + count; ++i)
        text += sample::orvRecord(std::to_string(i), serial,
                                  std::to_string(10 + i % 18) + "/0" + std::to_string(1 + i % 3) +
                                      "/2009",
                                  i % 4   ? "0"
                                  : i % 8 ? "27"
                                          : "05") +
                "\r\n";
    return text;
}

std::string fiveTzRecords(const std::string& serial, int first, int count)
{
    std::string text;
    for (int i = first; i < first + count; ++i)
        text += sample::fiveTzRecord(std::to_string(i), serial,
                                     std::to_string(10 + i % 18) + "/11/2011", i % 3 ? "0" : "5") +
                "\r\n";
    return text;
}

const std::string kOrvHeader = "Weld No\tSerial No\tDate\tTime\tError\r\n";
const std::string kTzHeader = sample::kFiveTzHeader + "\r\n";

// Overlapping downloads of three machines, in both kinds, and files that are none.
struct Downloads : TempFolder {
    Downloads()
    {
        std::filesystem::create_directory(path() / "sub");
        write("a.xls", kOrvHeader + orvRecords("ORV-1", 0, 60));
        write("sub/b.pfd", sample::scrambled(kOrvHeader + orvRecords("ORV-1", 40, 50) +
                                             orvRecords("ORV-2", 0, 9)));
        write("sub/b copy.xls",
              kOrvHeader + orvRecords("ORV-1", 40, 50) + orvRecords("ORV-2", 0, 9));
        write("c.pfd", sample::scrambled(kTzHeader + fiveTzRecords("5TZ-7", 0, 30)));
        write("d.xls", kTzHeader + fiveTzRecords("5TZ-7", 20, 30));
        write("words.xls", "Hello\tthere\r\n");
        write("nodate.pfd", sample::scrambled("Weld\tSerial\r\n1\tno date here\r\n"));
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

int sqliteSet(const std::filesystem::path& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.string().c_str(), &db);
    const int code = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return code;
}

// The integer columns of the first row sql gives; empty when it gives none.
std::vector<std::int64_t> sqliteRow(const std::filesystem::path& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    std::vector<std::int64_t> row;
    if (sqlite3_open(path.string().c_str(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        for (int column = 0; column < sqlite3_column_count(statement); ++column)
            row.push_back(sqlite3_column_int64(statement, column));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return row;
}

std::vector<StoredWeld> weldsOf(WeldArchive& archive, const ArchiveQuery& query = {})
{
    std::vector<StoredWeld> welds;
    const ArchiveError error = archive.forEachWeld(query, [&](const StoredWeld& weld) {
        welds.push_back(weld);
        return true;
    });
    EXPECT_TRUE(error.ok()) << error.text;
    return welds;
}

std::vector<ArchivedMachine> machinesOf(WeldArchive& archive)
{
    std::vector<ArchivedMachine> machines;
    EXPECT_TRUE(archive.machines(machines).ok());
    return machines;
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
    const ListingFilter march{
        .dateOn = true, .from = *parseDateText("01/03/2009"), .to = *parseDateText("31/03/2009")};
    const ListingFilter error27{.errorOn = true, .errorNumber = 27};
    const ListingFilter error5InNovember{.dateOn = true,
                                         .from = *parseDateText("15/11/2011"),
                                         .to = *parseDateText("30/11/2011"),
                                         .errorOn = true,
                                         .errorNumber = 5};
    for (const Case& each : {Case{"all", {}}, Case{"march", march}, Case{"error 27", error27},
                             Case{"error 5, late November", error5InNovember}}) {
        const auto fleet = summariseFleet(files, each.filter, 1);
        ASSERT_TRUE(fleet);
        EXPECT_EQ(summaryCsv(archive, ArchiveQuery::of(each.filter)), fleetCsv(*fleet))
            << each.name;
    }

    // A second import changes nothing.
    const std::string before = summaryCsv(archive);
    archive.import({folder.path()});
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
    for (const Case& each :
         {Case{"ORV-1", orv1, 90}, Case{"two machines", twoMachines, 9 + 50},
          Case{"errors 27 and 5", errors, 43}, Case{"text", text, 50}, Case{"one day", days, 6}}) {
        const std::vector<StoredWeld> welds = weldsOf(archive, each.query);
        EXPECT_EQ(welds.size(), each.welds) << each.name;
        const auto& machines = each.query.machines;
        for (const StoredWeld& weld : welds)
            EXPECT_TRUE(machines.empty() ||
                        std::find(machines.begin(), machines.end(), weld.serial) != machines.end())
                << each.name;
    }

    // Per error code: ORV-1's welds 0..89.
    std::vector<ErrorCount> counts;
    ASSERT_TRUE(archive.errorCounts(orv1, counts).ok());
    std::map<std::string, std::uint64_t> byLabel;
    for (const auto& count : counts)
        byLabel[count.label] += count.count;
    EXPECT_EQ(byLabel["E00"], 67u);  // i % 4 != 0 of 0..89
    EXPECT_EQ(byLabel["E27"], 11u);  // i % 8 == 4
    EXPECT_EQ(byLabel[""], 12u);  // i % 8 == 0: "05" names no ORV code

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
    const std::vector<StoredWeld> found = weldsOf(archive, weld45);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0].firstFile, utf8Text(folder.path() / "a.xls"));
    std::vector<ArchivedDownload> files;
    ASSERT_TRUE(archive.filesOf(found[0].id, files).ok());
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].name, utf8Text(folder.path() / "a.xls"));
    EXPECT_EQ(files[1].name, utf8Text(folder.path() / "sub" / "b copy.xls"));
}

TEST(WeldArchive, ACancelledImportKeepsTheFilesFinishedAndNothingOfTheOneInProgress)
{
    TempFolder folder;
    folder.write("big.xls", kOrvHeader + orvRecords("ORV-1", 0, 20000));
    folder.write("small.xls", kOrvHeader + orvRecords("ORV-2", 0, 10));
    const std::uint64_t bigSize = std::filesystem::file_size(folder.path() / "big.xls");
    // The larger file is imported first (read on a thread of its own while its welds
    // are written); the cancel comes half-way through one or the other.
    const struct {
        std::uint64_t cancelAfter;  // bytes read
        std::uint64_t filesAdded;
    } cases[] = {{bigSize / 2, 0}, {bigSize, 1}};
    for (const auto& each : cases) {
        SCOPED_TRACE(each.cancelAfter);
        const std::filesystem::path path = folder.path() / "archive.sqlite";
        std::filesystem::remove(path);
        WeldArchive archive;
        ASSERT_TRUE(archive.open(path, true).ok());
        const ImportReport report =
            archive.import({folder.path()}, [&](std::uint64_t done, std::uint64_t) {
                return done <= each.cancelAfter;
            });
        EXPECT_TRUE(report.cancelled);
        EXPECT_EQ(report.filesAdded, each.filesAdded);
        std::vector<ArchivedDownload> downloads;
        archive.downloads(downloads);
        ASSERT_EQ(downloads.size(), each.filesAdded);
        if (each.filesAdded > 0) {
            EXPECT_EQ(downloads[0].records, 20000u);
        }
        for (const char* serial : {"ORV-1", "ORV-2"}) {
            ArchiveQuery query;
            query.machines = {serial};
            EXPECT_EQ(weldsOf(archive, query).size(),
                      serial == std::string("ORV-1") ? 20000 * each.filesAdded : 0u);
        }
    }
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
             sqliteSet(path, "PRAGMA user_version = " + std::to_string(kArchiveSchemaVersion + 1));
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
        {"not SQLite", [&] { return folder.write("text.sqlite", std::string(8192, 'x')); },
         ArchiveFault::NotArchive},
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

// Page after page in every order gives the selection sorted as the order says: welds
// without a date or error number first going up and last going down, then as imported.
TEST(WeldArchive, AnOlderArchiveIsBroughtUpToDateAfterACopyIsKept)
{
    // What the archive answers: the files of every weld, the machines with their welds,
    // and the welds of one machine and period in date order.
    const auto answers = [](const std::filesystem::path& path) {
        WeldArchive archive;
        const ArchiveError opened = archive.open(path, false);
        EXPECT_TRUE(opened.ok()) << opened.text;
        std::vector<std::string> out;
        for (const StoredWeld& weld : weldsOf(archive)) {
            std::vector<ArchivedDownload> files;
            EXPECT_TRUE(archive.filesOf(weld.id, files).ok());
            std::string line = std::to_string(weld.id);
            for (const auto& file : files)
                line += " " + file.name;
            out.push_back(line);
        }
        for (const auto& machine : machinesOf(archive))
            out.push_back(machine.serial + " " + std::to_string(machine.welds));
        ArchiveQuery query;
        query.machines = {"ORV-1"};
        query.from = *parseDateText("12/01/2009");
        for (const bool allMachines : {false, true}) {
            if (allMachines)
                query.machines.clear();
            std::vector<StoredWeld> page;
            EXPECT_TRUE(archive.page(query, WeldOrder::Date, false, nullptr, 20, page).ok());
            for (const auto& weld : page)
                out.push_back("page " + std::to_string(weld.id));
        }
        return out;
    };
    // The layouts before this one, made from an archive of this one: version 2 kept a
    // 128-bit key blob in the welds' table under SQLite's indexes; version 1 also had the
    // first download of each weld among its sightings, and other indexes.
    const std::string secondLayout =
        "DROP TABLE weld_keys; DROP TABLE machine_days; ALTER TABLE machines DROP COLUMN welds;"
        "CREATE TABLE welds_old(id INTEGER PRIMARY KEY, machine INTEGER NOT NULL REFERENCES "
        "machines(id),"
        " download INTEGER NOT NULL REFERENCES downloads(id), day INTEGER, error INTEGER, "
        "error_row INTEGER,"
        " line BLOB NOT NULL, line_hash BLOB NOT NULL, UNIQUE(machine, day, line_hash));"
        "INSERT INTO welds_old SELECT id, machine, download, day, error, error_row, line, "
        "randomblob(16) FROM welds;"
        "DROP TABLE welds; ALTER TABLE welds_old RENAME TO welds;"
        "CREATE INDEX welds_by_day ON welds(day);"
        "PRAGMA user_version = 2;";
    const std::string firstLayout =
        secondLayout + "INSERT INTO sightings(weld, download) SELECT id, download FROM welds;"
                       "CREATE INDEX welds_by_machine_day ON welds(machine, day);"
                       "CREATE INDEX welds_by_machine_error ON welds(machine, error);"
                       "PRAGMA user_version = 1;";
    for (const int version : {1, 2}) {
        Downloads folder;
        // Welds without a date: found again after the upgrade under day 0.
        folder.write("odd.xls", kOrvHeader +
                                    "3\tORV-3\t02/01/2009\t10:00\t\r\n1\tORV-3\t\t10:00\t\r\n" +
                                    "2\tORV-3\tsoon\t10:00\t0\r\n");
        const auto path = folder.path() / "archive.sqlite";
        const std::string copyName = "archive.sqlite.v" + std::to_string(version) + ".bak";
        const auto copy = folder.path() / copyName;
        {
            WeldArchive archive;
            ASSERT_TRUE(archive.open(path, true).ok());
            archive.import({folder.path()});
        }
        const std::vector<std::string> before = answers(path);
        ASSERT_GT(before.size(), 100u);
        ASSERT_EQ(sqliteSet(path, version == 1 ? firstLayout : secondLayout), SQLITE_OK) << version;

        // The copy's place taken: refused, nothing changed.
        folder.write(copyName, "mine");
        const std::string oldBytes = fileText(path);
        {
            WeldArchive archive;
            const ArchiveError refused = archive.open(path, false);
            EXPECT_EQ(refused.fault, ArchiveFault::Open) << version;
            EXPECT_NE(refused.text.find(copyName), std::string::npos) << refused.text;
        }
        EXPECT_EQ(fileText(path), oldBytes) << version;
        EXPECT_EQ(fileText(copy), "mine") << version;
        std::filesystem::remove(copy);

        EXPECT_EQ(answers(path), before) << version;  // upgraded on opening, the same answers
        // The copy is of the old layout.
        EXPECT_EQ(sqliteRow(copy, "PRAGMA user_version"), std::vector<std::int64_t>{version});
        // Imported again into the upgraded archive: nothing new.
        WeldArchive archive;
        ASSERT_TRUE(archive.open(path, true).ok());
        const ImportReport again = archive.import({folder.path()});
        EXPECT_EQ(again.weldsAdded, 0u) << version;
        EXPECT_EQ(again.filesAdded, 0u) << version;
    }
}

// Files large enough to be read on a thread of their own and their keys sorted in two
// halves: every weld once, under one key, whichever file brought it.
TEST(WeldArchive, LargeDownloadsAddEachWeldOnceUnderOneKey)
{
    TempFolder folder;
    folder.write("big.xls", kOrvHeader + orvRecords("ORV-1", 0, 70000));
    folder.write("more.pfd", sample::scrambled(kOrvHeader + orvRecords("ORV-1", 60000, 20000) +
                                               orvRecords("ORV-2", 0, 100)));
    folder.write("big copy.xls", kOrvHeader + orvRecords("ORV-1", 0, 70000));
    const auto path = folder.path() / "archive.sqlite";
    WeldArchive archive;
    ASSERT_TRUE(archive.open(path, true).ok());
    const struct {
        const char* file;
        std::uint64_t added, known;
    } imports[] = {{"big.xls", 70000, 0}, {"more.pfd", 10100, 10000}, {"big copy.xls", 0, 70000}};
    for (const auto& each : imports) {
        const ImportReport report = archive.import({folder.path() / each.file});
        EXPECT_EQ(report.weldsAdded, each.added) << each.file;
        EXPECT_EQ(report.weldsKnown, each.known) << each.file;
    }
    const std::vector<ArchivedMachine> machines = machinesOf(archive);
    ASSERT_EQ(machines.size(), 2u);
    EXPECT_EQ(machines[0].welds + machines[1].welds, 80100u);
    // Each weld's key leads to it; no other key.
    EXPECT_EQ(sqliteRow(path, "SELECT count(*), (SELECT count(*) FROM weld_keys), (SELECT "
                              "count(*) FROM welds) FROM weld_keys k JOIN welds w ON w.id = "
                              "k.weld AND w.machine = k.machine AND ifnull(w.day, 0) = k.day"),
              (std::vector<std::int64_t>{80100, 80100, 80100}));
}

// A weld under the key of another line of its machine and day (as two lines whose
// keys agree): the other line is added under the next key, and found there again.
TEST(WeldArchive, ALineUnderAnotherLinesKeyIsToldApartByItsBytes)
{
    TempFolder folder;
    const std::string first = "1\tORV-1\t10/01/2009\t10:00\t0\r\n";
    const std::string second = "2\tORV-1\t10/01/2009\t11:00\t0\r\n";
    folder.write("a.xls", kOrvHeader + first);
    folder.write("b.xls", kOrvHeader + second);
    folder.write("c.xls", kOrvHeader + second + "3\tORV-1\t11/01/2009\t10:00\t0\r\n");
    const auto path = folder.path() / "archive.sqlite";
    const auto imported = [&](const char* name) {
        WeldArchive archive;
        EXPECT_TRUE(archive.open(path, true).ok());
        const ImportReport report = archive.import({folder.path() / name});
        return std::to_string(report.weldsAdded) + " added, " + std::to_string(report.weldsKnown) +
               " known";
    };
    EXPECT_EQ(imported("a.xls"), "1 added, 0 known");
    const std::int64_t key =
        archive::lineKey(second.substr(0, second.size() - 2), MachineFamily::ORV);
    ASSERT_EQ(sqliteSet(path, "UPDATE weld_keys SET line_key = " + std::to_string(key)), SQLITE_OK);
    EXPECT_EQ(imported("b.xls"), "1 added, 0 known");
    EXPECT_EQ(imported("c.xls"), "1 added, 1 known");
    WeldArchive archive;
    ASSERT_TRUE(archive.open(path, false).ok());
    const std::vector<ArchivedMachine> machines = machinesOf(archive);
    ASSERT_EQ(machines.size(), 1u);
    EXPECT_EQ(machines[0].welds, 3u);
}

TEST(WeldArchive, PagesFollowEachOtherInEveryOrder)
{
    Downloads folder;
    // ORV-3: welds without a readable date or error code (the first record of a
    // download has a date).
    folder.write("odd.xls", kOrvHeader +
                                "3\tORV-3\t02/01/2009\t10:00\t\r\n1\tORV-3\t\t10:00\t\r\n" +
                                "2\tORV-3\tsoon\t10:00\t0\r\n" + orvRecords("ORV-3", 4, 5));
    WeldArchive archive;
    ASSERT_TRUE(archive.open(folder.path() / "archive.sqlite", true).ok());
    ASSERT_EQ(archive.import({folder.path()}).filesAdded, 5u);

    ArchiveQuery twoMachines;
    twoMachines.machines = {"ORV-3", "ORV-2"};
    twoMachines.to = *parseDateText("20/03/2009");
    for (const ArchiveQuery& query : {ArchiveQuery{}, twoMachines}) {
        const std::vector<StoredWeld> all = weldsOf(archive, query);
        for (const WeldOrder order :
             {WeldOrder::Imported, WeldOrder::Date, WeldOrder::Machine, WeldOrder::Error}) {
            for (const bool descending : {false, true}) {
                // The key of a weld: (has a key, key, id); no key sorts before every key.
                const auto key = [order](const StoredWeld& weld) {
                    std::tuple<bool, std::int64_t, std::string, std::int64_t> k{true, 0, "",
                                                                                weld.id};
                    if (order == WeldOrder::Date)
                        k = {bool(weld.day), weld.day ? weld.day->time_since_epoch().count() : 0,
                             "", weld.id};
                    if (order == WeldOrder::Error)
                        k = {bool(weld.error), weld.error.value_or(0), "", weld.id};
                    if (order == WeldOrder::Machine)
                        std::get<2>(k) = weld.serial;
                    return k;
                };
                std::vector<StoredWeld> expected = all;
                std::sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
                    return descending ? key(b) < key(a) : key(a) < key(b);
                });
                std::vector<std::int64_t> paged;
                std::vector<StoredWeld> page;
                do {
                    const StoredWeld last = page.empty() ? StoredWeld{} : page.back();
                    ASSERT_TRUE(
                        archive
                            .page(query, order, descending, page.empty() ? nullptr : &last, 7, page)
                            .ok());
                    for (const StoredWeld& weld : page)
                        paged.push_back(weld.id);
                    ASSERT_LE(paged.size(), all.size());
                } while (page.size() == 7);
                std::vector<std::int64_t> ids;
                for (const StoredWeld& weld : expected)
                    ids.push_back(weld.id);
                EXPECT_EQ(paged, ids)
                    << int(order) << " " << descending << " " << query.machines.size();
            }
        }
    }

    const std::vector<ArchivedMachine> machines = machinesOf(archive);
    ASSERT_EQ(machines.size(), 4u);
    EXPECT_EQ(machines[0].serial, "5TZ-7");
    EXPECT_EQ(machines[0].welds, 50u);
    EXPECT_EQ(machines[3].serial, "ORV-3");
    EXPECT_EQ(machines[3].welds, 8u);

    // Per month, the records whose code is not E00 among them.
    ArchiveQuery orv3;
    orv3.machines = {"ORV-3"};
    std::vector<MonthCount> months;
    ASSERT_TRUE(archive.monthCounts(orv3, months).ok());
    std::uint64_t counted = 0;
    std::uint64_t notE00 = 0;
    for (const MonthCount& month : months) {
        counted += month.count;
        notE00 += month.notE00;
    }
    EXPECT_EQ(counted, 8u);
    EXPECT_EQ(notE00, 4u);  // welds 1 and 3 (no code), 4 (E27), 8 ("05": no code)
}

#if defined(KESTRAVA_HAVE_XLSX) && !defined(_WIN32)
namespace {

// The cells of a worksheet's XML: per row, per column, the text or the number and
// whether it is a number and styled (the date format is the only style of a body cell).
struct Cell {
    std::string value;
    bool number = false;
    bool styled = false;
};

std::vector<std::vector<Cell>> sheetRows(const std::string& xml)
{
    std::vector<std::vector<Cell>> rows;
    const std::regex row("<row [^>]*>(.*?)</row>");
    const std::regex cell(
        R"(<c r="([A-Z]+)\d+"( s="\d+")?( t="inlineStr")?>(?:<v>([^<]*)</v>|<is><t[^>]*>([^<]*)</t></is>)</c>)");
    for (auto r = std::sregex_iterator(xml.begin(), xml.end(), row); r != std::sregex_iterator();
         ++r) {
        const std::string cells = (*r)[1];
        std::vector<Cell> out;
        for (auto c = std::sregex_iterator(cells.begin(), cells.end(), cell);
             c != std::sregex_iterator(); ++c) {
            const std::size_t column = std::size_t((*c)[1].str()[0] - 'A');
            out.resize(column + 1);
            out[column] = {(*c)[3].matched ? (*c)[5].str() : (*c)[4].str(), !(*c)[3].matched,
                           (*c)[2].matched};
        }
        rows.push_back(out);
    }
    return rows;
}

std::string unzipped(const std::filesystem::path& zip, const std::string& member)
{
    std::string text;
    const std::string command = "unzip -p '" + zip.string() + "' " + member + " 2>/dev/null";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[65536];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

}  // namespace

// The workbook holds the CSV's rows, a sheet per header: dates as date cells, plain
// numbers as numbers, the rest as text; the header row frozen under an autofilter.
TEST(WeldArchive, TheWorkbookHoldsTheCsvRowsTyped)
{
    Downloads folder;
    WeldArchive archive;
    ASSERT_TRUE(archive.open(folder.path() / "archive.sqlite", true).ok());
    archive.import({folder.path()});
    ArchiveQuery query;
    query.errors = {0, 5};
    std::string csv;
    ASSERT_TRUE(archive
                    .csv(query,
                         [&](std::string_view bytes) {
                             csv += bytes;
                             return true;
                         })
                    .ok());
    const std::filesystem::path target = folder.path() / "welds.xlsx";
    ASSERT_TRUE(writeArchiveXlsx(archive, query, target, false, Language::English).ok());
    // Not replaced unless asked.
    EXPECT_EQ(writeArchiveXlsx(archive, query, target, false, Language::English).file.fault,
              FileFault::TargetExists);

    std::vector<std::vector<Cell>> rows;
    for (const char* sheet : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"}) {
        const std::string xml = unzipped(target, sheet);
        ASSERT_FALSE(xml.empty()) << sheet << ": is unzip installed?";
        EXPECT_NE(xml.find("ySplit=\"1\""), std::string::npos) << sheet;
        EXPECT_NE(xml.find("state=\"frozen\""), std::string::npos) << sheet;
        EXPECT_NE(xml.find("<autoFilter ref=\"A1:"), std::string::npos) << sheet;
        const auto sheetRowsRead = sheetRows(xml);
        rows.insert(rows.end(), sheetRowsRead.begin(), sheetRowsRead.end());
    }
    EXPECT_TRUE(unzipped(target, "xl/worksheets/sheet3.xml").empty());

    std::vector<std::vector<std::string>> csvRows;
    for (std::size_t start = 0; start < csv.size();) {
        const std::size_t end = csv.find("\r\n", start);
        std::vector<std::string> fields;
        std::stringstream line(csv.substr(start, end - start));
        for (std::string field; std::getline(line, field, ',');)
            fields.push_back(field);
        csvRows.push_back(fields);
        start = end + 2;
    }
    ASSERT_EQ(rows.size(), csvRows.size());
    std::size_t dates = 0;
    std::size_t numbers = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& fields = csvRows[r];
        ASSERT_LE(rows[r].size(), fields.size()) << r;
        for (std::size_t c = 0; c < fields.size(); ++c) {
            const Cell cell = c < rows[r].size() ? rows[r][c] : Cell{};
            const auto day = parseDateText(fields[c]);
            if (day && cell.number) {
                ++dates;
                EXPECT_TRUE(cell.styled);
                EXPECT_EQ(cell.value, std::to_string(day->time_since_epoch().count() + 25569))
                    << r << "," << c;
            } else if (cell.number) {
                ++numbers;
                EXPECT_TRUE(isPlainNumber(fields[c])) << fields[c];
                EXPECT_EQ(std::stod(cell.value), std::stod(fields[c])) << r << "," << c;
            } else {
                EXPECT_EQ(cell.value, fields[c]) << r << "," << c;
            }
        }
    }
    EXPECT_GT(dates, 50u);
    EXPECT_GT(numbers, 100u);

    // What a number cell takes, and what stays text.
    for (const char* number : {"0", "12", "-3", "+4", "39.5", "0.25", "123456789012345"})
        EXPECT_TRUE(isPlainNumber(number)) << number;
    for (const char* text :
         {"", "-", "007", "1.", ".5", "1e5", "1,5", "12 ", "1234567890123456", "A0000X", "08:00"})
        EXPECT_FALSE(isPlainNumber(text)) << text;
}
#endif

#endif
