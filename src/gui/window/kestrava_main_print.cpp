// Print Records: the loaded records as a fixed-pitch text report. The selected lines go
// to the print copy in the work folder first, which is then printed after the print
// dialog.
#include <QByteArray>
#include <QFile>
#include <QPrinter>
#include <filesystem>

#include "core/files/system_error_text.h"
#include "gui/window/kestrava_main.h"
#include "gui/platform/printer_provider.h"
#include "gui/services/user_dialogs.h"
#include "gui/platform/fs_path.h"

namespace {

// Jobs longer than this are said before they start.
constexpr int kPagesToAskAbout = 100;

}  // namespace

void Kestrava_Main::Menu_PrintRecords_Click()
{
    // Not while another command runs: its filters and counts are not settled yet.
    if (busy() || !session_->FileLoaded())
        return;

    const kestrava::Language language = shared().language();
    const bool texts = language != kestrava::Language::Other;
    const QString title = texts ? tr("Print Records") : QString();
    // A message about a file ends with the reason the system gave, as Save's do.
    const auto tell = [&](QString message, const kestrava::FileResult& file = {}) {
        if (!texts)
            return;
        const std::string reason = kestrava::faultReasonText(file, language);
        if (!reason.empty())
            message += QStringLiteral("\n(%1)").arg(QString::fromLocal8Bit(reason.c_str()));
        services().dialogs->message(this, message, title, MessageIcon::Critical);
    };

    // The print copy: the header and the records of the listing on screen.
    const auto copied = session_->writePrintCopy(tr("Preparing the printout..."));
    if (!copied)
        return;
    const QString copyPath = session_->printCopyFile();
    if (!*copied) {
        const kestrava::FileResult& fault = copied->fault().file;
        switch (fault.fault) {
        case kestrava::FileFault::Cancelled: return;
        case kestrava::FileFault::SourceMissing:
        case kestrava::FileFault::SourceNotRegular:
        case kestrava::FileFault::SourceOpen:
        case kestrava::FileFault::SourceRead:
        case kestrava::FileFault::SourceChanged:
            // The loaded file is gone or changed since it was listed.
            tell(tr("The file %1 can no longer be read. Nothing was printed.")
                     .arg(QString::fromLocal8Bit(fault.path.c_str())),
                 fault);
            return;
        case kestrava::FileFault::LineTooLong:
            tell(tr("Line %1 of the file is too long to print. Nothing was printed.")
                     .arg(qulonglong(fault.line)));
            return;
        default:
            tell(tr("The print copy %1 could not be written. Nothing was printed.").arg(copyPath),
                 fault);
            return;
        }
    }

    PrinterProvider& printers = *services().printers;
    const std::unique_ptr<QPrinter> printer = printers.makePrinter();
    if (!printer || !services().dialogs->choosePrinter(this, printer.get(), title))
        return;

    // A long job is said before it starts: the pages it takes on the chosen printer.
    {
        const std::unique_ptr<TextPrinter> counter = printers.textPrinter(*printer, language, true);
        const auto counted = session_->print(language, *counter, tr("Counting the pages..."));
        if (!counted)
            return;
        if (*counted && counter->pageCount() > kPagesToAskAbout && texts &&
            !services().dialogs->ask(
                this, tr("This printout takes %1 pages. Print it?").arg(counter->pageCount()),
                title))
            return;
    }

    // The rows are painted on the worker: a printer's painter may be used off the
    // window's thread. A cancelled job is ended unprinted (a job printed to its end
    // has no painter left to end).
    const std::unique_ptr<TextPrinter> textPrinter = printers.textPrinter(*printer, language);
    const auto printed = session_->print(language, *textPrinter, tr("Printing the records..."));
    if (printed && *printed)
        return;
    textPrinter->abortDocument();
    if (!printed || printed->fault().cancelled())
        return;
    if (printed->fault().step == kestrava::DownloadStep::PrintCopy)
        tell(tr("The print copy %1 could not be read. Printing was stopped.").arg(copyPath),
             printed->fault().file);
    else
        tell(tr("The printer reported an error. Printing was stopped."));
}
