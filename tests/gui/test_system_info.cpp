#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <map>
#include <set>
#include <vector>

#include "gui/system_info.h"
#include "support/quiet_messages.h"

namespace {

// A registry held in memory. Like the real one, a value whose data do not fit the
// caller's buffer cannot be read.
class FakeRegistry final : public RegistryAccess {
public:
    struct Value {
        std::uint32_t type;
        std::string data;
    };
    std::map<std::string, std::map<std::string, Value>> keys;
    std::set<Key> openKeys;

    void setText(const std::string& key, const std::string& name, const std::string& data)
    {
        keys[key][name] = {kRegistryText, data};
    }

    std::optional<Key> openForReading(RegistryRoot, const std::string& keyPath) override
    {
        const auto found = keys.find(keyPath);
        if (found == keys.end())
            return std::nullopt;
        const Key key = nextKey_++;
        handles_[key] = keyPath;
        openKeys.insert(key);
        return key;
    }

    bool queryValue(Key key, const std::string& valueName, std::uint32_t& type,
                    unsigned char* buffer, std::uint32_t& size) override
    {
        const auto& values = keys.at(handles_.at(key));
        const auto found = values.find(valueName);
        if (found == values.end() || found->second.data.size() > size)
            return false;
        std::copy(found->second.data.begin(), found->second.data.end(), buffer);
        type = found->second.type;
        size = static_cast<std::uint32_t>(found->second.data.size());
        return true;
    }

    void close(Key key) override { openKeys.erase(key); }

private:
    Key nextKey_ = 1;
    std::map<Key, std::string> handles_;
};

const std::string kProgramKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

}  // namespace

class SystemInfoTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void registryTextNulAndTypes()
    {
        FakeRegistry registry;
        registry.setText("K", "withNul", std::string("C:\\Tools\\info.exe") + '\0');
        registry.setText("K", "withoutNul", "C:\\Tools\\info.exe");
        registry.setText("K", "full", std::string(1023, 'x') + '\0');
        registry.setText("K", "fullNoNul", std::string(1024, 'y'));
        registry.setText("K", "tooLong", std::string(1024, 'z') + '\0');
        registry.keys["K"]["number"] = {kRegistryNumber, std::string("\x78\x56\x34\xff", 4)};
        registry.keys["K"]["binary"] = {3, std::string("\x01\x02", 2)};

        const auto read = [&](const std::string& key, const std::string& name, bool expected,
                              const std::string& passed = "as passed") {
            std::string result = passed;
            const bool ok = GetKeyValue(registry, RegistryRoot::LocalMachine, key, name, result);
            return ok == expected ? result : std::string("<wrong result for ") + name + ">";
        };
        QCOMPARE(read("K", "withNul", true), std::string("C:\\Tools\\info.exe"));
        QCOMPARE(read("K", "withoutNul", true), std::string("C:\\Tools\\info.exe"));
        QCOMPARE(read("K", "full", true), std::string(1023, 'x'));
        QCOMPARE(read("K", "fullNoNul", true), std::string(1024, 'y'));
        QCOMPARE(read("K", "number", true), std::string("4281620088"));
        // Other types count as read but leave the text as the caller passed it.
        QCOMPARE(read("K", "binary", true), std::string("as passed"));
        // What cannot be read empties the text.
        QCOMPARE(read("K", "tooLong", false), std::string());
        QCOMPARE(read("K", "absent", false), std::string());
        QCOMPARE(read("NoSuchKey", "x", false), std::string());
        QVERIFY(registry.openKeys.empty());  // every opened key was closed again
    }

    void registryFindsTheProgram()
    {
        const QString entry1 = QStringLiteral("C:\\Info\\msinfo32.exe");
        const QString entry2 = QStringLiteral("C:\\Program Files\\Info\\MSINFO32.EXE");
        FakeRegistry both, empty, folder, none;
        both.setText(kProgramKey, "PATH", std::string("C:\\Info\\msinfo32.exe") + '\0');
        both.setText(kFolderKey, "MSINFO", std::string("C:\\Other") + '\0');
        empty.setText(kProgramKey, "PATH", std::string(1, '\0'));
        empty.setText(kFolderKey, "MSINFO", "C:\\Other");
        folder.setText(kFolderKey, "MSINFO", std::string("C:\\Program Files\\Info") + '\0');
        // Entry 1 wins and is started unchanged, even empty; entry 2 is the folder
        // followed by the program's file name, tried only when that file exists.
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
                *c.registry, [&](const QString& path) { probed << path; return c.exists; },
                [&](const QString& path) { started << path; return c.starts; });
            QCOMPARE(result, c.result);
            QCOMPARE(started, c.started);
            QCOMPARE(probed, c.probed);
        }
    }

    void pathSearch()
    {
        std::set<QString> executables;
        std::vector<QString> asked;
        auto isExecutable = [&](const QString& path) {
            asked.push_back(path);
            return executables.count(path) > 0;
        };

        executables = {QStringLiteral("/opt/b/kinfocenter")};
        QCOMPARE(findSystemInfoProgram(QStringLiteral("/usr/a:/opt/b"), u':', isExecutable),
                 QStringLiteral("/opt/b/kinfocenter"));

        // The more suitable program wins over the earlier folder.
        executables = {QStringLiteral("/usr/a/gnome-system-monitor"), QStringLiteral("/opt/b/hardinfo")};
        QCOMPARE(findSystemInfoProgram(QStringLiteral("/usr/a:/opt/b"), u':', isExecutable),
                 QStringLiteral("/opt/b/hardinfo"));

        // Not found; an empty PATH, or empty entries in it, never mean the current folder.
        asked.clear();
        executables = {QStringLiteral("hardinfo"), QStringLiteral("./hardinfo")};
        QCOMPARE(findSystemInfoProgram(QStringLiteral("/usr/a"), u':', isExecutable), QString());
        asked.clear();
        QCOMPARE(findSystemInfoProgram(QString(), u':', isExecutable), QString());
        QCOMPARE(findSystemInfoProgram(QStringLiteral("::"), u':', isExecutable), QString());
        QVERIFY(asked.empty());
    }

#ifndef Q_OS_WIN
    void desktopLauncherStartsFromPath()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString marker = dir.filePath(QStringLiteral("started"));
        // A non-executable file of the preferred name is passed over.
        QFile plain(dir.filePath(QStringLiteral("hardinfo")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QFile script(dir.filePath(QStringLiteral("kinfocenter")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho \"$#\" > '%1'\n").arg(marker).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        const QByteArray savedPath = qgetenv("PATH");
        DesktopSystemInfoLauncher launcher;
        qputenv("PATH", (QDir::tempPath() + QStringLiteral("/kestrava-none:") + dir.path()).toLocal8Bit());
        const bool started = launcher.start();
        qputenv("PATH", dir.filePath(QStringLiteral("empty")).toLocal8Bit());
        const bool startedWithout = launcher.start();
        qputenv("PATH", QByteArray());
        const bool startedEmpty = launcher.start();
        qputenv("PATH", savedPath);

        QVERIFY(started);
        QTRY_VERIFY(QFile::exists(marker));
        QFile result(marker);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll().trimmed(), QByteArray("0"));  // started without arguments
        QVERIFY(!startedWithout);
        QVERIFY(!startedEmpty);

        QVERIFY(!startProgramDetached(QString()));
        QVERIFY(!startProgramDetached(dir.filePath(QStringLiteral("no-such-program"))));
    }
#endif
};

QTEST_MAIN(SystemInfoTest)
#include "test_system_info.moc"
