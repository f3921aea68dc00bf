// The Open command: choosing a download file, decoding an "Encrypted Data" file into
// its working copy, the listing run and the listing shown in Text1, and the hand-over
// of files the listing cannot show to a spreadsheet program.
#include "gui/window/kestrava_main.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
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

// The chosen file's name without its folder and without its last four characters.
QString fileTitle(const QString& path)
{
    const qsizetype separator =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    const QString name = path.mid(separator + 1);
    return name.left(std::max<qsizetype>(0, name.size() - 4));
}

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

void Kestrava_Main::relistLoadedFile()
{
    if (busy())
        return;
    // A filter request with no file loaded asks for a file, like the menu command.
    if (!download_.loaded()) {
        freshOpen(std::nullopt);
        return;
    }
    runListing(std::nullopt);
}

void Kestrava_Main::resetFilterPanel()
{
    state_.OptionResetInProgress = true;
    Option1[0]->setChecked(true);  // runs Option1_Click(0), which does not re-list now
    state_.OptionResetInProgress = false;
    for (QWidget* input : {static_cast<QWidget*>(Label_From), static_cast<QWidget*>(Label_To),
                           static_cast<QWidget*>(Text_From), static_cast<QWidget*>(Text_To),
                           static_cast<QWidget*>(Command_Dates)})
        input->hide();
    QFont font = Option1[0]->font();
    font.setBold(true);
    Option1[0]->setFont(font);
    font.setBold(false);
    Option1[1]->setFont(font);
    state_.DateFilterOn = false;
}

void Kestrava_Main::freshOpen(const std::optional<QString>& chosenPath)
{
    resetFilterPanel();

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
    runListing(path);
}

void Kestrava_Main::runListing(const std::optional<QString>& chosenPath)
{
    kestrava::ListingFilter filter;
    filter.dateOn = state_.DateFilterOn;
    filter.from = state_.FilterDateFrom;
    filter.to = state_.FilterDateTo;
    filter.errorOn = state_.ErrorFilterOn;
    filter.errorNumber = state_.FilterErrorNumber;

    const bool decoding = chosenPath && kestrava::downloadKindOf(chosenPath->toStdString()) ==
                                            kestrava::DownloadKind::Encrypted;
    // The run writes the listing file, which the view then maps; the view's line index
    // is made of where the run reports its lines start as it writes them. The
    // listing shown stays until a new one is ready, so that a failed or cancelled run
    // leaves it as it was: the run writes a new file and puts it in place of the shown
    // one only once complete, and the mapping keeps the file replaced. Where a mapped
    // file cannot be replaced, the shown one is renamed aside for the run, and back
    // after it unless the run put a new listing file in its place.
    const QString listingPath = fromFsPath(download_.workFiles().listing());
    const QString asidePath =
        QFileInfo(listingPath).dir().filePath(QLatin1String(kShownListingName));
    const bool aside = kMappedFileBlocksReplacing &&
                       samePath(Text1->model().fileName(), listingPath) &&
                       Text1->moveFile(asidePath);
    LineIndex lineStarts;
    std::optional<kestrava::DownloadOutcome<kestrava::ListingSummary>> outcome;
    download_.setLineStarts([&lineStarts](const std::uint64_t* starts, std::size_t count) {
        lineStarts.add(starts, count);
    });
    const bool ran =
        runLong(decoding ? tr("Decoding the file...") : tr("Listing the records..."),
                [&](const kestrava::Progress& progress) {
                    try {
                        outcome = chosenPath
                                      ? download_.open(toFsPath(*chosenPath), filter, progress)
                                      : download_.relist(filter, progress);
                    } catch (const std::bad_alloc&) {
                        kestrava::FileResult memory;
                        memory.fault = kestrava::FileFault::OutOfMemory;
                        outcome = kestrava::DownloadFault{kestrava::DownloadStep::Reading, memory};
                    }
                });
    download_.setLineStarts({});
    const bool listed =
        ran && outcome && *outcome && outcome->value().outcome == kestrava::ListingOutcome::Listed;
    std::optional<ListingModel> shown;
    if (listed)
        shown = ListingModel::ofFile(listingPath, std::move(lineStarts), shared_.language());
    if (aside && !shown && !QFile::exists(listingPath))
        Text1->moveFile(listingPath);
    if (!ran || !outcome)
        return;  // cancelled or closing: everything as before the command
    if (!*outcome) {
        const kestrava::DownloadFault& fault = outcome->fault();
        if (!fault.cancelled())
            showPanelMessage(
                runFaultText(fault.file.fault, fault.step == kestrava::DownloadStep::WorkingCopy
                                                   ? tr("Cannot write the working copy")
                                                   : tr("Cannot write the listing")),
                faultDetail(fault.file, shared_.language()));
        return;
    }

    const kestrava::ListingSummary& summary = outcome->value();
    syncFromDocument();

    // A file that is no weld record file is loaded all the same, and handed over: the
    // title names it, the listing area says where it went, and Save, Print, the chart
    // and the filters act on it.
    state_.FileLoaded = true;
    showLoadedState();  // before the hand-over's message, so that the box and the title agree
    Find_Bar->clearResult();
    if (summary.outcome != kestrava::ListingOutcome::Listed) {
        handOverToSpreadsheet(summary);
    } else {
        if (shown)
            Text1->setModel(std::move(*shown));
        else
            Text1->setPlainText(tr("Not enough memory for this file"));  // the map failed
    }
    if (aside && !samePath(Text1->model().fileName(), asidePath))
        QFile::remove(asidePath);  // renamed aside, and shown no more

    state_.DateFilterOn = false;
}

void Kestrava_Main::syncFromDocument()
{
    shared_.LoadedFileTitle = fileTitle(fromFsPath(download_.chosenFile()));
    const auto& listing = download_.lastListing();
    if (listing && listing->outcome != kestrava::ListingOutcome::Listed) {
        // A file handed over has no family and no records counted: the chart shows no
        // bars, and no serial number of the file listed before beside this file's name.
        shared_.MachineFamily = kestrava::MachineFamily::Unknown;
        shared_.ErrorCodeTable.reset();
        shared_.MachineSerial.clear();
    } else {
        shared_.MachineFamily = download_.machineFamily();
        shared_.ErrorCodeTable = download_.errorCodeTable();
        shared_.MachineSerial = download_.machineSerial();
    }
    showFilterInForce();
}

bool Kestrava_Main::runLong(const QString& label, const WorkRunner::Work& work,
                            const std::function<QString()>& currentLabel)
{
    // The dialog's title is the window's caption, in the build language.
    const bool ran = runner_->run(caption_, label, work, currentLabel);
    if (closeAfterRun_) {
        // The window was closed during the run, which stopped it.
        closeAfterRun_ = false;
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
