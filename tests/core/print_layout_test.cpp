#include "core/listing/print_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/settings/regional.h"
#include "temp_folder.h"

using namespace kestrava;
namespace fs = std::filesystem;

namespace {

std::string cells(std::string_view line)
{
    std::string out;
    appendPrintCells(out, line);
    return out;
}

std::vector<std::string> textRows(std::string_view copyLine)
{
    std::vector<std::string> rows;
    forEachPrintTextRow(copyLine, [&](std::string_view row) {
        rows.emplace_back(row);
        return true;
    });
    return rows;
}

const std::string rule = "    " + std::string(125, '-');

}  // namespace

TEST(PrintLayout, CellsOfEveryField)
{
    const std::string example = cells("12\tABC\t01/02/2009");
    EXPECT_EQ(example, "12" + std::string(21, ' ') + ": " + "ABC" + std::string(20, ' ') + ": " +
                           "01/02/2009" + std::string(13, ' ') + ": ");
    // Empty fields and empty lines; 22, 23 and 30 characters (no padding from 23 on);
    // bytes pass unchanged.
    EXPECT_EQ(cells("a\t\t"), "a" + std::string(22, ' ') + ": " + std::string(23, ' ') + ": " +
                                  std::string(23, ' ') + ": ");
    EXPECT_EQ(cells(""), std::string(23, ' ') + ": ");
    EXPECT_EQ(cells(std::string(22, 'x')), std::string(22, 'x') + " : ");
    EXPECT_EQ(cells(std::string(23, 'y')), std::string(23, 'y') + ": ");
    EXPECT_EQ(cells(std::string(30, 'z') + "\tq"),
              std::string(30, 'z') + ": q" + std::string(22, ' ') + ": ");
    EXPECT_EQ(cells("\xB3\x80\n"), "\xB3\x80\n" + std::string(20, ' ') + ": ");
}

TEST(PrintLayout, RowsAreCutEvery125Characters)
{
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += char('a' + i % 26);
    const std::string l124 = text.substr(0, 124), l125 = text.substr(0, 125),
                      l250 = text.substr(0, 250);
    EXPECT_EQ(textRows(l124), std::vector<std::string>{"    :" + l124});
    EXPECT_EQ(textRows(l125), (std::vector<std::string>{"    :" + l125, "    :"}));
    EXPECT_EQ(textRows(l250), (std::vector<std::string>{"    :" + l250.substr(0, 125),
                                                        "    :" + l250.substr(125), "    :"}));
    EXPECT_EQ(textRows(text), (std::vector<std::string>{"    :" + text.substr(0, 125),
                                                        "    :" + text.substr(125, 125),
                                                        "    :" + text.substr(250)}));
    EXPECT_EQ(textRows(""), std::vector<std::string>{"    :"});
}

TEST(PrintCopy, LinesEndAtCrOrCrLfAndTheHeaderIsNeverFiltered)
{
    TempFolder folder;
    const fs::path copy = folder.path() / "print_only.tmp";

    // A header without a date; CR LF, lone CR, a lone LF inside a field, no final end;
    // lines longer than the reader's chunk.
    const std::string longField(70000, 'L');
    const fs::path source = folder.write("records.xls", "Weld\tSerial\tDate\r\n"
                                                        "1\tA\t01/02/2009\r"
                                                        "2\tB\t05/03/2009\r\n"
                                                        "3\tC\n\t01/02/2009\r\n" +
                                                            longField +
                                                            "\t\t28/02/2009\r\n"
                                                            "4\tD\t28/02/2009");
    const ListingFilter filter{
        .dateOn = true, .from = *parseDateText("01/02/2009"), .to = *parseDateText("28/02/2009")};
    ASSERT_TRUE(writePrintCopy(source, copy, MachineFamily::ORV, filter).ok());
    EXPECT_EQ(folder.read("print_only.tmp"),
              cells("Weld\tSerial\tDate") + "\r\n" + cells("1\tA\t01/02/2009") + "\r\n" +
                  cells("3\tC\n\t01/02/2009") + "\r\n" + cells(longField + "\t\t28/02/2009") +
                  "\r\n" + cells("4\tD\t28/02/2009") + "\r\n");

    // An empty source gives an empty copy; a missing one leaves the earlier copy alone.
    folder.write("records.xls", "");
    ASSERT_TRUE(writePrintCopy(source, copy, MachineFamily::ORV, {}).ok());
    EXPECT_EQ(folder.read("print_only.tmp"), "");
    folder.write("print_only.tmp", "earlier");
    EXPECT_EQ(writePrintCopy(folder.path() / "none.xls", copy, MachineFamily::ORV, {}).fault,
              FileFault::SourceMissing);
    EXPECT_EQ(folder.read("print_only.tmp"), "earlier");

    // A line too long to print stops the copy, naming the line; the earlier copy stays.
    folder.write("records.xls",
                 "Weld\tSerial\tDate\r\n" + std::string(kLongestPrintedLine + 1, '\t') + "\r\n");
    const FileResult tooLong = writePrintCopy(source, copy, MachineFamily::ORV, {});
    EXPECT_EQ(tooLong.fault, FileFault::LineTooLong);
    EXPECT_EQ(tooLong.line, 2u);
    EXPECT_EQ(folder.read("print_only.tmp"), "earlier");
}

TEST(PrintJob, HeadingNotesRowsAndFailures)
{
    TempFolder folder;
    const std::string line = cells("12\tABC\t01/02/2009");
    const fs::path copy =
        folder.write("print_only.tmp", line + "\r\n" + std::string(125, 'r') + "\r\n");

    RecordingSurface full;
    ASSERT_TRUE(printCopyFile(copy, Language::English, true, full).ok());
    EXPECT_EQ(full.ops,
              (std::vector<std::string>{
                  "font Courier New", "size 7", "size 12", "bold on", "| ", "|   KESTRAVA PRINTOUT",
                  "size 10", "bold off", "|    ! This is a filtered selection of the records !",
                  "|", "size 7", "|    :" + line, "|" + rule, "|    :" + std::string(125, 'r'),
                  "|    :", "|" + rule, "end"}));

    // The heading and note of each language; another language has neither.
    const auto headingOf = [&](Language language, bool filtered) {
        RecordingSurface surface;
        EXPECT_TRUE(printCopyFile(copy, language, filtered, surface).ok());
        return std::vector<std::string>(surface.ops.begin() + 4, surface.ops.begin() + 10);
    };
    EXPECT_EQ(headingOf(Language::Polish, false)[4], "|    Pokazano wszystkie pobrane rekordy");
    EXPECT_EQ(headingOf(Language::Other, true),
              (std::vector<std::string>{"| ", "|", "size 10", "bold off", "|", "size 7"}));

    // Whichever operation fails, nothing runs after it and the fault is the printer's.
    for (int failAt = 1; failAt <= int(full.ops.size()); ++failAt) {
        RecordingSurface surface;
        surface.failAt = failAt;
        EXPECT_EQ(printCopyFile(copy, Language::English, false, surface).fault,
                  PrintFault::Printer);
        EXPECT_EQ(int(surface.ops.size()), failAt);
    }
    // A copy that cannot be read prints nothing at all.
    RecordingSurface none;
    EXPECT_EQ(printCopyFile(folder.path() / "gone.tmp", Language::English, false, none).fault,
              PrintFault::CopyRead);
    EXPECT_TRUE(none.ops.empty());
}
