// Windows started from one folder: each keeps its work files where no other reads or
// replaces them, and an own folder left by a window that crashed is cleaned away.
// Each window is this program started again with "--document FOLDER": it claims its
// work folder as the program does, then works a loaded download there on the commands
// of its standard input, answering each with a line ("done" or "failed").
#include <QtTest>

#include <iostream>
#include <string>
#include <tuple>

#include "core/document/loaded_download.h"
#include "core/files/path_text.h"
#include "gui/app/work_folder_claim.h"
#include "gui/platform/fs_path.h"
#include "support/sample_records.h"
#include "support/save_test_files.h"

namespace {

int runDocument(const QString& sharedFolder)
{
    const WorkFolderClaim claim(sharedFolder);
    kestrava::LoadedDownload download(toFsPath(claim.folder()));
    std::cout << "folder " << claim.folder().toStdString() << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t space = line.find(' ');
        const std::string command = line.substr(0, space);
        const auto argument =
            kestrava::pathFromUtf8(space == std::string::npos ? "" : line.substr(space + 1));
        bool done = false;
        if (command == "open") {
            done = bool(download.open(argument, {}));
        } else if (command == "save") {
            done = bool(download.save(argument));
        } else if (command == "second-day") {
            kestrava::ListingFilter filter;
            filter.dateOn = true;
            filter.from = filter.to = kestrava::Day{std::chrono::year(2009) / 1 / 2};
            done = bool(download.relist(filter));
        } else if (command == "quit") {
            break;
        }
        std::cout << (done ? "done" : "failed") << std::endl;
    }
    return 0;
}

class Document {
public:
    explicit Document(const QString& sharedFolder)
    {
        process_.start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--document"), sharedFolder});
        const QString first = reply();
        if (first.startsWith(QLatin1String("folder ")))
            folder = first.mid(7);
    }
    ~Document()
    {
        if (process_.state() != QProcess::NotRunning)
            quit();
    }

    // "open", "save", "second-day"; the path after a blank.
    bool command(const char* verb, const QString& path = {})
    {
        const QString line = QString::fromLatin1(verb) + (path.isEmpty() ? "" : " " + path);
        process_.write((line + QLatin1Char('\n')).toUtf8());
        return reply() == QLatin1String("done");
    }
    void quit()
    {
        process_.write("quit\n");
        process_.closeWriteChannel();
        process_.waitForFinished(60000);
    }
    void crash()
    {
        process_.kill();
        process_.waitForFinished(60000);
    }
    QString file(const char* name) const
    {
        return QDir(folder).filePath(QString::fromLatin1(name));
    }

    QString folder;  // where its work files are

private:
    QString reply()
    {
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(60000))
                return {};
        return QString::fromUtf8(process_.readLine()).trimmed();
    }

    QProcess process_;
};

QByteArray download(const QByteArray& serial)
{
    QList<OrvRecord> records;
    for (const char* date : {"01/01/2009", "02/01/2009", "03/01/2009"})
        records.append({serial, date, "0"});
    return orvText(records);
}

bool same(const QString& a, const QString& b)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(a)) ==
           QDir::cleanPath(QDir::fromNativeSeparators(b));
}

}  // namespace

class WorkFoldersTest : public QObject {
    Q_OBJECT
private slots:
    void twoWindowsNeverShareRecords()
    {
        QTemporaryDir root;
        const QString shared = root.filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(shared));
        const QByteArray alpha = download("AAAA-111"), bravo = download("BBBB-222");
        const QString a = root.filePath(QStringLiteral("a.xls")),
                      b = root.filePath(QStringLiteral("b.xls")),
                      alphaFile = root.filePath(QStringLiteral("alpha.pfd")),
                      bravoFile = root.filePath(QStringLiteral("bravo.pfd"));
        QVERIFY(writeTestFile(alphaFile, scrambled(alpha)) &&
                writeTestFile(bravoFile, scrambled(bravo)));

        Document first(shared), second(shared);
        // Both opened before either works on its file: the second one's decoded copy
        // and listing are written after the first one's.
        QVERIFY(first.command("open", alphaFile) && second.command("open", bravoFile));
        QVERIFY(first.command("save", a) && second.command("save", b));
        QCOMPARE(readTestFile(a), alpha);
        QCOMPARE(readTestFile(b), bravo);
        QVERIFY(first.command("second-day") && second.command("second-day"));
        for (const auto& [document, own, other] :
             {std::tuple{&first, "AAAA-111", "BBBB"}, std::tuple{&second, "BBBB-222", "AAAA"}}) {
            const QByteArray listing = readTestFile(document->file("display_only.tmp"));
            QVERIFY2(listing.contains(own) && !listing.contains(other), listing.constData());
        }
        // The first one's in the shared folder, the second one's in a folder of its own.
        QVERIFY(same(first.folder, shared));
        QVERIFY2(!second.folder.isEmpty() && !same(second.folder, shared),
                 qPrintable(second.folder));

        // The second one's folder goes with it; the first one's files stay.
        const QString secondFolder = second.folder;
        second.quit();
        QVERIFY(!QFileInfo::exists(secondFolder));
        QCOMPARE(QDir(shared + QStringLiteral("/instances"))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
        first.quit();
        QVERIFY(QFileInfo::exists(first.file("display_only.tmp")));
    }

    void whatACrashLeavesIsTakenOver()
    {
        QTemporaryDir root;
        const QString shared = root.path();
        const QString alpha = root.filePath(QStringLiteral("alpha.pfd"));
        QVERIFY(writeTestFile(alpha, scrambled(download("A-1"))));
        auto first = std::make_unique<Document>(shared);
        auto crashed = std::make_unique<Document>(shared);
        QVERIFY(crashed->command("open", alpha));
        const QString left = crashed->folder;
        crashed->crash();
        QVERIFY(QFileInfo::exists(QDir(left).filePath(QStringLiteral("view_only.tmp"))));

        // The next window in an own folder removes the one left behind.
        Document next(shared);
        QVERIFY(!same(next.folder, shared) && !same(next.folder, left));
        QVERIFY(!QFileInfo::exists(left));

        // The shared folder's lock is let go of by a crashed first window too.
        first->crash();
        QVERIFY(same(Document(shared).folder, shared));
        next.quit();
        QCOMPARE(QDir(root.filePath(QStringLiteral("instances")))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--document"))
        return runDocument(arguments.at(2));
    WorkFoldersTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_work_folders.moc"
