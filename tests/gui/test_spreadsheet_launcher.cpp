// The real spreadsheet adapter off Windows: the first program found on the PATH gets
// the file, started in the work folder.
#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "gui/spreadsheet_launcher.h"

namespace {

// A stand-in program that writes its name, its folder and its arguments into record.
void writeStandIn(const QString& folder, const QString& name, const QString& record)
{
    QFile script(QDir(folder).filePath(name));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\n{ echo %1; pwd; for a in \"$@\"; do echo \"$a\"; done; "
                                "echo end; } > '%2.tmp' && /bin/mv '%2.tmp' '%2'\n")
                     .arg(name, record)
                     .toUtf8());
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
}

// Hands file over with only bin on the PATH; returns what the started program recorded.
QStringList handOver(const QString& bin, const QString& file, const QString& work)
{
    const QString record = QDir(work).filePath(QStringLiteral("record.txt"));
    QFile::remove(record);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin));
    SystemSpreadsheetLauncher launcher;
    const bool started = launcher.openInSpreadsheet(nullptr, file, work);
    qputenv("PATH", oldPath);
    if (!started)
        return {};
    QDeadlineTimer deadline(10000);
    while (!QFile::exists(record) && !deadline.hasExpired())
        QTest::qWait(20);
    QFile recorded(record);
    if (!recorded.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(recorded.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}  // namespace

class SpreadsheetLauncherTest : public QObject {
    Q_OBJECT
private slots:
    void firstProgramOnThePathGetsTheFile()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows hands the file to Excel through the shell");
#else
        QTemporaryDir bin;
        QTemporaryDir work;
        const QString record = QDir(work.path()).filePath(QStringLiteral("record.txt"));
        const QString file = QDir(work.path()).filePath(QStringLiteral("a name with blanks.xls"));
        const QString folder = QDir(work.path()).canonicalPath();

        writeStandIn(bin.path(), QStringLiteral("gnumeric"), record);
        writeStandIn(bin.path(), QStringLiteral("localc"), record);
        QCOMPARE(handOver(bin.path(), file, work.path()),
                 (QStringList{QStringLiteral("localc"), folder, file, QStringLiteral("end")}));

        writeStandIn(bin.path(), QStringLiteral("libreoffice"), record);
        QCOMPARE(handOver(bin.path(), file, work.path()),
                 (QStringList{QStringLiteral("libreoffice"), folder, QStringLiteral("--calc"), file,
                              QStringLiteral("end")}));
#endif
    }
};

QTEST_MAIN(SpreadsheetLauncherTest)
#include "test_spreadsheet_launcher.moc"
