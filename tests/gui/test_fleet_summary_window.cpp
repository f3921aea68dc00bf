// Summarise a Folder: the folder's downloads per machine in a sortable table, the files
// of a machine opened from it, the unread files with the reason, and a CSV that never
// replaces a file.
#include <QtTest>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QStandardItemModel>
#include <QTableView>
#include <fstream>

#include "gui/platform/fs_path.h"

#include "gui/app/translations.h"
#include "gui/reports/bar_chart.h"
#include "gui/reports/fleet_summary_window.h"
#include "support/quiet_messages.h"
#include "support/sample_records.h"
#include "support/save_test_files.h"
#include "support/window_fixture.h"

namespace {

QStringList column(const QStandardItemModel* model, int column)
{
    QStringList cells;
    for (int row = 0; row < model->rowCount(); ++row)
        cells << model->item(row, column)->text();
    return cells;
}

// Summarises the files folder from the main window's menu and returns the summary
// window it opened (a window of its own).
FleetSummaryWindow* summarise(WindowFixture& f)
{
    f.dialogs.folderAnswers = {f.files.path()};
    f.window->Menu_FleetSummary_Click();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* summary = qobject_cast<FleetSummaryWindow*>(window))
            return summary;
    return nullptr;
}

// Saves the table as CSV under name in the files folder; the bytes of fleet.csv then.
QByteArray savedCsv(WindowFixture& f, FleetSummaryWindow* summary, const char* name = "fleet")
{
    f.dialogs.saveAnswers = {f.files.filePath(QString::fromLatin1(name))};
    summary->Command_SaveCsv_Click();
    return readTestFile(f.files.filePath(QStringLiteral("fleet.csv")));
}

}  // namespace

class FleetSummaryWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void summarisesAFolderPerMachine()
    {
        WindowFixture f(kPolish);
        f.window->show();
        QList<OrvRecord> many;
        for (int i = 0; i < 12; ++i)
            many << OrvRecord{"M2", "02/02/2010", "0"};
        f.writeFile(QStringLiteral("a.xls"), orvText({{"M1", "01/01/2009", "0"},
                                                      {"M1", "03/01/2009", "27"},
                                                      {"M1", "02/01/2009", "0"}}));
        QDir(f.files.path()).mkdir(QStringLiteral("sub"));
        const QString b =
            f.writeFile(QStringLiteral("sub/b.pfd"),
                        scrambled(orvText(many + QList<OrvRecord>{{"M1", "05/01/2009", "20"}})));
        f.writeFile(QStringLiteral("bad.xls"), "hello\r\nworld\r\n");
        f.writeFile(QStringLiteral("notes.txt"), "not a download");

        FleetSummaryWindow* summary = summarise(f);
        QVERIFY(summary);
        QStandardItemModel* model = summary->Machines_Model;
        QCOMPARE(column(model, 0), QStringList({"M1", "M2"}));
        QCOMPARE(column(model, 2), QStringList({"2", "1"}));
        QCOMPARE(column(model, 3), QStringList({"4", "12"}));
        QCOMPARE(column(model, 4), QStringList({"01/01/2009", "02/02/2010"}));
        QCOMPARE(column(model, 6), QStringList({"50.0%", "0.0%"}));
        // The chart: a bar per machine in the table's order, its share written beside it.
        QCOMPARE(summary->Chart_Shares->data().categories, QStringList({"M1", "M2"}));
        QCOMPARE(summary->Chart_Shares->data().values, QList<double>({50.0, 0.0}));
        QCOMPARE(summary->Chart_Shares->data().valueTexts, QStringList({"50.0%", "0.0%"}));

        // Counts and dates sort as numbers, not as their texts.
        summary->Table_Machines->sortByColumn(3, Qt::DescendingOrder);
        QCOMPARE(column(model, 0), QStringList({"M2", "M1"}));
        summary->Table_Machines->sortByColumn(5, Qt::AscendingOrder);
        QCOMPARE(column(model, 0), QStringList({"M1", "M2"}));
        // Every column has its heading, the error codes' too.
        for (int c = 0; c < model->columnCount(); ++c)
            QVERIFY2(!model->headerData(c, Qt::Horizontal).toString().isEmpty(),
                     qPrintable(QString::number(c)));

        QCOMPARE(summary->List_Unread->count(), 1);
        QVERIFY(summary->List_Unread->item(0)->text().contains(QStringLiteral("bad.xls")));

        // A machine's files; a double-click on one opens it in the main window.
        summary->Table_Machines_DoubleClick(model->index(1, 0));
        QCOMPARE(summary->List_Files->count(), 1);
        QCOMPARE(summary->List_Files->item(0)->text(), QDir::toNativeSeparators(b));
        summary->show();
        summary->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(summary));
        summary->List_Files_DoubleClick(summary->List_Files->item(0));
        QVERIFY(f.window->windowTitle().startsWith(QStringLiteral("b.pfd - ")));
#ifndef Q_OS_WIN
        // (Under Wine the X window manager, not the program, decides which window is
        // active.)
        QTRY_COMPARE(QApplication::activeWindow(), f.window.get());
#endif

        // Save as CSV: UTF-8 for spreadsheets; an existing name is refused and kept.
        const QByteArray saved = savedCsv(f, summary);
        // Headings in the window's language, one column per error code.
        QVERIFY(saved.startsWith(
            "\xEF\xBB\xBF" + QStringLiteral("Numer seryjny,Rodzina,Pliki,Zgrzewy,Pierwszy zgrzew,"
                                            "Ostatni zgrzew,Inne niz E00,E00,E20,E27\r\n")
                                 .toUtf8()));
        QVERIFY(saved.contains("\r\nM2,ORV,1,12,02/02/2010,02/02/2010,0.0%,12,,\r\n"));
        f.dialogs.messages.clear();
        QCOMPARE(savedCsv(f, summary, "fleet.csv"), saved);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("Plik o takiej nazwie juz istnieje"));
    }

    // Machines without a readable date stay after the dated ones in both orders of the
    // first and the last record, in both languages under a heading for every column.
    void undatedMachinesSortLast()
    {
        kestrava::FleetSummary fleet;
        const std::pair<const char*, int> machines[] = {{"A", 0}, {"B", 20}, {"C", 0}, {"D", 10}};
        for (const auto& [serial, day] : machines) {
            kestrava::MachineSummary machine;
            machine.serial = serial;
            machine.family = kestrava::MachineFamily::ORV;
            if (day) {
                machine.first = kestrava::Day(std::chrono::days(14000 + day));
                machine.last = kestrava::Day(std::chrono::days(15000 + day));
            }
            fleet.machines.push_back(machine);
        }
        for (const auto language : {kestrava::Language::English, kestrava::Language::Polish}) {
            installTranslations(language);
            FleetSummaryWindow window(fleet, language, nullptr, QString());
            const QStandardItemModel* model = window.Machines_Model;
            for (int c = 0; c < model->columnCount(); ++c)
                QVERIFY(!model->headerData(c, Qt::Horizontal).toString().isEmpty());
            for (const int dateColumn : {4, 5}) {
                window.Table_Machines->sortByColumn(dateColumn, Qt::AscendingOrder);
                QCOMPARE(column(model, 0).mid(0, 2), QStringList({"D", "B"}));
                window.Table_Machines->sortByColumn(dateColumn, Qt::DescendingOrder);
                QCOMPARE(column(model, 0).mid(0, 2), QStringList({"B", "D"}));
            }
        }
        installTranslations(kestrava::Language::English);
    }

    // Every machine's row of the chart is labelled, a blank serial by its family, the
    // same serial in both families apart; no label is cut or drawn past the chart.
    void chartLabelsEveryMachine()
    {
        installTranslations(kestrava::Language::Polish);
        kestrava::FleetSummary fleet;
        const std::pair<const char*, kestrava::MachineFamily> machines[] = {
            {"", kestrava::MachineFamily::T5Z},
            {"", kestrava::MachineFamily::ORV},
            {"M1", kestrava::MachineFamily::ORV},
            {"M1", kestrava::MachineFamily::T5Z},
            {"ORV-2041000001", kestrava::MachineFamily::ORV}};
        for (const auto& [serial, family] : machines) {
            kestrava::MachineSummary machine;
            machine.serial = serial;
            machine.family = family;
            machine.records = 10;
            fleet.machines.push_back(machine);  // no E00: every share is 100%
        }
        FleetSummaryWindow window(fleet, kestrava::Language::Polish, nullptr, QString());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        installTranslations(kestrava::Language::English);

        const QStringList labels{"(bez numeru) 5TZ", "(bez numeru) ORV", "M1", "M1 (5TZ)",
                                 "ORV-2041000001"};
        QCOMPARE(window.Chart_Shares->data().categories, labels);
        const BarChartLayout& layout = window.Chart_Shares->chartLayout();
        const QRectF chart(QPointF(0, 0), window.Chart_Shares->size());
        QStringList categories, ticks;
        for (const BarChartText& text : layout.texts) {
            QVERIFY2(chart.contains(text.box), qPrintable(text.text));
            if (text.kind == BarChartText::Category)
                categories << text.text;
            else if (text.kind == BarChartText::Tick)
                ticks << text.text;
        }
        QCOMPARE(categories, labels);
        QCOMPARE(ticks.last(), QStringLiteral("100"));
    }

    // A serial of a megabyte beside an ordinary machine: shown shortened, saved whole.
    // (Run alone under /usr/bin/time -v, this is the window's memory for such a folder.)
    void aMegabyteSerial()
    {
        WindowFixture f(kEnglish);
        f.window->show();
        const QByteArray huge(1 << 20, 'S');
        f.writeFile(QStringLiteral("huge.xls"),
                    orvText({{huge, "01/01/2009", "0"}, {huge, "02/01/2009", "27"}}));
        f.writeFile(QStringLiteral("plain.xls"), orvText({{"M1", "01/01/2009", "0"}}));
        FleetSummaryWindow* summary = summarise(f);
        QVERIFY(summary);
        QStringList serials = column(summary->Machines_Model, 0);
        serials.sort();
        QCOMPARE(serials, QStringList({"M1", QString(64, QLatin1Char('S')) + QChar(0x2026)}));
        QVERIFY(savedCsv(f, summary).contains("\r\n" + huge + ",ORV,"));
        delete summary;
    }

    // Copies count once and are named; a formula serial is saved as text; a name with a
    // control character is shown visibly, and one that is no UTF-8 opens all the same.
    void hostileNamesCopiesAndSerials()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows names hold no line feed and no bytes outside Unicode");
#endif
        WindowFixture f(kPolish);
        f.window->show();
        const QByteArray formula =
            orvText({{"=1+2", "01/01/2009", "0"}, {"M1", "02/01/2009", "0"}});
        f.writeFile(QStringLiteral("a.xls"), formula);
        f.writeFile(QStringLiteral("copy.xls"), formula);
        f.writeFile(QStringLiteral("line\nbreak.xls"), "hello\r\n");
        const std::filesystem::path odd = toFsPath(f.files.path()) / std::string("b\xff.xls");
        std::ofstream(odd, std::ios::binary) << orvText({{"M9", "03/01/2009", "0"}}).toStdString();

        FleetSummaryWindow* summary = summarise(f);
        QVERIFY(summary);
        QCOMPARE(column(summary->Machines_Model, 0), QStringList({"=1+2", "M1", "M9"}));
        QCOMPARE(column(summary->Machines_Model, 2), QStringList({"1", "1", "1"}));
        QCOMPARE(summary->List_Unread->count(), 2);
        QCOMPARE(summary->List_Unread->item(0)->text(),
                 QStringLiteral("%1: te same dane co %2")
                     .arg(QDir::toNativeSeparators(f.files.filePath(QStringLiteral("copy.xls"))),
                          QDir::toNativeSeparators(f.files.filePath(QStringLiteral("a.xls")))));
        QVERIFY(
            summary->List_Unread->item(1)->text().contains(QStringLiteral("line\u240Abreak.xls")));
        QVERIFY(summary->Label_Unread->text().contains(
            QStringLiteral("pominiete powtorzone zgrzewy: 2")));

        QVERIFY(savedCsv(f, summary).contains("\r\n'=1+2,ORV,1,1,"));

        summary->Table_Machines_DoubleClick(summary->Machines_Model->index(2, 0));
        QCOMPARE(summary->List_Files->count(), 1);
        QCOMPARE(summary->List_Files->item(0)->text(),
                 QDir::toNativeSeparators(f.files.filePath(QStringLiteral("b\uFFFD.xls"))));
        summary->List_Files_DoubleClick(summary->List_Files->item(0));
        QCOMPARE(toFsPath(f.window->windowTitle().section(QStringLiteral(" - "), 0, 0)),
                 odd.filename());
        std::filesystem::remove(
            odd);  // which the temporary folder could not remove by its QString name
    }
};

QTEST_MAIN(FleetSummaryWindowTest)
#include "test_fleet_summary_window.moc"
