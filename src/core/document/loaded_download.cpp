#include "core/document/loaded_download.h"

#include "core/document/listing_gate.h"
#include "core/document/save_copy.h"
#include "core/files/file_io.h"

namespace kestrava {

namespace {

DownloadFault faultAt(DownloadStep step, FileResult file = {})
{
    return DownloadFault{step, std::move(file)};
}

}  // namespace

LoadedDownload::LoadedDownload(std::filesystem::path workFolder)
{
    files_.folder = std::move(workFolder);
}

LoadedDownload::LoadedDownload(ListingRun::Write sink, bool stopAtUnknownHeader)
    : stopAtUnknownHeader_(stopAtUnknownHeader)
{
    if (sink)
        destination_ = {ListingDestination::Kind::Sink, std::move(sink)};
    else
        destination_.kind = ListingDestination::Kind::SummaryOnly;
}

// One listing run over the source into the destination; with a working copy, every
// plain piece also goes there (read to the end of the file even when the listing stops
// at its first record). Both files are put in place only when everything succeeded.
DownloadOutcome<ListingSummary> LoadedDownload::list(const PlainSource& source,
                                                     bool writeWorkingCopy,
                                                     const ListingFilter& filter,
                                                     const Progress& progress) const
{
    fileio::Reader reader;
    if (FileResult opened = reader.open(source.path); !opened.ok())
        return faultAt(DownloadStep::Reading, opened);

    // The working copy first: in a folder that cannot be written, that is the step
    // the user hears of for a scrambled file.
    std::optional<fileio::AtomicWriter> copyOut;
    if (writeWorkingCopy) {
        copyOut.emplace();
        if (FileResult created = copyOut->open(files_.workingCopy(), true, false); !created.ok())
            return faultAt(DownloadStep::WorkingCopy, created);
    }
    std::optional<fileio::AtomicWriter> listingOut;
    if (withWorkFiles()) {
        listingOut.emplace();
        if (FileResult created = listingOut->open(files_.listing(), true, /*durable=*/false);
            !created.ok())
            return faultAt(DownloadStep::Listing, created);
    }

    FileResult listingWrite;
    ListingGate gate(destination_.sink);
    ListingRun::Write write;
    switch (destination_.kind) {
    case ListingDestination::Kind::ListingFile:
        write = [&](std::string_view bytes) {
            listingWrite = listingOut->write(bytes.data(), bytes.size());
            return listingWrite.ok();
        };
        break;
    case ListingDestination::Kind::Sink:
        write = [&gate](std::string_view bytes) { return gate.write(bytes); };
        break;
    case ListingDestination::Kind::SummaryOnly:
        break;  // no one reads the listing: the run only sums the file up
    }
    ListingRun run(filter, machineSerial(), std::move(write));
    gate.watch(run);
    run.setStopAtUnknownHeader(stopAtUnknownHeader_);
    if (listingOut && lineStarts_)
        run.setLineStarts(lineStarts_);

    FileResult copyWrite;
    PieceTap toCopy;
    if (copyOut)
        toCopy = [&](std::string_view piece) {
            copyWrite = copyOut->write(piece.data(), piece.size());
            return copyWrite.ok();
        };
    const ListingFileResult listed =
        listDownload(reader, source.path, source.scrambled, run, progress, toCopy);
    if (!copyWrite.ok())
        return faultAt(DownloadStep::WorkingCopy, copyWrite);
    if (!listed.file.ok() && !run.writeFailed())
        return faultAt(DownloadStep::Reading, listed.file);
    const ListingSummary& summary = listed.summary;
    if (run.headerRefused()) {
        // The listing stopped at a header that is not recognised; a scrambled file's
        // working copy is still decoded to its end, for the spreadsheet program that
        // gets it. The listing file then holds what was read; nothing shows it.
        if (!listingOut)
            return summary;
    } else if (destination_.kind == ListingDestination::Kind::Sink) {
        gate.finish(summary);
        listingWrite = gate.fault();
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
    auto listed = list({chosen, scrambled}, scrambled && withWorkFiles(), filter, progress);
    if (listed) {
        loaded_ = Loaded{chosen, kind};
        listing_ = listed.value();
        filter_ = filter;
    }
    return listed;
}

DownloadOutcome<ListingSummary> LoadedDownload::relist(const ListingFilter& filter,
                                                       const Progress& progress)
{
    if (!loaded_)
        return faultAt(DownloadStep::NothingLoaded);
    auto listed = list(plainSourceOf(*loaded_), false, filter, progress);
    if (listed) {
        listing_ = listed.value();
        filter_ = filter;
    }
    return listed;
}

std::optional<DownloadFault> LoadedDownload::workFilesFault() const
{
    if (!loaded_)
        return faultAt(DownloadStep::NothingLoaded);
    if (!withWorkFiles())
        return faultAt(DownloadStep::NoWorkFiles);
    return std::nullopt;
}

DownloadOutcome<std::filesystem::path> LoadedDownload::save(const std::filesystem::path& target,
                                                            const Progress& progress)
{
    if (auto fault = workFilesFault())
        return *fault;
    const SaveForm form =
        isStandardDataName(target.string()) ? SaveForm::Plain : SaveForm::Scrambled;
    SaveCopyResult saved =
        saveCopy(plainSourceOf(*loaded_).path, target, form, files_.saveWork(), progress);
    if (!saved.ok())
        return faultAt(saved.stage == SaveStage::WorkFile ? DownloadStep::SaveWorkFile
                                                          : DownloadStep::SaveTarget,
                       saved.file);
    return target;
}

DownloadOutcome<std::filesystem::path> LoadedDownload::writePrintCopy(const Progress& progress)
{
    if (auto fault = workFilesFault())
        return *fault;
    const std::filesystem::path copy = files_.printCopy();
    FileResult written = kestrava::writePrintCopy(plainSourceOf(*loaded_).path, copy,
                                                  machineFamily(), filter_, progress);
    if (!written.ok())
        return faultAt(DownloadStep::PrintCopy, written);
    return copy;
}

DownloadOutcome<Done> LoadedDownload::print(Language language, PrintSurface& surface,
                                            const Progress& progress)
{
    if (auto fault = workFilesFault())
        return *fault;
    const PrintResult printed =
        printCopyFile(files_.printCopy(), language, listingFiltered(), surface, progress);
    switch (printed.fault) {
    case PrintFault::None: return Done{};
    case PrintFault::CopyRead: return faultAt(DownloadStep::PrintCopy, printed.file);
    case PrintFault::Cancelled: {
        FileResult cancelled;
        cancelled.fault = FileFault::Cancelled;
        cancelled.path = files_.printCopy().string();
        return faultAt(DownloadStep::Printer, cancelled);
    }
    case PrintFault::Printer: break;
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
    const PlainSource source = plainSourceOf(*loaded_);
    const FileResult read = forEachPrintCopyLine(
        source.path, machineFamily(), filter_,
        [&surface](std::string_view copyLine) { return printCopyLineRows(surface, copyLine); },
        progress, source.scrambled);
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
    return loaded_ ? plainSourceOf(*loaded_).path : std::filesystem::path();
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

const std::string& LoadedDownload::machineSerial() const
{
    return listing_ ? listing_->serial : serialAfterClose_;
}

// With work files a scrambled file is read through its working copy; without them it
// is decoded wherever it is read.
LoadedDownload::PlainSource LoadedDownload::plainSourceOf(const Loaded& file) const
{
    const bool scrambled = file.kind == DownloadKind::Encrypted;
    if (scrambled && withWorkFiles())
        return {files_.workingCopy(), false};
    return {file.chosen, scrambled};
}

}  // namespace kestrava
