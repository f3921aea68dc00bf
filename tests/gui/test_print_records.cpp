// Print Records through a recording printer, after the window's own listing and
// filters, and one real print to a PDF file read back with pdftotext.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include "gui/form_chart.h"
#include "gui/printer_provider.h"
#include "support/quiet_messages.h"
#include "support/sample_records.h"
#include "support/save_test_files.h"
#include "support/window_fixture.h"

namespace {

const QString rule = QStringLiteral("    ") + QString(125, QLatin1Char('-'));
const QString kRecords = QStringLiteral("records.xls");

// A window with bytes loaded as records.xls and the print dialog accepted.
std::unique_ptr<WindowFixture> loaded(const kestrava::BuildProfile& profile,
                                      const QByteArray& bytes = orvSample(3))
{
    auto f = std::make_unique<WindowFixture>(profile);
    f->loadWithoutListing(kRecords, bytes);
    f->dialogs.acceptPrinter = true;
    return f;
}

}  // namespace

class PrintRecordsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void printsThroughTheChosenPrinter()
    {
        auto f = loaded(kPolish);
        f->window->Menu_PrintRecords_Click();
        QCOMPARE(f->dialogs.printRequests, QStringList{QStringLiteral("Drukuj dane")});
        QVERIFY(f->dialogs.messages.isEmpty());
        // The page layout itself is checked on the print copy; here the heading's language.
        const QStringList lines = f->printers.printedLines();
        QCOMPARE(lines.at(1), QStringLiteral("   WYDRUK DANYCH"));
        QVERIFY(lines.at(4).startsWith(QLatin1String("    :Weld No                : Serial No")));
        // Six fields: a second row with the sixth cell, then the rule; the header and
        // three records.
        QCOMPARE(lines.at(5), QStringLiteral("    :Diameter               : "));
        QCOMPARE(lines.at(6), rule);
        QCOMPARE(lines.size(), 4 + 4 * 3);
        // The copy stays in the work folder, lines ending CR LF.
        QCOMPARE(readTestFile(f->workFile(QStringLiteral("print_only.tmp"))).count("\r\n"), 4);

        // A job of more than 100 pages is asked about first (157 lines, one a page).
        auto longJob = loaded(kPolish, orvSample(50));
        longJob->printers.linesPerPage = 1;
        longJob->window->Menu_PrintRecords_Click();
        QCOMPARE(longJob->dialogs.questions.size(), 1);
        QCOMPARE(longJob->dialogs.questions[0].text, QStringLiteral("Liczba stron wydruku: 157. Drukowac?"));
        QVERIFY(longJob->printers.operations.isEmpty());
        longJob->dialogs.askAnswer = true;
        longJob->window->Menu_PrintRecords_Click();
        QCOMPARE(longJob->printers.printedLines().size(), 157);
        longJob->printers.linesPerPage = 2;
        longJob->window->Menu_PrintRecords_Click();
        QCOMPARE(longJob->dialogs.questions.size(), 2);  // 79 pages: not asked

        // The file's bytes print in the build language's code page (0xB3: "ł" in 1250).
        auto bytes = loaded(kPolish, "Weld\tOperator\r\n1\tPaw\xB3\r\n");
        bytes->window->Menu_PrintRecords_Click();
        QVERIFY(bytes->printers.printedLines().at(6).endsWith(
            QString::fromUtf8(": Paw\u0142") + QString(19, QLatin1Char(' ')) + QStringLiteral(": ")));
    }

    void cancelFailuresAndNothingLoaded()
    {
        // Cancel: the copy is written, nothing is printed and nothing said.
        auto cancelled = loaded(kEnglish);
        cancelled->dialogs.acceptPrinter = false;
        cancelled->window->Menu_PrintRecords_Click();
        QCOMPARE(cancelled->dialogs.printRequests.size(), 1);
        QVERIFY(cancelled->printers.operations.isEmpty());
        QVERIFY(cancelled->dialogs.messages.isEmpty());
        QVERIFY(readTestFile(cancelled->workFile(QStringLiteral("print_only.tmp"))).startsWith("Weld No"));

        // No file loaded, or a loaded file gone: no dialog, the earlier copy left alone.
        WindowFixture none(kEnglish);
        QVERIFY(writeTestFile(none.workFile(QStringLiteral("print_only.tmp")), "earlier"));
        none.window->Menu_PrintRecords_Click();
        QFile::remove(none.loadWithoutListing(kRecords, orvSample(3)));
        none.window->Menu_PrintRecords_Click();
        QVERIFY(none.dialogs.printRequests.isEmpty());
        QVERIFY(none.dialogs.messages.isEmpty());
        QCOMPARE(readTestFile(none.workFile(QStringLiteral("print_only.tmp"))), QByteArray("earlier"));

        // A failing printer operation (the font, a body row, ending the document) aborts
        // the job and says so.
        for (const int failAt : {1, 15, 24}) {
            auto f = loaded(kEnglish);
            f->printers.failOperation = failAt;
            f->window->Menu_PrintRecords_Click();
            QCOMPARE(f->printers.operations.size(), failAt + 1);
            QCOMPARE(f->printers.operations.last(), QStringLiteral("abort"));
            QCOMPARE(f->dialogs.messages.size(), 1);
        }

        // A copy that cannot be written is reported, and nothing is printed.
        auto blocked = loaded(kEnglish);
        QVERIFY(QDir(blocked->work.path()).mkdir(QStringLiteral("print_only.tmp")));
        blocked->window->Menu_PrintRecords_Click();
        QVERIFY(blocked->dialogs.printRequests.isEmpty());
        QCOMPARE(blocked->dialogs.messages.size(), 1);
        QVERIFY(blocked->dialogs.messages[0].text.startsWith(QStringLiteral("The print copy")));
    }

    void followsTheWindowsListingAndFilters()
    {
        // Fifty ORV records, one a day from 01/01/2009, errors 0, 27, 20, 127, 27 in turn.
        WindowFixture f(kEnglish);
        f.dialogs.acceptPrinter = true;
        f.window->openPath(f.writeFile(kRecords, orvSample(50)));
        // Records printed: the first cell of the first row after each rule.
        const auto printedRecords = [&] {
            f.printers.operations.clear();
            f.window->Menu_PrintRecords_Click();
            const QStringList lines = f.printers.printedLines();
            QStringList records;
            for (qsizetype i = 5; i + 1 < lines.size(); ++i)
                if (lines[i] == rule)
                    records << lines[i + 1].mid(5, 23).trimmed();
            return qMakePair(lines.value(2), records);
        };
        // Records listed: the record lines of Text1 (the header lines start with a letter).
        const auto listedRecords = [&] {
            QStringList records;
            for (const QString& line : f.text().split(QLatin1Char('\n')))
                if (!line.isEmpty() && line.at(0).isDigit())
                    records << line.section(QLatin1Char(' '), 0, 0);
            return records;
        };
        const QString all = QStringLiteral("    All records shown from download");
        const QString filtered = QStringLiteral("    ! This is a filtered selection of the records !");

        auto printed = printedRecords();
        QCOMPARE(printed.first, all);
        QCOMPARE(printed.second.size(), 50);
        QCOMPARE(printed.second, listedRecords());

        f.window->Option1_Click(1);
        f.window->Text_From->setText(QStringLiteral("05/01/2009"));
        f.window->Text_To->setText(QStringLiteral("10/01/2009"));
        f.window->Command_Dates_Click();
        printed = printedRecords();
        QCOMPARE(printed.first, filtered);
        QCOMPARE(printed.second, (QStringList{"5", "6", "7", "8", "9", "10"}));
        QCOMPARE(printed.second, listedRecords());

        // Error filter: the matching records of the listing, never zero dates.
        f.window->Option1_Click(2);
        f.window->Text_Error->setText(QStringLiteral("27"));
        f.window->Command_Error_Click();
        printed = printedRecords();
        QCOMPARE(printed.first, filtered);
        QCOMPARE(printed.second.size(), 20);
        QCOMPARE(printed.second, listedRecords());

        // The chart, opened modally from the menu, shows the same selection.
        QStringList counts;
        QTimer::singleShot(0, [&] {
            if (auto* form = qobject_cast<FormChart*>(QApplication::activeModalWidget())) {
                for (QLabel* label : form->LabelCount)
                    counts << label->text();
                form->Cmd_Close->click();
            }
        });
        f.window->Menu_GraphShow_Click();
        QCOMPARE(counts, (QStringList{"0", "0", "0", "0", "0", "0", "0", "0", "20", "0"}));
        QVERIFY(f.window->findChildren<FormChart*>().isEmpty());

        // Back to every record.
        f.window->Option1_Click(0);
        printed = printedRecords();
        QCOMPARE(printed.first, all);
        QCOMPARE(printed.second.size(), 50);
    }

    void printsToAPdfFile()
    {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is not installed");

        QtPrinterProvider realPrinters;
        WindowFixture f(kEnglish, {}, &realPrinters);
        f.loadWithoutListing(kRecords, orvSample(150));  // enough records for a second page
        f.dialogs.acceptPrinter = true;
        f.dialogs.pdfPath = f.workFile(QStringLiteral("printout.pdf"));
        const auto printedText = [&] {
            f.window->Menu_PrintRecords_Click();
            QProcess process;
            process.start(pdftotext, {QStringLiteral("-layout"), f.dialogs.pdfPath, QStringLiteral("-")});
            return process.waitForFinished(60000) && process.exitCode() == 0
                       ? QString::fromUtf8(process.readAllStandardOutput())
                       : QString();
        };
        const QString text = printedText();
        QVERIFY(f.dialogs.messages.isEmpty());
        QVERIFY(text.contains(QStringLiteral("KESTRAVA PRINTOUT")));
        QVERIFY(text.contains(QStringLiteral("All records shown from download")));
        QVERIFY(text.contains(QStringLiteral("150                    : S-150")));
        QVERIFY(text.count(QLatin1Char('\f')) >= 2);  // page breaks come by themselves

        // The chosen page range only: the second page alone.
        f.dialogs.fromPage = f.dialogs.toPage = 2;
        const QString second = printedText();
        QCOMPARE(second.count(QLatin1Char('\f')), 1);
        QVERIFY(!second.contains(QStringLiteral("KESTRAVA PRINTOUT")));
        QVERIFY(text.contains(second.section(QLatin1Char('\n'), 2, 2)));
    }
};

QTEST_MAIN(PrintRecordsTest)
#include "test_print_records.moc"
