// The Save File command of the main window.
#include <QtTest>

#include <QDir>

#include "core/file_io.h"
#include "gui/default_folder.h"
#include "gui/listing_view.h"
#include "support/quiet_messages.h"
#include "support/sample_records.h"
#include "support/save_test_files.h"
#include "support/window_fixture.h"

namespace {

kestrava::BuildProfile profileOf(const QString& language)
{
    return {"sorvanta", language.toStdString()};
}

}  // namespace

class SaveFileTest : public QObject {
    Q_OBJECT

    // A window of the language with a plain text loaded as if a .pfd had been opened
    // (the decoded working copy is the file the listing reads).
    static std::unique_ptr<WindowFixture> loaded(const QString& language, const QByteArray& text)
    {
        auto fixture = std::make_unique<WindowFixture>(profileOf(language));
        const QString copy = fixture->workFile(QStringLiteral("view_only.tmp"));
        writeTestFile(copy, text);
        fixture->window->state().LoadedFilePath = copy;
        fixture->window->state().FileLoaded = true;
        fixture->window->shared().LoadedFileTitle = QStringLiteral("WELD");
        QDir().mkpath(fixture->files.filePath(QStringLiteral("out")));
        return fixture;
    }

    static QString saveAs(WindowFixture& fixture, const QString& name)
    {
        const QString target =
            QDir::toNativeSeparators(fixture.files.filePath(QStringLiteral("out/") + name));
        fixture.dialogs.saveAnswers.push_back(target);
        fixture.window->Menu_SaveFile_Click();
        return target;
    }

    static bool outIsEmpty(const WindowFixture& fixture)
    {
        return QDir(fixture.files.filePath(QStringLiteral("out"))).isEmpty();
    }

private slots:
    void initTestCase() { installQuietMessageHandler(); }
    void cleanup() { kestrava::fileio::setFaultHook({}); }

    void savedCopiesOpenBackToTheSameListing()
    {
        WindowFixture fixture(kEnglish);
        const QByteArray plain = orvSample(45) + "X";  // odd length, header repeated
        fixture.openThroughMenu(fixture.writeFile(QStringLiteral("WELD.pfd"), scrambled(plain)));
        const QString listing = fixture.text();
        QVERIFY(listing.contains(QLatin1String("S-45")));

        const QString plainCopy = QDir::toNativeSeparators(fixture.files.filePath(QStringLiteral("copy.xls")));
        const QString scrambledCopy = QDir::toNativeSeparators(fixture.files.filePath(QStringLiteral("copy.pfd")));
        fixture.dialogs.saveAnswers = {plainCopy, scrambledCopy};
        fixture.window->Menu_SaveFile->trigger();
        fixture.window->Menu_SaveFile->trigger();
        QCOMPARE(fixture.dialogs.saveRequests.size(), 2);
        QCOMPARE(fixture.dialogs.saveRequests[0].proposedName, QStringLiteral("WELD"));
        QCOMPARE(readTestFile(plainCopy), plain);
        QCOMPARE(readTestFile(scrambledCopy), scrambled(plain));
        for (const QString& copy : {plainCopy, scrambledCopy}) {
            fixture.window->Text1->clear();
            fixture.openThroughMenu(copy);
            QCOMPARE(fixture.text(), listing);
        }
        QVERIFY(fixture.dialogs.messages.isEmpty());
    }

    void nothingHappensWithoutALoadedFile()
    {
        WindowFixture fixture(kEnglish);
        fixture.dialogs.saveAnswers.push_back(fixture.files.filePath(QStringLiteral("x.pfd")));
        fixture.window->Menu_SaveFile_Click();
        QVERIFY(fixture.dialogs.saveRequests.isEmpty());
        QVERIFY(!QFile::exists(fixture.files.filePath(QStringLiteral("x.pfd"))));
    }

    void dialogStartsInTheStoredFolder()
    {
        auto fixture = loaded(QStringLiteral("Polish"), orvSample(2));
        const QString settings = fixture->workFile(QStringLiteral("defaultpathsave.txt"));
        const QString comma = QDir::toNativeSeparators(fixture->files.filePath(QStringLiteral("Welds, 2023")));
        fixture->window->Menu_SaveFile_Click();  // no answer queued: the user cancels
        QVERIFY(writeTestFile(settings, comma.toLocal8Bit() + "\r\n"));
        fixture->window->Menu_SaveFile_Click();
        const auto& requests = fixture->dialogs.saveRequests;
        QCOMPARE(requests[0].initialFolder, fallbackStartFolder());
        QCOMPARE(requests[1].initialFolder, comma);
        QCOMPARE(requests[1].proposedName, QStringLiteral("WELD"));
        QCOMPARE(requests[1].filter, QStringLiteral("Dane zaszyfrowane (*.pfd)|*.pfd|Dane niezaszyfrowane (*.xls)|*.xls"));
        // Cancel writes nothing, not even the work file, and says nothing.
        QVERIFY(fixture->dialogs.messages.isEmpty());
        QVERIFY(outIsEmpty(*fixture));
        QVERIFY(!QFile::exists(fixture->workFile(QStringLiteral("temp_only.tmp"))));
    }

    void namesDecideTheKind_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");  // the file type chosen: 0 *.pfd, 1 *.xls
        QTest::addColumn<QString>("savedAs");  // empty: refused
        QTest::addColumn<bool>("plain");
        QTest::newRow("xls") << "WELD.xls" << 0 << "WELD.xls" << true;
        QTest::newRow("xls without a dot") << "WELDxls" << 0 << "WELDxls" << true;
        QTest::newRow("pfd, xls type") << "WELD.pfd" << 1 << "WELD.pfd" << false;
        QTest::newRow("no extension") << "WELD" << 0 << "WELD.pfd" << false;
        QTest::newRow("no extension, xls type") << "WELD" << 1 << "WELD.xls" << true;
        QTest::newRow("upper-case XLS") << "WELD.XLS" << 1 << "" << false;
        QTest::newRow("other extension") << "WELD.txt" << 0 << "" << false;
    }

    void namesDecideTheKind()
    {
        QFETCH(QString, name);
        QFETCH(int, type);
        QFETCH(QString, savedAs);
        QFETCH(bool, plain);
        const QByteArray text = orvSample(3) + "X";  // odd length: the tail byte takes the carry
        auto fixture = loaded(QStringLiteral("Polish"), text);
        fixture->dialogs.saveTypeAnswer = type;
        saveAs(*fixture, name);
        if (savedAs.isEmpty()) {
            // Refused, saying which names Save accepts.
            QVERIFY(outIsEmpty(*fixture));
            QCOMPARE(fixture->dialogs.messages.size(), 1);
            QVERIFY(fixture->dialogs.messages[0].text.contains(QStringLiteral(".pfd")));
            QVERIFY(fixture->dialogs.messages[0].text.contains(QStringLiteral(".xls")));
            return;
        }
        const QByteArray saved = readTestFile(fixture->files.filePath(QStringLiteral("out/") + savedAs));
        QCOMPARE(saved, plain ? text : scrambled(text));
        QCOMPARE(QFile::exists(fixture->workFile(QStringLiteral("temp_only.tmp"))), !plain);
        QVERIFY(fixture->dialogs.messages.isEmpty());
    }

    void failuresAreReportedAndChangeNothing()
    {
        const QByteArray text = orvSample(3);
        auto fixture = loaded(QStringLiteral("Polish"), text);
        auto& messages = fixture->dialogs.messages;
        const auto expectMessage = [&](const QString& mentioned) {
            QCOMPARE(messages.size(), 1);
            QVERIFY2(messages[0].text.contains(mentioned), qPrintable(messages[0].text));
            messages.clear();
        };

        // An existing file is kept as it is, the loaded file itself included.
        for (const QString& name : {QStringLiteral("old.pfd"), QStringLiteral("old.xls")}) {
            QVERIFY(writeTestFile(fixture->files.filePath(QStringLiteral("out/") + name), "own file"));
            const QString target = saveAs(*fixture, name);
            expectMessage(QStringLiteral("Plik o takiej nazwie juz istnieje"));
            QCOMPARE(readTestFile(target), QByteArray("own file"));
        }
        // (The working copy's name is no download name: refused before it is looked at.)
        fixture->dialogs.saveAnswers.push_back(fixture->window->state().LoadedFilePath);
        fixture->window->Menu_SaveFile_Click();
        expectMessage(QStringLiteral(".pfd"));
        QCOMPARE(readTestFile(fixture->window->state().LoadedFilePath), text);
        QVERIFY(QDir(fixture->files.filePath(QStringLiteral("out"))).removeRecursively());
        QVERIFY(QDir().mkpath(fixture->files.filePath(QStringLiteral("out"))));

        // A folder that refuses the finished file (simulated: tests may run with
        // full rights): the plain copy fails at the target, the scrambled one already
        // at the work file.
        const auto refuseRename = [](kestrava::fileio::Operation operation) {
            return operation == kestrava::fileio::Operation::Rename;
        };
        kestrava::fileio::setFaultHook(refuseRename);
        const QString plainTarget = saveAs(*fixture, QStringLiteral("a.xls"));
        expectMessage(plainTarget);
        kestrava::fileio::setFaultHook(refuseRename);
        saveAs(*fixture, QStringLiteral("a.pfd"));
        expectMessage(fixture->workFile(QStringLiteral("temp_only.tmp")));
        kestrava::fileio::setFaultHook({});

        // A folder that does not exist; then a loaded file that has gone.
        expectMessage(saveAs(*fixture, QStringLiteral("missing/b.pfd")));
        const QString loadedPath = fixture->window->state().LoadedFilePath;
        QFile::remove(loadedPath);
        saveAs(*fixture, QStringLiteral("c.xls"));
        expectMessage(loadedPath);
        QVERIFY(outIsEmpty(*fixture));
    }
};

QTEST_MAIN(SaveFileTest)
#include "test_save_file.moc"
