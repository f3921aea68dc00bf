#include "core/archive/archive_welds.h"

#include <utility>

namespace kestrava {

namespace {

// How often progress is told (and a cancel seen), in welds.
constexpr std::uint64_t kWeldsPerProgress = 256;

}  // namespace

ArchiveWelds::ArchiveWelds(WeldArchive& archive, ArchiveQuery query, std::string archivePath)
    : archive_(archive), query_(std::move(query)), archivePath_(std::move(archivePath))
{ }

FileResult ArchiveWelds::forEachWeld(const std::function<bool(const WeldRecord&)>& weld,
                                     const Progress& progress) const
{
    const auto fault = [&](const ArchiveError& error) {
        FileResult result;
        result.fault = FileFault::SourceRead;
        result.path = archivePath_;
        result.detail = error.text;
        return result;
    };
    if (!selected_ && progress) {
        std::vector<MonthCount> counts;
        if (const ArchiveError counted = archive_.monthCounts(query_, counts); !counted.ok())
            return fault(counted);
        std::uint64_t selected = 0;
        for (const MonthCount& count : counts)
            selected += count.count;
        selected_ = selected;
    }
    const std::uint64_t total = selected_.value_or(0);

    std::uint64_t given = 0;
    bool cancelled = false;
    const ArchiveError read = archive_.forEachWeld(query_, [&](const StoredWeld& stored) {
        if (progress && given % kWeldsPerProgress == 0 && !progress(given, total)) {
            cancelled = true;
            return false;
        }
        const WeldRecord record{stored.header, stored.line, stored.family, stored.firstFile,
                                ++given};
        return weld(record);
    });
    if (!read.ok())
        return fault(read);
    if (cancelled) {
        FileResult result;
        result.fault = FileFault::Cancelled;
        return result;
    }
    if (progress)
        progress(given, total);
    return {};
}

}  // namespace kestrava
