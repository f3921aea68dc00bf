// Weld protocols and the handover report's cover: the welds of listing lines against
// the listing itself, the fields of a weld, and the cover against the listing's counts.
#include <gtest/gtest.h>

#include "core/fleet/fleet_table.h"
#include "core/listing/listing.h"
#include "core/protocol/handover_report.h"
#include "core/protocol/protocol_text.h"
#include "core/protocol/weld_source.h"
#include "temp_folder.h"

using namespace kestrava;

namespace {

const std::filesystem::path kOrv = std::filesystem::path(KESTRAVA_EXAMPLES_DIR) / "orv_sample.xls";
const std::filesystem::path kOrvScrambled =
    std::filesystem::path(KESTRAVA_EXAMPLES_DIR) / "orv_sample.pfd";

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
        lines.push_back(text.substr(from, end - from));
    return lines;
}

std::vector<std::string> weldNumbers(const WeldSource& source)
{
    std::vector<std::string> numbers;
    const FileResult read = source.forEachWeld([&](const WeldRecord& weld) {
        numbers.emplace_back(fieldOf(weld.record, 1));
        return true;
    });
    EXPECT_TRUE(read.ok()) << describe(read);
    return numbers;
}

}  // namespace

TEST(WeldProtocol, ListingLinesMapToTheRecordsShownOnThem)
{
    struct Case {
        std::uint64_t first, last;
        std::optional<RecordRange> records;
    };
    const Case cases[] = {
        {1, 1, std::nullopt},  // the header alone
        {2, 2, RecordRange{0, 0}},     {1, 41, RecordRange{0, 39}},
        {42, 43, std::nullopt},  // the empty line and the repeated header
        {41, 44, RecordRange{39, 40}}, {42, 85, RecordRange{40, 79}},
        {5, 3, std::nullopt},
    };
    const auto shown = [](const std::optional<RecordRange>& records) {
        return records ? std::to_string(records->first) + "-" + std::to_string(records->last)
                       : "none";
    };
    for (const Case& c : cases)
        EXPECT_EQ(shown(recordsOfListingLines(c.first, c.last)), shown(c.records))
            << c.first << "-" << c.last;
}

// The welds of lines N to M are the records the listing shows on those lines, under
// every filter, from the plain and the scrambled file alike.
TEST(WeldProtocol, SelectedWeldsAreTheListingsLines)
{
    const ListingFilter all;
    const ListingFilter error27{.errorOn = true, .errorNumber = 27};
    const ListingFilter march{
        .dateOn = true, .from = *parseDateText("05/03/2009"), .to = *parseDateText("25/03/2009")};
    const std::pair<std::uint64_t, std::uint64_t> ranges[] = {
        {1, 1000}, {3, 7}, {40, 46}, {42, 42}, {44, 44}};
    const std::string plain = fileText(kOrv);
    for (const ListingFilter& filter : {all, error27, march}) {
        std::string listing;
        listText(plain, filter, "", listing);
        const std::vector<std::string> lines = splitLines(listing);
        for (const auto& [first, last] : ranges) {
            std::vector<std::string> expected;
            for (std::uint64_t line = first; line <= std::min<std::uint64_t>(last, lines.size());
                 ++line) {
                const std::string& text = lines[line - 1];
                if (!text.empty() && !isRecognisedHeader(text))
                    expected.push_back(text.substr(0, text.find(' ')));
            }
            for (const auto& [file, scrambled] :
                 {std::pair{kOrv, false}, std::pair{kOrvScrambled, true}}) {
                DownloadWelds welds(file, scrambled, filter, "orv");
                welds.setListingLines(first, last);
                EXPECT_EQ(weldNumbers(welds), expected) << first << "-" << last;
            }
        }
    }
}

TEST(WeldProtocol, FieldsUnderTheirColumnNames)
{
    struct Case {
        std::string record;
        MachineFamily family;
        std::string error;  // as errorDescriptionText gives it
        bool ok;
        std::string lastName;  // the name the last field is under
    };
    const std::string header = "Weld\tSerial\tDate\tTime\tError";
    const Case cases[] = {
        {"7\tS-1\t01/02/2009\t10:00\t0", MachineFamily::ORV, "E00 Weld OK", true, "Error"},
        {"7\tS-1\t01/02/2009\t10:00\t27\textra", MachineFamily::ORV, "E27 Fitting open circuit",
         false, ""},
        {"7\tS-1\t01/02/2009\t10:00\t05", MachineFamily::ORV, "unknown code", false, "Error"},
        {"7\tS-1\t01/02/2009", MachineFamily::ORV, "no error field", false, "Date"},
        {"7\tS-1\t01/02/2009\t10:00\t0", MachineFamily::T5Z, "no error field", false, "Error"},
    };
    for (const Case& c : cases) {
        WeldProtocol weld;
        readWeldProtocol(WeldRecord{header, c.record, c.family, "d.xls", 3}, weld);
        EXPECT_EQ(errorDescriptionText(weld), c.error) << c.record;
        EXPECT_EQ(weld.weldOk(), c.ok) << c.record;
        EXPECT_EQ(weld.fields.back().name, c.lastName) << c.record;
    }
}

// The cover's counts are the listing's, under each filter; the period spans the welds.
TEST(WeldProtocol, CoverAgreesWithTheListing)
{
    for (const ListingFilter& filter : {ListingFilter{}, ListingFilter{.errorOn = true}}) {
        std::string listing;
        const ListingSummary summary = listText(fileText(kOrv), filter, "", listing);
        ReportCover cover;
        ASSERT_TRUE(collectReportCover(DownloadWelds(kOrv, false, filter, "orv"), cover).ok());
        EXPECT_EQ(cover.welds, summary.records);
        EXPECT_EQ(cover.weldsNotOk, summary.records - std::uint64_t(summary.errorCodes[0].count));
        const auto bars = cover.errorCounts();
        ASSERT_EQ(bars.size(), 10u);
        for (std::size_t row = 0; row < 10; ++row)
            EXPECT_EQ(bars[row].count, std::uint64_t(summary.errorCodes[row].count)) << row;
        ASSERT_EQ(cover.machines.size(), 1u);
        EXPECT_EQ(cover.machines[0].serial, "ORV-20417");
        EXPECT_EQ(cover.machines[0].welds, summary.records);
        if (!filter.any()) {
            EXPECT_EQ(fleetDayText(cover.firstDay), "03/03/2009");
            EXPECT_EQ(cover.widestField.size(), 11u);
        }
    }
}

// Welds of two families and many machines: both families' codes on the cover, the
// machines beyond those named counted.
TEST(WeldProtocol, CoverOfManyMachinesAndBothFamilies)
{
    class Welds final : public WeldSource {
    public:
        FileResult forEachWeld(const std::function<bool(const WeldRecord&)>& weld,
                               const Progress&) const override
        {
            for (std::uint64_t i = 0; i < 2 * kMachinesKept + 10; ++i) {
                const std::string serial = "M" + std::to_string(i % (kMachinesKept + 5));
                const bool fiveTz = i % 2 == 1;
                std::string record = fiveTz ? "1\tx\t" + serial + "\t02/03/2010"
                                            : "1\t" + serial + "\t01/02/2009\t10:00\t27";
                for (int k = 5; fiveTz && k <= 19; ++k)
                    record += k == 19 ? "\t5" : "\tx";
                weld({"h", record, fiveTz ? MachineFamily::T5Z : MachineFamily::ORV, "d", i + 1});
            }
            return {};
        }
    };
    ReportCover cover;
    ASSERT_TRUE(collectReportCover(Welds(), cover).ok());
    EXPECT_TRUE(cover.mixedFamilies());
    EXPECT_EQ(cover.errorCounts().size(), 20u);
    EXPECT_EQ(cover.counts[0][8], kMachinesKept + 5);  // ORV E27
    EXPECT_EQ(cover.counts[1][1], kMachinesKept + 5);  // 5TZ E05
    EXPECT_EQ(cover.machines.size(), kMachinesKept);
    // Each serial comes with both families: two machines.
    EXPECT_EQ(cover.machines.size() + cover.machinesNotKept, 2 * (kMachinesKept + 5));
    EXPECT_EQ(fleetDayText(cover.firstDay), "01/02/2009");
    EXPECT_EQ(fleetDayText(cover.lastDay), "02/03/2010");
}
