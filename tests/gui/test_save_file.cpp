// The Save File command of the main window.
#include <QtTest>

#include <QDir>
#include <QTemporaryDir>

#include "core/file_io.h"
#include "core/scrambling.h"
#include "gui/default_folder.h"
#include "gui/kestrava_main.h"
#include "gui/translations.h"
#include "support/save_test_dialogs.h"
#include "support/save_test_files.h"

namespace {

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

    // A window of the language with a decoded .pfd loaded (its working copy is the
    // file the listing reads).
    void makeWindow(const QString& language, const QByteArray& text = kRecords)
    {
        installTranslations(kestrava::languageFromName(language.toStdString()));
        AppServices services;
        services.dialogs = &dialogs;
        services.workFolder = work;
        window = std::make_unique<Kestrava_Main>(
            kestrava::BuildProfile{"sorvanta", language.toStdString()}, services);
        const QString copy = QDir(work).filePath(QStringLiteral("view_only.tmp"));
        QVERIFY(writeTestFile(copy, text));
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

    QString workCopy() const { return QDir(work).filePath(QStringLiteral("temp_only.tmp")); }

private slots:
    void init()
    {
        QVERIFY(root.isValid());
        work = root.filePath(QStringLiteral("work"));
        out = root.filePath(QStringLiteral("out"));
        QDir(root.path()).removeRecursively();
        QVERIFY(QDir().mkpath(work) && QDir().mkpath(out));
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
        makeWindow(QStringLiteral("English"));
        window->state().LoadedFilePath.clear();
        saveAs(QStringLiteral("x.pfd"));
        QVERIFY(dialogs.saveRequests.isEmpty());
        QVERIFY(QDir(out).isEmpty());
    }

    void dialogFollowsLanguageAndSettings_data()
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

    void dialogFollowsLanguageAndSettings()
    {
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        makeWindow(language);
        const QString settings = QDir(work).filePath(QStringLiteral("defaultpathsave.txt"));
        const QString comma = QDir(out).filePath(QStringLiteral("Welds, 2023"));
        // Missing file, a folder with a comma, a quoted folder, an empty file.
        const QList<std::pair<QByteArray, QString>> cases = {
            {"<none>", fallbackStartFolder()},
            {comma.toLocal8Bit() + "\r\n", comma},
            {"  \"" + out.toLocal8Bit() + "\"\r\n", out},
            {"", QString()}};
        for (const auto& [contents, folder] : cases) {
            if (contents != "<none>")
                QVERIFY(writeTestFile(settings, contents));
            window->Menu_SaveFile_Click();  // no answer queued: the user cancels
            const auto& request = dialogs.saveRequests.last();
            QCOMPARE(request.title, title);
            QCOMPARE(request.filter, filter);
            QCOMPARE(request.initialFolder, folder);
            QCOMPARE(request.proposedName, QStringLiteral("WELD"));
        }
        // Cancel writes nothing, not even the work file, and says nothing.
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(QDir(out).isEmpty());
        QVERIFY(!QFile::exists(workCopy()));
    }

    void xlsNameGetsThePlainText()
    {
        makeWindow(QStringLiteral("English"));
        QCOMPARE(readTestFile(saveAs(QStringLiteral("WELD.xls"))), kRecords);
        QVERIFY(dialogs.messages.isEmpty());
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
        makeWindow(QStringLiteral("English"), text);
        const QByteArray saved = readTestFile(saveAs(name));
        QCOMPARE(saved.size(), text.size());
        QVERIFY(saved != text);
        QCOMPARE(decoded(saved), text);
        QCOMPARE(readTestFile(workCopy()), saved);
        QCOMPARE(readTestFile(window->state().LoadedFilePath), text);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void failuresAreReportedAndChangeNothing_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("exists");
        QTest::addColumn<QString>("title");
        QTest::newRow("English") << "English" << "This file name already exists!" << "Save Error";
        QTest::newRow("Polish") << "Polish" << "Plik o takiej nazwie juz istnieje" << "Blad zapisu";
        QTest::newRow("other") << "Deutsch" << QString() << QString();
    }

    void failuresAreReportedAndChangeNothing()
    {
        QFETCH(QString, language);
        QFETCH(QString, exists);
        QFETCH(QString, title);
        makeWindow(language);
        const bool shown = !title.isEmpty();
        const auto expectMessage = [&](const QString& text, const QString& mentioned) {
            QCOMPARE(dialogs.messages.size(), shown ? 1 : 0);
            if (shown) {
                QCOMPARE(dialogs.messages[0].title, title);
                QCOMPARE(dialogs.messages[0].icon, MessageIcon::Critical);
                if (!text.isEmpty())
                    QCOMPARE(dialogs.messages[0].text, text);
                QVERIFY2(dialogs.messages[0].text.contains(QDir::toNativeSeparators(mentioned)),
                         qPrintable(dialogs.messages[0].text));
            }
            dialogs.messages.clear();
        };

        // An existing file is kept as it is.
        for (const QString& name : {QStringLiteral("old.pfd"), QStringLiteral("old.xls")}) {
            QVERIFY(writeTestFile(QDir(out).filePath(name), "the user's own file"));
            const QString target = saveAs(name);
            expectMessage(exists, QString());
            QCOMPARE(readTestFile(target), QByteArray("the user's own file"));
        }
        QVERIFY(QDir(out).removeRecursively() && QDir().mkpath(out));

        // A folder that refuses the finished file (simulated: tests may run with
        // full rights): the plain copy fails at the target, the scrambled one already
        // at the work file.
        const auto refuseRename = [](kestrava::fileio::Operation operation) {
            return operation == kestrava::fileio::Operation::Rename;
        };
        kestrava::fileio::setFaultHook(refuseRename);
        const QString plain = saveAs(QStringLiteral("a.xls"));
        expectMessage({}, plain);
        kestrava::fileio::setFaultHook(refuseRename);
        saveAs(QStringLiteral("a.pfd"));
        expectMessage({}, workCopy());
        kestrava::fileio::setFaultHook({});

        // A folder that does not exist; then a loaded file that has gone.
        expectMessage({}, saveAs(QStringLiteral("missing/b.pfd")));
        QFile::remove(window->state().LoadedFilePath);
        saveAs(QStringLiteral("c.xls"));
        expectMessage({}, window->state().LoadedFilePath);
        QVERIFY(QDir(out).isEmpty());
    }
};

QTEST_MAIN(SaveFileTest)
#include "test_save_file.moc"
