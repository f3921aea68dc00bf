// Weld Protocol and Handover Report: the welds of the listing's selected lines (the
// whole listing when nothing is selected) as weld protocols, or as a handover report
// (a cover with the error-code chart, the welds' table, the protocols of the welds not
// E00), written as a PDF file or printed. The pages are counted first, so that every
// page says "page N of M" and a long job is said before it starts.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <memory>

#include "core/protocol/weld_source.h"
#include "core/settings/settings_file.h"
#include "gui/app/program_images.h"
#include "gui/app/support_contacts.h"
#include "gui/platform/default_folder.h"
#include "gui/platform/fs_path.h"
#include "gui/platform/printer_provider.h"
#include "gui/reports/weld_report.h"
#include "gui/services/user_dialogs.h"
#include "gui/view/listing_view.h"
#include "gui/window/kestrava_main.h"

namespace {

// Jobs longer than this are said before they start, as for Print Records.
constexpr int kPagesToAskAbout = 100;

}  // namespace

void Kestrava_Main::buildProtocolMenus()
{
    const bool texts = shared_.language() != kestrava::Language::Other;
    const auto caption = [texts](const QString& translated, const char* design) {
        return texts ? translated : QString::fromLatin1(design);
    };
    const auto item = [this](QMenu* menu, const char* name, const QString& text,
                             void (Kestrava_Main::*slot)()) {
        auto* action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    Menu_Print->addSeparator();
    Menu_Protocol = Menu_Print->addMenu(caption(tr("Weld Protocol"), "Weld Protocol"));
    Menu_Protocol->setObjectName(QStringLiteral("Menu_Protocol"));
    Menu_ProtocolPdf = item(Menu_Protocol, "Menu_ProtocolPdf", caption(tr("Save as PDF..."), "Save as PDF..."),
                            &Kestrava_Main::Menu_ProtocolPdf_Click);
    Menu_ProtocolPrint = item(Menu_Protocol, "Menu_ProtocolPrint", caption(tr("Print..."), "Print..."),
                              &Kestrava_Main::Menu_ProtocolPrint_Click);
    Menu_Handover = Menu_Print->addMenu(caption(tr("Handover Report"), "Handover Report"));
    Menu_Handover->setObjectName(QStringLiteral("Menu_Handover"));
    Menu_HandoverPdf = item(Menu_Handover, "Menu_HandoverPdf", caption(tr("Save as PDF..."), "Save as PDF..."),
                            &Kestrava_Main::Menu_HandoverPdf_Click);
    Menu_HandoverPrint = item(Menu_Handover, "Menu_HandoverPrint", caption(tr("Print..."), "Print..."),
                              &Kestrava_Main::Menu_HandoverPrint_Click);
}

void Kestrava_Main::Menu_ProtocolPdf_Click() { writeWeldReport(false, false); }
void Kestrava_Main::Menu_ProtocolPrint_Click() { writeWeldReport(false, true); }
void Kestrava_Main::Menu_HandoverPdf_Click() { writeWeldReport(true, false); }
void Kestrava_Main::Menu_HandoverPrint_Click() { writeWeldReport(true, true); }

void Kestrava_Main::writeWeldReport(bool handover, bool toPrinter)
{
    // Only for a listing on screen, and not while another command runs.
    const auto& listing = download_.lastListing();
    if (busy() || !download_.loaded() || !listing ||
        listing->outcome != kestrava::ListingOutcome::Listed)
        return;

    const kestrava::Language language = shared().language();
    const bool texts = language != kestrava::Language::Other;
    const QString title = handover ? tr("Handover Report") : tr("Weld Protocol");
    const auto tell = [&](const QString& message) {
        if (texts)
            services().dialogs->message(this, message, title, MessageIcon::Critical);
    };

    // The welds: those of the listing's selected lines, or of the whole listing.
    const QString fileName = QFileInfo(chosenFilePath()).fileName();
    kestrava::DownloadWelds welds(download_.loadedFilePath(), false, download_.filter(),
                                  fileName.toStdString());
    QString selection = fileName;
    if (!Label_FilterInForce->text().isEmpty())
        selection += QStringLiteral(", ") + Label_FilterInForce->text();
    if (Text1->hasSelection()) {
        const ListingView::Position from = std::min(Text1->anchorPosition(), Text1->cursorPosition());
        const ListingView::Position to = std::max(Text1->anchorPosition(), Text1->cursorPosition());
        const auto first = std::uint64_t(from.line) + 1;
        auto last = std::uint64_t(to.line) + 1;
        if (to.column == 0 && to.line > from.line)
            --last;  // a selection that ends at the start of a line leaves that line out
        welds.setListingLines(first, last);
        selection += QStringLiteral(", ") +
                     tr("lines %1 to %2 of the listing").arg(qulonglong(first)).arg(qulonglong(last));
    }

    WeldReportSetup setup;
    setup.kind = handover ? WeldReportSetup::Kind::Handover : WeldReportSetup::Kind::Protocols;
    setup.language = language;
    const std::string& brand = shared().profile.brandKey;
    if (const auto contact = supportContactFor(brand))
        setup.brandName = contact->company;
    registerProgramImages();
    if (const QString logo = brandLogoPath(brand); !logo.isEmpty())
        setup.logo = QImage(logo);
    setup.printed = QDate::currentDate();
    setup.selection = selection;
    WeldReport report(welds, setup);

    // Where the pages go: a PDF file, put in place only when whole, or a printer.
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<QSaveFile> file;
    std::unique_ptr<QPdfWriter> pdf;
    QPagedPaintDevice* device = nullptr;
    int fromPage = 1;
    int toPage = 0;
    if (toPrinter) {
        printer = services().printers->makePrinter();
        if (!printer || !services().dialogs->choosePrinter(this, printer.get(), title))
            return;
        if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
            fromPage = printer->fromPage();
            toPage = printer->toPage();
        }
        device = printer.get();
    } else {
        const QString proposed = QFileInfo(fileName).completeBaseName() +
                                 (handover ? QStringLiteral("_handover.pdf") : QStringLiteral("_protocol.pdf"));
        const std::optional<QString> chosen = services().dialogs->saveFileName(
            this, title, tr("PDF Document (*.pdf)|*.pdf"),
            startFolderFromSettings(services_.settingsFolder,
                                    QString::fromLatin1(kestrava::kDefaultSaveFileName)),
            proposed);
        if (!chosen || chosen->isEmpty())
            return;
        QString target = *chosen;
        if (!target.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
            target += QStringLiteral(".pdf");
        file = std::make_unique<QSaveFile>(target);
        if (!file->open(QIODevice::WriteOnly)) {
            tell(tr("The file %1 could not be written: %2").arg(QDir::toNativeSeparators(target), file->errorString()));
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
    if (!runLong(tr("Counting the pages..."),
                 [&](const kestrava::Progress& progress) {
                     counted = report.countPages(*device, pages, progress);
                 }) ||
        !counted.ok()) {
        readFault(counted);
        return;
    }
    if (pages == 0) {
        tell(tr("The selected lines hold no weld."));
        return;
    }
    const int lastPage = toPage > 0 ? std::min(toPage, pages) : pages;
    if (fromPage > lastPage) {
        tell(tr("The report has %1 pages: the chosen pages are not in it.").arg(pages));
        return;
    }
    if (lastPage - fromPage + 1 > kPagesToAskAbout && texts &&
        !services().dialogs->ask(
            this, tr("This report takes %1 pages. Go on?").arg(lastPage - fromPage + 1), title))
        return;

    kestrava::FileResult painted;
    bool painterFailed = false;
    const bool ran = runLong(
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
                       : tr("The file %1 could not be written.").arg(QDir::toNativeSeparators(file->fileName())));
        return;
    }
    if (file && !file->commit())
        tell(tr("The file %1 could not be written: %2")
                 .arg(QDir::toNativeSeparators(file->fileName()), file->errorString()));
}
