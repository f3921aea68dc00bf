// The program's file dialogs never read the files they show: a FIFO in the folder (or
// a device such as /proc/kmsg) would block them for good.
#include <QtTest>
#include <QtWidgets>

#include <atomic>
#include <cstdio>
#include <thread>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include "gui/services/user_dialogs.h"

class FileDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void aFifoInTheFolderDoesNotBlockTheDialogs()
    {
#ifdef Q_OS_WIN
        QSKIP("no FIFOs on Windows");
#else
        QTemporaryDir folder;
        const QString fifo = folder.filePath(QStringLiteral("pipe.xls"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QFile plain(folder.filePath(QStringLiteral("plain.xls")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();

        // A dialog that blocks cannot be answered: the watch ends the test instead.
        std::atomic<bool> done{false};
        std::thread watch([&done] {
            for (int i = 0; i < 600 && !done; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!done) {
                std::fputs("FAIL: a file dialog blocked on a FIFO\n", stderr);
                std::_Exit(3);
            }
        });

        QtUserDialogs dialogs;
        int answered = 0;
        for (int kind = 0; kind < 3; ++kind) {
            // Types the FIFO's name, lets the dialog look at the folder, then cancels.
            QTimer::singleShot(0, this, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    QTest::keyClicks(name, QStringLiteral("pipe"));
                QTest::qWait(1500);
                ++answered;
                dialog->reject();
            });
            if (kind == 0)
                QVERIFY(!dialogs.openFileName(nullptr, QStringLiteral("Open"), QStringLiteral("Data|*.xls"), folder.path()));
            else if (kind == 1)
                QVERIFY(!dialogs.saveFileName(nullptr, QStringLiteral("Save"), QStringLiteral("Data|*.xls"), folder.path(),
                                              QStringLiteral("x.xls"), nullptr));
            else
                QVERIFY(!dialogs.folderName(nullptr, QStringLiteral("Folder"), folder.path()));
        }
        done = true;
        watch.join();
        QCOMPARE(answered, 3);
#endif
    }
};

QTEST_MAIN(FileDialogsTest)
#include "test_file_dialogs.moc"
