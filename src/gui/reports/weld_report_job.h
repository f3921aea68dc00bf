// A weld protocol or handover report written as a PDF file or printed, for whichever
// window holds the welds (the main window's listing, the archive window's selection):
// the file or the printer chosen, the pages counted first (so that every page says
// "page N of M", and a job of more than 100 pages is asked about), then painted
// through the window's runner with progress and Cancel. A PDF is put in place only
// when whole; every fault is told in the window's language.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <functional>
#include <string>

#include "core/files/file_result.h"
#include "core/protocol/weld_source.h"
#include "core/settings/build_profile.h"
#include "gui/reports/weld_report.h"

class PrinterProvider;
class QWidget;
class UserDialogs;

struct WeldReportJob {
    QWidget* parent = nullptr;
    UserDialogs* dialogs = nullptr;
    PrinterProvider* printers = nullptr;
    // Runs work through the window's one runner; false when it did not finish.
    std::function<bool(const QString& label,
                       const std::function<void(const kestrava::Progress&)>& work)>
        runLong;
    QString startFolder;  // where the PDF chooser starts
    QString proposedName;  // the PDF's name before "_protocol.pdf" / "_handover.pdf"
    QString emptyText;  // said when the selection holds no weld
};

class WeldReportWriter {
    Q_DECLARE_TR_FUNCTIONS(WeldReportWriter)

public:
    // The setup of a report of the build's brand: its name and logo, printed today.
    static WeldReportSetup brandedSetup(const std::string& brandKey, kestrava::Language language,
                                        WeldReportSetup::Kind kind, const QString& selection);

    // Writes the report of welds as setup says, to a PDF file or a printer.
    static void write(const WeldReportJob& job, const kestrava::WeldSource& welds,
                      const WeldReportSetup& setup, bool toPrinter);
};
