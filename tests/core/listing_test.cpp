#include <gtest/gtest.h>

#include <random>

#include "core/listing/listing.h"
#include "temp_folder.h"

using namespace kestrava;
using namespace std::chrono;

namespace {

std::string cell(const std::string& text, int spaces)
{
    return text + std::string(std::size_t(spaces > 0 ? spaces : 0), ' ') + "| ";
}

using sample::kOrvHeader;
using sample::orvRecord;
const std::string kOrvHeaderOut = "Weld    | Serial    | Date    | Time    | Error    | ";

std::string orvRecordOut(const std::string& weld, const std::string& serial,
                         const std::string& date, const std::string& error)
{
    return cell(weld, 8 - int(weld.size())) + cell(serial, 10 - int(serial.size())) +
           cell(date, 8 - int(date.size())) + cell("10:00", 3) + cell(error, 9 - int(error.size()));
}

using Row = sample::OrvRow;

// The listing of an ORV download of these records.
std::string orvListing(const std::vector<Row>& rows)
{
    std::string text = kOrvHeaderOut + "\r\n";
    for (const Row& r : rows)
        text += orvRecordOut(r[0], r[1], r[2], r[3]) + "\r\n";
    return text;
}

struct Run {
    ListingSummary summary;
    std::string listing;
};

Run list(const std::string& text, const ListingFilter& filter = {}, const std::string& serial = "")
{
    Run run;
    run.summary = listText(text, filter, serial, run.listing);
    return run;
}

Day ymd(int y, unsigned m, unsigned d)
{
    return Day{year{y} / month{m} / day{d}};
}

}  // namespace

TEST(Listing, LaysOutColumnsCountsCodesAndKeepsTheLastSerial)
{
    const std::vector<Row> rows = {{"1", "AB12", "15/03/2009", "0"},
                                   {"2", "AB13", "16/03/2009", "27"},
                                   {"3", "AB14", "16/03/2009", "027"},
                                   {"4", "AB15", "17/03/2009", " 27"}};
    const auto run = list(sample::orvDownload(rows));
    EXPECT_EQ(run.summary.family, MachineFamily::ORV);
    EXPECT_EQ(run.summary.records, 4u);
    EXPECT_EQ(run.summary.serial, "AB15");
    EXPECT_EQ(run.listing, orvListing(rows));
    // The exact text counts: "027" and " 27" count nowhere.
    EXPECT_EQ(run.summary.errorCodes[0].count, 1);
    EXPECT_EQ(run.summary.errorCodes[8].count, 1);
    // A value longer than its header + 4 pushes the rest of the line right.
    const auto wide = list(kOrvHeader + "\r\n" + orvRecord("123456789", "S", "01/01/2010", "0"));
    EXPECT_EQ(wide.listing.substr(wide.listing.find("\r\n") + 2, 23), "123456789| S         | ");
    // A short value under a long column name is filled to the name's length + 4.
    const auto filled = list(kOrvHeader + "\tName of the welding operator\r\n" +
                             orvRecord("1", "S", "01/01/2010", "0\tX") + "\r\n");
    EXPECT_TRUE(filled.listing.ends_with("| X" + std::string(31, ' ') + "| \r\n"));
}

TEST(Listing, HeaderIsRepeatedAfterEvery40Records)
{
    std::string text = kOrvHeader;
    std::string expected = kOrvHeaderOut + "\r\n";
    for (int i = 1; i <= 81; ++i) {
        const std::string weld = std::to_string(i);
        text += "\r\n" + orvRecord(weld, "S", "01/02/2010", "0");
        expected += orvRecordOut(weld, "S", "01/02/2010", "0") + "\r\n";
        if (i % 40 == 0)
            expected += "\r\n" + kOrvHeaderOut + "\r\n";
    }
    EXPECT_EQ(list(text).listing, expected);

    // A header too long to keep whole is formatted afresh wherever it is written, also
    // after exactly 40 records, where it closes the listing; the summary keeps its start.
    std::string wide = "Wel" + std::string(20000, '\t');
    std::string wideOut = "Wel    | ";
    for (int i = 0; i < 20000; ++i)
        wideOut += "    | ";
    expected = wideOut + "\r\n";
    for (int i = 1; i <= 40; ++i) {
        wide += "\r\n1\t2\t01/02/2010";
        expected += cell("1", 6) + cell("2", 3) + cell("01/02/2010", 0) + "\r\n";
    }
    expected += "\r\n" + wideOut + "\r\n";
    const auto wideRun = list(wide);
    EXPECT_EQ(wideRun.listing, expected);
    EXPECT_EQ(wideRun.summary.headerLine, wideOut.substr(0, kHeaderLineKept));
}

TEST(Listing, RecordsWithMoreOrFewerFieldsThanTheHeader)
{
    // Two header fields; beyond them the header entries are 0: the first extra field
    // gets no fill, each later one is filled to 3 characters.
    const auto run = list("Weld\tNo\r\na\tb\t01/02/2009\tX\tlonger\r\nc\r\n");
    EXPECT_EQ(run.summary.family, MachineFamily::ORV);
    EXPECT_EQ(run.listing, "Weld    | No    | \r\n" + cell("a", 7) + cell("b", 5) +
                               cell("01/02/2009", 0) + cell("X", 2) + cell("longer", 0) + "\r\n" +
                               cell("c", 7) + "\r\n");
    // The one-field record leaves the serial of the record before it.
    EXPECT_EQ(run.summary.serial, "b");
    EXPECT_EQ(run.summary.records, 2u);
    // A record lacking the error field is listed but counted nowhere.
    const auto short5tz = list("Number\tA\tSerial\tDate\r\n1\t2\tS9\t01/02/2009\t0\r\n");
    EXPECT_EQ(short5tz.summary.family, MachineFamily::T5Z);
    EXPECT_EQ(short5tz.summary.serial, "S9");
    for (const auto& row : short5tz.summary.errorCodes)
        EXPECT_EQ(row.count, 0);
}

TEST(Listing, LineEndsAndPiecesOfAnySize)
{
    // CR and CR LF end lines, a lone LF stays in the field, text after the last line
    // end is a last line, and an empty line is a record with one empty field.
    const std::string text = "Log\tS\tDate\r"
                             "1\tA\n\t02/02/2012\r\n"
                             "\r\n"
                             "2\tB\t03/02/2012";
    const auto whole = list(text);
    EXPECT_EQ(whole.summary.records, 3u);
    EXPECT_EQ(whole.summary.serial, "B");
    EXPECT_EQ(whole.listing, "Log    | S    | Date    | \r\n" + cell("1", 6) + cell("A\n", 3) +
                                 cell("02/02/2012", 0) + "\r\n" + cell("", 7) + "\r\n" +
                                 cell("2", 6) + cell("B", 4) + cell("03/02/2012", 0) + "\r\n");
    // Fed a byte at a time (a CR LF split over two pieces included), the run is the same.
    std::string listing;
    ListingRun run({}, "", [&](std::string_view bytes) {
        listing.append(bytes);
        return true;
    });
    for (char c : text)
        run.feed(std::string_view(&c, 1));
    EXPECT_EQ(run.finish().records, whole.summary.records);
    EXPECT_EQ(listing, whole.listing);
    // A file ending in a line end has no empty last line.
    EXPECT_EQ(list(text + "\r\n").listing, whole.listing);
    EXPECT_EQ(list(text + "\r").listing, whole.listing);
}

TEST(Listing, FamilyDecisionOnTheFirstRecord)
{
    // Dates at the start of both field 3 and field 4: 5TZ.
    EXPECT_EQ(list("Weld\r\n1\t2\t01/02/2009\t01/02/2009\r\n").summary.family, MachineFamily::T5Z);
    // The 10 characters may end with the line.
    EXPECT_EQ(list("Weld\r\n1\t2\t1/2/2009").summary.family, MachineFamily::ORV);
    // A short date runs into the next field and is no date: no family.
    const auto none = list("Weld\ta\r\n1\t2\t1/2/2009\tX\r\n1\t2\t01/02/2009\r\n");
    EXPECT_EQ(none.summary.outcome, ListingOutcome::NoFamily);
    EXPECT_EQ(none.listing, "Weld    | a    | \r\n");
    // Too few fields for a date field: no family (not read from another position).
    EXPECT_EQ(list("Weld\r\n01/02/2009\r\n").summary.outcome, ListingOutcome::NoFamily);
    EXPECT_EQ(list("Weld\r\n\r\n").summary.outcome, ListingOutcome::NoFamily);
    // Header only: listed, family unknown, ORV labels.
    const auto headerOnly = list("Weld\tX");
    EXPECT_EQ(headerOnly.summary.outcome, ListingOutcome::Listed);
    EXPECT_EQ(headerOnly.summary.family, MachineFamily::Unknown);
    EXPECT_EQ(headerOnly.summary.errorCodes[1].label, "E20");
}

TEST(Listing, RecognitionOfTheHeader)
{
    for (const char* text : {"", "weld\r\n", "Lo\tgin\r\n"})
        EXPECT_EQ(list(text).summary.outcome, ListingOutcome::HeaderNotRecognised) << text;
    for (const char* word : {"Weld", "Log", "Numer", "NUMBER", "Schweiss", "Nom"})
        EXPECT_EQ(list(std::string(word) + "\r\n").summary.outcome, ListingOutcome::Listed) << word;
    // Not recognised but with a family: the records are still listed and counted.
    const auto other = list("Data\r\n1\t2\t01/02/2009\t4\t0\r\n");
    EXPECT_EQ(other.summary.outcome, ListingOutcome::HeaderNotRecognised);
    EXPECT_EQ(other.summary.records, 1u);
    EXPECT_EQ(other.summary.errorCodes[0].count, 1);
}

TEST(Listing, DateFilterIsInclusiveAndDropsRecordsWithoutADate)
{
    const std::string text = sample::orvDownload({{"1", "A", "14/03/2009", "0"},
                                                  {"2", "B", "15/03/2009", "0"},
                                                  {"3", "C", "16/03/2009", "20"},
                                                  {"4", "D", "17/03/2009", "0"},
                                                  {"5", "E", "garbage!!!", "0"}}) +
                             "6\tF\r\n";
    ListingFilter filter{.dateOn = true, .from = ymd(2009, 3, 15), .to = ymd(2009, 3, 16)};
    const auto run = list(text, filter, "previous");
    EXPECT_EQ(run.summary.records, 2u);
    EXPECT_EQ(run.summary.serial, "C");
    EXPECT_EQ(run.summary.errorCodes[0].count, 1);
    EXPECT_EQ(run.summary.errorCodes[1].count, 1);
    EXPECT_EQ(run.listing,
              orvListing({{"2", "B", "15/03/2009", "0"}, {"3", "C", "16/03/2009", "20"}}));

    // From after To: header only, serial of the previous run kept, counts 0.
    filter.from = ymd(2009, 3, 17);
    filter.to = ymd(2009, 3, 14);
    const auto empty = list(text, filter, "previous");
    EXPECT_EQ(empty.listing, orvListing({}));
    EXPECT_EQ(empty.summary.serial, "previous");
}

TEST(Listing, ErrorFilterComparesNumbersButCountsExactText)
{
    const std::string text = "Number\tA\tSerial\tDate" + std::string(15, '\t') + "Err\r\n";
    auto rec = [](const std::string& serial, const std::string& error) {
        return "1\tx\t" + serial + "\t01/02/2009" + std::string(15, '\t') + error + "\r\n";
    };
    const std::string body = rec("A", "5") + rec("B", "05") + rec("C", " 5 ") + rec("D", "6") +
                             rec("E", "4.5") + rec("F", "5.5") + rec("G", "99999") +
                             "1\tx\tH\t01/02/2009\r\n" + rec("I", "x");
    ListingFilter filter{.errorOn = true, .errorNumber = 5};
    const auto run = list(text + body, filter);
    EXPECT_EQ(run.summary.family, MachineFamily::T5Z);
    EXPECT_EQ(run.summary.records, 3u);  // 5, 05, " 5 "
    EXPECT_EQ(run.summary.serial, "C");
    EXPECT_EQ(run.summary.errorCodes[1].count, 1);  // only the exact "5"

    filter.errorNumber = 4;  // 4.5 rounds to 4 (half to even)
    EXPECT_EQ(list(text + body, filter).summary.serial, "E");
    filter.errorNumber = 6;  // 6 and 5.5
    EXPECT_EQ(list(text + body, filter).summary.records, 2u);
    filter.errorNumber = 0;  // "x" reads 0; the record lacking the field is not kept
    const auto zero = list(text + body, filter);
    EXPECT_EQ(zero.summary.records, 1u);
    EXPECT_EQ(zero.summary.serial, "I");

    // Both filters together.
    filter.errorNumber = 5;
    filter.dateOn = true;
    filter.from = ymd(2009, 2, 2);
    filter.to = ymd(2009, 2, 3);
    EXPECT_EQ(list(text + body, filter).summary.records, 0u);
}

TEST(Listing, ReportsWhereEveryLineBegins)
{
    std::string many = kOrvHeader;
    for (int i = 0; i < 85; ++i)
        many += "\r\n" + orvRecord(std::to_string(i), "S", "01/02/2010", "0");
    const std::string longField(std::size_t(3) << 19, 'x');
    const std::string texts[] = {
        fileText(std::string(KESTRAVA_EXAMPLES_DIR) + "/orv_sample.xls"),
        fileText(std::string(KESTRAVA_EXAMPLES_DIR) + "/5tz_sample.xls"),
        many,
        // Fields written in several pieces: in a record, and in the header (repeated).
        many + "\r\n1\t" + longField + "\t01/02/2010\r\n2\tS\t01/02/2010",
        kOrvHeader + "\t" + longField + many.substr(kOrvHeader.size()),
    };
    for (const std::string& text : texts) {
        std::string expected;
        listText(text, {}, "", expected);
        std::vector<std::uint64_t> lineStarts{0};
        for (std::size_t at = expected.find("\r\n"); at + 2 < expected.size();
             at = expected.find("\r\n", at + 2))
            lineStarts.push_back(at + 2);

        std::string listing;
        std::vector<std::uint64_t> reported;
        bool inPiece = true;
        std::size_t pieceStarts = 0;
        ListingRun run({}, "", [&](std::string_view bytes) {
            // The starts just reported lie in this piece.
            for (std::size_t i = pieceStarts; i < reported.size(); ++i)
                inPiece = inPiece && reported[i] >= listing.size() &&
                          reported[i] < listing.size() + bytes.size();
            pieceStarts = reported.size();
            listing.append(bytes);
            return true;
        });
        run.setLineStarts([&](const std::uint64_t* starts, std::size_t count) {
            reported.insert(reported.end(), starts, starts + count);
        });
        run.feed(text);
        run.finish();
        EXPECT_EQ(listing, expected);
        EXPECT_EQ(reported, lineStarts) << text.substr(0, 40);
        EXPECT_TRUE(inPiece);
    }
}

TEST(Listing, SameOnAnyNumberOfThreads)
{
    TempFolder folder;
    std::mt19937 random(14);
    const auto pick = [&random](int n) { return int(random() % unsigned(n)); };
    for (int file = 0; file < 2; ++file) {
        // Records of every shape: CR or CR LF ends, lone LFs (one opening a line after a
        // CR LF too), missing and extra fields, now and then a line long enough to be
        // listed apart from the others.
        const bool orv = file == 0;
        std::string text =
            orv ? kOrvHeader : "Number\tA\tSerial\tDate" + std::string(15, '\t') + "Err";
        while (text.size() < (std::size_t(3) << 20)) {
            text += pick(3) == 0 ? "\r" : "\r\n";
            const std::string date =
                std::to_string(10 + pick(18)) + "/0" + std::to_string(1 + pick(9)) + "/2009";
            std::string record = (pick(20) == 0 ? "\n" : "") + std::to_string(pick(1000)) +
                                 (orv ? "" : "\tx") + "\tS" + std::to_string(pick(50)) +
                                 (pick(9) == 0 ? "\n" : "") + "\t" + date;
            for (int k = pick(orv ? 4 : 18); k > 0; --k)
                record += "\t" + std::string(std::size_t(pick(12)), 'v');
            record += "\t" + std::to_string(pick(10));
            if (pick(500) == 0)
                record += "\t" + std::string(std::size_t(12000 + pick(40000)), 'w');
            text += pick(300) == 0 ? std::string() : record;
        }
        const std::string plain = folder.write("f.xls", text).string();
        const std::string scrambled = folder.write("f.pfd", sample::scrambled(text)).string();
        const ListingFilter filters[] = {
            {},
            {.errorOn = true, .errorNumber = 7},
            {.dateOn = true, .from = ymd(2009, 2, 10), .to = ymd(2009, 6, 3)}};
        for (const ListingFilter& filter : filters) {
            // A source of "" is the text fed in pieces of a few bytes to a few KiB.
            for (const auto& source : {plain, scrambled, std::string()}) {
                std::string first;
                std::vector<std::uint64_t> firstStarts;
                ListingSummary firstSummary;
                for (unsigned threads : {1u, 2u, 3u}) {
                    std::string listing;
                    std::vector<std::uint64_t> starts;
                    ListingRun run(filter, "previous", [&](std::string_view bytes) {
                        listing.append(bytes);
                        return true;
                    });
                    run.setThreads(threads);
                    run.setLineStarts([&](const std::uint64_t* at, std::size_t count) {
                        starts.insert(starts.end(), at, at + count);
                    });
                    ListingFileResult result;
                    if (source.empty()) {
                        for (std::size_t at = 0; at < text.size();) {
                            const std::size_t size =
                                std::min(text.size() - at, std::size_t(1 + pick(4096)));
                            run.feed(std::string_view(text).substr(at, size));
                            at += size;
                        }
                        result.summary = run.finish();
                    } else {
                        result = listDownload(source, source == scrambled, run);
                    }
                    ASSERT_TRUE(result.file.ok());
                    if (threads == 1) {
                        first = listing;
                        firstStarts = starts;
                        firstSummary = result.summary;
                        EXPECT_GT(result.summary.records, 40u);
                        continue;
                    }
                    EXPECT_TRUE(listing == first) << source << " on " << threads;
                    EXPECT_EQ(starts, firstStarts);
                    EXPECT_EQ(result.summary.records, firstSummary.records);
                    EXPECT_EQ(result.summary.serial, firstSummary.serial);
                    for (std::size_t row = 0; row < firstSummary.errorCodes.size(); ++row)
                        EXPECT_EQ(result.summary.errorCodes[row].count,
                                  firstSummary.errorCodes[row].count);
                }
            }
        }
    }
}
