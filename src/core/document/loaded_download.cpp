#include "core/document/loaded_download.h"

#include <new>

#include "core/files/file_io.h"
#include "core/text/plain_reader.h"
#include "core/document/save_copy.h"

namespace kestrava {

namespace {

DownloadFault faultAt(DownloadStep step, FileResult file = {})
{
    return DownloadFault{step, std::move(file)};
}

// Where one listing run goes.
struct ListingTarget {
    // Without work files: the sink gets the listing only once the file is known to be
    // a weld-record download (a recognised header and a decided family, or the end of
    // a listed file); a file that is not gives it nothing.
    const ListingRun::Write* sink = nullptr;
    // No one reads the listing: the run only sums the file up (nothing is formatted).
    bool summaryOnly = false;
    // With stopAtUnknownHeader the reading stops as soon as the first three bytes of
    // the header line are known not to be a recognised header: a long first line (a
    // file with no line end at all) is not read to its end only to be refused.
    bool stopAtUnknownHeader = false;
    std::filesystem::path listingFile;             // with work files
    const ListingRun::LineStarts* lineStarts = nullptr;  // with work files: where lines start
    const std::filesystem::path* workingCopy = nullptr;  // a scrambled file's plain copy
};

// One listing run over source into its target; with a working copy, every plain piece
// also goes there (read to the end of the file even when the listing stops at its
// first record). Both files are put in place only when everything succeeded.
DownloadOutcome<ListingSummary> listInto(const std::filesystem::path& source, bool scrambled,
                                         const ListingFilter& filter, const std::string& serial,
                                         const ListingTarget& target, const Progress& progress)
{
    fileio::Reader reader;
    if (FileResult opened = reader.open(source); !opened.ok())
        return faultAt(DownloadStep::Reading, opened);

    // The working copy first: in a folder that cannot be written, that is the step
    // the user hears of for a scrambled file.
    std::optional<fileio::AtomicWriter> copyOut;
    if (target.workingCopy) {
        copyOut.emplace();
        if (FileResult created = copyOut->open(*target.workingCopy, true, false); !created.ok())
            return faultAt(DownloadStep::WorkingCopy, created);
    }

    std::optional<fileio::AtomicWriter> listingOut;
    if (!target.sink) {
        listingOut.emplace();
        if (FileResult created = listingOut->open(target.listingFile, true, /*durable=*/false);
            !created.ok())
            return faultAt(DownloadStep::Listing, created);
    }
    FileResult listingWrite;
    std::string held;  // listing bytes held back from the sink
    bool passing = false;
    const ListingRun* runSeen = nullptr;
    const auto toSink = [&](std::string_view bytes) {
        if (!bytes.empty() && !(*target.sink)(bytes))
            listingWrite.fault = FileFault::TargetWrite;
        return listingWrite.ok();
    };
    ListingRun::Write write = [&](std::string_view bytes) {
        if (listingOut) {
            listingWrite = listingOut->write(bytes.data(), bytes.size());
            return listingWrite.ok();
        }
        const ListingSummary& soFar = runSeen->summarySoFar();
        if (soFar.outcome == ListingOutcome::NoFamily)
            return true;  // nothing of such a file reaches the sink
        if (!passing && (soFar.family != MachineFamily::Unknown || runSeen->sourceEnded()) &&
            isRecognisedHeader(soFar.headerLine)) {
            passing = true;
            const bool sent = toSink(held);
            std::string().swap(held);
            if (!sent)
                return false;
        }
        if (passing)
            return toSink(bytes);
        held.append(bytes);
        return true;
    };
    ListingRun run(filter, serial, target.summaryOnly ? ListingRun::Write() : std::move(write));
    runSeen = &run;
    if (listingOut && target.lineStarts)
        run.setLineStarts(*target.lineStarts);

    FileResult copyWrite;
    bool listing = true;
    bool unknownHeader = false;
    const FileResult read = readPlainPieces(
        reader, source, scrambled,
        [&](std::string_view piece, const std::shared_ptr<const void>& keeper) {
            if (copyOut) {
                copyWrite = copyOut->write(piece.data(), piece.size());
                if (!copyWrite.ok())
                    return false;
            }
            if (listing)
                listing = run.feed(piece, keeper);
            if (listing && target.stopAtUnknownHeader) {
                const std::string_view start = run.headerStartSoFar();
                unknownHeader = (run.headerDone() || start.size() >= 3) && !isRecognisedHeader(start);
                // The listing stops here; a scrambled file's working copy is still
                // decoded to its end, for the spreadsheet program that gets it.
                if (unknownHeader) {
                    listing = false;
                    if (!copyOut)
                        return false;
                }
            }
            return !run.writeFailed() && (listing || copyOut.has_value());
        },
        [&run] { run.settle(); }, progress);
    if (!copyWrite.ok())
        return faultAt(DownloadStep::WorkingCopy, copyWrite);
    if (!read.ok())
        return faultAt(DownloadStep::Reading, read);
    ListingSummary summary;
    if (unknownHeader) {
        summary = run.summarySoFar();
        summary.outcome = ListingOutcome::HeaderNotRecognised;
        if (target.sink)
            return summary;
        // The listing file then holds what was read; nothing shows it.
    } else {
        summary = run.finish();
        if (run.refusedLine() != 0 && !run.writeFailed())
            return faultAt(DownloadStep::Reading, lineTooLongFault(source, run));
        if (!run.writeFailed() && target.sink && !passing &&
            summary.outcome == ListingOutcome::Listed)
            toSink(held);
    }
    if (!listingWrite.ok())
        return faultAt(DownloadStep::Listing, listingWrite);
    // The listing first: should the working copy then fail to go in place, the loaded
    // file's plain text is still the one the later commands read (the listing file is
    // read only after a successful run).
    if (listingOut) {
        if (FileResult committed = listingOut->commit(); !committed.ok())
            return faultAt(DownloadStep::Listing, committed);
    }
    if (copyOut) {
        if (FileResult committed = copyOut->commit(); !committed.ok())
            return faultAt(DownloadStep::WorkingCopy, committed);
    }
    return summary;
}

ListingTarget targetOf(const ListingRun::Write& sink, bool summaryOnly, bool stopAtUnknownHeader,
                       const WorkFiles& files, const ListingRun::LineStarts& lineStarts)
{
    ListingTarget target;
    target.stopAtUnknownHeader = stopAtUnknownHeader;
    if (sink) {
        target.sink = &sink;
        target.summaryOnly = summaryOnly;
    } else {
        target.listingFile = files.listing();
        if (lineStarts)
            target.lineStarts = &lineStarts;
    }
    return target;
}

// The same, a run that cannot get the memory it needs ending with OutOfMemory.
DownloadOutcome<ListingSummary> listGuarded(const std::filesystem::path& source, bool scrambled,
                                            const ListingFilter& filter, const std::string& serial,
                                            const ListingTarget& target, const Progress& progress)
{
    try {
        return listInto(source, scrambled, filter, serial, target, progress);
    } catch (const std::bad_alloc&) {
        FileResult file;
        file.fault = FileFault::OutOfMemory;
        file.path = source.string();
        return faultAt(DownloadStep::Reading, file);
    }
}

}  // namespace

LoadedDownload::LoadedDownload(std::filesystem::path workFolder)
{
    files_.folder = std::move(workFolder);
}

LoadedDownload::LoadedDownload(ListingRun::Write sink, bool stopAtUnknownHeader)
    : sink_(std::move(sink)), stopAtUnknownHeader_(stopAtUnknownHeader)
{
    if (!sink_) {
        sink_ = [](std::string_view) { return true; };
        summaryOnly_ = true;
    }
}

DownloadOutcome<ListingSummary> LoadedDownload::open(const std::filesystem::path& chosen,
                                                     const ListingFilter& filter,
                                                     const Progress& progress)
{
    const DownloadKind kind = downloadKindOf(chosen.string());
    if (kind == DownloadKind::Refused) {
        FileResult named;
        named.path = chosen.string();
        return faultAt(DownloadStep::Name, named);
    }
    const bool scrambled = kind == DownloadKind::Encrypted;
    const std::filesystem::path workingCopy = files_.workingCopy();
    ListingTarget target = targetOf(sink_, summaryOnly_, stopAtUnknownHeader_, files_, lineStarts_);
    if (scrambled && !sink_)
        target.workingCopy = &workingCopy;
    auto listed = listGuarded(chosen, scrambled, filter, machineSerial(), target, progress);
    if (listed) {
        loaded_ = Loaded{chosen, kind};
        keepListing(listed.value(), filter);
    }
    return listed;
}

DownloadOutcome<ListingSummary> LoadedDownload::relist(const ListingFilter& filter,
                                                       const Progress& progress)
{
    if (!loaded_)
        return faultAt(DownloadStep::NothingLoaded);
    auto listed = listGuarded(plainFileOf(*loaded_), readScrambled(*loaded_), filter,
                              machineSerial(),
                              targetOf(sink_, summaryOnly_, stopAtUnknownHeader_, files_, lineStarts_),
                              progress);
    if (listed)
        keepListing(listed.value(), filter);
    return listed;
}

DownloadOutcome<std::filesystem::path> LoadedDownload::save(const std::filesystem::path& target,
                                                            const Progress& progress)
{
    if (!loaded_)
        return faultAt(DownloadStep::NothingLoaded);
    if (sink_)
        return faultAt(DownloadStep::NoWorkFiles);
    const SaveForm form =
        isStandardDataName(target.string()) ? SaveForm::Plain : SaveForm::Scrambled;
    SaveCopyResult saved =
        saveCopy(plainFileOf(*loaded_), target, form, files_.saveWork(), progress);
    if (!saved.ok())
        return faultAt(saved.stage == SaveStage::WorkFile ? DownloadStep::SaveWorkFile
                                                          : DownloadStep::SaveTarget,
                       saved.file);
    return target;
}

DownloadOutcome<std::filesystem::path> LoadedDownload::writePrintCopy(const Progress& progress)
{
    if (!loaded_)
        return faultAt(DownloadStep::NothingLoaded);
    if (sink_)
        return faultAt(DownloadStep::NoWorkFiles);
    const std::filesystem::path copy = files_.printCopy();
    FileResult written =
        kestrava::writePrintCopy(plainFileOf(*loaded_), copy, machineFamily(), filter_, progress);
    if (!written.ok())
        return faultAt(DownloadStep::PrintCopy, written);
    return copy;
}

DownloadOutcome<Done> LoadedDownload::print(Language language, PrintSurface& surface,
                                            const Progress& progress)
{
    if (!loaded_)
        return faultAt(DownloadStep::NothingLoaded);
    if (sink_)
        return faultAt(DownloadStep::NoWorkFiles);
    const PrintResult printed =
        printCopyFile(files_.printCopy(), language, listingFiltered(), surface, progress);
    switch (printed.fault) {
    case PrintFault::None:
        return Done{};
    case PrintFault::CopyRead:
        return faultAt(DownloadStep::PrintCopy, printed.file);
    case PrintFault::Cancelled: {
        FileResult cancelled;
        cancelled.fault = FileFault::Cancelled;
        cancelled.path = files_.printCopy().string();
        return faultAt(DownloadStep::Printer, cancelled);
    }
    case PrintFault::Printer:
        break;
    }
    return faultAt(DownloadStep::Printer);
}

DownloadOutcome<Done> LoadedDownload::printSelection(Language language, PrintSurface& surface,
                                                     const Progress& progress)
{
    if (!loaded_)
        return faultAt(DownloadStep::NothingLoaded);
    if (!printHeadingBlock(surface, language, listingFiltered()))
        return faultAt(DownloadStep::Printer);
    const FileResult read = forEachPrintCopyLine(
        plainFileOf(*loaded_), machineFamily(), filter_,
        [&surface](std::string_view copyLine) { return printCopyLineRows(surface, copyLine); },
        progress, readScrambled(*loaded_));
    if (read.fault == FileFault::TargetWrite)
        return faultAt(DownloadStep::Printer);
    if (!read.ok())
        return faultAt(DownloadStep::Reading, read);
    if (!surface.endDocument())
        return faultAt(DownloadStep::Printer);
    return Done{};
}

void LoadedDownload::close()
{
    serialAfterClose_ = machineSerial();
    loaded_.reset();
    listing_.reset();
    filter_ = {};
}

std::filesystem::path LoadedDownload::chosenFile() const
{
    return loaded_ ? loaded_->chosen : std::filesystem::path();
}

DownloadKind LoadedDownload::kind() const
{
    return loaded_ ? loaded_->kind : DownloadKind::Refused;
}

std::filesystem::path LoadedDownload::loadedFilePath() const
{
    return loaded_ ? plainFileOf(*loaded_) : std::filesystem::path();
}

std::string LoadedDownload::fileTitle() const
{
    return loaded_ ? fileTitleOf(loaded_->chosen.string()) : std::string();
}

MachineFamily LoadedDownload::machineFamily() const
{
    return listing_ ? listing_->family : MachineFamily::Unknown;
}

std::optional<ErrorCodeTable> LoadedDownload::errorCodeTable() const
{
    if (!listing_)
        return std::nullopt;
    return listing_->errorCodes;
}

std::string LoadedDownload::listingHeaderLine() const
{
    return listing_ ? listing_->headerLine : std::string();
}

int LoadedDownload::recordsSinceHeader() const
{
    return listing_ ? int(listing_->records % 40) : 0;
}

const std::string& LoadedDownload::machineSerial() const
{
    return listing_ ? listing_->serial : serialAfterClose_;
}

std::filesystem::path LoadedDownload::plainFileOf(const Loaded& file) const
{
    return file.kind == DownloadKind::Encrypted && !sink_ ? files_.workingCopy() : file.chosen;
}

bool LoadedDownload::readScrambled(const Loaded& file) const
{
    return file.kind == DownloadKind::Encrypted && sink_;
}

void LoadedDownload::keepListing(const ListingSummary& summary, const ListingFilter& filter)
{
    listing_ = summary;
    filter_ = filter;
}

}  // namespace kestrava
