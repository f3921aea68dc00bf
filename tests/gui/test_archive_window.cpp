// Weld Archive: the window imports the example downloads and a large one, shows their
// welds page by page under its filters and orders, saves the selection as CSV and as a
// workbook, writes its weld protocols, and opens the download a weld came from in the
// main window.
#include <QtTest>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

#include "core/archive/weld_archive.h"
#include "gui/archive/archive_window.h"
#include "gui/app/translations.h"
#include "gui/archive/weld_table_model.h"
#include "gui/platform/fs_path.h"
#include "gui/reports/bar_chart.h"
#include "support/quiet_messages.h"
#include "support/report_text.h"
#include "support/sample_records.h"
#include "support/save_test_files.h"
#include "support/window_fixture.h"

namespace {

ArchiveWindow* shownArchive()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* archive = qobject_cast<ArchiveWindow*>(window); archive && archive->isVisible())
            return archive;
    return nullptr;
}

QStringList column(const WeldTableModel* model, int column)
{
    QStringList cells;
    for (int row = 0; row < model->rowCount(); ++row)
        cells << model->index(row, column).data().toString();
    return cells;
}

// Every row of the selection, fetched as a view scrolling to the end would.
void fetchAll(WeldTableModel* model)
{
    while (model->canFetchMore({}))
        model->fetchMore({});
}

}  // namespace

class ArchiveWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void importsFiltersSavesAndOpens()
    {
        WindowFixture f(kEnglish);
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
        qputenv("LOCALAPPDATA", QFile::encodeName(data.path()));
        f.window->show();
        for (const char* name :
             {"orv_sample.xls", "orv_sample.pfd", "5tz_sample.xls", "5tz_sample.pfd"})
            f.writeFile(QString::fromLatin1(name),
                        readTestFile(QStringLiteral(KESTRAVA_EXAMPLES_DIR "/") +
                                     QString::fromLatin1(name)));
        // 1,200 welds of one machine: more than two pages.
        QList<OrvRecord> many;
        for (int i = 0; i < 1200; ++i)
            many << OrvRecord{"BIG-1",
                              QDate(2010, 1, 1).addDays(i / 4).toString(u"dd/MM/yyyy").toLatin1(),
                              i % 10 ? "0" : "27"};
        f.writeFile(QStringLiteral("big.xls"), orvText(many));

        f.window->Menu_Archive->trigger();
        ArchiveWindow* window = shownArchive();
        QVERIFY(window);
        const QString archivePath =
            data.filePath(QStringLiteral("Kestrava/kestrava/archive.sqlite"));
        QCOMPARE(QDir::fromNativeSeparators(fromFsPath(window->archivePath())), archivePath);
        QTRY_VERIFY(!window->Label_Count->text().isEmpty());
        QCOMPARE(window->Welds_Model->rowCount(), 0);

        // Import a folder: the plain and scrambled forms of a download are one download.
        f.dialogs.folderAnswers = {f.files.path()};
        window->Command_ImportFolder_Click();
        QVERIFY2(window->lastReport().contains(QStringLiteral("Files added: 3")),
                 qPrintable(window->lastReport()));
        QVERIFY(QFile::exists(archivePath));
        kestrava::WeldArchive archive;
        QVERIFY(archive.open(toFsPath(archivePath), false).ok());
        std::size_t total = 0;
        archive.forEachWeld({}, [&](const kestrava::StoredWeld&) { return ++total; });
        QVERIFY(total > 1200);
        QVERIFY(window->lastReport().contains(QStringLiteral("Welds added: %1").arg(total)));
        QCOMPARE(window->Label_Count->text(), QStringLiteral("Welds selected: %1").arg(total));

        // A page at a time, in the order of the date column, rising and falling.
        WeldTableModel* model = window->Welds_Model;
        QCOMPARE(std::size_t(model->rowCount()), WeldTableModel::kPageSize);
        fetchAll(model);
        QCOMPARE(std::size_t(model->rowCount()), total);
        for (const Qt::SortOrder order : {Qt::DescendingOrder, Qt::AscendingOrder}) {
            window->Table_Welds->sortByColumn(WeldTableModel::Date, order);
            fetchAll(model);
            QCOMPARE(std::size_t(model->rowCount()), total);
            QList<QDate> days;  // of the welds with a date
            for (const QString& date : column(model, WeldTableModel::Date))
                if (!date.isEmpty())
                    days << QDate::fromString(date, u"dd/MM/yyyy");
            QVERIFY(order == Qt::AscendingOrder ? std::is_sorted(days.begin(), days.end())
                                                : std::is_sorted(days.rbegin(), days.rend()));
        }

        // Filters: one machine, error 27, a date range, a text.
        QList<QListWidgetItem*> big =
            window->List_Machines->findItems(QStringLiteral("BIG-1"), Qt::MatchStartsWith);
        QCOMPARE(big.size(), 1);
        big.front()->setSelected(true);
        window->Text_Error->setText(QStringLiteral("27"));
        window->Text_From->setText(QStringLiteral("01/02/2010"));
        window->Text_To->setText(QStringLiteral("28/02/2010"));
        window->Command_Apply_Click();
        fetchAll(model);
        QCOMPARE(model->rowCount(),
                 11);  // welds 124 to 235 are February's; every tenth an error 27
        QCOMPARE(column(model, WeldTableModel::Serial), QStringList(11, QStringLiteral("BIG-1")));
        QCOMPARE(column(model, WeldTableModel::Error), QStringList(11, QStringLiteral("27")));
        QCOMPARE(window->Label_Count->text(), QStringLiteral("Welds selected: 11"));
        // The charts: the one month, all of its welds not E00.
        QCOMPARE(window->Chart_Welds->data().categories, QStringList({QStringLiteral("02/2010")}));
        QCOMPARE(window->Chart_Welds->data().values, QList<double>({11.0}));
        QCOMPARE(window->Chart_Share->data().values, QList<double>({100.0}));
        // The weld protocols of the selection are the rows of archive protocol.
        if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
            const QString pdf = f.files.filePath(QStringLiteral("selection.pdf"));
            f.dialogs.saveAnswers = {pdf};
            const qsizetype shown = f.dialogs.messages.size();
            window->Menu_ProtocolPdf->trigger();
            QCOMPARE(f.dialogs.messages.size(), shown);
            const QStringList pages = pdfPages(pdf);
            const QList<QStringList> expected = expectedBlocks(
                cliRows(QStringList{QStringLiteral("archive"), QStringLiteral("protocol"),
                                    QStringLiteral("--archive"), archivePath} +
                            QStringLiteral("--machine BIG-1 --error 27 --from 01/02/2010 "
                                           "--to 28/02/2010")
                                .split(QLatin1Char(' ')),
                        kestrava::Language::English));
            QCOMPARE(expected.size(), 11);
            QCOMPARE(pdfBlocks(pages), expected);
            QVERIFY(numberedPages(pages, QStringLiteral("Page %1 of %2")));
        }
        window->Text_Error->setText(QStringLiteral("x"));
        window->Command_Apply_Click();
        QCOMPARE(f.dialogs.messages.last().text, QStringLiteral("Invalid error code"));
        window->Text_Error->clear();
        window->Text_From->clear();
        window->Text_To->clear();
        window->List_Machines->clearSelection();
        window->Text_Find->setText(QStringLiteral("5TZ-"));
        window->Command_Apply_Click();
        fetchAll(model);
        QCOMPARE(model->rowCount(), 14);

        // The selection as CSV, as the archive gives it; an existing name is kept.
        const QString csv = f.files.filePath(QStringLiteral("welds"));
        f.dialogs.saveAnswers = {csv};
        window->Command_SaveCsv_Click();
        std::string expected;
        archive.csv(model->query(), [&](std::string_view bytes) {
            expected += bytes;
            return true;
        });
        QCOMPARE(readTestFile(csv + QStringLiteral(".csv")), QByteArray::fromStdString(expected));
        f.dialogs.saveAnswers = {csv + QStringLiteral(".csv")};
        window->Command_SaveCsv_Click();
        QCOMPARE(f.dialogs.messages.last().text, QStringLiteral("This file name already exists!"));
        QCOMPARE(readTestFile(csv + QStringLiteral(".csv")), QByteArray::fromStdString(expected));
#ifdef KESTRAVA_HAVE_XLSX
        f.dialogs.saveAnswers = {csv};
        window->Command_SaveXlsx_Click();
        QVERIFY(readTestFile(csv + QStringLiteral(".xlsx")).startsWith("PK"));
#endif

        // The download a weld came from opens in the main window.
        window->Table_Welds->selectRow(0);
        window->Command_OpenDownload_Click();
        QVERIFY2(f.window->windowTitle().startsWith(QStringLiteral("5tz_sample.")),
                 qPrintable(f.window->windowTitle()));

        // A second import adds nothing.
        f.dialogs.folderAnswers = {f.files.path()};
        window->Command_ImportFolder_Click();
        QVERIFY(window->lastReport().contains(QStringLiteral("Welds added: 0")));
        QVERIFY(window->lastReport().contains(QStringLiteral("Files added: 0")));

        // The menu brings the one window back; the main window closes it.
        f.window->Menu_Archive->trigger();
        QCOMPARE(shownArchive(), window);
        QPointer<ArchiveWindow> kept(window);
        f.window->close();
        QVERIFY(!kept);
    }

    // Files chosen together are imported together; one that is no download is named
    // with the reason in the window's language.
    void importsFilesChosenTogether()
    {
        installTranslations(kestrava::Language::Polish);
        QTemporaryDir folder;
        QStringList chosen;
        for (const char* name : {"orv_sample.xls", "5tz_sample.pfd", "notes.txt"}) {
            chosen << folder.filePath(QString::fromLatin1(name));
            QVERIFY(writeTestFile(
                chosen.last(),
                readTestFile(QStringLiteral(KESTRAVA_EXAMPLES_DIR "/") +
                             QString::fromLatin1(name).replace(QStringLiteral("notes.txt"),
                                                               QStringLiteral("orv_sample.xls")))));
        }
        ScriptedDialogs dialogs;
        ArchiveWindow window(toFsPath(folder.filePath(QStringLiteral("a.sqlite"))),
                             kestrava::Language::Polish, &dialogs, folder.path());
        window.show();
        QTRY_VERIFY(!window.Label_Count->text().isEmpty());
        dialogs.openManyAnswers = {chosen};
        window.Command_ImportFiles_Click();
        installTranslations(kestrava::Language::English);
        QVERIFY2(window.lastReport().contains(QStringLiteral(": 2\n")),
                 qPrintable(window.lastReport()));
        QVERIFY2(window.lastReport().contains(QStringLiteral(
                     "notes.txt: to nie jest plik danych: nazwa musi konczyc sie na xls lub pfd")),
                 qPrintable(window.lastReport()));
        QCOMPARE(window.Welds_Model->rowCount(), 59);
    }

    // An archive of a newer version is refused with the reason and left as it is.
    void refusesAnArchiveItCannotUse()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("new.sqlite"));
        {
            kestrava::WeldArchive archive;
            QVERIFY(archive.open(toFsPath(path), true).ok());
        }
        // Written by a later layout.
        QByteArray bytes = readTestFile(path);
        bytes[63] = char(99);  // user_version, the header's big-endian word at offset 60
        QVERIFY(writeTestFile(path, bytes));
        ScriptedDialogs dialogs;
        ArchiveWindow window(toFsPath(path), kestrava::Language::English, &dialogs, folder.path());
        window.show();
        QTRY_VERIFY(!window.Label_Count->text().isEmpty());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].text.contains(QStringLiteral("newer version")),
                 qPrintable(dialogs.messages[0].text));
        QCOMPARE(readTestFile(path), bytes);
        QCOMPARE(window.Welds_Model->rowCount(), 0);
    }
};

QTEST_MAIN(ArchiveWindowTest)
#include "test_archive_window.moc"
