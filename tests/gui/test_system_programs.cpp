// What the window finds on the system: the system-information program (through the
// registry on Windows, read through a registry held in memory here; on the PATH
// elsewhere), the spreadsheet program off Windows, and the folder for the work files.
#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <map>
#include <set>

#include "gui/platform/spreadsheet_launcher.h"
#include "gui/platform/system_info.h"
#include "gui/app/work_folder.h"

namespace {

// A registry held in memory: key -> value name -> (type, data). Like the real one, a
// value whose data do not fit the caller's buffer cannot be read.
class FakeRegistry final : public RegistryAccess {
public:
    std::map<std::string, std::map<std::string, std::pair<std::uint32_t, std::string>>> keys;
    std::map<Key, std::string> open;  // the keys opened and not closed yet

    std::optional<Key> openForReading(RegistryRoot, const std::string& keyPath) override
    {
        if (!keys.count(keyPath))
            return std::nullopt;
        open[++last_] = keyPath;
        return last_;
    }
    bool queryValue(Key key, const std::string& name, std::uint32_t& type, unsigned char* buffer,
                    std::uint32_t& size) override
    {
        const auto& values = keys.at(open.at(key));
        const auto found = values.find(name);
        if (found == values.end() || found->second.second.size() > size)
            return false;
        std::copy(found->second.second.begin(), found->second.second.end(), buffer);
        type = found->second.first;
        size = std::uint32_t(found->second.second.size());
        return true;
    }
    void close(Key key) override { open.erase(key); }

private:
    Key last_ = 0;
};

}  // namespace

class SystemProgramsTest : public QObject {
    Q_OBJECT
private slots:

    // Text with or without its NUL, up to the 1024-byte buffer; a number as its decimal
    // text; other types read but the text left as passed; what cannot be read empties it.
    void registryValues()
    {
        FakeRegistry registry;
        const std::string exe = "C:\\Tools\\info.exe";
        registry.keys["K"] = {{"withNul", {kRegistryText, exe + '\0'}},
                              {"withoutNul", {kRegistryText, exe}},
                              {"full", {kRegistryText, std::string(1023, 'x') + '\0'}},
                              {"fullNoNul", {kRegistryText, std::string(1024, 'y')}},
                              {"tooLong", {kRegistryText, std::string(1024, 'z') + '\0'}},
                              {"number", {kRegistryNumber, std::string("\x78\x56\x34\xff", 4)}},
                              {"binary", {3, std::string("\x01\x02", 2)}}};
        const std::tuple<const char*, const char*, bool, std::string> cases[] = {
            {"K", "withNul", true, exe},
            {"K", "withoutNul", true, exe},
            {"K", "full", true, std::string(1023, 'x')},
            {"K", "fullNoNul", true, std::string(1024, 'y')},
            {"K", "number", true, "4281620088"},
            {"K", "binary", true, "as passed"},
            {"K", "tooLong", false, ""},
            {"K", "absent", false, ""},
            {"NoSuchKey", "x", false, ""}};
        for (const auto& [key, name, read, text] : cases) {
            std::string result = "as passed";
            QVERIFY2(GetKeyValue(registry, RegistryRoot::LocalMachine, key, name, result) == read,
                     name);
            QCOMPARE(result, text);
        }
        QVERIFY(registry.open.empty());  // every opened key was closed again
    }

    // Entry 1 wins and is started unchanged, even empty; entry 2 is the folder followed
    // by the program's file name, tried only when that file exists.
    void registryFindsTheProgram()
    {
        const std::string programKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
        const std::string folderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
        const QString entry1 = QStringLiteral("C:\\Info\\msinfo32.exe");
        const QString entry2 = QStringLiteral("C:\\Program Files\\Info\\MSINFO32.EXE");
        FakeRegistry both, empty, folder, none;
        both.keys[programKey]["PATH"] = {kRegistryText, entry1.toStdString() + '\0'};
        both.keys[folderKey]["MSINFO"] = {kRegistryText, "C:\\Other"};
        empty.keys[programKey]["PATH"] = {kRegistryText, std::string(1, '\0')};
        empty.keys[folderKey] = both.keys[folderKey];
        folder.keys[folderKey]["MSINFO"] = {kRegistryText,
                                            std::string("C:\\Program Files\\Info") + '\0'};
        const struct {
            FakeRegistry* registry;
            bool exists, starts, result;
            QStringList started, probed;
        } cases[] = {
            {&both, true, true, true, {entry1}, {}},
            {&both, true, false, false, {entry1}, {}},
            {&empty, true, false, false, {QString()}, {}},
            {&folder, true, true, true, {entry2}, {entry2}},
            {&folder, false, true, false, {}, {entry2}},
            {&none, true, true, false, {}, {}},
        };
        for (const auto& c : cases) {
            QStringList started, probed;
            const bool result = startSystemInfoFromRegistry(
                *c.registry,
                [&](const QString& path) {
                    probed << path;
                    return c.exists;
                },
                [&](const QString& path) {
                    started << path;
                    return c.starts;
                });
            QCOMPARE(result, c.result);
            QCOMPARE(started, c.started);
            QCOMPARE(probed, c.probed);
        }
    }

    // The more suitable program wins over an earlier folder; an empty PATH, or empty
    // entries in it, never mean the current folder.
    void pathSearch()
    {
        const std::pair<const char*, std::set<QString>> cases[] = {
            {"/usr/a:/opt/b", {"/opt/b/kinfocenter"}},
            {"/usr/a:/opt/b", {"/usr/a/gnome-system-monitor", "/opt/b/hardinfo"}},
            {"/usr/a", {"hardinfo", "./hardinfo"}},
            {"::", {"hardinfo", "/hardinfo"}},
        };
        QStringList found;
        for (const auto& [path, executables] : cases)
            found << findSystemInfoProgram(
                QString::fromLatin1(path), u':',
                [&](const QString& file) { return executables.count(file) > 0; });
        QCOMPARE(found, (QStringList{"/opt/b/kinfocenter", "/opt/b/hardinfo", "", ""}));
    }

#ifndef Q_OS_WIN
    // The real launchers, with stand-ins on the PATH that record their name, folder and
    // arguments: the system-information program is the first executable one (a
    // non-executable file of a better name is passed over), started without arguments;
    // the spreadsheet program gets the file.
    void launchersStartProgramsFromThePath()
    {
        QTemporaryDir bin, work;
        const QString record = work.filePath(QStringLiteral("record.txt"));
        const auto standIn = [&](const char* name, bool executable = true) {
            QFile script(bin.filePath(QString::fromLatin1(name)));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(QStringLiteral(
                             "#!/bin/sh\n{ echo %1; pwd; for a in \"$@\"; do echo \"$a\"; done; } "
                             "> '%2.tmp' && /bin/mv '%2.tmp' '%2'\n")
                             .arg(QString::fromLatin1(name), record)
                             .toUtf8());
            script.close();
            if (executable)
                QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
        };
        const auto run = [&](const QString& path, const std::function<bool()>& start) {
            QFile::remove(record);
            const QByteArray oldPath = qgetenv("PATH");
            qputenv("PATH", QFile::encodeName(path));
            const bool started = start();
            qputenv("PATH", oldPath);
            QFile recorded(record);
            if (started)
                (void)QTest::qWaitFor([&] { return recorded.exists(); }, 10000);
            return recorded.open(QIODevice::ReadOnly)
                       ? QString::fromUtf8(recorded.readAll())
                             .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                       : QStringList{started ? QStringLiteral("started") : QString()};
        };
        standIn("hardinfo", false);
        standIn("kinfocenter");
        DesktopSystemInfoLauncher info;
        const auto startInfo = [&] { return info.start(); };
        const QStringList started =
            run(bin.filePath(QStringLiteral("missing:")) + bin.path(), startInfo);
        QCOMPARE(started.value(0), QStringLiteral("kinfocenter"));
        QCOMPARE(started.size(), 2);
        QCOMPARE(run(bin.filePath(QStringLiteral("missing")), startInfo), QStringList{QString()});
        QCOMPARE(run(QString(), startInfo), QStringList{QString()});

        const QString file = work.filePath(QStringLiteral("a name with blanks.xls"));
        const auto handOver = [&] {
            return SystemSpreadsheetLauncher().openInSpreadsheet(nullptr, file, work.path());
        };
        const QString folder = QDir(work.path()).canonicalPath();
        standIn("gnumeric");
        standIn("localc");
        QCOMPARE(run(bin.path(), handOver), (QStringList{"localc", folder, file}));
        standIn("libreoffice");
        QCOMPARE(run(bin.path(), handOver), (QStringList{"libreoffice", folder, "--calc", file}));
    }
#endif

    // A writable program folder is the work folder; a missing folder, and the folders of
    // installed programs (even where root could write), send the work files to the
    // per-user folder, which is created; where neither can be written, both are named.
    void programFolderWhileWritableElsePerUser()
    {
        QTemporaryDir program, user;
        const QString perUser = user.filePath(QStringLiteral("Kestrava/kestrava"));
        QCOMPARE(chooseWorkFolder(program.path(), user.path()),
                 QDir::toNativeSeparators(program.path()));
        QCOMPARE(chooseWorkFolder(program.filePath(QStringLiteral("missing")), perUser),
                 QDir::toNativeSeparators(perUser));
        QVERIFY(QFileInfo(perUser).isDir());
        QVERIFY(workFolderProblem(program.path(), perUser).isEmpty());
#ifndef Q_OS_WIN
        QCOMPARE(chooseWorkFolder(QStringLiteral("/usr/bin"), perUser), perUser);
        QCOMPARE(chooseWorkFolder(QStringLiteral("/opt/kestrava/bin"), perUser), perUser);
        const QString problem =
            workFolderProblem(QStringLiteral("/proc/kestrava"),
                              chooseWorkFolder(QStringLiteral("/proc/kestrava"),
                                               QStringLiteral("/proc/kestrava-user")));
        QVERIFY(problem.contains(QStringLiteral("/proc/kestrava-user")) &&
                problem.contains(QStringLiteral("(/proc/kestrava)")));
#endif
    }
};

QTEST_MAIN(SystemProgramsTest)
#include "test_system_programs.moc"
