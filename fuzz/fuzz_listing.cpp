// The listing run on arbitrary bytes with a filter drawn from the input. Checks the
// shape of every listing: lines end in CR LF, the header opens the listing and comes
// again after every 40 records, the record count is the number of listed lines, and
// feeding the source in small pieces gives the very same listing as feeding it whole.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "core/listing/listing.h"
#include "core/text/scrambling.h"
#include "fuzz_check.h"
#include "listing_shapes.h"

namespace {

using namespace kestrava;
using namespace std::chrono;

constexpr std::string_view kCrLf = "\r\n";
const std::string kPreviousSerial = "previous-serial";

struct Run {
    std::string listing;
    ListingSummary summary;
};

// Feeds text in pieces of the given sizes (cycled), each piece in its own exactly
// sized heap buffer so that reading beyond a piece is caught.
const std::filesystem::path& scratchFolder()
{
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("kestrava-fuzz-listing-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratchFolder(), ec);
        });
        return path;
    }();
    return folder;
}

// The run on a download file: the text written plain or scrambled, read back through
// the engine's file reading (and decoded on the way).
Run runOnFile(std::string_view text, const ListingFilter& filter, bool scrambled)
{
    const auto file = scratchFolder() / (scrambled ? "download.pfd" : "download.xls");
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        if (scrambled) {
            const auto bytes =
                encodeBytes({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
            out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        } else {
            out.write(text.data(), std::streamsize(text.size()));
        }
    }
    Run result;
    ListingRun run(filter, kPreviousSerial, [&result](std::string_view bytes) {
        result.listing.append(bytes);
        return true;
    });
    const auto listed = listDownload(file, scrambled, run);
    FUZZ_CHECK(listed.file.ok());
    result.summary = listed.summary;
    return result;
}

void checkSameRun(const Run& a, const Run& b)
{
    FUZZ_CHECK(a.listing == b.listing);
    FUZZ_CHECK(a.summary.records == b.summary.records);
    FUZZ_CHECK(a.summary.outcome == b.summary.outcome);
    FUZZ_CHECK(a.summary.family == b.summary.family);
    FUZZ_CHECK(a.summary.serial == b.summary.serial);
    FUZZ_CHECK(a.summary.headerLine == b.summary.headerLine);
    for (std::size_t row = 0; row < a.summary.errorCodes.size(); ++row) {
        FUZZ_CHECK(a.summary.errorCodes[row].label == b.summary.errorCodes[row].label);
        FUZZ_CHECK(a.summary.errorCodes[row].count == b.summary.errorCodes[row].count);
    }
}

// lasting: each piece is handed over with its keeper and only the run holds it after
// that, so that reading a piece once it is let go (or beyond it) is caught too.
Run runInPieces(std::string_view text, const ListingFilter& filter,
                const std::vector<std::size_t>& sizes, bool lasting = false)
{
    Run result;
    ListingRun run(filter, kPreviousSerial, [&result](std::string_view bytes) {
        result.listing.append(bytes);
        return true;
    });
    std::size_t at = 0;
    std::size_t turn = 0;
    while (at < text.size()) {
        const std::size_t size = std::min(sizes[turn++ % sizes.size()], text.size() - at);
        std::shared_ptr<char[]> piece(new char[size]);
        std::copy_n(text.data() + at, size, piece.get());
        at += size;
        const std::string_view bytes(piece.get(), size);
        std::shared_ptr<const void> keeper;
        if (lasting)
            keeper = std::move(piece);
        const bool going = run.feed(bytes, keeper);
        keeper.reset();  // the run's own hold, if any, is all that keeps it now
        piece.reset();
        if (!going)
            break;
    }
    result.summary = run.finish();
    return result;
}

// Lines of the source: each CR (or CR LF) ends one; text after the last end is one more.
std::uint64_t sourceLines(std::string_view text)
{
    std::uint64_t lines = 0;
    std::size_t tail = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            ++lines;
            tail = i + 1;
            if (tail < text.size() && text[tail] == '\n')
                tail = ++i + 1;
        }
    }
    return lines + (tail < text.size() ? 1 : 0);
}

// Positions of a line: 0, the 1-based position of every tab, the length + 1.
std::vector<std::int64_t> positionsOf(std::string_view line)
{
    std::vector<std::int64_t> positions{0};
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] == '\t')
            positions.push_back(std::int64_t(i) + 1);
    positions.push_back(std::int64_t(line.size()) + 1);
    return positions;
}

// The listing of an unfiltered run, written out plainly from the column rule: field k,
// then (H(k+1) - H(k) + 4) - (T(k+1) - T(k)) spaces when that is positive, then "| ",
// with header positions of 0 beyond the header's end mark.
void checkLayout(std::string_view text, std::string_view headerLine,
                 const std::vector<std::string_view>& listed)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    FUZZ_CHECK(lines.size() == listed.size() + 1);

    const auto header = positionsOf(lines[0]);
    std::string expectedHeader;
    for (std::size_t k = 1; k < header.size(); ++k) {
        expectedHeader.append(lines[0].substr(std::size_t(header[k - 1]),
                                              std::size_t(header[k] - header[k - 1] - 1)));
        expectedHeader.append("    | ");
    }
    FUZZ_CHECK(headerLine == expectedHeader);
    const auto H = [&](std::size_t k) { return k - 1 < header.size() ? header[k - 1] : 0; };
    for (std::size_t r = 1; r < lines.size(); ++r) {
        const std::string_view line = lines[r];
        const auto T = positionsOf(line);
        std::string expected;
        for (std::size_t k = 1; k < T.size(); ++k) {
            expected.append(line.substr(std::size_t(T[k - 1]), std::size_t(T[k] - T[k - 1] - 1)));
            const std::int64_t fill = (H(k + 1) - H(k) + 4) - (T[k] - T[k - 1]);
            if (fill > 0)
                expected.append(std::size_t(fill), ' ');
            expected.append("| ");
        }
        FUZZ_CHECK(listed[r - 1] == expected);
    }
}

void checkListingShape(std::string_view text, const ListingFilter& filter, const Run& run)
{
    const auto& summary = run.summary;
    const std::string_view listing = run.listing;

    if (text.empty()) {
        FUZZ_CHECK(listing.empty());
        FUZZ_CHECK(summary.outcome == ListingOutcome::HeaderNotRecognised);
        return;
    }
    // Every CR is the start of a CR LF, and the listing ends with one.
    FUZZ_CHECK(listing.size() >= 2 && listing.substr(listing.size() - 2) == kCrLf);
    for (std::size_t i = 0; i < listing.size(); ++i)
        if (listing[i] == '\r')
            FUZZ_CHECK(i + 1 < listing.size() && listing[i + 1] == '\n');

    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < listing.size();) {
        const std::size_t end = listing.find(kCrLf, start);
        lines.push_back(listing.substr(start, end - start));
        start = end + 2;
    }
    // The summary keeps the start of the header line, the whole of a short one.
    const std::string_view header = lines[0];
    FUZZ_CHECK(summary.headerLine == header.substr(0, kHeaderLineKept));
    FUZZ_CHECK(header.size() >= 6 && header.substr(header.size() - 6) == "    | ");

    // Records in blocks of 40, each block followed by an empty line and the header.
    std::uint64_t records = 0;
    std::vector<std::string_view> recordLines;
    std::size_t i = 1;
    while (i < lines.size()) {
        FUZZ_CHECK(!lines[i].empty());
        FUZZ_CHECK(lines[i].size() >= 2 && lines[i].substr(lines[i].size() - 2) == "| ");
        recordLines.push_back(lines[i]);
        ++records;
        ++i;
        if (records % 40 == 0) {
            FUZZ_CHECK(i + 1 < lines.size());
            FUZZ_CHECK(lines[i].empty());
            FUZZ_CHECK(lines[i + 1] == header);
            i += 2;
        }
    }
    FUZZ_CHECK(records == summary.records);

    std::int64_t counted = 0;
    for (const auto& row : summary.errorCodes) {
        FUZZ_CHECK(row.count >= 0);
        counted += row.count;
    }
    FUZZ_CHECK(std::uint64_t(counted) <= summary.records);
    if (summary.records == 0)
        FUZZ_CHECK(summary.serial == kPreviousSerial);

    if (summary.outcome == ListingOutcome::NoFamily) {
        FUZZ_CHECK(summary.family == MachineFamily::Unknown);
        FUZZ_CHECK(summary.records == 0);
        FUZZ_CHECK(lines.size() == 1);
    } else {
        FUZZ_CHECK(summary.outcome == (isRecognisedHeader(summary.headerLine)
                                           ? ListingOutcome::Listed
                                           : ListingOutcome::HeaderNotRecognised));
        // Without a filter every record line of the source is listed, laid out by the
        // column rule.
        if (!filter.dateOn && !filter.errorOn) {
            FUZZ_CHECK(summary.records + 1 == sourceLines(text));
            checkLayout(text, header, recordLines);
        }
        if (summary.records > 0)
            FUZZ_CHECK(summary.family != MachineFamily::Unknown);
    }
}

}  // namespace

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed)
{
    std::minstd_rand random(seed);
    if (random() % 4 != 0 || maxSize <= fuzz::kControlBytes)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::uint8_t control[fuzz::kControlBytes];
    for (std::size_t i = 0; i < fuzz::kControlBytes; ++i)
        control[i] = size >= fuzz::kControlBytes ? data[size - fuzz::kControlBytes + i]
                                                 : std::uint8_t(random());
    const std::string text = fuzz::shapedText(random, maxSize - fuzz::kControlBytes);
    std::memcpy(data, text.data(), text.size());
    std::memcpy(data + text.size(), control, fuzz::kControlBytes);
    return text.size() + fuzz::kControlBytes;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    // The filter and the piece sizes come from the end of the input, so that a plain
    // download file used as a seed is still listed from its first byte.
    ListingFilter filter;
    const std::uint8_t control = provider.ConsumeIntegral<std::uint8_t>();
    filter.dateOn = (control & 1) != 0;
    filter.errorOn = (control & 2) != 0;
    const Day base = Day{2009y / March / 1};
    filter.from = base + days{provider.ConsumeIntegralInRange<int>(-3000, 3000)};
    filter.to = filter.from + days{provider.ConsumeIntegralInRange<int>(-10, 4000)};
    filter.errorNumber = provider.ConsumeIntegral<std::int16_t>();
    std::vector<std::size_t> sizes;
    for (int i = 0; i < 3; ++i)
        sizes.push_back(provider.ConsumeIntegralInRange<std::size_t>(1, 64));
    const std::string text = provider.ConsumeRemainingBytesAsString();
    // Large inputs are fed in larger pieces: a megabyte byte by byte says nothing new.
    for (auto& size : sizes)
        size *= 1 + text.size() / 16384;

    // Every record line is at least as wide as the header: a long header over many
    // lines makes a listing of hundreds of megabytes, which the checks below hold
    // several times over. Such inputs say nothing the smaller ones do not.
    const std::size_t headerLength = std::min(text.find('\r'), text.size());
    const auto lineEnds = std::uint64_t(std::count(text.begin(), text.end(), '\r'));
    if (std::uint64_t(headerLength) * lineEnds > (std::uint64_t(32) << 20))
        return -1;

    const Run whole = runInPieces(text, filter, {text.size() + 1});
    checkListingShape(text, filter, whole);

    checkSameRun(runInPieces(text, filter, sizes), whole);
    checkSameRun(runInPieces(text, filter, sizes, true), whole);
    // Through a file, plain and scrambled, now and then (it costs file work).
    if (control % 32 == 4) {
        checkSameRun(runOnFile(text, filter, false), whole);
        checkSameRun(runOnFile(text, filter, true), whole);
    }
    return 0;
}
