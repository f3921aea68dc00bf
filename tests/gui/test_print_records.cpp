// Print Records through a recording printer and answering dialogs, and one real print
// to a PDF file read back with pdftotext.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <chrono>

#include "support/answering_dialogs.h"
#include "core/print_layout.h"
#include "support/fake_printer_provider.h"
#include "support/sample_records.h"
#include "gui/form_chart.h"
#include "gui/kestrava_main.h"
#include "gui/translations.h"

namespace {

void dropOffscreenNoise(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.contains(QLatin1String("This plugin does not support propagateSizeHints()")))
        return;
    qt_message_output(type, context, text);
}

const QByteArray sample =
    "Weld No\tSerial\tDate\tTime\tError\r\n"
    "1\tSN100\t01/02/2009\t10:00\t0\r\n"
    "2\tSN100\t15/02/2009\t11:00\t21\r\n"
    "3\tSN100\t01/03/2009\t12:00\t0\r\n";

QString row(const char* line)
{
    std::string cells;
    kestrava::appendPrintCells(cells, line);
    return QStringLiteral("    :") + QString::fromStdString(cells);
}

const QString rule = QStringLiteral("    ") + QString(125, QLatin1Char('-'));

// The printed rows of one file line: its text rows and the rule row.
QStringList block(const char* line)
{
    std::string cells;
    kestrava::appendPrintCells(cells, line);
    QStringList rows;
    kestrava::forEachPrintTextRow(cells, [&](std::string_view text) {
        rows << QString::fromStdString(std::string(text));
        return true;
    });
    return rows << rule;
}

QStringList marked(const QStringList& lines)
{
    QStringList out;
    for (const QString& line : lines)
        out << "|" + line;
    return out;
}

kestrava::Day day(int y, unsigned m, unsigned d)
{
    return kestrava::Day(std::chrono::year(y) / std::chrono::month(m) / std::chrono::day(d));
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A window with a loaded ORV file, as the Open command leaves it.
struct Fixture {
    QTemporaryDir folder;
    AnsweringDialogs dialogs;
    FakePrinterProvider printers;
    std::unique_ptr<Kestrava_Main> window;

    explicit Fixture(const char* language, const QByteArray& contents = sample,
                     bool fakePrinters = true)
    {
        installTranslations(kestrava::languageFromName(language));
        AppServices services;
        services.dialogs = &dialogs;
        services.printers = fakePrinters ? &printers : nullptr;
        services.workFolder = folder.path();
        window = std::make_unique<Kestrava_Main>(kestrava::BuildProfile{"sorvanta", language},
                                                 services);
        writeFile(sourcePath(), contents);
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
    void initTestCase() { qInstallMessageHandler(dropOffscreenNoise); }

    void printsEveryRecordWithTheAllRecordsHeading()
    {
        Fixture f("English");
        f.window->Menu_PrintRecords_Click();

        QCOMPARE(f.dialogs.printerTitles, QStringList{QStringLiteral("Print Records")});
        QVERIFY(f.dialogs.messages.isEmpty());
        QStringList expected = {
            QStringLiteral("font Courier New"), QStringLiteral("size 7"),
            QStringLiteral("size 12"), QStringLiteral("bold on"), QStringLiteral("| "),
            QStringLiteral("|   KESTRAVA PRINTOUT"), QStringLiteral("size 10"),
            QStringLiteral("bold off"), QStringLiteral("|    All records shown from download"),
            QStringLiteral("|"), QStringLiteral("size 7")};
        // Five 25-character cells fill a row exactly: a row with the prefix alone follows.
        const QStringList body = {row("Weld No\tSerial\tDate\tTime\tError"), QStringLiteral("    :"), rule,
                                  row("1\tSN100\t01/02/2009\t10:00\t0"), QStringLiteral("    :"), rule,
                                  row("2\tSN100\t15/02/2009\t11:00\t21"), QStringLiteral("    :"), rule,
                                  row("3\tSN100\t01/03/2009\t12:00\t0"), QStringLiteral("    :"), rule};
        expected << marked(body) << QStringLiteral("end");
        QCOMPARE(f.printers.operations, expected);
        // One printed row by hand: five cells of 25 characters.
        QCOMPARE(f.printers.printedLines().at(4),
                 QStringLiteral("    :Weld No                : Serial                 : "
                                "Date                   : Time                   : "
                                "Error                  : "));

        // The copy stays in the work folder, lines ending CR LF.
        const QByteArray copy = readAll(f.copyPath());
        QCOMPARE(copy.count("\r\n"), 4);
        QVERIFY(copy.startsWith("Weld No                : Serial"));
    }

    void selectsTheRecordsOfTheLastListing()
    {
        // Date filter of the last listing run: the filtered note and the records in range.
        Fixture dated("Polish");
        dated.window->state().LastListingFilter.dateOn = true;
        dated.window->state().LastListingFilter.from = day(2009, 2, 1);
        dated.window->state().LastListingFilter.to = day(2009, 2, 15);
        // The window's flag alone does not make the printout filtered.
        dated.window->state().ListingFiltered = false;
        dated.window->Menu_PrintRecords_Click();
        QCOMPARE(dated.dialogs.printerTitles, QStringList{QStringLiteral("Drukuj dane")});
        QStringList lines = dated.printers.printedLines();
        QCOMPARE(lines.mid(0, 4),
                 (QStringList{QStringLiteral(" "), QStringLiteral("   WYDRUK DANYCH"),
                              QStringLiteral("    ! Zaznaczone rekordy sa przefiltrowane !"),
                              QString()}));
        QCOMPARE(lines.mid(4),
                 block("Weld No\tSerial\tDate\tTime\tError") + block("1\tSN100\t01/02/2009\t10:00\t0")
                     + block("2\tSN100\t15/02/2009\t11:00\t21"));

        // Error filter: only the matching records, and no date test with zero dates.
        Fixture erred("English");
        erred.window->state().LastListingFilter.errorOn = true;
        erred.window->state().LastListingFilter.errorNumber = 0;
        erred.window->Menu_PrintRecords_Click();
        lines = erred.printers.printedLines();
        QCOMPARE(lines.at(2), QStringLiteral("    ! This is a filtered selection of the records !"));
        QCOMPARE(lines.mid(4),
                 block("Weld No\tSerial\tDate\tTime\tError") + block("1\tSN100\t01/02/2009\t10:00\t0")
                     + block("3\tSN100\t01/03/2009\t12:00\t0"));

        // An unfiltered listing after a filtered one: all records, the all-records note.
        Fixture plain("Polish");
        plain.window->state().ListingFiltered = true;
        plain.window->Menu_PrintRecords_Click();
        lines = plain.printers.printedLines();
        QCOMPARE(lines.at(2), QStringLiteral("    Pokazano wszystkie pobrane rekordy"));
        QCOMPARE(lines.size(), 4 + 4 * 3);
    }

    void cancelAndNothingLoadedPrintNothing()
    {
        // Cancel: the copy is written, nothing is printed and nothing said.
        Fixture cancelled("English");
        cancelled.dialogs.acceptPrinter = false;
        cancelled.window->Menu_PrintRecords_Click();
        QCOMPARE(cancelled.dialogs.printerTitles.size(), 1);
        QVERIFY(cancelled.printers.operations.isEmpty());
        QVERIFY(cancelled.dialogs.messages.isEmpty());
        QVERIFY(readAll(cancelled.copyPath()).startsWith("Weld No"));

        // No file loaded: no dialog, and the earlier copy is left alone.
        Fixture none("English");
        writeFile(none.copyPath(), "earlier");
        none.window->state().LoadedFilePath.clear();
        none.window->Menu_PrintRecords_Click();
        QVERIFY(none.dialogs.printerTitles.isEmpty());
        QCOMPARE(readAll(none.copyPath()), QByteArray("earlier"));

        // A loaded file that has gone meanwhile: the same.
        QFile::remove(none.sourcePath());
        none.window->state().LoadedFilePath = none.sourcePath();
        none.window->Menu_PrintRecords_Click();
        QVERIFY(none.dialogs.printerTitles.isEmpty());
        QVERIFY(none.dialogs.messages.isEmpty());
        QCOMPARE(readAll(none.copyPath()), QByteArray("earlier"));
    }

    void aFailingPrinterEndsTheJobWithAMessage()
    {
        Fixture english("English");
        english.printers.failOperation = 15;  // a body row
        english.window->Menu_PrintRecords_Click();
        QCOMPARE(english.printers.operations.size(), 16);
        QCOMPARE(english.printers.operations.last(), QStringLiteral("abort"));
        QVERIFY(!english.printers.operations.contains(QStringLiteral("end")));
        QCOMPARE(english.dialogs.messages.size(), 1);
        QCOMPARE(english.dialogs.messages[0].text,
                 QStringLiteral("The printer reported an error. Printing was stopped."));
        QCOMPARE(english.dialogs.messages[0].title, QStringLiteral("Print Records"));

        // The end of the document can fail too; Polish says so in Polish.
        Fixture polish("Polish");
        polish.printers.failOperation = 24;
        polish.window->Menu_PrintRecords_Click();
        QCOMPARE(polish.printers.operations.at(23), QStringLiteral("end"));
        QCOMPARE(polish.printers.operations.last(), QStringLiteral("abort"));
        QCOMPARE(polish.dialogs.messages.size(), 1);
        QCOMPARE(polish.dialogs.messages[0].text,
                 QStringLiteral("Drukarka zglosila blad. Drukowanie przerwano."));
        QCOMPARE(polish.dialogs.messages[0].title, QStringLiteral("Drukuj dane"));

        // Another language shows no message, and prints no heading text or note.
        Fixture other("German");
        other.window->Menu_PrintRecords_Click();
        QCOMPARE(other.printers.printedLines().mid(0, 3),
                 (QStringList{QStringLiteral(" "), QString(), QString()}));
        other.printers.operations.clear();
        other.printers.failOperation = 1;
        other.window->Menu_PrintRecords_Click();
        QVERIFY(other.dialogs.messages.isEmpty());
        QCOMPARE(other.printers.operations.last(), QStringLiteral("abort"));
    }

    void aCopyThatCannotBeWrittenIsReported()
    {
        Fixture f("English");
        // The work folder holds a folder where the copy should go.
        QVERIFY(QDir(f.folder.path()).mkdir(QStringLiteral("print_only.tmp")));
        f.window->Menu_PrintRecords_Click();
        QVERIFY(f.dialogs.printerTitles.isEmpty());
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages[0].text.startsWith(QStringLiteral("The print copy")));
    }

    void fieldBytesPrintInTheFilesCodePage()
    {
        // 0xB3 is "ł" in code page 1250 (Polish) and "³" in 1252.
        const QByteArray bytes = "Weld\tOperator\r\n1\tPaw\xB3 \r\n";
        Fixture polish("Polish", bytes);
        polish.window->Menu_PrintRecords_Click();
        QVERIFY(polish.printers.printedLines().at(6).startsWith(
            QStringLiteral("    :1") + QString(22, QLatin1Char(' ')) + QStringLiteral(": Paw\u0142 ")));
        Fixture english("English", bytes);
        english.window->Menu_PrintRecords_Click();
        QVERIFY(english.printers.printedLines().at(6).contains(QStringLiteral("Paw\u00B3 ")));
        // The copy keeps the bytes as they stand.
        QVERIFY(readAll(polish.copyPath()).contains("Paw\xB3 "));
    }

    void followsTheWindowsListingAndFilters()
    {
        // Fifty ORV records, one a day from 01/01/2009, errors 0, 27, 20, 127, 27 in turn.
        Fixture f("English", orvSample(50));
        f.window->openPath(f.sourcePath());
        // Records printed: the first cell of the first row after each rule, the header
        // line's block left out.
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

        // Choosing the date option alone lists nothing new: the printout stays whole.
        f.window->Option1_Click(1);
        printed = printedRecords();
        QCOMPARE(printed.first, all);
        QCOMPARE(printed.second.size(), 50);

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

        // The chart shows the same selection.
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
        QByteArray contents = "Weld No\tSerial\tDate\tTime\tError\r\n";
        for (int i = 1; i <= 150; ++i)
            contents += QByteArray::number(i) + "\tSN100\t01/02/2009\t10:00\t0\r\n";
        Fixture f("English", contents, false);
        f.dialogs.pdfPath = f.folder.filePath(QStringLiteral("printout.pdf"));
        f.window->Menu_PrintRecords_Click();
        QVERIFY(f.dialogs.messages.isEmpty());
        QVERIFY(QFileInfo(f.dialogs.pdfPath).size() > 0);

        QProcess process;
        process.start(pdftotext, {QStringLiteral("-layout"), f.dialogs.pdfPath, QStringLiteral("-")});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QString text = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY(text.contains(QStringLiteral("KESTRAVA PRINTOUT")));
        QVERIFY(text.contains(QStringLiteral("All records shown from download")));
        QVERIFY(text.contains(QStringLiteral(":Weld No")));
        QVERIFY(text.contains(QStringLiteral(": 01/02/2009")));
        QVERIFY(text.contains(QStringLiteral("150                    : SN100")));
        QVERIFY(text.contains(QString(125, QLatin1Char('-'))));
        // Page breaks come by themselves: more than one page.
        QVERIFY(text.count(QLatin1Char('\f')) >= 2);
    }
};

QTEST_MAIN(PrintRecordsTest)
#include "test_print_records.moc"
