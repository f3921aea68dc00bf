#include "gui/app/download_session.h"

#include <algorithm>
#include <new>

#include "core/text/download_file.h"
#include "gui/platform/fs_path.h"

DownloadSession::DownloadSession(const QString& workFolder, RunLong runLong, QObject* parent)
    : QObject(parent), download_(toFsPath(workFolder)), runLong_(std::move(runLong))
{
    download_.setStopAtUnknownHeader(true);
}

DownloadSession::ListingEnd DownloadSession::list(const std::optional<QString>& chosen,
                                                  const kestrava::ListingFilter& filter,
                                                  const QString& label, const ListingTap& tap)
{
    std::optional<kestrava::DownloadOutcome<kestrava::ListingSummary>> outcome;
    download_.setLineStarts(tap.lineStarts);
    const bool ran = runLong_(label, [&](const kestrava::Progress& progress) {
        try {
            outcome = chosen ? download_.open(toFsPath(*chosen), filter, progress)
                             : download_.relist(filter, progress);
        } catch (const std::bad_alloc&) {
            kestrava::FileResult memory;
            memory.fault = kestrava::FileFault::OutOfMemory;
            outcome = kestrava::DownloadFault{kestrava::DownloadStep::Reading, memory};
        }
    });
    download_.setLineStarts({});
    // A Cancel that comes after the work has ended whole stops nothing: the download
    // holds the new file, and it is shown as such, or the window would name the file
    // before it while Save and Print take this one. A run that failed and was stopped
    // tells nothing.
    const bool whole = outcome && *outcome;
    const bool listed = whole && outcome->value().outcome == kestrava::ListingOutcome::Listed;
    if (tap.ended)
        tap.ended(listed);
    if (!whole && (!ran || !outcome))
        return ListingEnd::Stopped;
    if (!whole) {
        if (!outcome->fault().cancelled())
            emit failed(outcome->fault());
        return ListingEnd::Failed;
    }
    if (chosen)
        emit opened();
    if (listed) {
        emit this->listed(outcome->value());
        return ListingEnd::Listed;
    }
    emit handedOver(outcome->value());
    return ListingEnd::HandedOver;
}

template <typename T, typename Command>
std::optional<kestrava::DownloadOutcome<T>> DownloadSession::runCommand(const QString& label,
                                                                        const Command& command)
{
    std::optional<kestrava::DownloadOutcome<T>> outcome;
    if (!runLong_(label, [&](const kestrava::Progress& progress) {
            outcome = command(progress);
        }))
        return std::nullopt;
    return outcome;
}

std::optional<kestrava::DownloadOutcome<std::filesystem::path>> DownloadSession::save(
    const QString& target, const QString& label)
{
    return runCommand<std::filesystem::path>(label, [&](const kestrava::Progress& progress) {
        return download_.save(toFsPath(target), progress);
    });
}

std::optional<kestrava::DownloadOutcome<std::filesystem::path>> DownloadSession::writePrintCopy(
    const QString& label)
{
    return runCommand<std::filesystem::path>(label, [&](const kestrava::Progress& progress) {
        return download_.writePrintCopy(progress);
    });
}

std::optional<kestrava::DownloadOutcome<kestrava::Done>> DownloadSession::print(
    kestrava::Language language, kestrava::PrintSurface& surface, const QString& label)
{
    return runCommand<kestrava::Done>(label, [&](const kestrava::Progress& progress) {
        return download_.print(language, surface, progress);
    });
}

void DownloadSession::close()
{
    download_.close();
    emit closed();
}

QString DownloadSession::LoadedFilePath() const
{
    return fromFsPath(download_.loadedFilePath());
}

QString DownloadSession::ChosenFilePath() const
{
    if (LoadedFilePath().isEmpty())
        return {};
    return fromFsPath(download_.chosenFile());
}

QString DownloadSession::LoadedFileTitle() const
{
    const QString path = fromFsPath(download_.chosenFile());
    const qsizetype separator =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    const QString name = path.mid(separator + 1);
    return name.left(std::max<qsizetype>(0, name.size() - 4));
}

bool DownloadSession::Listed() const
{
    const auto& listing = download_.lastListing();
    return listing && listing->outcome == kestrava::ListingOutcome::Listed;
}

bool DownloadSession::handedOverNow() const
{
    const auto& listing = download_.lastListing();
    return listing && listing->outcome != kestrava::ListingOutcome::Listed;
}

kestrava::MachineFamily DownloadSession::MachineFamily() const
{
    return handedOverNow() ? kestrava::MachineFamily::Unknown : download_.machineFamily();
}

std::optional<kestrava::ErrorCodeTable> DownloadSession::ErrorCodeTable() const
{
    if (handedOverNow())
        return std::nullopt;
    return download_.errorCodeTable();
}

std::string DownloadSession::MachineSerial() const
{
    return handedOverNow() ? std::string() : download_.machineSerial();
}

QString DownloadSession::listingFile() const
{
    return fromFsPath(download_.workFiles().listing());
}

QString DownloadSession::printCopyFile() const
{
    return fromFsPath(download_.workFiles().printCopy());
}

QString DownloadSession::saveWorkFile() const
{
    return fromFsPath(download_.workFiles().saveWork());
}
