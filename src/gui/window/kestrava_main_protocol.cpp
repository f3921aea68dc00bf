// Weld Protocol and Handover Report of the listing: the welds of its selected lines
// (the whole listing when nothing is selected), written as a PDF file or printed by
// the report writer (gui/reports/weld_report_job.h).
#include <QFileInfo>
#include <QLabel>
#include <QMenu>

#include "core/protocol/weld_source.h"
#include "core/settings/settings_file.h"
#include "gui/app/default_folder.h"
#include "gui/reports/weld_report_job.h"
#include "gui/view/listing_view.h"
#include "gui/window/kestrava_main.h"

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
    Menu_ProtocolPdf =
        item(Menu_Protocol, "Menu_ProtocolPdf", caption(tr("Save as PDF..."), "Save as PDF..."),
             &Kestrava_Main::Menu_ProtocolPdf_Click);
    Menu_ProtocolPrint =
        item(Menu_Protocol, "Menu_ProtocolPrint", caption(tr("Print..."), "Print..."),
             &Kestrava_Main::Menu_ProtocolPrint_Click);
    Menu_Handover = Menu_Print->addMenu(caption(tr("Handover Report"), "Handover Report"));
    Menu_Handover->setObjectName(QStringLiteral("Menu_Handover"));
    Menu_HandoverPdf =
        item(Menu_Handover, "Menu_HandoverPdf", caption(tr("Save as PDF..."), "Save as PDF..."),
             &Kestrava_Main::Menu_HandoverPdf_Click);
    Menu_HandoverPrint =
        item(Menu_Handover, "Menu_HandoverPrint", caption(tr("Print..."), "Print..."),
             &Kestrava_Main::Menu_HandoverPrint_Click);
}

void Kestrava_Main::Menu_ProtocolPdf_Click()
{
    writeWeldReport(false, false);
}
void Kestrava_Main::Menu_ProtocolPrint_Click()
{
    writeWeldReport(false, true);
}
void Kestrava_Main::Menu_HandoverPdf_Click()
{
    writeWeldReport(true, false);
}
void Kestrava_Main::Menu_HandoverPrint_Click()
{
    writeWeldReport(true, true);
}

void Kestrava_Main::writeWeldReport(bool handover, bool toPrinter)
{
    // Only for a listing on screen, and not while another command runs.
    if (busy() || !session_->FileLoaded() || !session_->Listed())
        return;

    const kestrava::Language language = shared().language();

    // The welds: those of the listing's selected lines, or of the whole listing.
    const QString fileName = QFileInfo(session_->ChosenFilePath()).fileName();
    const kestrava::LoadedDownload& download = session_->document();
    kestrava::DownloadWelds welds(download.loadedFilePath(), false, download.filter(),
                                  fileName.toStdString());
    QString selection = fileName;
    if (!Label_FilterInForce->text().isEmpty())
        selection += QStringLiteral(", ") + Label_FilterInForce->text();
    if (Text1->hasSelection()) {
        const ListingView::Position from =
            std::min(Text1->anchorPosition(), Text1->cursorPosition());
        const ListingView::Position to = std::max(Text1->anchorPosition(), Text1->cursorPosition());
        const auto first = std::uint64_t(from.line) + 1;
        auto last = std::uint64_t(to.line) + 1;
        if (to.column == 0 && to.line > from.line)
            --last;  // a selection that ends at the start of a line leaves that line out
        welds.setListingLines(first, last);
        selection +=
            QStringLiteral(", ") +
            tr("lines %1 to %2 of the listing").arg(qulonglong(first)).arg(qulonglong(last));
    }

    const WeldReportSetup setup = WeldReportWriter::brandedSetup(
        shared().profile.brandKey, language,
        handover ? WeldReportSetup::Kind::Handover : WeldReportSetup::Kind::Protocols, selection);
    WeldReportJob job;
    job.parent = this;
    job.dialogs = services().dialogs;
    job.printers = services().printers;
    job.runLong = [this](const QString& label, const WorkRunner::Work& work) {
        return runLong(label, work);
    };
    job.startFolder = startFolderFromSettings(services_.settingsFolder,
                                              QString::fromLatin1(kestrava::kDefaultSaveFileName));
    job.proposedName = QFileInfo(fileName).completeBaseName();
    job.emptyText = tr("The selected lines hold no weld.");
    WeldReportWriter::write(job, welds, setup, toPrinter);
}
