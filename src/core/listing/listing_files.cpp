// The listing run's entry points: a download file read in pieces into a run, and a
// whole text in memory.
#include <new>
#include <string>

#include "core/listing/listing.h"
#include "core/text/plain_reader.h"

namespace kestrava {

namespace {

// The fault of a run that met a line longer than it takes (run.refusedLine() != 0).
FileResult lineTooLongFault(const std::filesystem::path& source, const ListingRun& run)
{
    FileResult result;
    result.fault = FileFault::LineTooLong;
    result.path = source.string();
    result.line = run.refusedLine();
    result.detail = "more than " + std::to_string(run.longestLine()) + " bytes";
    return result;
}

ListingFileResult readInto(fileio::Reader& reader, const std::filesystem::path& source,
                           bool scrambled, ListingRun& run, const Progress& progress,
                           const PieceTap& tap)
{
    ListingFileResult result;
    bool listing = true;
    result.file = readPlainPieces(
        reader, source, scrambled,
        [&](std::string_view piece, const std::shared_ptr<const void>& keeper) {
            if (tap && !tap(piece))
                return false;
            if (listing)
                listing = run.feed(piece, keeper);
            return !run.writeFailed() && (listing || bool(tap));
        },
        [&run] { run.settle(); }, progress);
    if (!result.file.ok())
        return result;
    result.summary = run.finish();
    if (run.writeFailed())
        result.file.fault = FileFault::TargetWrite;
    else if (run.refusedLine() != 0)
        result.file = lineTooLongFault(source, run);
    return result;
}

}  // namespace

ListingFileResult listDownload(fileio::Reader& opened, const std::filesystem::path& source,
                               bool scrambled, ListingRun& run, const Progress& progress,
                               const PieceTap& tap)
{
    try {
        return readInto(opened, source, scrambled, run, progress, tap);
    } catch (const std::bad_alloc&) {
        // A line or header too large for the memory there is: the run ends with a
        // fault instead of taking the program down.
        ListingFileResult result;
        result.file.fault = FileFault::OutOfMemory;
        result.file.path = source.string();
        return result;
    }
}

ListingFileResult listDownload(const std::filesystem::path& source, bool scrambled, ListingRun& run,
                               const Progress& progress, const PieceTap& tap)
{
    fileio::Reader reader;
    ListingFileResult result;
    if (result.file = reader.open(source); !result.file.ok())
        return result;
    return listDownload(reader, source, scrambled, run, progress, tap);
}

ListingSummary listText(std::string_view plain, const ListingFilter& filter,
                        const std::string& previousSerial, std::string& listing)
{
    listing.clear();
    ListingRun run(filter, previousSerial, [&listing](std::string_view bytes) {
        listing.append(bytes);
        return true;
    });
    run.feed(plain);
    return run.finish();
}

}  // namespace kestrava
