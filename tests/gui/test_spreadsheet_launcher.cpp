// The real spreadsheet adapter off Windows: the first program found on the PATH gets
// the file, started in the work folder.
#include <QtTest>

#include "gui/spreadsheet_launcher.h"

class SpreadsheetLauncherTest : public QObject {
    Q_OBJECT
private slots:
    void firstProgramOnThePathGetsTheFile()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows hands the file to Excel through the shell");
#else
        QTemporaryDir bin, work;
        const QString record = work.filePath(QStringLiteral("record.txt"));
        const QString file = work.filePath(QStringLiteral("a name with blanks.xls"));
        // Stand-ins that write their name, their folder and their arguments into record.
        const auto standIn = [&](const QString& name) {
            QFile script(bin.filePath(name));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(QStringLiteral("#!/bin/sh\n{ echo %1; pwd; for a in \"$@\"; do echo \"$a\"; done; } "
                                        "> '%2.tmp' && /bin/mv '%2.tmp' '%2'\n")
                             .arg(name, record)
                             .toUtf8());
            script.close();
            QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
        };
        const auto handOver = [&] {
            QFile::remove(record);
            const QByteArray oldPath = qgetenv("PATH");
            qputenv("PATH", QFile::encodeName(bin.path()));
            const bool started = SystemSpreadsheetLauncher().openInSpreadsheet(nullptr, file, work.path());
            qputenv("PATH", oldPath);
            QFile recorded(record);
            if (started)
                (void)QTest::qWaitFor([&] { return recorded.exists(); }, 10000);
            return recorded.open(QIODevice::ReadOnly)
                       ? QString::fromUtf8(recorded.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                       : QStringList();
        };
        const QString folder = QDir(work.path()).canonicalPath();
        standIn(QStringLiteral("gnumeric"));
        standIn(QStringLiteral("localc"));
        QCOMPARE(handOver(), (QStringList{"localc", folder, file}));
        standIn(QStringLiteral("libreoffice"));
        QCOMPARE(handOver(), (QStringList{"libreoffice", folder, "--calc", file}));
#endif
    }
};

QTEST_MAIN(SpreadsheetLauncherTest)
#include "test_spreadsheet_launcher.moc"
