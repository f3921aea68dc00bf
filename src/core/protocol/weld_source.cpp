#include "core/protocol/weld_source.h"

#include <utility>

#include "core/listing/listing.h"
#include "core/listing/record_tally.h"

namespace kestrava {

namespace {

constexpr std::uint64_t kRecordsPerBlock = kRecordsPerHeader;
constexpr std::uint64_t kLinesPerBlock = kRecordsPerBlock + 2;  // the empty line and the header

// The place of the first record on or after listing line `line` (1-based), counting
// records that may not exist.
std::uint64_t firstRecordFrom(std::uint64_t line)
{
    if (line <= 2)
        return 0;
    const std::uint64_t p = line - 2;
    const std::uint64_t block = p / kLinesPerBlock;
    const std::uint64_t within = p % kLinesPerBlock;
    return block * kRecordsPerBlock + (within < kRecordsPerBlock ? within : kRecordsPerBlock);
}

}  // namespace

std::optional<RecordRange> recordsOfListingLines(std::uint64_t firstLine, std::uint64_t lastLine)
{
    if (lastLine < 2 || lastLine < firstLine)
        return std::nullopt;
    const std::uint64_t first = firstRecordFrom(firstLine);
    // One past the last (the very last line number stands for "to the end").
    const std::uint64_t end = firstRecordFrom(lastLine == UINT64_MAX ? lastLine : lastLine + 1);
    if (end <= first)
        return std::nullopt;
    return RecordRange{first, end - 1};
}

DownloadWelds::DownloadWelds(std::filesystem::path file, bool scrambled, ListingFilter filter,
                             std::string downloadName)
    : file_(std::move(file)), scrambled_(scrambled), filter_(filter),
      downloadName_(std::move(downloadName))
{ }

void DownloadWelds::setListingLines(std::uint64_t first, std::uint64_t last)
{
    someLines_ = true;
    records_ = recordsOfListingLines(first, last);
}

FileResult DownloadWelds::forEachWeld(const std::function<bool(const WeldRecord&)>& weld,
                                      const Progress& progress) const
{
    if (someLines_ && !records_)
        return {};
    std::string header;
    bool headerEnded = false;
    bool stopped = false;
    std::uint64_t place = 0;  // of the next listed record
    std::uint64_t given = 0;
    ListingRun run(filter_, std::string(), ListingRun::Write());
    run.setPieceSeen([&](std::string_view piece) {
        if (headerEnded)
            return;
        const std::size_t end = piece.find('\r');
        header.append(piece.substr(0, end));
        headerEnded = end != std::string_view::npos;
    });
    run.setRecordSeen([&](std::string_view record, MachineFamily family) {
        if (stopped)
            return;
        const std::uint64_t at = place++;
        if (records_ && at < records_->first)
            return;
        if (records_ && at > records_->last) {
            stopped = true;
            return;
        }
        WeldRecord seen{header, record, family, downloadName_, ++given};
        if (!weld(seen))
            stopped = true;
    });
    const Progress reading = [&](std::uint64_t done, std::uint64_t total) {
        if (stopped)
            return false;
        return !progress || progress(done, total);
    };
    const ListingFileResult listed = listDownload(file_, scrambled_, run, reading);
    if (stopped && listed.file.fault == FileFault::Cancelled)
        return {};
    return listed.file;
}

}  // namespace kestrava
