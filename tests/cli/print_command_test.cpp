// kestrava-cli print, run as a program.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_run.h"
#include "core/settings/build_profile.h"
#include "core/text/scrambling.h"

namespace {

namespace fs = std::filesystem;

CliOutcome print(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "print");
    return cli(arguments);
}

std::string cellsOf(const std::vector<std::string>& fields)
{
    std::string out;
    for (const std::string& field : fields)
        out += field + std::string(field.size() < 23 ? 23 - field.size() : 0, ' ') + ": ";
    return out;
}

const std::string rule = "    " + std::string(125, '-') + "\n";

const std::string sample =
    "Weld\tSerial\tDate\tTime\tError\tUser\r\n"
    "1\tS7\t01/02/2009\t10:00\t0\tAnna\r\n"
    "2\tS7\t15/02/2009\t10:05\t21\tPaw\xB3\r\n"
    "3\tS7\t02/03/2009\t11:00\t0\tOla\r\n";

// The rows of a six-field line: five cells, then the sixth.
std::string rowsOf(const std::vector<std::string>& fields)
{
    const std::string cells = cellsOf(fields);
    return "    :" + cells.substr(0, 125) + "\n    :" + cells.substr(125) + "\n" + rule;
}

}  // namespace

TEST(CliPrint, PrintsTheSelectedLinesByteForByte)
{
    CliFolder folder;
    const std::string file = folder.write("site.xls", sample);
    const std::string heading = rowsOf({"Weld", "Serial", "Date", "Time", "Error", "User"});
    const CliOutcome english = print({file, "--language", "English"});
    ASSERT_EQ(english.status, 0) << english.err;
    EXPECT_EQ(english.out, " \n   KESTRAVA PRINTOUT\n    All records shown from download\n\n" + heading
                               + rowsOf({"1", "S7", "01/02/2009", "10:00", "0", "Anna"})
                               + rowsOf({"2", "S7", "15/02/2009", "10:05", "21", "Paw\xB3"})
                               + rowsOf({"3", "S7", "02/03/2009", "11:00", "0", "Ola"}));

    // The same file scrambled prints the same lines.
    const std::vector<std::uint8_t> scrambled =
        kestrava::encodeBytes(std::vector<std::uint8_t>(sample.begin(), sample.end()));
    const std::string pfd = folder.write("site.pfd", std::string(scrambled.begin(), scrambled.end()));
    EXPECT_EQ(print({pfd, "--language=English"}).out, english.out);

    // Without --language the program's own language is used.
    const bool polish = kestrava::buildProfile().language() == kestrava::Language::Polish;
    EXPECT_TRUE(print({file}).out.starts_with(polish ? " \n   WYDRUK DANYCH\n    Pokazano" : " \n   KESTRAVA PRINTOUT\n    All"));

    // Filters as for list, and the filtered note.
    const CliOutcome dated = print({file, "--from", "01/02/2009", "--to", "15/02/2009", "--language", "Polish"});
    EXPECT_EQ(dated.out, " \n   WYDRUK DANYCH\n    ! Zaznaczone rekordy sa przefiltrowane !\n\n" + heading
                             + rowsOf({"1", "S7", "01/02/2009", "10:00", "0", "Anna"})
                             + rowsOf({"2", "S7", "15/02/2009", "10:05", "21", "Paw\xB3"}));
    const CliOutcome erred = print({"--error", "0", file, "--language", "English"});
    EXPECT_TRUE(erred.out.ends_with("\n\n" + heading + rowsOf({"1", "S7", "01/02/2009", "10:00", "0", "Anna"})
                                    + rowsOf({"3", "S7", "02/03/2009", "11:00", "0", "Ola"})));
}

TEST(CliPrint, PrintsAHandedOverFileAndNamesAfterTheOptionsEnd)
{
    CliFolder folder;
    const std::string file = folder.write("site.xls", sample);
    // A file the listing hands over to the spreadsheet program prints as in the window.
    const CliOutcome other = print({folder.write("notes.xls", "Hello\tworld\r\nno\tdate\there\r\n"), "--language", "English"});
    EXPECT_EQ(other.status, 0) << other.err;
    EXPECT_TRUE(other.out.ends_with("\n\n    :" + cellsOf({"Hello", "world"}) + "\n" + rule + "    :" + cellsOf({"no", "date", "here"}) + "\n" + rule));

    // A file named like an option is reachable after "--".
    folder.write("--language.xls", sample);
    const fs::path previous = fs::current_path();
    fs::current_path(fs::path(file).parent_path());
    EXPECT_EQ(print({"--language", "English", "--", "--language.xls"}).status, 0);
    fs::current_path(previous);
}
