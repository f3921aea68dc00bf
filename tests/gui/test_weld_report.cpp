// Weld Protocol and Handover Report written as PDF (and printed) from the window, read
// back with pdftotext: every field of every selected weld under its column name, the
// error descriptions and the page numbers, against the rows kestrava-cli protocol writes.
#include <QtTest>
#include <QtWidgets>

#include "gui/view/code_page.h"
#include "support/quiet_messages.h"
#include "support/report_text.h"
#include "support/save_test_files.h"
#include "support/window_fixture.h"

namespace {

const QString kExamples = QStringLiteral(KESTRAVA_EXAMPLES_DIR);

// With KESTRAVA_REPORT_SAMPLES set, the PDFs written are kept there too (scripts/report-images
// renders the README's pictures from them).
void keepSample(const QString& pdf, const QString& name)
{
    const QString folder = qEnvironmentVariable("KESTRAVA_REPORT_SAMPLES");
    if (!folder.isEmpty()) {
        QFile::remove(folder + QLatin1Char('/') + name);
        QFile::copy(pdf, folder + QLatin1Char('/') + name);
    }
}

// Chooses name in the Save dialog of the command and returns the file's path.
QString writePdf(WindowFixture& f, QAction* command, const char* name)
{
    const QString pdf = f.files.filePath(QString::fromLatin1(name));
    f.dialogs.saveAnswers.push_back(pdf);
    command->trigger();
    return pdf;
}

QByteArray generated(int records)
{
    QByteArray text = "Weld\tSerial\tDate\tTime\tError\tFitting\tOperator\r\n";
    static const char* const errors[] = {"0", "0", "27", "0", "20", "0", "127"};
    for (int i = 0; i < records; ++i)
        text += QByteArray::number(1000 + i) + "\tORV-7\t" +
                QDate(2010, 1, 1).addDays(i / 10).toString(u"dd/MM/yyyy").toLatin1() +
                "\t10:" + QByteArray::number(10 + i % 50) + '\t' + errors[i % 7] + "\tCoupler " +
                QByteArray::number(i % 9) + "\tOperator " + char('A' + i % 26) + "\r\n";
    return text;
}

}  // namespace

class WeldReportTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installQuietMessageHandler(); }
    void init()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    // Every weld of each example file, plain and scrambled: the PDF says what the
    // command line says, on numbered pages.
    void protocolsOfTheExamplesAreTheCommandLinesRows()
    {
        for (const char* name :
             {"orv_sample.xls", "orv_sample.pfd", "5tz_sample.xls", "5tz_sample.pfd"}) {
            WindowFixture f(kEnglish);
            const QString file = kExamples + QLatin1Char('/') + QLatin1String(name);
            f.window->openPath(file);
            const QString pdf = writePdf(f, f.window->Menu_ProtocolPdf, "protocol.pdf");
            QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(name));
            const QStringList pages = pdfPages(pdf);
            const QList<QStringList> expected = expectedBlocks(
                cliRows({QStringLiteral("protocol"), file}, kestrava::Language::English));
            QVERIFY(expected.size() >= 14);
            QCOMPARE(pdfBlocks(pages), expected);
            QVERIFY(numberedPages(pages, QStringLiteral("Page %1 of %2")));
            const QString sample = QString::fromLatin1(name).replace(u'.', u'_');
            keepSample(pdf, QStringLiteral("protocol_%1.pdf").arg(sample));
        }
    }

    // The listing's selected lines, across a repeated header; lines without a weld.
    void selectedLinesOnly()
    {
        WindowFixture f(kEnglish);
        const QString file = kExamples + QStringLiteral("/orv_sample.xls");
        f.window->openPath(file);
        f.window->Text1->setSelection({38, 3}, {44, 0});  // lines 39 to 44
        const QList<QStringList> blocks =
            pdfBlocks(pdfPages(writePdf(f, f.window->Menu_ProtocolPdf, "some.pdf")));
        QCOMPARE(blocks.size(), 4);  // records 38 to 41: lines 42 and 43 hold none
        QCOMPARE(blocks,
                 expectedBlocks(cliRows({QStringLiteral("protocol"), file,
                                         QStringLiteral("--lines"), QStringLiteral("39-44")},
                                        kestrava::Language::English)));

        f.window->Text1->setSelection({41, 0}, {42, 5});  // the empty line and the header
        const QString none = writePdf(f, f.window->Menu_ProtocolPdf, "none.pdf");
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("The selected lines hold no weld."));
        QVERIFY(!QFile::exists(none));
    }

    // The handover report: the cover, the table under its column names on every page
    // of it, the protocols of the welds not E00 as the command line's report gives them.
    void handoverReport()
    {
        WindowFixture f(kEnglish);
        const QString file = f.writeFile(QStringLiteral("job.xls"), generated(300));
        f.window->openPath(file);
        const QString pdf = writePdf(f, f.window->Menu_HandoverPdf, "report.pdf");
        QVERIFY(f.dialogs.messages.isEmpty());
        const QStringList pages = pdfPages(pdf);
        QVERIFY(numberedPages(pages, QStringLiteral("Page %1 of %2")));
        keepSample(pdf, QStringLiteral("handover.pdf"));
        const QString cover = pages[0].simplified();
        for (const char* text :
             {"Handover Report", "Machines ORV-7 (ORV), welds: 300",
              "Period 01/01/2010 \u2013 30/01/2010", "Welds 300", "Welds not E00 128",
              "43 E27 Fitting open circuit", "43 E20 Low output voltage"})
            QVERIFY2(cover.contains(QString::fromUtf8(text)), text);
        int tablePages = 0;
        for (qsizetype k = 1; k < pages.size() && pages[k].contains(QLatin1String("Coupler")) &&
                              !pages[k].contains(QLatin1String("Weld protocol no."));
             ++k, ++tablePages)
            QVERIFY(pages[k].simplified().contains(
                QLatin1String("Weld Serial Date Time Error Fitting Operator")));
        QVERIFY(tablePages >= 3);
        const QList<QStringList> expected =
            expectedBlocks(cliRows({QStringLiteral("protocol"), file, QStringLiteral("--report")},
                                   kestrava::Language::English));
        QCOMPARE(expected.size(), 128);
        QCOMPARE(pdfBlocks(pages), expected);
    }

    // In Polish: the titles, the descriptions and "strona N z M".
    void polishReport()
    {
        WindowFixture f(kPolish);
        f.window->openPath(kExamples + QStringLiteral("/orv_sample.pfd"));
        const QString pdf = writePdf(f, f.window->Menu_HandoverPdf, "raport.pdf");
        const QStringList pages = pdfPages(pdf);
        QVERIFY(numberedPages(pages, QStringLiteral("Strona %1 z %2")));
        keepSample(pdf, QStringLiteral("handover_pl.pdf"));
        const QString text = pages.join(QLatin1Char('\n')).simplified();
        for (const char* expected :
             {"Raport odbioru", "E27 Otwarty obwód elektrozlaczki", "Łódź Widzew"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);

        const QString protocol = writePdf(f, f.window->Menu_ProtocolPdf, "protokol.pdf");
        const QStringList protocolPages = pdfPages(protocol);
        QVERIFY(numberedPages(protocolPages, QStringLiteral("Strona %1 z %2")));
        const QString protocolText = protocolPages.join(QLatin1Char('\n')).simplified();
        for (const char* expected :
             {"Protokol zgrzewania nr 45", "Maszyna ORV-20417 (ORV)", "Operator Paweł Wójcik",
              "Blad 20 \u2014 E20 Zbyt niskie napiecie wyjsciowe"})
            QVERIFY2(protocolText.contains(QString::fromUtf8(expected)), expected);
        keepSample(protocol, QStringLiteral("protocol_pl.pdf"));
    }

    // Printed with a page range: only those pages, numbered of all; a job of more than
    // 100 pages is said first, and refused it is not written.
    void printedPagesAndLongJobs()
    {
        WindowFixture f(kEnglish);
        f.window->openPath(f.writeFile(QStringLiteral("long.xls"), generated(600)));
        f.dialogs.acceptPrinter = true;
        f.dialogs.pdfPath = f.files.filePath(QStringLiteral("printed.pdf"));
        f.dialogs.fromPage = 2;
        f.dialogs.toPage = 3;
        f.window->Menu_HandoverPrint->trigger();
        const QStringList printed = pdfPages(f.dialogs.pdfPath);
        QCOMPARE(printed.size(), 2);
        QVERIFY(f.dialogs.questions.isEmpty());

        const QString all = writePdf(f, f.window->Menu_ProtocolPdf, "all.pdf");
        QCOMPARE(f.dialogs.questions.size(), 1);
        const QString asked = f.dialogs.questions[0].text;
        QVERIFY2(asked.startsWith(QLatin1String("This report takes ")), qPrintable(asked));
        QVERIFY(!QFile::exists(all));
        const int total = asked.section(QLatin1Char(' '), 3, 3).toInt();
        QVERIFY(total > 100);
        QVERIFY(printed[0].simplified().contains(QLatin1String("Page 2 of ")));
        QVERIFY(printed[1].simplified().contains(QLatin1String("Page 3 of ")));
    }

    // Cancel while the pages are written: the file chosen keeps what it held.
    void cancelledWhileWritingLeavesTheFileAsItWas()
    {
        WindowFixture f(kEnglish);
        f.window->show();
        f.window->openPath(f.writeFile(QStringLiteral("big.xls"), generated(20000)));
        const QString pdf = f.writeFile(QStringLiteral("kept.pdf"), "an earlier file");
        f.dialogs.saveAnswers.push_back(pdf);
        f.dialogs.askAnswer = true;
        bool cancelled = false;
        QTimer cancel;
        connect(&cancel, &QTimer::timeout, f.window.get(), [&] {
            auto* dialog = f.window->findChild<QProgressDialog*>();
            if (!cancelled && dialog &&
                dialog->labelText() == QLatin1String("Writing the report...")) {
                cancelled = true;
                emit dialog->canceled();
            }
        });
        cancel.start(5);
        f.window->Menu_HandoverPdf->trigger();
        QVERIFY(cancelled);
        QCOMPARE(f.dialogs.questions.size(), 1);
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(readTestFile(pdf), QByteArray("an earlier file"));
        QCOMPARE(QDir(f.files.path()).entryList(QDir::Files).size(), 2);  // no temporary left
    }
};

QTEST_MAIN(WeldReportTest)
#include "test_weld_report.moc"
