// The Open command: kinds, cancel, decoding, the listing shown, the hand-overs to the
// spreadsheet program, failures, the command line and drops.
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

// A file of the ORV family whose first record has no date in field 3 or 4.
QByteArray noFamilyText()
{
    return "Weld No\tSerial No\tDate\tTime\tError\r\n1\tS-1\t1/1/2009\t12:00\t0\r\n";
}

// ORV records under a header whose first word is not a known one.
QByteArray unknownHeaderText()
{
    QByteArray text = orvSample(2);
    text.replace(0, 4, "Spaw");
    return text;
}

// The lines of the listing shown (the last line end adds no line).
QStringList listingLines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

}  // namespace

class OpenFileTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void refusedKinds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("PFD") << "welds.PFD";
        QTest::newRow("XLS") << "welds.XLS";
        QTest::newRow("xlsx") << "welds.xlsx";
        QTest::newRow("no extension") << "welds";
    }

    void refusedKinds()
    {
        QFETCH(QString, name);
        {
            WindowFixture f(kPolish);
            const QString path = f.writeFile(name, orvSample(3));
            f.dialogs.messageAnswer = 1;
            f.openThroughMenu(path);
            QCOMPARE(f.dialogs.messages.size(), 1);
            QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("Niewlasciwy plik"));
            QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Niewlasciwy plik"));
            QCOMPARE(f.dialogs.messages[0].icon, MessageIcon::Exclamation);
            QCOMPARE(f.window->shared().LastMsgBoxAnswer, QStringLiteral("1"));
            QCOMPARE(f.text(), QStringLiteral("Nie otwarto zadnego pliku"));
            QCOMPARE(f.window->state().LoadedFilePath, path);
            QVERIFY(!f.window->state().FileLoaded);
            QVERIFY(!QFile::exists(f.workFile("display_only.tmp")));
        }
        {
            WindowFixture f(kEnglish);
            f.openThroughMenu(f.writeFile(name, orvSample(3)));
            QCOMPARE(f.dialogs.messages.size(), 1);
            QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("Invalid file"));
            QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Kestrava"));
            QCOMPARE(f.dialogs.messages[0].icon, MessageIcon::None);
            QVERIFY(f.window->shared().LastMsgBoxAnswer.isEmpty());
        }
        {
            WindowFixture f(kOtherLanguage);
            f.openThroughMenu(f.writeFile(name, orvSample(3)));
            QVERIFY(f.dialogs.messages.isEmpty());
        }
    }

    void openDialogTextsAndStartFolder()
    {
        {
            WindowFixture f(kPolish);
            QFile settings(f.workFile("defaultpathload.txt"));
            QVERIFY(settings.open(QIODevice::WriteOnly));
            settings.write("  /data/welds\r\n");
            settings.close();
            f.window->Menu_OpenFile->trigger();
            QCOMPARE(f.dialogs.openRequests.size(), 1);
            QCOMPARE(f.dialogs.openRequests[0].title, QStringLiteral("Otwórz plik danych"));
            QCOMPARE(f.dialogs.openRequests[0].filter,
                     QStringLiteral("Dane zaszyfrowane (*.pfd)|*.pfd|Dane niezaszyfrowane (*.xls)|*.xls"));
            QCOMPARE(f.dialogs.openRequests[0].initialFolder, QStringLiteral("/data/welds"));
        }
        {
            WindowFixture f(kEnglish);
            f.window->Menu_OpenFile->trigger();
            QCOMPARE(f.dialogs.openRequests[0].title, QStringLiteral("Open Kestrava File"));
            QCOMPARE(f.dialogs.openRequests[0].filter,
                     QStringLiteral("Encrypted Data (*.pfd)|*.pfd|Standard Data (*.xls)|*.xls"));
            // Without the settings file the dialog starts in the user's home folder.
            QCOMPARE(f.dialogs.openRequests[0].initialFolder, QDir::homePath());
        }
        {
            WindowFixture f(kOtherLanguage);
            f.window->Menu_OpenFile->trigger();
            QVERIFY(f.dialogs.openRequests[0].title.isEmpty());
            QVERIFY(f.dialogs.openRequests[0].filter.isEmpty());
        }
    }

    void standardFileListed()
    {
        WindowFixture f(kPolish);
        const QString path = f.writeFile(QStringLiteral("site 7.xls"), orvSample(5));
        f.openThroughMenu(path);
        QVERIFY(f.dialogs.messages.isEmpty());
        const QStringList lines = listingLines(f.text());
        QCOMPARE(lines.size(), 6);
        QVERIFY(lines[0].startsWith(QStringLiteral("Weld No    | Serial No    | Date    | ")));
        QVERIFY(lines[5].contains(QStringLiteral("S-5")));
        const MainFormState& state = f.window->state();
        const SharedValues& shared = f.window->shared();
        QVERIFY(state.FileLoaded);
        QCOMPARE(state.LoadedFilePath, path);
        QCOMPARE(state.QuotedFilePath, QLatin1Char('"') + path + QLatin1Char('"'));
        QCOMPARE(shared.LoadedFileTitle, QStringLiteral("site 7"));
        QCOMPARE(shared.MachineFamily, kestrava::MachineFamily::ORV);
        QCOMPARE(shared.MachineSerial, std::string("S-5"));
        QVERIFY(shared.ErrorCodeTable.has_value());
        QCOMPARE((*shared.ErrorCodeTable)[8].label, std::string("E27"));
        QCOMPARE((*shared.ErrorCodeTable)[8].count, 2);
        QCOMPARE((*shared.ErrorCodeTable)[9].count, 1);
        QCOMPARE(QString::fromStdString(state.ListingHeaderLine), lines[0]);
        QCOMPARE(state.RecordsSinceHeader, 5);
        QVERIFY(!state.LastListingFilter.dateOn && !state.LastListingFilter.errorOn);
        QVERIFY(!state.ShowAllRequest && !state.DateFilterOn && !state.ErrorFilterOn);
        QVERIFY(f.spreadsheet.files.isEmpty());
    }

    void encryptedFileDecodedWithPolishLetters()
    {
        WindowFixture f(kPolish);
        // "Łódź" in windows-1250 as the serial of the only record.
        const QByteArray plain = orvText({{"\xA3\xF3\x64\x9F", "03/02/2009", "27"}});
        const QString path = f.writeFile(QStringLiteral("welds.pfd"), scrambled(plain));
        f.openThroughMenu(path);
        QVERIFY(f.dialogs.messages.isEmpty());
        QVERIFY2(f.text().contains(QStringLiteral("Łódź")), qPrintable(f.text()));
        const MainFormState& state = f.window->state();
        QCOMPARE(state.LoadedFilePath, f.workFile(QStringLiteral("view_only.tmp")));
        QCOMPARE(readAll(state.LoadedFilePath), plain);
        QCOMPARE(state.QuotedFilePath, QLatin1Char('"') + path + QLatin1Char('"'));
        QCOMPARE(f.window->shared().LoadedFileTitle, QStringLiteral("welds"));
    }

    void cancelOnlyResetsThePanel()
    {
        WindowFixture f(kPolish);
        const QString path = f.writeFile(QStringLiteral("a.xls"), orvSample(3));
        f.openThroughMenu(path);
        const QString listing = f.text();
        f.window->Option1[2]->setChecked(true);
        QVERIFY(!f.window->Text_Error->isHidden());

        f.window->Menu_OpenFile->trigger();  // no answer queued: cancelled
        QCOMPARE(f.dialogs.openRequests.size(), 2);
        QVERIFY(f.window->Option1[0]->isChecked());
        QVERIFY(f.window->Option1[0]->font().bold());
        QVERIFY(!f.window->Option1[2]->font().bold());
        QVERIFY(f.window->Text_Error->isHidden());
        QCOMPARE(f.text(), listing);
        QCOMPARE(f.window->state().LoadedFilePath, path);
        QVERIFY(f.window->state().FileLoaded);
    }

    void menuOpenAlwaysAsksForAFile()
    {
        WindowFixture f(kPolish);
        f.openThroughMenu(f.writeFile(QStringLiteral("a.xls"), orvSample(10)));
        f.window->Option1[2]->setChecked(true);
        f.window->Text_Error->setText(QStringLiteral("27"));
        f.window->Command_Error->click();
        QVERIFY(f.window->state().ErrorFilterOn);
        QCOMPARE(f.dialogs.openRequests.size(), 1);

        // With the error filter in force the menu still shows the dialog, and a newly
        // chosen file is listed whole.
        f.openThroughMenu(f.writeFile(QStringLiteral("b.xls"), orvSample(4)));
        QCOMPARE(f.dialogs.openRequests.size(), 2);
        QCOMPARE(listingLines(f.text()).size(), 5);
        QVERIFY(!f.window->state().ErrorFilterOn);
    }

    void loadedStateDoesNotDependOnTheText()
    {
        // An English listing whose header starts with "No" is still a loaded file:
        // a filter request lists it again instead of asking for a file.
        WindowFixture f(kEnglish);
        QByteArray text = orvSample(5);
        text.replace(0, 7, "Nominal");
        f.openThroughMenu(f.writeFile(QStringLiteral("n.xls"), text));
        QVERIFY(f.text().startsWith(QStringLiteral("No")));
        f.window->Option1[2]->setChecked(true);
        f.window->Text_Error->setText(QStringLiteral("127"));
        f.window->Command_Error->click();
        QCOMPARE(f.dialogs.openRequests.size(), 1);
        QCOMPARE(listingLines(f.text()).size(), 2);
    }

    void handOverWithoutFamily()
    {
        WindowFixture f(kPolish);
        f.openThroughMenu(f.writeFile(QStringLiteral("a.xls"), orvSample(3)));
        const QString listing = f.text();

        const QString plainPath = f.writeFile(QStringLiteral("odd.xls"), noFamilyText());
        f.openThroughMenu(plainPath);
        QCOMPARE(f.spreadsheet.files, QStringList{plainPath});
        QCOMPARE(f.spreadsheet.folders, QStringList{QDir::toNativeSeparators(f.work.path())});
        QCOMPARE(f.text(), listing);
        QCOMPARE(f.window->shared().MachineFamily, kestrava::MachineFamily::Unknown);

        // An encrypted one: the spreadsheet gets the decoded working copy.
        f.openThroughMenu(f.writeFile(QStringLiteral("odd.pfd"), scrambled(noFamilyText())));
        QCOMPARE(f.spreadsheet.files.last(), f.workFile(QStringLiteral("view_only.tmp")));
        QCOMPARE(f.text(), listing);

        // Nothing could be started: the window says so.
        f.spreadsheet.startSucceeds = false;
        f.openThroughMenu(plainPath);
        QCOMPARE(f.text(), QStringLiteral("Nie mozna uruchomic arkusza kalkulacyjnego dla tego pliku"));
    }

    void handOverWithUnknownHeader()
    {
        {
            WindowFixture f(kPolish);
            const QString path = f.writeFile(QStringLiteral("x.pfd"), scrambled(unknownHeaderText()));
            f.openThroughMenu(path);
            // The plain working copy, never the scrambled file.
            QCOMPARE(f.spreadsheet.files, QStringList{f.workFile(QStringLiteral("view_only.tmp"))});
            QCOMPARE(f.text(), QStringLiteral("Plik otworzyl sie w Excelu"));
            QVERIFY(f.window->state().FileLoaded);
            f.spreadsheet.startSucceeds = false;
            f.openThroughMenu(path);
            QCOMPARE(f.text(), QStringLiteral("Nie mozna uruchomic arkusza kalkulacyjnego dla tego pliku"));
        }
        {
            WindowFixture f(kEnglish);
            const QString path = f.writeFile(QStringLiteral("x.xls"), unknownHeaderText());
            f.openThroughMenu(path);
            QCOMPARE(f.spreadsheet.files, QStringList{path});
            QCOMPARE(f.text(), QStringLiteral("File has opened in Excel."));
        }
        {
            // An empty file has no header at all.
            WindowFixture f(kEnglish);
            const QString path = f.writeFile(QStringLiteral("empty.xls"), QByteArray());
            f.openThroughMenu(path);
            QCOMPARE(f.spreadsheet.files, QStringList{path});
            QCOMPARE(f.text(), QStringLiteral("File has opened in Excel."));
        }
        {
            WindowFixture f(kOtherLanguage);
            f.openThroughMenu(f.writeFile(QStringLiteral("x.xls"), unknownHeaderText()));
            QCOMPARE(f.spreadsheet.files.size(), 1);
            QVERIFY(f.text().startsWith(QStringLiteral("Spaw No")));
        }
    }

    void unreadableSourceIsReported()
    {
        WindowFixture f(kPolish);
        f.openThroughMenu(f.writeFile(QStringLiteral("a.xls"), orvSample(3)));
        const QString missing = QDir(f.files.path()).filePath(QStringLiteral("gone.xls"));
        f.openThroughMenu(missing);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Nie mozna odczytac pliku"));
        QVERIFY(f.dialogs.messages[0].text.contains(QStringLiteral("gone.xls")));
        // The previous listing is not left on screen as if it belonged to this file.
        QCOMPARE(f.text(), QStringLiteral("Nie otwarto zadnego pliku"));
        QVERIFY(!f.window->state().FileLoaded);

        // A filter request now asks for a file.
        f.window->Option1[0]->setChecked(false);
        f.window->Option1[1]->setChecked(true);
        f.window->Option1[0]->setChecked(true);
        QCOMPARE(f.dialogs.openRequests.size(), 3);
    }

    void unwritableWorkFolderIsReported()
    {
        QTemporaryDir scratch;
        QFile blocker(QDir(scratch.path()).filePath(QStringLiteral("not-a-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        // Work files would go inside a regular file: nothing can be created there.
        WindowFixture f(kEnglish, blocker.fileName() + QStringLiteral("/work"));
        f.openThroughMenu(f.writeFile(QStringLiteral("a.pfd"), scrambled(orvSample(3))));
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages[0].text.startsWith(QStringLiteral("Cannot write the working copy")));
        QCOMPARE(f.text(), QStringLiteral("No file loaded"));
        QVERIFY(!f.window->state().FileLoaded);

        f.openThroughMenu(f.writeFile(QStringLiteral("a.xls"), orvSample(3)));
        QCOMPARE(f.dialogs.messages.size(), 2);
        QVERIFY(f.dialogs.messages[1].text.startsWith(QStringLiteral("Cannot write the listing")));
        QCOMPARE(f.text(), QStringLiteral("No file loaded"));
    }

    void commandLineAndDrop()
    {
        WindowFixture f(kPolish);
        const QString first = f.writeFile(QStringLiteral("first.xls"), orvSample(2));
        f.window->openPath(first);
        QVERIFY(f.dialogs.openRequests.isEmpty());
        QCOMPARE(f.window->state().LoadedFilePath, first);
        QCOMPARE(listingLines(f.text()).size(), 3);

        const QString second = f.writeFile(QStringLiteral("second.pfd"), scrambled(orvSample(4)));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(second)});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.window.get(), &drop);
        QTRY_COMPARE(f.window->state().QuotedFilePath, QLatin1Char('"') + second + QLatin1Char('"'));
        QCOMPARE(listingLines(f.text()).size(), 5);
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
        QCOMPARE(f.text(), QStringLiteral("Nie otwarto zadnego pliku"));
        QVERIFY(!f.window->state().FileLoaded);
        QTRY_VERIFY(!f.window->isVisible());
    }
};

QTEST_MAIN(OpenFileTest)
#include "test_open_file.moc"
