// Time and peak memory of a handover report (or the weld protocols) of a generated
// download file, written as a PDF the way the window writes it: the pages counted,
// then painted.
//
//   gui_weld_report RECORDS [handover|protocols]
//
// Prints the records, the welds in the report, the pages, the seconds to count and to
// write, the PDF's size and the peak memory. Runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise.
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>

#include "core/protocol/weld_source.h"
#include "gui/reports/weld_report.h"
#include "process_memory.h"
#include "../tests/support/sample_download.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: gui_weld_report RECORDS [handover|protocols]\n");
        return 2;
    }
    const std::size_t records = std::strtoull(argv[1], nullptr, 10);
    const bool protocols = argc > 2 && QByteArray(argv[2]) == "protocols";

    QTemporaryDir folder;
    const std::string file = (folder.path() + QStringLiteral("/welds.xls")).toStdString();
    {
        std::ofstream out(file, std::ios::binary);
        out << sample::wideDownload(records);
    }
    const kestrava::DownloadWelds welds(file, false, {}, "welds.xls");
    WeldReportSetup setup;
    setup.kind = protocols ? WeldReportSetup::Kind::Protocols : WeldReportSetup::Kind::Handover;
    setup.brandName = QStringLiteral("Sorvanta");
    setup.printed = QDate::currentDate();
    setup.selection = QStringLiteral("welds.xls");
    WeldReport report(welds, setup);

    const QString pdfPath = folder.path() + QStringLiteral("/report.pdf");
    QFile pdfFile(pdfPath);
    if (!pdfFile.open(QIODevice::WriteOnly))
        return 1;
    QPdfWriter pdf(&pdfFile);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
    pdf.setResolution(300);

    QElapsedTimer clock;
    clock.start();
    int pages = 0;
    if (!report.countPages(pdf, pages).ok())
        return 1;
    const double counting = double(clock.nsecsElapsed()) / 1e9;
    clock.restart();
    bool painterFailed = false;
    if (!report.paint(pdf, pages, 1, pages, painterFailed).ok() || painterFailed)
        return 1;
    const double writing = double(clock.nsecsElapsed()) / 1e9;
    pdfFile.close();
    std::printf("%-9s %8zu records %6d pages | count %6.2f s | write %6.2f s | total %6.2f s | PDF "
                "%6.1f MB | peak %6.1f MB\n",
                protocols ? "protocols" : "handover", records, pages, counting, writing,
                counting + writing, double(QFile(pdfPath).size()) / 1e6, statusMegabytes("VmHWM"));
    return 0;
}
