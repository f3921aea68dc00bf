// The fleet summary on arbitrary download files: up to four files (each plain or
// scrambled, some of them copies of another) summed up on two threads. Every kept
// record either counts for its machine or is left out as a repeat, so the records of
// the summary and the repeats add up to the records of the files listed one by one;
// a machine counts only files that were read; the CSV reads back as RFC 4180 with a
// field per heading on every row.
#include <fuzzer/FuzzedDataProvider.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/fleet/fleet_summary.h"
#include "core/fleet/fleet_table.h"
#include "core/listing/listing.h"
#include "core/text/scrambling.h"
#include "csv_reading.h"
#include "fuzz_check.h"

namespace {

using namespace kestrava;

const std::filesystem::path& folder()
{
    static const std::filesystem::path path = [] {
        auto made = std::filesystem::temp_directory_path() /
                    ("kestrava-fuzz-fleet-" + std::to_string(::getpid()));
        std::filesystem::create_directories(made);
        return made;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(1, 4);
    std::vector<std::string> texts;
    std::vector<std::filesystem::path> files;
    std::uint64_t listedRecords = 0;
    std::set<std::string> listedPaths;
    for (std::size_t i = 0; i < count; ++i) {
        const bool copy = i > 0 && input.ConsumeBool();
        std::string plain = copy ? texts[input.ConsumeIntegralInRange<std::size_t>(0, i - 1)]
                                 : input.ConsumeRandomLengthString(4096);
        const bool scrambled = input.ConsumeBool();
        const auto path = folder() / ("f" + std::to_string(i) + (scrambled ? ".pfd" : ".xls"));
        std::string bytes = plain;
        if (scrambled) {
            const auto coded =
                encodeBytes({reinterpret_cast<const std::uint8_t*>(plain.data()), plain.size()});
            bytes.assign(coded.begin(), coded.end());
        }
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        std::string listing;
        const ListingSummary alone = listText(plain, {}, "", listing);
        if (alone.outcome == ListingOutcome::Listed) {
            listedRecords += alone.records;
            listedPaths.insert(path.string());
        }
        texts.push_back(std::move(plain));
        files.push_back(path);
    }

    const auto summary = summariseFleet(files, {}, 2);
    FUZZ_CHECK(summary);
    std::uint64_t counted = 0;
    for (const auto& machine : summary->machines) {
        counted += machine.records;
        FUZZ_CHECK(machine.files == machine.paths.size() && machine.files >= 1);
        for (const auto& path : machine.paths)
            FUZZ_CHECK(listedPaths.count(path.string()) == 1);
    }
    FUZZ_CHECK(counted + summary->repeatedRecords == listedRecords);

    std::vector<std::vector<std::string>> rows;
    FUZZ_CHECK(readCsv(fleetCsv(*summary), rows));
    FUZZ_CHECK(rows.size() == summary->machines.size() + 1);
    for (const auto& row : rows) {
        FUZZ_CHECK(row.size() == rows.front().size());
        for (const auto& field : row)
            FUZZ_CHECK(!startsFormula(field));
    }
    for (const auto& path : files)
        std::filesystem::remove(path);
    return 0;
}
