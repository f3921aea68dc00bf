// The archive window's weld protocols and handover report: the welds the table shows
// (the filters last applied), written as a PDF file or printed.
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QStringList>
#include <algorithm>

#include "core/archive/archive_welds.h"
#include "core/fleet/fleet_table.h"
#include "gui/archive/archive_window.h"
#include "gui/archive/weld_table_model.h"
#include "gui/platform/fs_path.h"
#include "gui/reports/weld_report_job.h"
#include "gui/view/code_page.h"

void ArchiveWindow::setReportServices(PrinterProvider* printers, std::string brandKey)
{
    printers_ = printers;
    brandKey_ = std::move(brandKey);
    Menu_ProtocolPrint->setEnabled(printers_ != nullptr);
    Menu_HandoverPrint->setEnabled(printers_ != nullptr);
}

void ArchiveWindow::buildReportButtons()
{
    const auto item = [this](QMenu* menu, const char* name, const QString& text,
                             void (ArchiveWindow::*slot)()) {
        auto* action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    Command_Protocol = new QPushButton(tr("Weld Protocol"), this);
    Command_Protocol->setObjectName(QStringLiteral("Command_Protocol"));
    auto* protocol = new QMenu(Command_Protocol);
    Menu_ProtocolPdf = item(protocol, "Menu_ProtocolPdf", tr("Save as PDF..."),
                            &ArchiveWindow::Menu_ProtocolPdf_Click);
    Menu_ProtocolPrint = item(protocol, "Menu_ProtocolPrint", tr("Print..."),
                              &ArchiveWindow::Menu_ProtocolPrint_Click);
    Command_Protocol->setMenu(protocol);
    Command_Handover = new QPushButton(tr("Handover Report"), this);
    Command_Handover->setObjectName(QStringLiteral("Command_Handover"));
    auto* handover = new QMenu(Command_Handover);
    Menu_HandoverPdf = item(handover, "Menu_HandoverPdf", tr("Save as PDF..."),
                            &ArchiveWindow::Menu_HandoverPdf_Click);
    Menu_HandoverPrint = item(handover, "Menu_HandoverPrint", tr("Print..."),
                              &ArchiveWindow::Menu_HandoverPrint_Click);
    Command_Handover->setMenu(handover);
    Menu_ProtocolPrint->setEnabled(false);
    Menu_HandoverPrint->setEnabled(false);
}

void ArchiveWindow::Menu_ProtocolPdf_Click()
{
    writeWeldReport(false, false);
}
void ArchiveWindow::Menu_ProtocolPrint_Click()
{
    writeWeldReport(false, true);
}
void ArchiveWindow::Menu_HandoverPdf_Click()
{
    writeWeldReport(true, false);
}
void ArchiveWindow::Menu_HandoverPrint_Click()
{
    writeWeldReport(true, true);
}

QString ArchiveWindow::selectionText(const kestrava::ArchiveQuery& query) const
{
    QStringList parts;
    parts << QFileInfo(fromFsPath(path_)).fileName();
    if (!query.machines.empty()) {
        // The cover names the machines itself: a long choice is named by its first few.
        constexpr std::size_t kNamed = 8;
        QStringList machines;
        for (std::size_t i = 0; i < std::min(kNamed, query.machines.size()); ++i)
            machines << fromCodePage(QByteArray::fromStdString(query.machines[i]), language_);
        if (query.machines.size() > kNamed)
            machines << tr("%1 more").arg(qulonglong(query.machines.size() - kNamed));
        parts << tr("machines %1").arg(machines.join(QStringLiteral(", ")));
    }
    if (query.from || query.to)
        parts << tr("dates %1 to %2")
                     .arg(query.from ? QString::fromStdString(kestrava::fleetDayText(query.from))
                                     : QStringLiteral("..."),
                          query.to ? QString::fromStdString(kestrava::fleetDayText(query.to))
                                   : QStringLiteral("..."));
    if (!query.errors.empty()) {
        QStringList errors;
        for (const std::int16_t error : query.errors)
            errors << QString::number(error);
        parts << tr("errors %1").arg(errors.join(QStringLiteral(", ")));
    }
    if (!query.text.empty())
        parts << tr("text \"%1\"")
                     .arg(fromCodePage(QByteArray::fromStdString(query.text), language_));
    return parts.join(QStringLiteral(", "));
}

void ArchiveWindow::writeWeldReport(bool handover, bool toPrinter)
{
    if (busy() || !reader_)
        return;
    const kestrava::ArchiveQuery query = Welds_Model->query();
    const kestrava::ArchiveWelds welds(*reader_, query, fromFsPath(path_).toStdString());
    const WeldReportSetup setup = WeldReportWriter::brandedSetup(
        brandKey_, language_,
        handover ? WeldReportSetup::Kind::Handover : WeldReportSetup::Kind::Protocols,
        selectionText(query));
    WeldReportJob job;
    job.parent = this;
    job.dialogs = dialogs_;
    job.printers = printers_;
    job.runLong = [this](const QString& label,
                         const std::function<void(const kestrava::Progress&)>& work) {
        return runLong(label, work);
    };
    job.startFolder = saveFolder_;
    job.proposedName = tr("welds");
    job.emptyText = tr("The selection holds no weld.");
    WeldReportWriter::write(job, welds, setup, toPrinter);
}
