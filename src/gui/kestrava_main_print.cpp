// Print Records: the loaded records as a fixed-pitch text report. The selected lines go
// to the print copy in the work folder first, which is then printed after the print
// dialog.
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QPrinter>
#include <QScopedValueRollback>
#include <filesystem>

#include "core/print_layout.h"
#include "gui/code_page.h"
#include "gui/kestrava_main.h"
#include "gui/printer_provider.h"
#include "gui/user_dialogs.h"
#include "gui/work_folder.h"

namespace {

std::filesystem::path localPath(const QString& path)
{
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

QString latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// The printout's operations on a text printer; printed bytes are in the file's code page.
class TextPrinterSurface final : public kestrava::PrintSurface {
public:
    TextPrinterSurface(TextPrinter& printer, kestrava::Language language)
        : printer_(printer), language_(language)
    {
    }

    bool setFontName(std::string_view name) override { return printer_.setFontName(latin1(name)); }
    bool setFontSize(int points) override { return printer_.setFontSize(points); }
    bool setBold(bool on) override { return printer_.setBold(on); }
    bool printLine(std::string_view text) override
    {
        return printer_.printLine(
            fromCodePage(QByteArray(text.data(), qsizetype(text.size())), language_));
    }
    bool endDocument() override { return printer_.endDocument(); }

private:
    TextPrinter& printer_;
    kestrava::Language language_;
};

// Long loops let the window repaint and take input between lines.
bool letEventsRun(std::uint64_t, std::uint64_t)
{
    QCoreApplication::processEvents();
    return true;
}

// Jobs longer than this are said before they start.
constexpr int kPagesToAskAbout = 100;

// One printout at a time: a second one started while events run would rewrite the
// print copy that the first one is still reading.
bool printoutRunning = false;

}  // namespace

void Kestrava_Main::Menu_PrintRecords_Click()
{
    // Not while a listing is being made: its filters and counts are not settled yet.
    if (printoutRunning || currentRun_ || state().LoadedFilePath.isEmpty())
        return;
    const QScopedValueRollback<bool> running(printoutRunning, true);

    const kestrava::Language language = shared().language();
    const bool texts = language != kestrava::Language::Other;
    const QString title = texts ? tr("Print Records") : QString();
    const auto tell = [&](const QString& message) {
        if (texts)
            services().dialogs->message(this, message, title, MessageIcon::Critical);
    };

    const kestrava::ListingFilter& filter = state().LastListingFilter;
    const QString copyPath =
        workFilePath(services().workFolder, latin1(kestrava::printCopyFileName));
    const kestrava::FileResult copied =
        kestrava::writePrintCopy(localPath(state().LoadedFilePath), localPath(copyPath),
                                 shared().MachineFamily, filter, letEventsRun);
    switch (copied.fault) {
    case kestrava::FileFault::None:
        break;
    case kestrava::FileFault::SourceMissing:
    case kestrava::FileFault::SourceNotRegular:
    case kestrava::FileFault::SourceOpen:
        return;  // nothing loaded that can be read: nothing to print, nothing to say
    default:
        tell(tr("The print copy %1 could not be written. Nothing was printed.").arg(copyPath));
        return;
    }

    QtPrinterProvider realPrinters;
    PrinterProvider& printers = services().printers ? *services().printers : realPrinters;
    const std::unique_ptr<QPrinter> printer = printers.makePrinter();
    if (!printer || !services().dialogs->choosePrinter(this, printer.get(), title))
        return;

    const bool filtered = filter.dateOn || filter.errorOn;
    // A long job is said before it starts: the pages it takes on the chosen printer.
    {
        const std::unique_ptr<TextPrinter> counter = printers.textPrinter(*printer, true);
        TextPrinterSurface counting(*counter, language);
        int lines = 0;
        const kestrava::PrintResult counted = kestrava::printCopyFile(
            localPath(copyPath), language, filtered, counting, [&lines](std::uint64_t, std::uint64_t) {
                if (++lines % 4096 == 0)
                    QCoreApplication::processEvents();
                return true;
            });
        if (counted.fault == kestrava::PrintFault::None && counter->pageCount() > kPagesToAskAbout &&
            texts &&
            !services().dialogs->ask(
                this, tr("This printout takes %1 pages. Print it?").arg(counter->pageCount()),
                title))
            return;
    }

    const std::unique_ptr<TextPrinter> textPrinter = printers.textPrinter(*printer);
    TextPrinterSurface surface(*textPrinter, language);
    const kestrava::PrintResult printed = kestrava::printCopyFile(
        localPath(copyPath), language, filtered, surface, letEventsRun);
    switch (printed.fault) {
    case kestrava::PrintFault::None:
        break;
    case kestrava::PrintFault::CopyRead:
        textPrinter->abortDocument();
        tell(tr("The print copy %1 could not be read. Printing was stopped.").arg(copyPath));
        break;
    case kestrava::PrintFault::Printer:
    case kestrava::PrintFault::Cancelled:
        textPrinter->abortDocument();
        tell(tr("The printer reported an error. Printing was stopped."));
        break;
    }
}
