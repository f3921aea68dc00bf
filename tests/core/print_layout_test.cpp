#include "core/print_layout.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

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

Day day(int y, unsigned m, unsigned d)
{
    return Day(std::chrono::year(y) / std::chrono::month(m) / std::chrono::day(d));
}

class TempFolder {
public:
    TempFolder()
    {
        path_ = fs::temp_directory_path()
                / ("kestrava_print_" + std::to_string(::getpid())
                   + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() { fs::remove_all(path_); }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Records every operation as text; fails the operation numbered failAt (from 1).
class RecordingSurface final : public PrintSurface {
public:
    std::vector<std::string> ops;
    int failAt = 0;

    bool setFontName(std::string_view name) override { return record("font " + std::string(name)); }
    bool setFontSize(int points) override { return record("size " + std::to_string(points)); }
    bool setBold(bool on) override { return record(on ? "bold on" : "bold off"); }
    bool printLine(std::string_view text) override { return record(std::string("|").append(text)); }
    bool endDocument() override { return record("end"); }

    std::vector<std::string> lines() const
    {
        std::vector<std::string> out;
        for (const auto& op : ops)
            if (op.starts_with('|'))
                out.push_back(op.substr(1));
        return out;
    }

private:
    bool record(std::string op)
    {
        ops.push_back(std::move(op));
        return failAt == 0 || int(ops.size()) != failAt;
    }
};

const std::string rule = "    " + std::string(125, '-');

}  // namespace

TEST(PrintCells, WorkedExampleEmptyAndLongFields)
{
    const std::string example = cells("12\tABC\t01/02/2009");
    EXPECT_EQ(example, "12" + std::string(21, ' ') + ": " + "ABC" + std::string(20, ' ') + ": "
                           + "01/02/2009" + std::string(13, ' ') + ": ");
    EXPECT_EQ(example.size(), 75u);

    // Two tabs in a row: an empty field of 23 spaces; an empty line is one empty cell.
    EXPECT_EQ(cells("a\t\tb"), "a" + std::string(22, ' ') + ": " + std::string(23, ' ') + ": "
                                   + "b" + std::string(22, ' ') + ": ");
    EXPECT_EQ(cells(""), std::string(23, ' ') + ": ");
    EXPECT_EQ(cells("\t"), std::string(23, ' ') + ": " + std::string(23, ' ') + ": ");

    // 22, 23 and 30 characters: padding stops at 23 and long fields push the rest on.
    const std::string f22(22, 'x'), f23(23, 'y'), f30(30, 'z');
    EXPECT_EQ(cells(f22), f22 + " : ");
    EXPECT_EQ(cells(f23), f23 + ": ");
    EXPECT_EQ(cells(f30 + "\tq"), f30 + ": q" + std::string(22, ' ') + ": ");

    // Bytes pass unchanged, whatever their value (code page 1250 "ł" is 0xB3).
    EXPECT_EQ(cells("\xB3\x80\n"), "\xB3\x80\n" + std::string(20, ' ') + ": ");
}

TEST(PrintCells, EveryFieldOfALongLineIsLaidOut)
{
    std::string line;
    std::string expected;
    for (int k = 1; k <= 45; ++k) {
        const std::string field = std::string("f").append(std::to_string(k));
        line += (k > 1 ? "\t" : "") + field;
        expected += field + std::string(23 - field.size(), ' ') + ": ";
    }
    EXPECT_EQ(cells(line), expected);
}

TEST(PrintRows, RowsAreCutEvery125Characters)
{
    const auto lineOf = [](std::size_t length) {
        std::string s;
        for (std::size_t i = 0; i < length; ++i)
            s += char('a' + i % 26);
        return s;
    };

    const std::string l124 = lineOf(124);
    EXPECT_EQ(textRows(l124), std::vector<std::string>{"    :" + l124});

    const std::string l125 = lineOf(125);
    EXPECT_EQ(textRows(l125), (std::vector<std::string>{"    :" + l125, "    :"}));

    const std::string l250 = lineOf(250);
    EXPECT_EQ(textRows(l250),
              (std::vector<std::string>{"    :" + l250.substr(0, 125),
                                        "    :" + l250.substr(125), "    :"}));

    EXPECT_EQ(textRows(""), std::vector<std::string>{"    :"});

    // Twelve short fields: two full rows of five cells and a row of two.
    std::string twelve;
    for (int k = 0; k < 12; ++k)
        twelve.append(k ? "\t12" : "12");
    const std::string copy = cells(twelve);
    ASSERT_EQ(copy.size(), 300u);
    const auto rows = textRows(copy);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].size(), 130u);
    EXPECT_EQ(rows[1].size(), 130u);
    EXPECT_EQ(rows[2], "    :" + copy.substr(250));

    EXPECT_EQ(printRuleRow(), rule);
    EXPECT_EQ(printRuleRow().size(), 129u);
}

TEST(PrintSelection, DateFilterFollowsTheFamilyAndIsInclusive)
{
    ListingFilter filter;
    filter.dateOn = true;
    filter.from = day(2009, 2, 1);
    filter.to = day(2009, 2, 28);

    // ORV: date in field 3; 5TZ and unknown: field 4.
    EXPECT_TRUE(recordSelectedForPrint("1\tS\t01/02/2009\tx", MachineFamily::ORV, filter));
    EXPECT_TRUE(recordSelectedForPrint("1\tS\t28/02/2009", MachineFamily::ORV, filter));
    EXPECT_FALSE(recordSelectedForPrint("1\tS\t31/01/2009", MachineFamily::ORV, filter));
    EXPECT_FALSE(recordSelectedForPrint("1\tS\t01/03/2009", MachineFamily::ORV, filter));
    EXPECT_FALSE(recordSelectedForPrint("1\tS\t01/02/2009\tx", MachineFamily::T5Z, filter));
    EXPECT_TRUE(recordSelectedForPrint("1\t2\tS\t15/02/2009 10:00", MachineFamily::T5Z, filter));
    EXPECT_TRUE(recordSelectedForPrint("1\t2\tS\t15/02/2009", MachineFamily::Unknown, filter));

    // A date that does not read, or a line too short to hold it, is not printed.
    EXPECT_FALSE(recordSelectedForPrint("1\tS\t1/2/2009\tx", MachineFamily::ORV, filter));
    EXPECT_FALSE(recordSelectedForPrint("1\tS", MachineFamily::ORV, filter));
    EXPECT_FALSE(recordSelectedForPrint("", MachineFamily::ORV, filter));

    // Bounds reversed: nothing passes.
    std::swap(filter.from, filter.to);
    EXPECT_FALSE(recordSelectedForPrint("1\tS\t15/02/2009", MachineFamily::ORV, filter));

    // No filter: everything passes, even an empty line.
    EXPECT_TRUE(recordSelectedForPrint("", MachineFamily::ORV, ListingFilter{}));
}

TEST(PrintSelection, ErrorFilterComparesNumbersOfTheFamilysField)
{
    ListingFilter filter;
    filter.errorOn = true;
    filter.errorNumber = 5;

    const std::string orvPrefix = "1\tS\t01/02/2009\tx\t";
    EXPECT_TRUE(recordSelectedForPrint(orvPrefix + "5\tmore", MachineFamily::ORV, filter));
    EXPECT_TRUE(recordSelectedForPrint(orvPrefix + "05", MachineFamily::ORV, filter));
    EXPECT_TRUE(recordSelectedForPrint(orvPrefix + " 5 ", MachineFamily::ORV, filter));
    EXPECT_FALSE(recordSelectedForPrint(orvPrefix + "4.5", MachineFamily::ORV, filter));
    EXPECT_FALSE(recordSelectedForPrint(orvPrefix + "5.5", MachineFamily::ORV, filter));
    EXPECT_FALSE(recordSelectedForPrint(orvPrefix + "6\t5", MachineFamily::ORV, filter));
    // The same line read as 5TZ looks at field 19, which it lacks.
    EXPECT_FALSE(recordSelectedForPrint(orvPrefix + "5", MachineFamily::T5Z, filter));

    std::string tz;
    for (int k = 1; k <= 18; ++k)
        tz.append("v").append(std::to_string(k)).append("\t");
    EXPECT_TRUE(recordSelectedForPrint(tz + "5", MachineFamily::T5Z, filter));
    EXPECT_FALSE(recordSelectedForPrint(tz + "127", MachineFamily::T5Z, filter));

    // Error 0: an empty or non-numeric field reads as 0; a missing field never matches.
    filter.errorNumber = 0;
    EXPECT_TRUE(recordSelectedForPrint(orvPrefix + "", MachineFamily::ORV, filter));
    EXPECT_TRUE(recordSelectedForPrint(orvPrefix + "ok", MachineFamily::ORV, filter));
    EXPECT_FALSE(recordSelectedForPrint("1\tS\t01/02/2009\tx", MachineFamily::ORV, filter));

    // A number beyond 16 bits matches nothing.
    filter.errorNumber = 32767;
    EXPECT_FALSE(recordSelectedForPrint(orvPrefix + "99999", MachineFamily::ORV, filter));

    // Both filters together.
    filter.errorNumber = 5;
    filter.dateOn = true;
    filter.from = filter.to = day(2009, 2, 1);
    EXPECT_TRUE(recordSelectedForPrint(orvPrefix + "5", MachineFamily::ORV, filter));
    EXPECT_FALSE(recordSelectedForPrint("1\tS\t02/02/2009\tx\t5", MachineFamily::ORV, filter));
}

TEST(PrintCopy, LinesEndAtCrOrCrLfAndTheHeaderIsNeverFiltered)
{
    TempFolder folder;
    const fs::path source = folder / "records.xls";
    const fs::path copy = folder / "print_only.tmp";

    // The header holds no date where the family's date is; it is copied all the same.
    // Lines end CR LF, a lone CR; a lone LF stays inside its field; the last line has
    // no terminator.
    writeFile(source,
              "Weld\tSerial\tDate\r\n"
              "1\tA\t01/02/2009\r"
              "2\tB\t05/03/2009\r\n"
              "3\tC\n\t01/02/2009\r\n"
              "4\tD\t28/02/2009");
    ListingFilter filter;
    filter.dateOn = true;
    filter.from = day(2009, 2, 1);
    filter.to = day(2009, 2, 28);
    ASSERT_TRUE(writePrintCopy(source, copy, MachineFamily::ORV, filter).ok());
    EXPECT_EQ(readFile(copy), cells("Weld\tSerial\tDate") + "\r\n" + cells("1\tA\t01/02/2009")
                                  + "\r\n" + cells("3\tC\n\t01/02/2009") + "\r\n"
                                  + cells("4\tD\t28/02/2009") + "\r\n");

    // No record in the range: the header alone.
    filter.from = filter.to = day(2010, 1, 1);
    ASSERT_TRUE(writePrintCopy(source, copy, MachineFamily::ORV, filter).ok());
    EXPECT_EQ(readFile(copy), cells("Weld\tSerial\tDate") + "\r\n");

    // No filter: every line, empty ones included (a CR CR is an empty record).
    writeFile(source, "H\r\n\r\rx\r\n");
    ASSERT_TRUE(writePrintCopy(source, copy, MachineFamily::ORV, ListingFilter{}).ok());
    EXPECT_EQ(readFile(copy), cells("H") + "\r\n" + cells("") + "\r\n" + cells("") + "\r\n"
                                  + cells("x") + "\r\n");

    // An empty source gives an empty copy.
    writeFile(source, "");
    ASSERT_TRUE(writePrintCopy(source, copy, MachineFamily::ORV, ListingFilter{}).ok());
    EXPECT_EQ(readFile(copy), "");
}

TEST(PrintCopy, LongLinesStreamAcrossReadChunks)
{
    TempFolder folder;
    const fs::path source = folder / "big.xls";
    const fs::path copy = folder / "print_only.tmp";
    // Lines longer than the reader's chunk, with a CR LF split over a chunk boundary.
    const std::string a(64 * 1024 - 1, 'a');
    const std::string b(100000, 'b');
    writeFile(source, a + "\r\n" + b + "\tc\r\n");
    std::uint64_t lastDone = 0, lastTotal = 0;
    ASSERT_TRUE(writePrintCopy(source, copy, MachineFamily::ORV, ListingFilter{},
                               [&](std::uint64_t done, std::uint64_t total) {
                                   lastDone = done;
                                   lastTotal = total;
                                   return true;
                               })
                    .ok());
    EXPECT_EQ(readFile(copy), a + ": \r\n" + b + ": c" + std::string(22, ' ') + ": \r\n");
    EXPECT_EQ(lastDone, lastTotal);
    EXPECT_EQ(lastTotal, a.size() + b.size() + 6);
}

TEST(PrintCopy, MissingSourceLeavesTheEarlierCopyAlone)
{
    TempFolder folder;
    const fs::path copy = folder / "print_only.tmp";
    writeFile(copy, "earlier");

    const FileResult missing =
        writePrintCopy(folder / "none.xls", copy, MachineFamily::ORV, ListingFilter{});
    EXPECT_EQ(missing.fault, FileFault::SourceMissing);
    const FileResult folderSource =
        writePrintCopy(folder / ".", copy, MachineFamily::ORV, ListingFilter{});
    EXPECT_EQ(folderSource.fault, FileFault::SourceNotRegular);
    EXPECT_EQ(readFile(copy), "earlier");

    // A copy that cannot be created is reported, not passed over.
    writeFile(folder / "s.xls", "H\r\n");
    const FileResult noCopy = writePrintCopy(folder / "s.xls", folder / "no" / "print_only.tmp",
                                             MachineFamily::ORV, ListingFilter{});
    EXPECT_EQ(noCopy.fault, FileFault::TargetCreate);

    // Cancelling through progress stops the copy.
    const FileResult cancelled = writePrintCopy(folder / "s.xls", copy, MachineFamily::ORV,
                                                ListingFilter{}, [](auto, auto) { return false; });
    EXPECT_EQ(cancelled.fault, FileFault::Cancelled);
}

TEST(PrintJob, HeadingBlockBodyAndEndInOrder)
{
    TempFolder folder;
    const fs::path copy = folder / "print_only.tmp";
    const std::string header = cells("12\tABC\t01/02/2009");
    writeFile(copy, header + "\r\n" + std::string(125, 'r') + "\r\n");

    RecordingSurface surface;
    ASSERT_TRUE(printCopyFile(copy, Language::English, true, surface).ok());
    const std::vector<std::string> expected = {
        "font Courier New", "size 7",
        "size 12", "bold on", "| ", "|   KESTRAVA PRINTOUT",
        "size 10", "bold off", "|    ! This is a filtered selection of the records !", "|",
        "size 7",
        "|    :" + header, "|" + rule,
        "|    :" + std::string(125, 'r'), "|    :", "|" + rule,
        "end"};
    EXPECT_EQ(surface.ops, expected);
}

TEST(PrintJob, NotesPerLanguageAndFilterState)
{
    TempFolder folder;
    const fs::path copy = folder / "print_only.tmp";
    writeFile(copy, "");

    const auto heading = [&](Language language, bool filtered) {
        RecordingSurface surface;
        EXPECT_TRUE(printCopyFile(copy, language, filtered, surface).ok());
        return surface.lines();
    };
    EXPECT_EQ(heading(Language::English, false),
              (std::vector<std::string>{" ", "   KESTRAVA PRINTOUT",
                                        "    All records shown from download", ""}));
    EXPECT_EQ(heading(Language::Polish, true),
              (std::vector<std::string>{" ", "   WYDRUK DANYCH",
                                        "    ! Zaznaczone rekordy sa przefiltrowane !", ""}));
    EXPECT_EQ(heading(Language::Polish, false),
              (std::vector<std::string>{" ", "   WYDRUK DANYCH",
                                        "    Pokazano wszystkie pobrane rekordy", ""}));
    // Another language has no heading text and no note line.
    EXPECT_EQ(heading(Language::Other, true), (std::vector<std::string>{" ", "", ""}));
}

TEST(PrintJob, AFailingPrinterOperationStopsTheJob)
{
    TempFolder folder;
    const fs::path copy = folder / "print_only.tmp";
    writeFile(copy, cells("a") + "\r\n" + cells("b") + "\r\n");

    RecordingSurface full;
    ASSERT_TRUE(printCopyFile(copy, Language::English, false, full).ok());
    const int count = int(full.ops.size());
    ASSERT_EQ(full.ops.back(), "end");

    // Whichever operation fails, nothing runs after it and the fault is the printer's.
    for (int failAt = 1; failAt <= count; ++failAt) {
        RecordingSurface surface;
        surface.failAt = failAt;
        const PrintResult result = printCopyFile(copy, Language::English, false, surface);
        EXPECT_EQ(result.fault, PrintFault::Printer) << "operation " << failAt;
        EXPECT_EQ(int(surface.ops.size()), failAt) << "operation " << failAt;
    }

    // A copy that cannot be read prints nothing at all.
    RecordingSurface none;
    EXPECT_EQ(printCopyFile(folder / "gone.tmp", Language::English, false, none).fault,
              PrintFault::CopyRead);
    EXPECT_TRUE(none.ops.empty());
}

TEST(PrintSelection, PrintsExactlyTheRecordsTheListingKeeps)
{
    // Awkward records of both families: damaged dates, short lines, error numbers with
    // blanks, leading zeros and fractions, and an empty line.
    const std::string orv =
        "Weld No\tSerial\tDate\tTime\tError\r\n"
        "1\tS1\t01/02/2009\t10:00\t0\r\n"
        "2\tS1\t15/02/2009\t10:00\t21\r\n"
        "3\tS1\t1/3/2009\t10:00\t21\r\n"
        "4\tS1\t28/02/2009\r\n"
        "5\tS1\t28/02/2009\t10:00\t 21 \r\n"
        "\r\n"
        "6\tS1\t31/12/2008\t10:00\t021\r\n"
        "7\tS1\t01/03/2009\t10:00\t20.5\r\n"
        "8\tS1\t01/03/2009\t10:00\tx\r\n";
    std::string tz = "Num\ta\tb\tDate";
    for (int k = 5; k <= 19; ++k)
        tz.append("\tc").append(std::to_string(k));
    tz += "\r\n";
    for (int r = 0; r < 12; ++r) {
        tz.append(std::to_string(r)).append("\tx\tSER\t");
        if (r % 5 == 4)
            tz.append("bad date  ");
        else
            tz.append("0").append(std::to_string(r % 9 + 1)).append("/02/2009");
        for (int k = 5; k <= (r == 7 ? 12 : 19); ++k)
            tz.append("\t").append(k == 19 ? std::to_string(r % 3 == 0 ? 5 : 7) : "v");
        tz += "\r\n";
    }

    std::vector<ListingFilter> filters(6);
    filters[1].dateOn = true;
    filters[1].from = day(2009, 2, 1);
    filters[1].to = day(2009, 2, 28);
    filters[2].errorOn = true;
    filters[2].errorNumber = 21;
    filters[3] = filters[1];
    filters[3].errorOn = true;
    filters[3].errorNumber = 5;
    filters[4].errorOn = true;
    filters[4].errorNumber = 0;
    filters[5].dateOn = true;
    filters[5].from = day(2009, 3, 1);
    filters[5].to = day(2009, 2, 1);

    TempFolder folder;
    std::vector<std::uint64_t> kept;
    for (const std::string& text : {orv, tz}) {
        writeFile(folder / "source.xls", text);
        for (std::size_t f = 0; f < filters.size(); ++f) {
            std::string listing;
            const ListingSummary summary = listText(text, filters[f], {}, listing);
            ASSERT_EQ(summary.outcome, ListingOutcome::Listed);
            std::uint64_t printed = 0;
            ASSERT_TRUE(forEachPrintCopyLine(folder / "source.xls", summary.family, filters[f],
                                             [&](std::string_view) {
                                                 ++printed;
                                                 return true;
                                             })
                            .ok());
            EXPECT_EQ(printed, summary.records + 1) << "filter " << f;
            kept.push_back(summary.records);
        }
    }
    // The filters do select: the comparison is not between empty selections.
    EXPECT_EQ(kept, (std::vector<std::uint64_t>{9, 4, 4, 0, 2, 0, 12, 10, 0, 3, 0, 0}));
}
