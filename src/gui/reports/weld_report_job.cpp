#include "gui/reports/weld_report_job.h"

#include <QDir>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <memory>

#include "gui/app/program_images.h"
#include "gui/app/support_contacts.h"
#include "gui/platform/printer_provider.h"
#include "gui/services/user_dialogs.h"

namespace {

// Jobs longer than this are said before they start, as for Print Records.
constexpr int kPagesToAskAbout = 100;

}  // namespace

WeldReportSetup WeldReportWriter::brandedSetup(const std::string& brandKey,
                                               kestrava::Language language,
                                               WeldReportSetup::Kind kind, const QString& selection)
{
    WeldReportSetup setup;
    setup.kind = kind;
    setup.language = language;
    if (const auto contact = supportContactFor(brandKey))
        setup.brandName = contact->company;
    registerProgramImages();
    if (const QString logo = brandLogoPath(brandKey); !logo.isEmpty())
        setup.logo = QImage(logo);
    setup.printed = QDate::currentDate();
    setup.selection = selection;
    return setup;
}

void WeldReportWriter::write(const WeldReportJob& job, const kestrava::WeldSource& welds,
                             const WeldReportSetup& setup, bool toPrinter)
{
    const bool handover = setup.kind == WeldReportSetup::Kind::Handover;
    const bool texts = setup.language != kestrava::Language::Other;
    const QString title = handover ? tr("Handover Report") : tr("Weld Protocol");
    const auto tell = [&](const QString& message) {
        if (texts)
            job.dialogs->message(job.parent, message, title, MessageIcon::Critical);
    };

    WeldReport report(welds, setup);

    // Where the pages go: a PDF file, put in place only when whole, or a printer.
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<QSaveFile> file;
    std::unique_ptr<QPdfWriter> pdf;
    QPagedPaintDevice* device = nullptr;
    int fromPage = 1;
    int toPage = 0;
    if (toPrinter) {
        printer = job.printers ? job.printers->makePrinter() : nullptr;
        if (!printer || !job.dialogs->choosePrinter(job.parent, printer.get(), title))
            return;
        if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
            fromPage = printer->fromPage();
            toPage = printer->toPage();
        }
        device = printer.get();
    } else {
        const QString proposed = job.proposedName + (handover ? QStringLiteral("_handover.pdf")
                                                              : QStringLiteral("_protocol.pdf"));
        const std::optional<QString> chosen = job.dialogs->saveFileName(
            job.parent, title, tr("PDF Document (*.pdf)|*.pdf"), job.startFolder, proposed);
        if (!chosen || chosen->isEmpty())
            return;
        QString target = *chosen;
        if (!target.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
            target += QStringLiteral(".pdf");
        file = std::make_unique<QSaveFile>(target);
        if (!file->open(QIODevice::WriteOnly)) {
            tell(tr("The file %1 could not be written: %2")
                     .arg(QDir::toNativeSeparators(target), file->errorString()));
            return;
        }
        pdf = std::make_unique<QPdfWriter>(file.get());
        pdf->setPageSize(QPageSize(QPageSize::A4));
        pdf->setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
        pdf->setResolution(300);
        pdf->setTitle(title);
        pdf->setCreator(QStringLiteral("Kestrava Analyser"));
        device = pdf.get();
    }
    const auto readFault = [&](const kestrava::FileResult& read) {
        if (read.fault == kestrava::FileFault::Cancelled)
            return;
        tell(tr("The file %1 can no longer be read. Nothing was printed.")
                 .arg(QString::fromLocal8Bit(read.path.c_str())));
    };

    int pages = 0;
    kestrava::FileResult counted;
    if (!job.runLong(tr("Counting the pages..."),
                     [&](const kestrava::Progress& progress) {
                         counted = report.countPages(*device, pages, progress);
                     }) ||
        !counted.ok()) {
        readFault(counted);
        return;
    }
    if (pages == 0) {
        tell(job.emptyText);
        return;
    }
    const int lastPage = toPage > 0 ? std::min(toPage, pages) : pages;
    if (fromPage > lastPage) {
        tell(tr("The report has %1 pages: the chosen pages are not in it.").arg(pages));
        return;
    }
    if (lastPage - fromPage + 1 > kPagesToAskAbout && texts &&
        !job.dialogs->ask(job.parent,
                          tr("This report takes %1 pages. Go on?").arg(lastPage - fromPage + 1),
                          title))
        return;

    kestrava::FileResult painted;
    bool painterFailed = false;
    const bool ran = job.runLong(
        toPrinter ? tr("Printing the report...") : tr("Writing the report..."),
        [&](const kestrava::Progress& progress) {
            painted = report.paint(*device, pages, fromPage, lastPage, painterFailed, progress);
        });
    // A file not finished is never put in place; an abandoned printout is aborted.
    if (!ran || !painted.ok()) {
        readFault(painted);
        return;
    }
    if (painterFailed) {
        tell(toPrinter ? tr("The printer reported an error. Printing was stopped.")
                       : tr("The file %1 could not be written.")
                             .arg(QDir::toNativeSeparators(file->fileName())));
        return;
    }
    if (file && !file->commit())
        tell(tr("The file %1 could not be written: %2")
                 .arg(QDir::toNativeSeparators(file->fileName()), file->errorString()));
}
