#include <QtTest>

#include <QTemporaryDir>

#include "gui/work_folder.h"

class WorkFolderTest : public QObject {
    Q_OBJECT
private slots:
    void programFolderWhileWritableElsePerUser()
    {
        QTemporaryDir program;
        QTemporaryDir user;
        QVERIFY(program.isValid() && user.isValid());

        // A writable program folder is the work folder.
        QCOMPARE(chooseWorkFolder(program.path(), user.path()),
                 QDir::toNativeSeparators(program.path()));

        // A missing folder, and the folders of installed programs (even where root
        // could write), send the work files to the per-user folder, which is created.
        const QString perUser = user.filePath(QStringLiteral("Kestrava/kestrava"));
        QCOMPARE(chooseWorkFolder(program.filePath(QStringLiteral("missing")), perUser),
                 QDir::toNativeSeparators(perUser));
        QVERIFY(QFileInfo(perUser).isDir());
#ifndef Q_OS_WIN
        QCOMPARE(chooseWorkFolder(QStringLiteral("/usr/bin"), perUser), perUser);
        QCOMPARE(chooseWorkFolder(QStringLiteral("/opt/kestrava/bin"), perUser), perUser);
#endif
        // Neither folder can be written: said so, naming both.
        QVERIFY(workFolderProblem(program.path(), perUser).isEmpty());
#ifndef Q_OS_WIN
        const QString unwritable = chooseWorkFolder(QStringLiteral("/proc/kestrava"),
                                                    QStringLiteral("/proc/kestrava-user"));
        const QString problem = workFolderProblem(QStringLiteral("/proc/kestrava"), unwritable);
        QVERIFY(problem.contains(QStringLiteral("/proc/kestrava-user")));
        QVERIFY(problem.contains(QStringLiteral("(/proc/kestrava)")));
#endif
        QCOMPARE(workFilePath(program.path(), QStringLiteral("view_only.tmp")),
                 QDir::toNativeSeparators(program.filePath(QStringLiteral("view_only.tmp"))));
    }
};

QTEST_MAIN(WorkFolderTest)
#include "test_work_folder.moc"
