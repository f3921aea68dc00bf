#include "core/loaded_download.h"

#include <new>

#include "core/file_io.h"
#include "core/plain_reader.h"
#include "core/save_copy.h"

namespace kestrava {

namespace {

DownloadFault faultAt(DownloadStep step, FileResult file = {})
{
    return DownloadFault{step, std::move(file)};
}

// One listing run over source into listingFile; with workingCopy set, every plain
// piece also goes there (the decoded copy of a scrambled file, read to its end even
// when the listing stops at its first record). Both files are put in place only when
// everything succeeded.
DownloadOutcome<ListingSummary> listInto(const std::filesystem::path& source, bool scrambled,
                                         const ListingFilter& filter, const std::string& serial,
                                         const std::filesystem::path& listingFile,
                                         const std::filesystem::path* workingCopy,
                                         const Progress& progress)
{
    fileio::Reader reader;
    if (FileResult opened = reader.open(source); !opened.ok())
        return faultAt(DownloadStep::Reading, opened);

    fileio::AtomicWriter listingOut;
    if (FileResult created = listingOut.open(listingFile, true, /*durable=*/false); !created.ok())
        return faultAt(DownloadStep::Listing, created);
    std::optional<fileio::AtomicWriter> copyOut;
    if (workingCopy) {
        copyOut.emplace();
        if (FileResult created = copyOut->open(*workingCopy, true, false); !created.ok())
            return faultAt(DownloadStep::WorkingCopy, created);
    }

    FileResult listingWrite;
    ListingRun run(filter, serial, [&](std::string_view bytes) {
        listingWrite = listingOut.write(bytes.data(), bytes.size());
        return listingWrite.ok();
    });
    FileResult copyWrite;
    bool listing = true;
    const FileResult read = readPlainText(
        reader, source, scrambled,
        [&](std::string_view piece) {
            if (copyOut) {
                copyWrite = copyOut->write(piece.data(), piece.size());
                if (!copyWrite.ok())
                    return false;
            }
            if (listing)
                listing = run.feed(piece);
            return !run.writeFailed() && (listing || copyOut.has_value());
        },
        progress);
    if (!copyWrite.ok())
        return faultAt(DownloadStep::WorkingCopy, copyWrite);
    if (!read.ok())
        return faultAt(DownloadStep::Reading, read);
    ListingSummary summary = run.finish();
    if (run.writeFailed())
        return faultAt(DownloadStep::Listing, listingWrite);
    if (copyOut) {
        if (FileResult committed = copyOut->commit(); !committed.ok())
            return faultAt(DownloadStep::WorkingCopy, committed);
    }
    if (FileResult committed = listingOut.commit(); !committed.ok())
        return faultAt(DownloadStep::Listing, committed);
    return summary;
}

// The same, a run that cannot get the memory it needs ending with OutOfMemory.
DownloadOutcome<ListingSummary> listGuarded(const std::filesystem::path& source, bool scrambled,
                                            const ListingFilter& filter, const std::string& serial,
                                            const std::filesystem::path& listingFile,
                                            const std::filesystem::path* workingCopy,
                                            const Progress& progress)
{
    try {
        return listInto(source, scrambled, filter, serial, listingFile, workingCopy, progress);
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
    auto listed = listGuarded(chosen, scrambled, filter, machineSerial(), files_.listing(),
                              scrambled ? &workingCopy : nullptr, progress);
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
    auto listed = listGuarded(plainFileOf(*loaded_), false, filter, machineSerial(),
                              files_.listing(), nullptr, progress);
    if (listed)
        keepListing(listed.value(), filter);
    return listed;
}

DownloadOutcome<std::filesystem::path> LoadedDownload::save(const std::filesystem::path& target,
                                                            const Progress& progress)
{
    if (!loaded_)
        return faultAt(DownloadStep::NothingLoaded);
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

const std::string& LoadedDownload::machineSerial() const
{
    return listing_ ? listing_->serial : serialAfterClose_;
}

std::filesystem::path LoadedDownload::plainFileOf(const Loaded& file) const
{
    return file.kind == DownloadKind::Encrypted ? files_.workingCopy() : file.chosen;
}

void LoadedDownload::keepListing(const ListingSummary& summary, const ListingFilter& filter)
{
    listing_ = summary;
    filter_ = filter;
}

}  // namespace kestrava
