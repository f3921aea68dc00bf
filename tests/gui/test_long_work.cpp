// The window's long work through its runner: a run that is cancelled, closed or refused
// leaves the window with the file and the listing it had before.
#include <QtTest>
#include <QtWidgets>

#include "support/quiet_messages.h"
#include "support/sample_records.h"
#include "support/window_fixture.h"

namespace {

// Cancels the run that is about to start, as the progress dialog's Cancel does.
void cancelNextRun(Kestrava_Main& window)
{
    QTimer::singleShot(0, &window, [&window] {
        if (auto* dialog = window.findChild<QProgressDialog*>())
            emit dialog->canceled();
    });
}

QByteArray savedCopy(WindowFixture& f, const QString& name)
{
    const QString target = f.files.filePath(name);
    f.dialogs.saveAnswers = {target};
    f.window->Menu_SaveFile_Click();
    QFile file(target);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class LongWorkTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void aStoppedOrRefusedOpenKeepsThePreviousFile()
    {
        const QByteArray before = orvSample(3);
        const QByteArray large = orvSample(400000);  // about 35 MB: a run that lasts
        struct {
            const char* name;
            const char* file;
            bool cancel;
            bool close;
            int messages;
        } cases[] = {
            {"cancelled", "large.xls", true, false, 0},
            {"closed", "large.pfd", false, true, 0},
            {"refused name", "large.XLS", false, false, 1},
        };
        for (const auto& c : cases) {
            WindowFixture f(kPolish);
            f.window->show();
            f.openThroughMenu(f.writeFile(QStringLiteral("a.xls"), before));
            const QString listing = f.text();
            const QString path = f.writeFile(QString::fromLatin1(c.file), large);
            if (c.cancel)
                cancelNextRun(*f.window);
            if (c.close)
                QTimer::singleShot(0, f.window.get(), &QWidget::close);
            QElapsedTimer ended;
            ended.start();
            f.openThroughMenu(path);
            QVERIFY2(ended.elapsed() < 1000, c.name);
            QCOMPARE(f.dialogs.messages.size(), c.messages);
            QVERIFY2(f.text() == listing, c.name);
            QVERIFY2(!f.window->findChild<QProgressDialog*>() ||
                         !f.window->findChild<QProgressDialog*>()->isVisible(),
                     c.name);
            if (c.close) {
                QTRY_VERIFY(!f.window->isVisible());
                continue;
            }
            QCOMPARE(savedCopy(f, QStringLiteral("copy.xls")), before);
        }
    }

    void closingDuringAPrintoutEndsIt()
    {
        WindowFixture f(kPolish);
        f.window->show();
        f.loadFile(QStringLiteral("records.xls"), orvSample(20000));
        f.dialogs.acceptPrinter = true;
        QTimer::singleShot(0, f.window.get(), &QWidget::close);
        f.window->Menu_PrintRecords_Click();
        QTRY_VERIFY(!f.window->isVisible());
        QVERIFY(f.printers.printedLines().isEmpty());
    }
};

QTEST_MAIN(LongWorkTest)
#include "test_long_work.moc"
