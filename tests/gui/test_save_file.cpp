// The Save File command of the main window.
#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/file_io.h"
#include "core/scrambling.h"
#include "gui/default_folder.h"
#include "gui/kestrava_main.h"
#include "gui/translations.h"
#include "support/save_test_dialogs.h"

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray decoded(const QByteArray& scrambled)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(scrambled.constData());
    const auto plain = kestrava::decodeBytes({data, static_cast<std::size_t>(scrambled.size())});
    return QByteArray(reinterpret_cast<const char*>(plain.data()), static_cast<qsizetype>(plain.size()));
}

const QByteArray kRecords = "Weld No\tMachine\tDate\tError\r\n"
                            "1\tORV-1\t01/02/2023\t0\r\n"
                            "2\tORV-1\t02/02/2023\t3\r\n";

}  // namespace

class SaveFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir root;
    QString work;
    QString out;
    SaveTestDialogs dialogs;
    std::unique_ptr<Kestrava_Main> window;

    void makeWindow(const char* language)
    {
        installTranslations(kestrava::languageFromName(language));
        AppServices services;
        services.dialogs = &dialogs;
        services.workFolder = work;
        window = std::make_unique<Kestrava_Main>(kestrava::BuildProfile{"sorvanta", language}, services);
    }

    // A decoded .pfd is loaded: its working copy is the file the listing reads.
    void loadRecords(const QByteArray& text = kRecords)
    {
        const QString copy = QDir(work).filePath(QStringLiteral("view_only.tmp"));
        writeFile(copy, text);
        window->state().LoadedFilePath = copy;
        window->state().FileLoaded = true;
        window->shared().LoadedFileTitle = QStringLiteral("WELD");
    }

    QString saveAs(const QString& name)
    {
        const QString target = QDir(out).filePath(name);
        dialogs.fileAnswers = {target};
        window->Menu_SaveFile_Click();
        return target;
    }

private slots:
    void init()
    {
        QVERIFY(root.isValid());
        work = root.filePath(QStringLiteral("work"));
        out = root.filePath(QStringLiteral("out"));
        QDir(root.path()).removeRecursively();
        QVERIFY(QDir().mkpath(work));
        QVERIFY(QDir().mkpath(out));
        dialogs = SaveTestDialogs();
    }

    void cleanup()
    {
        window.reset();
        kestrava::fileio::setFaultHook({});
        installTranslations(kestrava::Language::English);
    }

    void nothingHappensWithoutALoadedFile()
    {
        makeWindow("English");
        dialogs.fileAnswers = {QDir(out).filePath(QStringLiteral("x.pfd"))};
        window->Menu_SaveFile_Click();
        QVERIFY(dialogs.saveRequests.isEmpty());
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(QDir(out).isEmpty());
    }

    void dialogTextsFollowTheLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filter");
        QTest::newRow("English") << "English" << "Save Kestrava File"
                                 << "Encrypted Data (*.pfd)|*.pfd|Standard Data (*.xls)|*.xls";
        QTest::newRow("Polish") << "Polish" << "Zapisz plik danych"
                                << "Dane zaszyfrowane (*.pfd)|*.pfd|Dane niezaszyfrowane (*.xls)|*.xls";
        QTest::newRow("other") << "Deutsch" << QString() << QString();
    }

    void dialogTextsFollowTheLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        makeWindow(language.toLatin1().constData());
        loadRecords();
        window->Menu_SaveFile_Click();  // no answer queued: the user cancels
        QCOMPARE(dialogs.saveRequests.size(), 1);
        QCOMPARE(dialogs.saveRequests[0].title, title);
        QCOMPARE(dialogs.saveRequests[0].filter, filter);
        QCOMPARE(dialogs.saveRequests[0].proposedName, QStringLiteral("WELD"));
        // Cancel writes nothing, not even the work file, and says nothing.
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(QDir(out).isEmpty());
        QVERIFY(!QFile::exists(QDir(work).filePath(QStringLiteral("temp_only.tmp"))));
    }

    void initialFolderComesFromTheSettingsFile()
    {
        makeWindow("English");
        loadRecords();
        const QString settings = QDir(work).filePath(QStringLiteral("defaultpathsave.txt"));

        // Missing file: the fallback folder.
        window->Menu_SaveFile_Click();
        QCOMPARE(dialogs.saveRequests.last().initialFolder, fallbackStartFolder());

        // A folder with a comma in its name reads back whole; quotes are removed.
        const QString comma = QDir(out).filePath(QStringLiteral("Welds, 2023"));
        writeFile(settings, comma.toLocal8Bit() + "\r\n");
        window->Menu_SaveFile_Click();
        QCOMPARE(dialogs.saveRequests.last().initialFolder, comma);

        writeFile(settings, "  \"" + out.toLocal8Bit() + "\"\r\n");
        window->Menu_SaveFile_Click();
        QCOMPARE(dialogs.saveRequests.last().initialFolder, out);

        // An empty file: the dialog's own default folder.
        writeFile(settings, "");
        window->Menu_SaveFile_Click();
        QCOMPARE(dialogs.saveRequests.last().initialFolder, QString());
    }

    void xlsNameGetsThePlainText()
    {
        makeWindow("English");
        loadRecords();
        const QString target = saveAs(QStringLiteral("WELD.xls"));
        QCOMPARE(readFile(target), kRecords);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(readFile(window->state().LoadedFilePath), kRecords);
    }

    void otherNamesGetTheScrambledText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("pfd, even length") << "WELD.pfd" << kRecords;
        QTest::newRow("pfd, odd length") << "ODD.pfd" << QByteArray(kRecords + "X");
        QTest::newRow("no extension") << "WELD" << kRecords;
        QTest::newRow("upper-case XLS") << "WELD.XLS" << QByteArray(kRecords + "X");
    }

    void otherNamesGetTheScrambledText()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, text);
        makeWindow("English");
        loadRecords(text);
        const QString target = saveAs(name);
        const QByteArray saved = readFile(target);
        QCOMPARE(saved.size(), text.size());
        QVERIFY(saved != text);
        QCOMPARE(decoded(saved), text);
        QCOMPARE(readFile(QDir(work).filePath(QStringLiteral("temp_only.tmp"))), saved);
        QCOMPARE(readFile(window->state().LoadedFilePath), text);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void existingFileIsReportedAndKept_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::newRow("English") << "English" << "This file name already exists!" << "Save Error";
        QTest::newRow("Polish") << "Polish" << "Plik o takiej nazwie juz istnieje" << "Blad zapisu";
    }

    void existingFileIsReportedAndKept()
    {
        QFETCH(QString, language);
        QFETCH(QString, text);
        QFETCH(QString, title);
        makeWindow(language.toLatin1().constData());
        loadRecords();
        for (const QString& name : {QStringLiteral("old.pfd"), QStringLiteral("old.xls")}) {
            dialogs.messages.clear();
            writeFile(QDir(out).filePath(name), "the user's own file");
            const QString target = saveAs(name);
            QCOMPARE(dialogs.messages.size(), 1);
            QCOMPARE(dialogs.messages[0].text, text);
            QCOMPARE(dialogs.messages[0].title, title);
            QCOMPARE(dialogs.messages[0].icon, MessageIcon::Critical);
            QCOMPARE(readFile(target), QByteArray("the user's own file"));
        }
        QCOMPARE(QDir(out).entryList(QDir::Files).size(), 2);
    }

    void failedWriteIsReportedAndLeavesNothing_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::newRow("English") << "English" << "Save Error";
        QTest::newRow("Polish") << "Polish" << "Blad zapisu";
    }

    void failedWriteIsReportedAndLeavesNothing()
    {
        QFETCH(QString, language);
        QFETCH(QString, title);
        makeWindow(language.toLatin1().constData());
        loadRecords();

        // A folder that refuses new files (simulated: tests may run with full rights).
        for (const QString& name : {QStringLiteral("a.xls"), QStringLiteral("a.pfd")}) {
            dialogs.messages.clear();
            kestrava::fileio::setFaultHook([](kestrava::fileio::Operation operation) {
                return operation == kestrava::fileio::Operation::Rename;
            });
            const QString target = saveAs(name);
            kestrava::fileio::setFaultHook({});
            QCOMPARE(dialogs.messages.size(), 1);
            QCOMPARE(dialogs.messages[0].title, title);
            QCOMPARE(dialogs.messages[0].icon, MessageIcon::Critical);
            QVERIFY2(dialogs.messages[0].text.contains(QDir::toNativeSeparators(
                         name.endsWith(QLatin1String("xls"))
                             ? target
                             : QDir(work).filePath(QStringLiteral("temp_only.tmp")))),
                     qPrintable(dialogs.messages[0].text));
            QVERIFY(QDir(out).isEmpty());
        }

        // A folder that does not exist.
        dialogs.messages.clear();
        const QString target = saveAs(QStringLiteral("missing/b.pfd"));
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].text.contains(QDir::toNativeSeparators(target)));

        // The loaded file has gone.
        dialogs.messages.clear();
        QFile::remove(window->state().LoadedFilePath);
        saveAs(QStringLiteral("c.xls"));
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].text.contains(
            QDir::toNativeSeparators(window->state().LoadedFilePath)));
        QVERIFY(QDir(out).isEmpty());
    }

    void noMessageForAnotherLanguage()
    {
        makeWindow("Deutsch");
        loadRecords();
        writeFile(QDir(out).filePath(QStringLiteral("old.pfd")), "kept");
        saveAs(QStringLiteral("old.pfd"));
        saveAs(QStringLiteral("missing/b.pfd"));
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(readFile(QDir(out).filePath(QStringLiteral("old.pfd"))), QByteArray("kept"));
    }
};

QTEST_MAIN(SaveFileTest)
#include "test_save_file.moc"
