// The Open command: choosing a download file, decoding an "Encrypted Data" file into
// its working copy, the listing run and the listing shown in Text1, and the hand-over
// of files the listing cannot show to a spreadsheet program.
#include "gui/kestrava_main.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "core/download_file.h"
#include "core/listing.h"
#include "core/scrambling.h"
#include "core/settings_file.h"
#include "core/system_error_text.h"
#include "gui/default_folder.h"
#include "gui/fs_path.h"
#include "gui/listing_view.h"
#include "gui/long_run.h"
#include "gui/spreadsheet_launcher.h"
#include "gui/user_dialogs.h"
#include "gui/work_folder.h"

namespace {

constexpr const char* kWorkingCopyName = "view_only.tmp";
constexpr const char* kListingName = "display_only.tmp";

// Marks the window busy for the lifetime of one run; a close asked for meanwhile is
// carried out when the run has ended.
class RunSlot {
public:
    RunSlot(LongRun*& slot, LongRun& run, bool& closeAfterRun, QWidget* window)
        : slot_(slot), closeAfterRun_(closeAfterRun), window_(window)
    {
        slot_ = &run;
    }
    ~RunSlot()
    {
        slot_ = nullptr;
        if (closeAfterRun_) {
            closeAfterRun_ = false;
            QTimer::singleShot(0, window_, &QWidget::close);
        }
    }
    RunSlot(const RunSlot&) = delete;
    RunSlot& operator=(const RunSlot&) = delete;

private:
    LongRun*& slot_;
    bool& closeAfterRun_;
    QWidget* window_;
};

// The chosen file's name without its folder and without its last four characters.
QString fileTitle(const QString& path)
{
    const qsizetype separator =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    const QString name = path.mid(separator + 1);
    return name.left(std::max<qsizetype>(0, name.size() - 4));
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

// Reads the whole listing file: bytes of the language's code page, which Text1 keeps
// as they are and decodes line by line as it shows them. nullopt when the file cannot
// be read.
std::optional<QByteArray> readListing(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

}  // namespace

void Kestrava_Main::Menu_OpenFile_Click()
{
    if (currentRun_)
        return;
    freshOpen(std::nullopt);
}

void Kestrava_Main::openPath(const QString& path)
{
    if (currentRun_)
        return;
    freshOpen(path);
}

void Kestrava_Main::relistLoadedFile()
{
    if (currentRun_)
        return;
    // A filter request with no file loaded asks for a file, like the menu command.
    if (!state_.FileLoaded) {
        freshOpen(std::nullopt);
        return;
    }
    LongRun run(this, tr("Listing the records..."));
    RunSlot slot(currentRun_, run, closeAfterRun_, this);
    runListing();
}

void Kestrava_Main::resetFilterPanel()
{
    state_.ShowAllRequest = false;
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
    state_.ShowAllRequest = false;
    state_.DateFilterOn = false;
    state_.ListingFiltered = false;
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
            services_.workFolder, QString::fromLatin1(kestrava::kDefaultLoadFileName));
        const std::optional<QString> answer =
            services_.dialogs->openFileName(this, title, filter, folder);
        if (!answer)
            return;  // cancelled: the panel stays reset, nothing else changes
        path = *answer;
    }

    state_.LoadedFilePath = path;
    state_.QuotedFilePath = QLatin1Char('"') + path + QLatin1Char('"');
    shared_.LoadedFileTitle = fileTitle(path);

    const kestrava::DownloadKind kind = kestrava::downloadKindOf(path.toStdString());
    if (kind == kestrava::DownloadKind::Refused) {
        showPanelMessage(tr("Invalid file"));
        return;
    }

    LongRun run(this, kind == kestrava::DownloadKind::Encrypted ? tr("Decoding the file...")
                                                                 : tr("Listing the records..."));
    RunSlot slot(currentRun_, run, closeAfterRun_, this);

    if (kind == kestrava::DownloadKind::Encrypted) {
        const QString workingCopy =
            workFilePath(services_.workFolder, QString::fromLatin1(kWorkingCopyName));
        const kestrava::FileResult decoded =
            kestrava::scrambleFile(kestrava::ScrambleDirection::Decode, toFsPath(path),
                                   toFsPath(workingCopy), true, run.progress());
        if (!decoded.ok()) {
            if (decoded.fault != kestrava::FileFault::Cancelled)
                showPanelMessage(runFaultText(decoded.fault, tr("Cannot write the working copy")),
                                 faultDetail(decoded, shared_.language()));
            showNoFileLoaded();
            return;
        }
        state_.LoadedFilePath = workingCopy;
        run.setLabel(tr("Listing the records..."));
    }
    runListing();
}

void Kestrava_Main::runListing()
{
    kestrava::ListingFilter filter;
    filter.dateOn = state_.DateFilterOn;
    filter.from = state_.FilterDateFrom;
    filter.to = state_.FilterDateTo;
    filter.errorOn = state_.ErrorFilterOn;
    filter.errorNumber = state_.FilterErrorNumber;

    const QString listingPath = workFilePath(services_.workFolder, QString::fromLatin1(kListingName));
    const kestrava::Progress progress = currentRun_ ? currentRun_->progress() : kestrava::Progress{};
    const kestrava::ListingFileResult result =
        kestrava::listFile(toFsPath(state_.LoadedFilePath), toFsPath(listingPath), filter,
                           shared_.MachineSerial, progress);
    if (!result.file.ok()) {
        if (result.file.fault != kestrava::FileFault::Cancelled)
            showPanelMessage(runFaultText(result.file.fault, tr("Cannot write the listing")),
                             faultDetail(result.file, shared_.language()));
        showNoFileLoaded();
        return;
    }

    const kestrava::ListingSummary& summary = result.summary;
    shared_.MachineFamily = summary.family;
    shared_.ErrorCodeTable = summary.errorCodes;
    shared_.MachineSerial = summary.serial;
    state_.ListingHeaderLine = summary.headerLine;
    state_.RecordsSinceHeader = static_cast<int>(summary.records % 40);
    state_.LastListingFilter = filter;

    const bool showTexts = shared_.language() != kestrava::Language::Other;
    const QString cannotStart =
        tr("No spreadsheet program could be started for this file.");

    if (summary.outcome == kestrava::ListingOutcome::NoFamily) {
        // Not a record file of either machine family: the spreadsheet gets the plain
        // text and the window keeps what it showed.
        const bool started = services_.spreadsheet->openInSpreadsheet(
            this, state_.LoadedFilePath, services_.workFolder);
        if (!started && showTexts)
            Text1->setPlainText(cannotStart);
        return;
    }

    // The listing shown before is let go first, so that two are never held at once.
    Text1->clear();
    std::optional<QByteArray> listing = readListing(listingPath);
    if (!listing) {
        showPanelMessage(tr("Cannot read the listing"), listingPath);
        showNoFileLoaded();
        return;
    }
    Text1->setListing(std::move(*listing), shared_.language());
    listing.reset();
    state_.FileLoaded = true;

    if (summary.outcome == kestrava::ListingOutcome::HeaderNotRecognised) {
        const bool started = services_.spreadsheet->openInSpreadsheet(
            this, state_.LoadedFilePath, services_.workFolder);
        if (showTexts)
            Text1->setPlainText(started ? tr("File has opened in Excel.") : cannotStart);
    }

    state_.ShowAllRequest = false;
    state_.DateFilterOn = false;
}

void Kestrava_Main::showNoFileLoaded()
{
    Text1->setPlainText(noFileText());
    state_.FileLoaded = false;
    state_.LoadedFilePath.clear();
    state_.QuotedFilePath.clear();
    shared_.LoadedFileTitle.clear();
    shared_.MachineFamily = kestrava::MachineFamily::Unknown;
    shared_.ErrorCodeTable.reset();
    state_.ShowAllRequest = false;
    state_.DateFilterOn = false;
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
        shared_.LastMsgBoxAnswer = QString::number(
            services_.dialogs->message(this, body, text, MessageIcon::Exclamation));
        break;
    case kestrava::Language::Other:
        break;
    }
}
