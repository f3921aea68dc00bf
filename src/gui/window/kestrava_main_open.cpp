// The Open command: choosing a download file, decoding an "Encrypted Data" file into
// its working copy, the listing run and the listing shown in Text1, and the hand-over
// of files the listing cannot show to a spreadsheet program.
#include "gui/window/kestrava_main.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include "core/text/download_file.h"
#include "core/listing/listing.h"
#include "core/settings/settings_file.h"
#include "core/files/system_error_text.h"
#include "gui/app/default_folder.h"
#include "gui/platform/fs_path.h"
#include "gui/view/find_bar.h"
#include "gui/view/line_index.h"
#include "gui/view/listing_model.h"
#include "gui/view/listing_view.h"
#include "gui/platform/spreadsheet_launcher.h"
#include "gui/services/user_dialogs.h"
#include "gui/app/work_folder.h"

namespace {

// A file mapped into memory cannot be replaced on Windows: there the listing file the
// view shows is renamed aside for a run, which may put a new one in its place.
#ifdef Q_OS_WIN
constexpr bool kMappedFileBlocksReplacing = true;
#else
constexpr bool kMappedFileBlocksReplacing = false;
#endif
constexpr const char* kShownListingName = "display_shown.tmp";

// Two names of one path, whatever their separators (Qt writes "/" on Windows too) and,
// on Windows, the case of their letters.
bool samePath(const QString& a, const QString& b)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(a))
               .compare(QDir::cleanPath(QDir::fromNativeSeparators(b)),
                        kMappedFileBlocksReplacing ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
}

bool isReadFault(kestrava::FileFault fault)
{
    using kestrava::FileFault;
    return fault == FileFault::SourceMissing || fault == FileFault::SourceNotRegular ||
           fault == FileFault::SourceOpen || fault == FileFault::SourceRead;
}

// The headline of a failed decode or listing run; writeText for a work file that
// could not be written.
QString runFaultText(kestrava::FileFault fault, const QString& writeText)
{
    if (fault == kestrava::FileFault::SourceChanged)
        return Kestrava_Main::tr("The file changed while it was read");
    if (fault == kestrava::FileFault::OutOfMemory)
        return Kestrava_Main::tr("Not enough memory for this file");
    if (fault == kestrava::FileFault::LineTooLong)
        return Kestrava_Main::tr("A line of the file is too long to list");
    return isReadFault(fault) ? Kestrava_Main::tr("Cannot read the file") : writeText;
}

QString faultDetail(const kestrava::FileResult& result, kestrava::Language language)
{
    QString detail = QString::fromLocal8Bit(result.path.c_str());
    const std::string reason = kestrava::faultReasonText(result, language);
    if (!reason.empty())
        detail += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(reason.c_str()));
    return detail;
}

}  // namespace

void Kestrava_Main::Menu_OpenFile_Click()
{
    if (busy())
        return;
    freshOpen(std::nullopt);
}

void Kestrava_Main::openPath(const QString& path)
{
    if (busy())
        return;
    freshOpen(path);
}

void Kestrava_Main::relistLoadedFile(const kestrava::ListingFilter& filter)
{
    if (busy())
        return;
    // A filter request with no file loaded asks for a file, like the menu command.
    if (!session_->FileLoaded()) {
        freshOpen(std::nullopt);
        return;
    }
    runListing(std::nullopt, filter);
}

void Kestrava_Main::freshOpen(const std::optional<QString>& chosenPath)
{
    Frame1->reset();

    QString path;
    if (chosenPath) {
        path = *chosenPath;
    } else {
        QString title;
        QString filter;
        if (shared_.language() != kestrava::Language::Other) {
            title = tr("Open Kestrava File");
            filter = tr("Encrypted Data (*.pfd)|*.pfd|Standard Data (*.xls)|*.xls");
        }
        const QString folder = startFolderFromSettings(
            services_.settingsFolder, QString::fromLatin1(kestrava::kDefaultLoadFileName));
        const std::optional<QString> answer =
            services_.dialogs->openFileName(this, title, filter, folder);
        if (!answer)
            return;  // cancelled: the panel stays reset, nothing else changes
        path = *answer;
    }

    // A name Open refuses never becomes the loaded file: the listing, Save, Print and
    // the chart go on with the file loaded before (or with none).
    if (kestrava::downloadKindOf(path.toStdString()) == kestrava::DownloadKind::Refused) {
        showPanelMessage(tr("Invalid file"));
        return;
    }
    runListing(path, Frame1->filter());
}

void Kestrava_Main::runListing(const std::optional<QString>& chosenPath,
                               const kestrava::ListingFilter& filter)
{
    const bool decoding = chosenPath && kestrava::downloadKindOf(chosenPath->toStdString()) ==
                                            kestrava::DownloadKind::Encrypted;
    // The run writes the listing file, which the view then maps; the view's line index
    // is made of where the run reports its lines start as it writes them. The
    // listing shown stays until a new one is ready, so that a failed or cancelled run
    // leaves it as it was: the run writes a new file and puts it in place of the shown
    // one only once complete, and the mapping keeps the file replaced. Where a mapped
    // file cannot be replaced, the shown one is renamed aside for the run, and back
    // after it unless the run put a new listing file in its place.
    const QString listingPath = session_->listingFile();
    const QString asidePath =
        QFileInfo(listingPath).dir().filePath(QLatin1String(kShownListingName));
    const bool aside = kMappedFileBlocksReplacing &&
                       samePath(Text1->model().fileName(), listingPath) &&
                       Text1->moveFile(asidePath);
    LineIndex lineStarts;
    std::optional<ListingModel> shown;
    DownloadSession::ListingTap tap;
    tap.lineStarts = [&lineStarts](const std::uint64_t* starts, std::size_t count) {
        lineStarts.add(starts, count);
    };
    tap.ended = [&](bool listed) {
        if (listed)
            shown = ListingModel::ofFile(listingPath, std::move(lineStarts), shared_.language());
        if (aside && !shown && !QFile::exists(listingPath))
            Text1->moveFile(listingPath);
    };
    // The session's listeners have named the file in the title and handed a file that
    // is no weld record file over by the time it returns (connectSession).
    const DownloadSession::ListingEnd end = session_->list(
        chosenPath, filter, decoding ? tr("Decoding the file...") : tr("Listing the records..."),
        tap);
    using End = DownloadSession::ListingEnd;
    if (end != End::Listed && end != End::HandedOver)
        return;  // failed, cancelled or closing: everything as before the command
    if (end == End::Listed) {
        if (shown)
            Text1->setModel(std::move(*shown));
        else
            Text1->setPlainText(tr("Not enough memory for this file"));  // the map failed
    }
    if (aside && !samePath(Text1->model().fileName(), asidePath))
        QFile::remove(asidePath);  // renamed aside, and shown no more
}

void Kestrava_Main::showListingFault(const kestrava::DownloadFault& fault)
{
    const QString writeText = fault.step == kestrava::DownloadStep::WorkingCopy
                                  ? tr("Cannot write the working copy")
                                  : tr("Cannot write the listing");
    showPanelMessage(runFaultText(fault.file.fault, writeText),
                     faultDetail(fault.file, shared_.language()));
}

bool Kestrava_Main::runLong(const QString& label, const WorkRunner::Work& work,
                            const std::function<QString()>& currentLabel)
{
    // The dialog's title is the window's caption, in the build language.
    const bool ran = runner_->run(caption_, label, work, currentLabel);
    if (closeAfterRun_) {
        // The window was closed during the run, which stopped it.
        closeAfterRun_ = false;
        closing_ = true;
        QTimer::singleShot(0, this, &QWidget::close);
        return false;
    }
    return ran;
}

QString Kestrava_Main::noFileText() const
{
    return shared_.language() == kestrava::Language::Other ? QStringLiteral("No file loaded")
                                                           : tr("No file loaded");
}

void Kestrava_Main::showPanelMessage(const QString& text, const QString& detail)
{
    const QString body = detail.isEmpty() ? text : text + QStringLiteral("\n\n") + detail;
    switch (shared_.language()) {
    case kestrava::Language::English:
        services_.dialogs->message(this, body, QStringLiteral("Kestrava"), MessageIcon::None);
        break;
    case kestrava::Language::Polish:
        services_.dialogs->message(this, body, text, MessageIcon::Exclamation);
        break;
    case kestrava::Language::Other: break;
    }
}
