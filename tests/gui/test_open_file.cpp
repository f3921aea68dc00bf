// The Open command: refused kinds, the start folder, the listing shown, the hand-overs
// to the spreadsheet program, failures, the command line, drops and long runs.
#include <QtTest>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>

#include "support/quiet_messages.h"
#include "support/sample_records.h"
#include "support/window_fixture.h"

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines of the listing shown (the last line end adds no line).
qsizetype lineCount(const QString& text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size();
}

const QString kNoFile = QStringLiteral("Nie otwarto zadnego pliku");
const QString kCannotStart = QStringLiteral("Nie mozna uruchomic arkusza kalkulacyjnego dla tego pliku");

}  // namespace

class OpenFileTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void refusedKindsAreNotLoaded()
    {
        for (const char* name : {"welds.PFD", "welds.XLS", "welds.xlsx", "welds"}) {
            WindowFixture f(kPolish);
            f.openThroughMenu(f.writeFile(QString::fromLatin1(name), orvSample(3)));
            QCOMPARE(f.dialogs.messages.size(), 1);
            QCOMPARE(f.text(), kNoFile);
            QVERIFY(!f.window->state().FileLoaded);
            QVERIFY(!QFile::exists(f.workFile("display_only.tmp")));
        }
    }

    void openDialogStartsInTheStoredFolder()
    {
        WindowFixture f(kPolish);
        f.window->Menu_OpenFile->trigger();  // no settings file: the home folder
        QFile settings(f.workFile("defaultpathload.txt"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("  /data/welds\r\n");
        settings.close();
        f.window->Menu_OpenFile->trigger();
        QCOMPARE(f.dialogs.openRequests.size(), 2);
        QCOMPARE(f.dialogs.openRequests[0].initialFolder, QDir::homePath());
        QCOMPARE(f.dialogs.openRequests[1].initialFolder, QStringLiteral("/data/welds"));
        QCOMPARE(f.dialogs.openRequests[1].filter,
                 QStringLiteral("Dane zaszyfrowane (*.pfd)|*.pfd|Dane niezaszyfrowane (*.xls)|*.xls"));
    }

    void standardAndEncryptedFilesListed()
    {
        WindowFixture f(kPolish);
        const QString path = f.writeFile(QStringLiteral("site 7.xls"), orvSample(5));
        f.openThroughMenu(path);
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(lineCount(f.text()), 6);
        QVERIFY(f.text().startsWith(QStringLiteral("Weld No    | Serial No    | Date    | ")));
        const SharedValues& shared = f.window->shared();
        QVERIFY(f.window->state().FileLoaded);
        QCOMPARE(shared.LoadedFileTitle, QStringLiteral("site 7"));
        QCOMPARE(shared.MachineFamily, kestrava::MachineFamily::ORV);
        QCOMPARE(shared.MachineSerial, std::string("S-5"));
        QCOMPARE((*shared.ErrorCodeTable)[8].count, 2);
        QCOMPARE((*shared.ErrorCodeTable)[9].count, 1);
        QVERIFY(f.spreadsheet.files.isEmpty());

        // "Łódź" in windows-1250 as the serial of the only record of a scrambled file.
        const QByteArray plain = orvText({{"\xA3\xF3\x64\x9F", "03/02/2009", "27"}});
        f.openThroughMenu(f.writeFile(QStringLiteral("welds.pfd"), scrambled(plain)));
        QVERIFY2(f.text().contains(QStringLiteral("Łódź")), qPrintable(f.text()));
        QCOMPARE(readAll(f.window->state().LoadedFilePath), plain);
        QCOMPARE(shared.LoadedFileTitle, QStringLiteral("welds"));
    }

    void cancelOnlyResetsThePanel()
    {
        WindowFixture f(kPolish);
        f.openThroughMenu(f.writeFile(QStringLiteral("a.xls"), orvSample(3)));
        const QString listing = f.text();
        f.window->Option1[2]->setChecked(true);
        f.window->Menu_OpenFile->trigger();  // no answer queued: cancelled
        QVERIFY(f.window->Option1[0]->isChecked());
        QVERIFY(f.window->Text_Error->isHidden());
        QCOMPARE(f.text(), listing);
        QVERIFY(f.window->state().FileLoaded);
    }

    void filterStateDoesNotSkipTheDialog()
    {
        // With the error filter in force the menu still asks, and the new file is listed
        // whole; a listing whose header starts with "No" still counts as loaded.
        WindowFixture f(kEnglish);
        QByteArray nominal = orvSample(5);
        nominal.replace(0, 7, "Nominal");
        f.openThroughMenu(f.writeFile(QStringLiteral("n.xls"), nominal));
        QVERIFY(f.text().startsWith(QStringLiteral("No")));
        f.window->Option1[2]->setChecked(true);
        f.window->Text_Error->setText(QStringLiteral("127"));
        f.window->Command_Error->click();
        QCOMPARE(f.dialogs.openRequests.size(), 1);
        QCOMPARE(lineCount(f.text()), 2);
        f.openThroughMenu(f.writeFile(QStringLiteral("b.xls"), orvSample(4)));
        QCOMPARE(f.dialogs.openRequests.size(), 2);
        QCOMPARE(lineCount(f.text()), 5);
        QVERIFY(!f.window->state().ErrorFilterOn);
    }

    void handOversToTheSpreadsheet()
    {
        // A first record without a date in field 3 or 4, a header of no known word, an
        // empty file: handed over, a scrambled file as its decoded working copy.
        const QByteArray noFamily = "Weld No\tSerial No\tDate\tTime\tError\r\n1\tS-1\t1/1/2009\t12:00\t0\r\n";
        QByteArray unknownHeader = orvSample(2);
        unknownHeader.replace(0, 4, "Spaw");
        const struct {
            const char* name;
            QByteArray bytes;
            bool decoded;    // the working copy is handed over
            bool listingKept;  // else "opened in Excel" is shown
        } cases[] = {
            {"odd.xls", noFamily, false, true},
            {"odd.pfd", scrambled(noFamily), true, true},
            {"x.pfd", scrambled(unknownHeader), true, false},
            {"x.xls", unknownHeader, false, false},
            {"empty.xls", QByteArray(), false, false},
        };
        for (const auto& c : cases) {
            WindowFixture f(kPolish);
            f.openThroughMenu(f.writeFile(QStringLiteral("a.xls"), orvSample(3)));
            const QString listing = f.text();
            const QString path = f.writeFile(QString::fromLatin1(c.name), c.bytes);
            f.openThroughMenu(path);
            QCOMPARE(f.spreadsheet.files,
                     QStringList{c.decoded ? f.workFile(QStringLiteral("view_only.tmp")) : path});
            QCOMPARE(f.spreadsheet.folders, QStringList{QDir::toNativeSeparators(f.work.path())});
            QCOMPARE(f.text(), c.listingKept ? listing : QStringLiteral("Plik otworzyl sie w Excelu"));
            f.spreadsheet.startSucceeds = false;
            f.openThroughMenu(path);
            QCOMPARE(f.text(), kCannotStart);
        }
        WindowFixture english(kEnglish);
        english.openThroughMenu(english.writeFile(QStringLiteral("x.xls"), unknownHeader));
        QCOMPARE(english.text(), QStringLiteral("File has opened in Excel."));
        WindowFixture other(kOtherLanguage);  // handed over, and the listing shown too
        other.openThroughMenu(other.writeFile(QStringLiteral("x.xls"), unknownHeader));
        QCOMPARE(other.spreadsheet.files.size(), 1);
        QVERIFY(other.text().startsWith(QStringLiteral("Spaw No")));
    }

    void unreadableSourceAndUnwritableWorkFolder()
    {
        WindowFixture f(kPolish);
        f.openThroughMenu(f.writeFile(QStringLiteral("a.xls"), orvSample(3)));
        f.openThroughMenu(QDir(f.files.path()).filePath(QStringLiteral("gone.xls")));
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Nie mozna odczytac pliku"));
        QVERIFY(f.dialogs.messages[0].text.contains(QStringLiteral("gone.xls")));
        // The previous listing is not left on screen as if it belonged to this file, and
        // a filter request now asks for a file.
        QCOMPARE(f.text(), kNoFile);
        f.window->Option1[1]->setChecked(true);
        f.window->Option1[0]->setChecked(true);
        QCOMPARE(f.dialogs.openRequests.size(), 3);

        // Work files would go inside a regular file: nothing can be created there.
        QTemporaryDir scratch;
        QFile blocker(QDir(scratch.path()).filePath(QStringLiteral("not-a-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        WindowFixture g(kEnglish, blocker.fileName() + QStringLiteral("/work"));
        g.openThroughMenu(g.writeFile(QStringLiteral("a.pfd"), scrambled(orvSample(3))));
        g.openThroughMenu(g.writeFile(QStringLiteral("a.xls"), orvSample(3)));
        QCOMPARE(g.dialogs.messages.size(), 2);
        QVERIFY(g.dialogs.messages[0].text.startsWith(QStringLiteral("Cannot write the working copy")));
        QVERIFY(g.dialogs.messages[1].text.startsWith(QStringLiteral("Cannot write the listing")));
        QCOMPARE(g.text(), QStringLiteral("No file loaded"));
        QVERIFY(!g.window->state().FileLoaded);
    }

    void commandLineAndDrop()
    {
        WindowFixture f(kPolish);
        const QString first = f.writeFile(QStringLiteral("first.xls"), orvSample(2));
        f.window->openPath(first);
        QCOMPARE(lineCount(f.text()), 3);

        const QString second = f.writeFile(QStringLiteral("second.pfd"), scrambled(orvSample(4)));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(second)});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.window.get(), &drop);
        QTRY_COMPARE(lineCount(f.text()), 5);
        QVERIFY(f.dialogs.openRequests.isEmpty());
    }

    void commandsHeldOffDuringALongRun()
    {
        WindowFixture f(kPolish);
        const QString path = f.writeFile(QStringLiteral("big.xls"), orvSample(200000));
        int attempts = 0;
        // Fires from inside the run, when it lets the window's events through.
        QTimer::singleShot(0, f.window.get(), [&] {
            ++attempts;
            f.window->Menu_OpenFile_Click();
            f.window->Option1[2]->setChecked(true);
        });
        f.window->openPath(path);
        QCOMPARE(attempts, 1);
        QVERIFY(f.dialogs.openRequests.isEmpty());
        QVERIFY(f.text().startsWith(QStringLiteral("Weld No")));
        QVERIFY(f.window->Text_Error->isHidden());
    }

    void closingDuringARunCancelsIt()
    {
        WindowFixture f(kPolish);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        const QString path = f.writeFile(QStringLiteral("big.pfd"), scrambled(orvSample(200000)));
        QTimer::singleShot(0, f.window.get(), [&] { f.window->close(); });
        f.window->openPath(path);
        QCOMPARE(f.text(), kNoFile);
        QVERIFY(!f.window->state().FileLoaded);
        QTRY_VERIFY(!f.window->isVisible());
    }
};

QTEST_MAIN(OpenFileTest)
#include "test_open_file.moc"
