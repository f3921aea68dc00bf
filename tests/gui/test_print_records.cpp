// Print Records through a recording printer and answering dialogs, after the window's
// own listing and filters, and one real print to a PDF file read back with pdftotext.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "core/print_layout.h"
#include "gui/form_chart.h"
#include "gui/kestrava_main.h"
#include "gui/listing_view.h"
#include "gui/translations.h"
#include "support/answering_dialogs.h"
#include "support/fake_printer_provider.h"
#include "support/quiet_messages.h"
#include "support/sample_records.h"
#include "support/save_test_files.h"

namespace {

const QString rule = QStringLiteral("    ") + QString(125, QLatin1Char('-'));

// A window with a loaded ORV file, as the Open command leaves it.
struct Fixture {
    QTemporaryDir folder;
    AnsweringDialogs dialogs;
    FakePrinterProvider printers;
    std::unique_ptr<Kestrava_Main> window;

    explicit Fixture(const char* language, const QByteArray& contents = orvSample(3),
                     bool fakePrinters = true)
    {
        installTranslations(kestrava::languageFromName(language));
        AppServices services;
        services.dialogs = &dialogs;
        services.printers = fakePrinters ? &printers : nullptr;
        services.workFolder = folder.path();
        window = std::make_unique<Kestrava_Main>(kestrava::BuildProfile{"sorvanta", language},
                                                 services);
        writeTestFile(sourcePath(), contents);
        window->state().LoadedFilePath = sourcePath();
        window->state().FileLoaded = true;
        window->shared().MachineFamily = kestrava::MachineFamily::ORV;
    }

    QString sourcePath() const { return folder.filePath(QStringLiteral("records.xls")); }
    QString copyPath() const { return folder.filePath(QStringLiteral("print_only.tmp")); }
};

}  // namespace

class PrintRecordsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void printsThroughTheChosenPrinter()
    {
        Fixture f("Polish");
        f.window->Menu_PrintRecords_Click();
        QCOMPARE(f.dialogs.printerTitles, QStringList{QStringLiteral("Drukuj dane")});
        QVERIFY(f.dialogs.messages.isEmpty());
        // The page layout itself is checked on the print copy; here the heading's language.
        const QStringList lines = f.printers.printedLines();
        QCOMPARE(lines.at(1), QStringLiteral("   WYDRUK DANYCH"));
        QVERIFY(lines.at(4).startsWith(QLatin1String("    :Weld No                : Serial No")));
        // Six fields: a second row with the sixth cell, then the rule; the header and
        // three records.
        QCOMPARE(lines.at(5), QStringLiteral("    :Diameter               : "));
        QCOMPARE(lines.at(6), rule);
        QCOMPARE(lines.size(), 4 + 4 * 3);
        // The copy stays in the work folder, lines ending CR LF.
        QCOMPARE(readTestFile(f.copyPath()).count("\r\n"), 4);

        // A job of more than 100 pages is asked about first (157 lines, one a page).
        Fixture longJob("Polish", orvSample(50));
        longJob.printers.linesPerPage = 1;
        longJob.window->Menu_PrintRecords_Click();
        QCOMPARE(longJob.dialogs.questions,
                 QStringList{QStringLiteral("Liczba stron wydruku: 157. Drukowac?")});
        QVERIFY(longJob.printers.operations.isEmpty());
        longJob.dialogs.askAnswer = true;
        longJob.window->Menu_PrintRecords_Click();
        QCOMPARE(longJob.printers.printedLines().size(), 157);
        longJob.printers.linesPerPage = 2;
        longJob.window->Menu_PrintRecords_Click();
        QCOMPARE(longJob.dialogs.questions.size(), 2);  // 79 pages: not asked

        // The file's bytes print in the build language's code page (0xB3: "ł" in 1250).
        Fixture bytes("Polish", "Weld\tOperator\r\n1\tPaw\xB3\r\n");
        bytes.window->Menu_PrintRecords_Click();
        QVERIFY(bytes.printers.printedLines().at(6).endsWith(
            QString::fromUtf8(": Paw\u0142") + QString(19, QLatin1Char(' ')) + QStringLiteral(": ")));
    }

    void cancelFailuresAndNothingLoaded()
    {
        // Cancel: the copy is written, nothing is printed and nothing said.
        Fixture cancelled("English");
        cancelled.dialogs.acceptPrinter = false;
        cancelled.window->Menu_PrintRecords_Click();
        QCOMPARE(cancelled.dialogs.printerTitles, QStringList{QStringLiteral("Print Records")});
        QVERIFY(cancelled.printers.operations.isEmpty());
        QVERIFY(cancelled.dialogs.messages.isEmpty());
        QVERIFY(readTestFile(cancelled.copyPath()).startsWith("Weld No"));

        // No file loaded, or a loaded file gone: no dialog, the earlier copy left alone.
        Fixture none("English");
        QVERIFY(writeTestFile(none.copyPath(), "earlier"));
        none.window->state().LoadedFilePath.clear();
        none.window->Menu_PrintRecords_Click();
        QFile::remove(none.sourcePath());
        none.window->state().LoadedFilePath = none.sourcePath();
        none.window->Menu_PrintRecords_Click();
        QVERIFY(none.dialogs.printerTitles.isEmpty());
        QVERIFY(none.dialogs.messages.isEmpty());
        QCOMPARE(readTestFile(none.copyPath()), QByteArray("earlier"));

        // A failing printer operation (the font, a body row, ending the document) aborts
        // the job and says so.
        for (const int failAt : {1, 15, 24}) {
            Fixture f("English");
            f.printers.failOperation = failAt;
            f.window->Menu_PrintRecords_Click();
            QCOMPARE(f.printers.operations.size(), failAt + 1);
            QCOMPARE(f.printers.operations.last(), QStringLiteral("abort"));
            QCOMPARE(f.dialogs.messages.size(), 1);
        }

        // A copy that cannot be written is reported, and nothing is printed.
        Fixture blocked("English");
        QVERIFY(QDir(blocked.folder.path()).mkdir(QStringLiteral("print_only.tmp")));
        blocked.window->Menu_PrintRecords_Click();
        QVERIFY(blocked.dialogs.printerTitles.isEmpty());
        QCOMPARE(blocked.dialogs.messages.size(), 1);
        QVERIFY(blocked.dialogs.messages[0].text.startsWith(QStringLiteral("The print copy")));
    }

    void followsTheWindowsListingAndFilters()
    {
        // Fifty ORV records, one a day from 01/01/2009, errors 0, 27, 20, 127, 27 in turn.
        Fixture f("English", orvSample(50));
        f.window->openPath(f.sourcePath());
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
            for (const QString& line : f.window->Text1->toPlainText().split(QLatin1Char('\n')))
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

        // Enough records for a second page.
        Fixture f("English", orvSample(150), false);
        f.dialogs.pdfPath = f.folder.filePath(QStringLiteral("printout.pdf"));
        f.window->Menu_PrintRecords_Click();
        QVERIFY(f.dialogs.messages.isEmpty());

        QProcess process;
        process.start(pdftotext, {QStringLiteral("-layout"), f.dialogs.pdfPath, QStringLiteral("-")});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QString text = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY(text.contains(QStringLiteral("KESTRAVA PRINTOUT")));
        QVERIFY(text.contains(QStringLiteral("All records shown from download")));
        QVERIFY(text.contains(QStringLiteral("150                    : S-150")));
        // Page breaks come by themselves: more than one page.
        QVERIFY(text.count(QLatin1Char('\f')) >= 2);

        // The chosen page range only: the second page alone.
        f.dialogs.fromPage = f.dialogs.toPage = 2;
        f.window->Menu_PrintRecords_Click();
        process.start(pdftotext, {QStringLiteral("-layout"), f.dialogs.pdfPath, QStringLiteral("-")});
        QVERIFY(process.waitForFinished(60000));
        const QString second = QString::fromUtf8(process.readAllStandardOutput());
        QCOMPARE(second.count(QLatin1Char('\f')), 1);
        QVERIFY(!second.contains(QStringLiteral("KESTRAVA PRINTOUT")));
        QVERIFY(text.contains(second.section(QLatin1Char('\n'), 2, 2)));
    }
};

QTEST_MAIN(PrintRecordsTest)
#include "test_print_records.moc"
