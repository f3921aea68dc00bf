#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "cli_run.h"
#include "core/files/file_io.h"
#include "core/listing/listing.h"
#include "core/files/system_error_text.h"
#include "core/text/scrambling.h"

namespace {

const std::string kExamples = KESTRAVA_EXAMPLES_DIR;
const std::string kOrv = "Weld\tSerial\tDate\tTime\tError\r\n"
                         "1\tS1\t01/03/2009\t10:00\t0\r\n"
                         "2\tS2\t02/03/2009\t10:00\t27\r\n"
                         "3\tS3\t03/03/2009\t10:00\t 27\r\n"
                         "4\tS4\t04/03/2009\t10:00\t20\r\n";

}  // namespace

TEST(Cli, ListsExamplesOfBothKindsByteForByte)
{
    for (const auto& [name, plain] : {std::pair{"orv_sample.xls", "orv_sample.xls"}, {"5tz_sample.pfd", "5tz_sample.xls"}}) {
        std::string expected;
        kestrava::listText(readFile(kExamples + "/" + plain), {}, "", expected);
        const auto listed = cli({"list", kExamples + "/" + name});
        EXPECT_EQ(listed.status, 0) << listed.err;
        EXPECT_EQ(listed.out, expected);
        EXPECT_EQ(listed.err, "");
    }
}

TEST(Cli, CountsPrintsFamilySerialRecordsAndTenRows)
{
    CliFolder folder;
    const auto file = folder.write("w.xls", kOrv);
    const auto all = cli({"counts", file});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out, "family\tORV\nserial\tS4\nrecords\t4\nE00\t1\nE20\t1\nE21\t0\nE22\t0\nE23\t0\n"
                       "E24\t0\nE25\t0\nE26\t0\nE27\t1\nE127\t0\n");
    // --from alone, --to alone, and both with --error.
    EXPECT_NE(cli({"counts", file, "--from", "02/03/2009"}).out.find("records\t3\n"), std::string::npos);
    EXPECT_NE(cli({"counts", file, "--to=2/3/2009"}).out.find("serial\tS2\nrecords\t2\n"), std::string::npos);
    const auto both = cli({"counts", "--error", "27", file, "--from", "1/3/2009", "--to", "3/3/2009"});
    EXPECT_EQ(both.status, 0);
    EXPECT_NE(both.out.find("serial\tS3\nrecords\t2\n"), std::string::npos) << both.out;
    EXPECT_NE(both.out.find("E27\t1\n"), std::string::npos);
    // No record: family known, serial empty, every count 0.
    const auto none = cli({"counts", file, "--error", "5"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out.substr(0, 31), "family\tORV\nserial\t\nrecords\t0\nE0");
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
    };
    const Case cases[] = {
        {{"list", folder / "w.XLS"}, 2},                // refused kind
        {{"list", folder / "w.xlsx"}, 2},
        {{"list", good, "--from", "31/02/2009"}, 2},    // no such date
        {{"list", good, "--error", "E27"}, 2},          // not a number
        {{"list", good, "--error", "40000"}, 2},        // beyond 16 bits
        {{"list", good, "--error"}, 2},                 // missing value
        {{"list", good, "--bogus"}, 2},
        {{"list"}, 2},
        {{"list", good, good}, 2},
        {{"frobnicate"}, 2},
        {{}, 2},
        {{"list", folder / "missing.xls"}, 1},
        {{"list", noFamily}, 3},                        // no family on the first record
        {{"counts", notRecognised}, 3},                 // header not recognised
        {{"list", empty}, 3},                           // empty: header not recognised
        {{"decode", good}, 2},
        {{"encode", good, good, "--force"}, 2},         // IN and OUT the same file
        {{"print", good, "--language", "German"}, 2},
        {{"print", good, "--language"}, 2},
        {{"print", good, "--language", "English", "--language", "Polish"}, 2},
        {{"print", good, "--from", "31/02/2009"}, 2},
        {{"print", folder.write("w.txt", kOrv)}, 2},
        {{"print", folder / "missing.xls"}, 1},
    };
    for (const auto& c : cases) {
        const auto outcome = cli(c.arguments);
        std::string shown;
        for (const auto& a : c.arguments)
            shown += a + " ";
        EXPECT_EQ(outcome.status, c.status) << shown << outcome.err;
        EXPECT_EQ(outcome.out, "") << shown;
        EXPECT_FALSE(outcome.err.empty()) << shown;
    }
    EXPECT_NE(cli({"list", noFamily}).err.find("no date"), std::string::npos);
    EXPECT_NE(cli({"list", notRecognised}).err.find("header"), std::string::npos);
    EXPECT_NE(cli({"list", folder / "w.XLS"}).err.find("Invalid file"), std::string::npos);

    // Lines ended by LF alone: listed as one header line, with a warning saying why.
    const auto lineFeeds = folder.write("lf.xls", "Weld\tSerial\tDate\n1\tS-7\t14/03/2009\n");
    const auto listed = cli({"counts", lineFeeds});
    EXPECT_EQ(listed.status, 0);
    EXPECT_NE(listed.err.find("line feeds but no carriage returns"), std::string::npos) << listed.err;
    EXPECT_EQ(cli({"counts", folder.write("crlf.xls", "Weld\tSerial\tDate\r\n")}).err, "");
}

// Random bytes through encode and decode, in a folder and under names with Polish
// letters; an existing target is refused without --force (kept, nothing left beside it)
// and replaced with it.
TEST(Cli, PolishFileAndFolderNamesAreListedDecodedEncodedAndKept)
{
    CliFolder folder;
    std::filesystem::create_directory(folder.path() / kestrava::pathFromUtf8("Pomiary żółte"));
    std::mt19937 random(99);
    std::string data(100001, '\0');
    for (auto& c : data)
        c = char(random());
    const auto in = folder.write("Pomiary żółte/Zgrzewy łódź.xls", data);
    const auto scrambled = folder / "Pomiary żółte/Zgrzewy łódź.pfd";
    const auto back = folder / "Pomiary żółte/Zgrzewy ż.xls";
    EXPECT_EQ(cli({"encode", in, scrambled}).status, 0);
    EXPECT_EQ(cli({"decode", scrambled, back}).status, 0);
    EXPECT_EQ(readFile(back), data);
    const auto expected = kestrava::encodeBytes({reinterpret_cast<const std::uint8_t*>(data.data()), data.size()});
    EXPECT_EQ(readFile(scrambled), std::string(expected.begin(), expected.end()));

    folder.write("Pomiary żółte/Zgrzewy ż.xls", kOrv);
    const auto refused = cli({"decode", scrambled, back});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("Zgrzewy ż.xls"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("--force"), std::string::npos);
    EXPECT_EQ(readFile(back), kOrv);
    EXPECT_EQ(cli({"encode", "--force", back, scrambled}).status, 0);
    std::string listing;
    kestrava::listText(kOrv, {}, "", listing);
    EXPECT_EQ(cli({"list", scrambled}).out, listing);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path() / kestrava::pathFromUtf8("Pomiary żółte")),
                            std::filesystem::directory_iterator()), 3);
}

#ifdef _WIN32
TEST(Cli, ATargetHeldOpenByAnotherProgramIsReportedAndNoTemporaryStays)
{
    CliFolder folder;
    const auto in = folder.write("in.xls", kOrv);
    const auto target = folder.write("held.pfd", "held");
    HANDLE held = CreateFileW(kestrava::pathFromUtf8(target).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto result = cli({"encode", "--force", in, target});
    kestrava::fileio::AtomicWriter writer;
    ASSERT_TRUE(writer.open(kestrava::pathFromUtf8(target), true).ok());
    const auto placed = writer.commit();
    CloseHandle(held);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("held.pfd"), std::string::npos) << result.err;
    EXPECT_EQ(kestrava::faultReasonText(placed, kestrava::Language::English), "file in use by another program");
    EXPECT_EQ(readFile(target), "held");
    EXPECT_EQ(folder.entries(), 2u);
}
#endif
