#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_run.h"
#include "../support/sample_download.h"
#include "core/files/file_io.h"
#include "core/listing/listing.h"
#include "core/files/system_error_text.h"
#include "core/settings/build_profile.h"

namespace {

const std::string kOrv = sample::orvDownload({{"1", "S1", "01/03/2009", "0"},
                                              {"2", "S2", "02/03/2009", "27"},
                                              {"3", "S3", "03/03/2009", " 27"},
                                              {"4", "S4", "04/03/2009", "20"}});

// A printout's cells: each field, padded to 23 characters, then ": ".
std::string cellsOf(const std::vector<std::string>& fields)
{
    std::string out;
    for (const std::string& field : fields)
        out += field + std::string(field.size() < 23 ? 23 - field.size() : 0, ' ') + ": ";
    return out;
}

const std::string kRule = "    " + std::string(125, '-') + "\n";

// The printed rows of a six-field line: five cells, then the sixth, then the rule.
std::string rowsOf(const std::vector<std::string>& fields)
{
    const std::string cells = cellsOf(fields);
    return "    :" + cells.substr(0, 125) + "\n    :" + cells.substr(125) + "\n" + kRule;
}

}  // namespace

// counts prints the family, the serial, the records and ten rows of error counts; protocol
// the welds of listing lines under the listing's filter.
TEST(Cli, CountsAndProtocolsOfTheSelection)
{
    CliFolder folder;
    const auto file = folder.write("w.xls", kOrv);
    const auto all = cli({"counts", file});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out,
              "family\tORV\nserial\tS4\nrecords\t4\nE00\t1\nE20\t1\nE21\t0\nE22\t0\nE23\t0\n"
              "E24\t0\nE25\t0\nE26\t0\nE27\t1\nE127\t0\n");
    // --from alone, --to alone, and both with --error.
    EXPECT_TRUE(has(cli({"counts", file, "--from", "02/03/2009"}).out, "records\t3\n"));
    EXPECT_TRUE(has(cli({"counts", file, "--to=2/3/2009"}).out, "serial\tS2\nrecords\t2\n"));
    const auto both =
        cli({"counts", "--error", "27", file, "--from", "1/3/2009", "--to", "3/3/2009"});
    EXPECT_EQ(both.status, 0);
    EXPECT_TRUE(has(both.out, "serial\tS3\nrecords\t2\n"));
    EXPECT_TRUE(has(both.out, "E27\t1\n"));
    // No record: family known, serial empty, every count 0.
    const auto none = cli({"counts", file, "--error", "5"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out.substr(0, 31), "family\tORV\nserial\t\nrecords\t0\nE0");

    // An error number the family's table does not name (" 27") is an unknown code, and
    // not E00 on the report's cover.
    const auto one = cli({"protocol", file, "--error", "27", "--lines", "3-3"});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out, "protocol\t1\ndownload\tw.xls\nmachine\tS3\tORV\ndate\t03/03/2009\t10:00\n"
                       "error\t 27\tunknown code\nfield\tWeld\t3\nfield\tSerial\tS3\n"
                       "field\tDate\t03/03/2009\nfield\tTime\t10:00\nfield\tError\t 27\n");
    const auto report = cli({"protocol", file, "--report", "--from", "2/3/2009"});
    EXPECT_EQ(report.out.substr(0, report.out.find("code\t")),
              "machine\tS2\tORV\t1\nmachine\tS3\tORV\t1\nmachine\tS4\tORV\t1\n"
              "period\t02/03/2009\t04/03/2009\nwelds\t3\nwelds not E00\t3\n");
    EXPECT_EQ(cli({"protocol", file, "--lines", "7-9"}).out, "");  // no weld on those lines
}

TEST(Cli, ExitStatusesAndNothingOnStandardOutputUnlessListed)
{
    CliFolder folder;
    const auto good = folder.write("w.xls", kOrv);
    const auto noFamily = folder.write("nofamily.xls", "Weld\tA\r\n1\t2\t3\r\n");
    const auto notRecognised = folder.write("other.xls", "Name\tA\r\n1\t2\t01/01/2010\r\n");
    const auto empty = folder.write("empty.pfd", "");

    struct Case {
        std::initializer_list<std::string> arguments;
        int status;
        const char* words = "";  // in the message
    };
    // Usage faults (a refused kind, no such date, no number, a missing value, IN and OUT
    // the same file...) 2, an unreadable file 1, no family or no header recognised 3.
    const Case cases[] = {
        {{"list", folder / "w.XLS"}, 2, "Invalid file"},
        {{"list", good, "--from", "31/02/2009"}, 2},
        {{"list", good, "--error", "E27"}, 2},
        {{"list", good, "--error"}, 2},
        {{"list", good, "--bogus"}, 2},
        {{"list"}, 2},
        {{"list", good, good}, 2},
        {{"frobnicate"}, 2},
        {{}, 2},
        {{"decode", good}, 2},
        {{"encode", good, good, "--force"}, 2},
        {{"print", good, "--language", "German"}, 2},
        {{"print", good, "--language"}, 2},
        {{"print", good, "--language", "English", "--language", "Polish"}, 2},
        {{"list", folder / "missing.xls"}, 1},
        {{"list", noFamily}, 3, "no date"},
        {{"counts", notRecognised}, 3, "header"},
        {{"list", notRecognised}, 3, "header"},
        {{"list", empty}, 3},
        {{"protocol", good, "--lines", "5-3"}, 2},
        {{"protocol", good, "--lines", "0-2"}, 2},
        {{"protocol", good, "--lines", "2-x"}, 2},
        {{"protocol", noFamily, "--report"}, 3},
        {{"protocol", folder / "missing.pfd"}, 1},
    };
    for (const auto& c : cases) {
        const auto outcome = cli(c.arguments);
        SCOPED_TRACE(shown(c.arguments));
        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        EXPECT_EQ(outcome.out, "");
        EXPECT_FALSE(outcome.err.empty());
        EXPECT_TRUE(has(outcome.err, c.words));
    }

    // Lines ended by LF alone: listed as one header line, with a warning saying why.
    const auto lineFeeds = folder.write("lf.xls", "Weld\tSerial\tDate\n1\tS-7\t14/03/2009\n");
    const auto listed = cli({"counts", lineFeeds});
    EXPECT_EQ(listed.status, 0);
    EXPECT_TRUE(has(listed.err, "line feeds but no carriage returns"));
    EXPECT_EQ(cli({"counts", folder.write("crlf.xls", "Weld\tSerial\tDate\r\n")}).err, "");
}

// Encode and decode in a folder and under names with Polish letters; an existing target
// is refused without --force (kept, nothing left beside it) and replaced with it.
TEST(Cli, PolishFileAndFolderNamesAreListedDecodedEncodedAndKept)
{
    CliFolder folder;
    std::filesystem::create_directory(folder.path() / kestrava::pathFromUtf8("Pomiary żółte"));
    const std::string data = kOrv + "X";  // an odd length: the last byte takes the carry
    const auto in = folder.write("Pomiary żółte/Zgrzewy łódź.xls", data);
    const auto scrambled = folder / "Pomiary żółte/Zgrzewy łódź.pfd";
    const auto back = folder / "Pomiary żółte/Zgrzewy ż.xls";
    EXPECT_EQ(cli({"encode", in, scrambled}).status, 0);
    EXPECT_EQ(cli({"decode", scrambled, back}).status, 0);
    EXPECT_EQ(readFile(back), data);
    EXPECT_EQ(readFile(scrambled), sample::scrambled(data));

    folder.write("Pomiary żółte/Zgrzewy ż.xls", kOrv);
    const auto refused = cli({"decode", scrambled, back});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(has(refused.err, "Zgrzewy ż.xls"));
    EXPECT_TRUE(has(refused.err, "--force"));
    EXPECT_EQ(readFile(back), kOrv);
    EXPECT_EQ(cli({"encode", "--force", back, scrambled}).status, 0);
    std::string listing;
    kestrava::listText(kOrv, {}, "", listing);
    EXPECT_EQ(cli({"list", scrambled}).out, listing);
    EXPECT_EQ(cli({"list", back}).out, listing);
    EXPECT_EQ(folder.names("Pomiary żółte").size(), 3u);
}

#ifdef _WIN32
TEST(Cli, ATargetHeldOpenByAnotherProgramIsReportedAndNoTemporaryStays)
{
    CliFolder folder;
    const auto in = folder.write("in.xls", kOrv);
    const auto target = folder.write("held.pfd", "held");
    HANDLE held = CreateFileW(kestrava::pathFromUtf8(target).c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto result = cli({"encode", "--force", in, target});
    kestrava::fileio::AtomicWriter writer;
    ASSERT_TRUE(writer.open(kestrava::pathFromUtf8(target), true).ok());
    const auto placed = writer.commit();
    CloseHandle(held);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(has(result.err, "held.pfd"));
    EXPECT_EQ(kestrava::faultReasonText(placed, kestrava::Language::English),
              "file in use by another program");
    EXPECT_EQ(readFile(target), "held");
    EXPECT_EQ(folder.entries(), 2u);
}
#endif

TEST(Cli, PrintWritesThePrintoutOfTheSelectedLinesByteForByte)
{
    CliFolder folder;
    const std::string sample = "Weld\tSerial\tDate\tTime\tError\tUser\r\n"
                               "1\tS7\t01/02/2009\t10:00\t0\tAnna\r\n"
                               "2\tS7\t15/02/2009\t10:05\t21\tPaw\xB3\r\n"
                               "3\tS7\t02/03/2009\t11:00\t0\tOla\r\n";
    const std::string file = folder.write("site.xls", sample);
    const std::string heading = rowsOf({"Weld", "Serial", "Date", "Time", "Error", "User"});
    const std::string first = rowsOf({"1", "S7", "01/02/2009", "10:00", "0", "Anna"});
    const std::string second = rowsOf({"2", "S7", "15/02/2009", "10:05", "21", "Paw\xB3"});
    const CliOutcome english = cli({"print", file, "--language", "English"});
    ASSERT_EQ(english.status, 0) << english.err;
    EXPECT_EQ(english.out, " \n   KESTRAVA PRINTOUT\n    All records shown from download\n\n" +
                               heading + first + second +
                               rowsOf({"3", "S7", "02/03/2009", "11:00", "0", "Ola"}));
    // The same file scrambled prints the same lines; without --language, in the
    // program's own language; under a filter, the selection with the filtered note.
    const std::string pfd = folder.write("site.pfd", sample::scrambled(sample));
    EXPECT_EQ(cli({"print", pfd, "--language=English"}).out, english.out);
    const bool polish = kestrava::buildProfile().language() == kestrava::Language::Polish;
    EXPECT_TRUE(cli({"print", file})
                    .out.starts_with(polish ? " \n   WYDRUK DANYCH\n    Pokazano"
                                            : " \n   KESTRAVA PRINTOUT\n    All"));
    EXPECT_EQ(
        cli({"print", file, "--from", "01/02/2009", "--to", "15/02/2009", "--language", "Polish"})
            .out,
        " \n   WYDRUK DANYCH\n    ! Zaznaczone rekordy sa przefiltrowane !\n\n" + heading + first +
            second);

    // A file the listing hands over to the spreadsheet program prints as in the window.
    const CliOutcome other =
        cli({"print", folder.write("notes.xls", "Hello\tworld\r\nno\tdate\there\r\n"), "--language",
             "English"});
    EXPECT_EQ(other.status, 0) << other.err;
    EXPECT_TRUE(other.out.ends_with("\n\n    :" + cellsOf({"Hello", "world"}) + "\n" + kRule +
                                    "    :" + cellsOf({"no", "date", "here"}) + "\n" + kRule));

    // A file named like an option is reachable after "--".
    folder.write("--language.xls", sample);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(file).parent_path());
    EXPECT_EQ(cli({"print", "--language", "English", "--", "--language.xls"}).status, 0);
    std::filesystem::current_path(previous);
}
