// kestrava-cli archive: its listing against `list`, its summary against `summary`, and
// imports killed at random moments.
#if defined(KESTRAVA_HAVE_ARCHIVE) && !defined(_WIN32)

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <random>

#include "cli_run.h"

namespace {

const std::string kExamples = KESTRAVA_EXAMPLES_DIR;

// A plain download of count records of one machine, all lines different.
std::string orvDownload(const std::string& serial, int count)
{
    std::string text = "Weld No\tSerial No\tDate\tTime\tError\tFitting\tOperator\r\n";
    for (int i = 0; i < count; ++i)
        text += std::to_string(i) + "\t" + serial + "\t" + std::to_string(10 + i % 18) + "/0" +
                std::to_string(1 + i % 9) + "/2010\t10:" + std::to_string(10 + i % 50) + "\t" +
                (i % 5 ? "0" : "27") + "\tCoupler " + std::to_string(i % 400) + "\tAnna Nowak\r\n";
    return text;
}

// The arguments base, then more.
std::vector<std::string> with(std::vector<std::string> base, const std::vector<std::string>& more)
{
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

std::string sqliteText(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    std::string text;
    // A connection that may write: the log a killed import left is taken back in first
    // (what was committed stays as it is).
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW) {
                const auto* value = sqlite3_column_text(statement, 0);
                text += (value ? reinterpret_cast<const char*>(value) : "NULL") + std::string("\n");
            }
        } else {
            text = sqlite3_errmsg(db);
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return text;
}

}  // namespace

TEST(CliArchive, ListingOfOneDownloadIsTheListByteForByte)
{
    CliFolder folder;
    const std::vector<std::vector<std::string>> filters = {
        {},
        {"--error", "0"},
        {"--error", "27"},
        {"--error", "5"},
        {"--from", "5/3/2009", "--to", "10/03/2009"},
        {"--from", "15/11/2011"},
        {"--to", "15/11/2011", "--error", "0"},
    };
    for (const std::string name :
         {"orv_sample.xls", "orv_sample.pfd", "5tz_sample.xls", "5tz_sample.pfd"}) {
        const std::string file = kExamples + "/" + name;
        const std::string archive = folder / (name + ".sqlite");
        const auto imported = cli({"archive", "import", "--archive", archive, file});
        ASSERT_EQ(imported.status, 0) << imported.err;
        std::size_t compared = 0;
        for (const auto& filter : filters) {
            const auto list = with({"list", file}, filter);
            const auto archived = with({"archive", "list", "--archive", archive}, filter);
            const auto expected = cli(list);
            const auto got = cli(archived);
            ASSERT_EQ(expected.status, 0) << shown(list) << expected.err;
            EXPECT_EQ(got.status, 0) << shown(archived) << got.err;
            // A selection of no weld lists nothing (`list` shows the header alone).
            if (std::count(expected.out.begin(), expected.out.end(), '\n') == 1) {
                EXPECT_EQ(got.out, "") << shown(archived);
                continue;
            }
            EXPECT_EQ(got.out, expected.out) << shown(archived);
            ++compared;

            // The protocols and the report of the same welds: the archive names a weld's
            // download by the path it was imported from.
            for (const auto& options : {filter, with(filter, {"--report"})}) {
                const auto fromArchive =
                    with({"archive", "protocol", "--archive", archive}, options);
                std::string rows = cli(fromArchive).out;
                for (std::size_t at = 0;
                     (at = rows.find("download\t" + file, at)) != std::string::npos;)
                    rows.replace(at + 9, file.size(), name);
                EXPECT_EQ(rows, cli(with({"protocol", file}, options)).out) << shown(fromArchive);
            }
        }
        EXPECT_GE(compared, 3u) << name;
    }
}

TEST(CliArchive, SummaryIsTheSummaryOfTheSameFilesInBothFormats)
{
    CliFolder folder;
    const std::string archive = folder / "a.sqlite";
    const auto imported = cli({"archive", "import", "--archive", archive, kExamples});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out,
              "files added: 2\nwelds added: 59\nwelds already there: 59\nfiles refused: 0\n");
    for (const std::vector<std::string>& options : {std::vector<std::string>{},
                                                    {"--format", "csv"},
                                                    {"--error", "0", "--format", "csv"},
                                                    {"--from", "1/1/2010"}}) {
        const auto archived = with({"archive", "summary", "--archive", archive}, options);
        const auto got = cli(archived);
        EXPECT_EQ(got.status, 0) << got.err;
        EXPECT_EQ(got.out, cli(with({"summary", kExamples}, options)).out) << shown(archived);
    }
    // Again: nothing added, every weld already there.
    const auto again = cli({"archive", "import", "--archive", archive, kExamples});
    EXPECT_EQ(again.out,
              "files added: 0\nwelds added: 0\nwelds already there: 118\nfiles refused: 0\n");
}

TEST(CliArchive, RefusesWhatItCannotTakeWithTheReason)
{
    CliFolder folder;
    const std::string archive = folder / "a.sqlite";
    folder.write("words.xls", "Hello\tthere\r\n");
    const auto refused =
        cli({"archive", "import", "--archive", archive, folder / "words.xls", folder / "gone.xls"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(has(refused.err, "words.xls: not a weld-record download"));
    EXPECT_TRUE(has(refused.err, "gone.xls: not found"));
    EXPECT_TRUE(has(refused.out, "files refused: 2\n"));

    sqliteText(archive, "PRAGMA user_version = 9");
    const std::string before = readFile(archive);
    for (const std::string command : {"import", "list", "summary"}) {
        std::vector<std::string> arguments = {"archive", command, "--archive", archive};
        if (command == "import")
            arguments.push_back(kExamples);
        const auto newer = cli(arguments);
        EXPECT_EQ(newer.status, 1) << command;
        EXPECT_TRUE(has(newer.err, "newer version"));
    }
    EXPECT_EQ(readFile(archive), before);

    EXPECT_EQ(cli({"archive", "list", "--archive", folder / "none.sqlite"}).status, 1);
    EXPECT_EQ(cli({"archive", "list", "--format", "xml"}).status, 2);
    EXPECT_EQ(cli({"archive", "rename"}).status, 2);
    // A workbook goes to a file only.
    EXPECT_EQ(cli({"archive", "list", "--archive", archive, "--format", "xlsx"}).status, 2);
}

#ifdef KESTRAVA_HAVE_XLSX
TEST(CliArchive, AWorkbookIsWrittenWholeAndReplacedOnlyWithForce)
{
    CliFolder folder;
    const std::string archive = folder / "a.sqlite";
    ASSERT_EQ(cli({"archive", "import", "--archive", archive, kExamples}).status, 0);
    const std::string book = folder / "welds.xlsx";
    const std::vector<std::string> list = {"archive",   "list",    "--archive", archive,
                                           "--format",  "xlsx",    "--output",  book,
                                           "--machine", "5TZ-0093"};
    ASSERT_EQ(cli(list).status, 0);
    EXPECT_EQ(readFile(book).substr(0, 2), "PK");
    folder.write("kept.xlsx", "mine");
    std::vector<std::string> over = list;
    over[7] = folder / "kept.xlsx";
    EXPECT_EQ(cli(over).status, 1);
    EXPECT_EQ(readFile(folder / "kept.xlsx"), "mine");
    over.push_back("--force");
    EXPECT_EQ(cli(over).status, 0);
    EXPECT_EQ(readFile(folder / "kept.xlsx").substr(0, 2), "PK");
}
#endif

TEST(CliArchive, TheDefaultArchiveIsInTheDataFolder)
{
    CliFolder folder;
    ::setenv("XDG_DATA_HOME", folder.path().c_str(), 1);
    const auto imported = cli({"archive", "import", kExamples + "/orv_sample.xls"});
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_TRUE(folder.exists("Kestrava/kestrava/archive.sqlite"));
}

// An import killed at any moment leaves each file in the archive whole or not at all,
// and a later import finishes the work.
TEST(CliArchive, AnImportKilledAtAnyMomentLeavesEachFileWholeOrAbsent)
{
    CliFolder folder;
    std::filesystem::create_directory(folder.path() / "in");
    constexpr int kFiles = 4;
    constexpr int kRecords = 15000;
    for (int f = 0; f < kFiles; ++f)
        folder.write("in/d" + std::to_string(f) + (f % 2 ? ".pfd" : ".xls"),
                     f % 2
                         ? sample::scrambled(orvDownload("ORV-" + std::to_string(f), kRecords + f))
                         : orvDownload("ORV-" + std::to_string(f), kRecords + f));
    const std::string in = folder / "in";

    // How long a whole import takes: the kills fall within it.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(cli({"archive", "import", "--archive", folder / "whole.sqlite", in}).status, 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);

    std::mt19937 random(20260311);
    int partial = 0;  // rounds killed between two files' imports or within one
    for (int round = 0; round < 10; ++round) {
        const std::string archive = folder / ("killed" + std::to_string(round) + ".sqlite");
        const pid_t child = startCli({"archive", "import", "--archive", archive, in}, -1);
        std::this_thread::sleep_for(
            std::chrono::microseconds(random() % std::uint64_t(whole.count() + 1)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        if (!std::filesystem::exists(archive))
            continue;  // killed before it was made
        EXPECT_EQ(sqliteText(archive, "PRAGMA integrity_check"), "ok\n") << round;
        if (sqliteText(archive, "PRAGMA user_version") == "0\n") {
            // Killed before its tables were made: empty, and the next import makes them.
            EXPECT_EQ(sqliteText(archive, "SELECT count(*) FROM sqlite_master"), "0\n") << round;
        } else {
            // Every download there with all its welds (its lines are all different); none
            // half-made; no weld of a download that is not there; no machine miscounted.
            // (A download's lines are its own welds and its sightings of welds seen before.)
            for (const char* none :
                 {"SELECT count(*) FROM downloads WHERE content_hash IS NULL OR records != "
                  "(SELECT count(*) FROM welds w WHERE w.download = downloads.id) + "
                  "(SELECT count(*) FROM sightings s WHERE s.download = downloads.id)",
                  "SELECT count(*) FROM welds WHERE download NOT IN (SELECT id FROM downloads)",
                  "SELECT count(*) FROM machines m "
                  "WHERE welds != (SELECT count(*) FROM welds w WHERE w.machine = m.id)"})
                EXPECT_EQ(sqliteText(archive, none), "0\n") << round << ": " << none;
            // Each weld under one key, each key of a weld there.
            const std::string welds = sqliteText(archive, "SELECT count(*) FROM welds");
            EXPECT_EQ(sqliteText(archive,
                                 "SELECT count(*) FROM weld_keys UNION ALL SELECT count(DISTINCT "
                                 "k.weld) FROM weld_keys k JOIN welds w ON w.id = k.weld AND "
                                 "w.machine = k.machine AND ifnull(w.day, 0) = k.day"),
                      welds + welds)
                << round;
            const std::string records = sqliteText(archive, "SELECT records FROM downloads");
            for (std::size_t at = 0; at < records.size(); at = records.find('\n', at) + 1)
                EXPECT_GE(std::stoi(records.substr(at)), kRecords);
            const std::string kept = sqliteText(archive, "SELECT count(*) FROM downloads");
            partial += kept != "0\n" && kept != std::to_string(kFiles) + "\n";
        }
        // The next import adds what is missing.
        const auto finished = cli({"archive", "import", "--archive", archive, in});
        EXPECT_EQ(finished.status, 0) << finished.err;
        EXPECT_EQ(sqliteText(archive, "SELECT count(*) FROM welds"),
                  std::to_string(kFiles * kRecords + 6) + "\n");
    }
    EXPECT_GT(partial, 0) << "no kill fell within the import";
}

#endif
