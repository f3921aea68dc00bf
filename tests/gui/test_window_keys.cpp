// The window driven by keyboard: menu keys, Enter in the filter boxes, the
// title and the recent files after an open, the find bar.
#include <QtTest>
#include <QtWidgets>

#include "gui/view/find_bar.h"
#include "gui/view/listing_view.h"
#include "gui/app/recent_files_menu.h"
#include "support/quiet_messages.h"
#include "support/sample_records.h"
#include "support/window_fixture.h"

class WindowKeysTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void menuKeysAndEnter()
    {
        WindowFixture f(kPolish);
        Kestrava_Main& w = *f.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f.dialogs.openRequests.size(), 1);
        for (QAction* item : w.findChildren<QAction*>()) {
            QVERIFY2(!item->text().contains(QLatin1Char('&')) || item->parent() == w.Menu_Recent,
                     qPrintable(item->text()));
            if (item->isSeparator())
                QVERIFY(item->text().isEmpty());
        }
        // Enter in the error box presses its button: a bad number is refused.
        w.Frame1->Option1[2]->click();
        QTest::keyClicks(w.Frame1->Text_Error, QStringLiteral("E27"));
        QTest::keyClick(w.Frame1->Text_Error, Qt::Key_Return);
        QCOMPARE(f.dialogs.messages.value(0).text, QStringLiteral("Niewlasciwy kod bledu"));
        w.Frame1->Option1[1]->click();
        QTest::keyClicks(w.Frame1->Text_From, QStringLiteral("x"));
        QTest::keyClick(w.Frame1->Text_From, Qt::Key_Enter);
        QCOMPARE(f.dialogs.messages.value(1).text, QStringLiteral("Bledna data Od"));
        QTest::keyClick(&w, Qt::Key_F10);
        QCOMPARE(w.menuBar()->activeAction(), w.Menu_File->menuAction());
    }

    void titleAndRecentFiles()
    {
        WindowFixture f(kPolish);
        Kestrava_Main& w = *f.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Analizator danych o zgrzewach"));
        const QString first =
            f.writeFile(QStringLiteral("orv_sample.pfd"), scrambled(orvSample(3)));
        const QString second = f.writeFile(QStringLiteral("b.xls"), orvSample(3));
        f.openThroughMenu(first);
        QCOMPARE(w.windowTitle(), QStringLiteral("orv_sample.pfd - Analizator danych o zgrzewach"));
        f.openThroughMenu(second);
        f.openThroughMenu(f.writeFile(QStringLiteral("c.txt"), "x"));  // refused: not listed
        QCOMPARE(w.Menu_Recent->files(), (QStringList{second, first}));
        // A file gone since the menu was made: chosen, it is said to be gone and dropped.
        QFile::remove(second);
        w.Menu_Recent->actions().value(0)->trigger();
        QCOMPARE(w.Menu_Recent->files(), QStringList{first});
        QVERIFY(f.dialogs.messages.last().text.contains(QStringLiteral("ostatnich")));
        w.Menu_Recent->actions().value(0)->trigger();
        QCOMPARE(w.windowTitle(), QStringLiteral("orv_sample.pfd - Analizator danych o zgrzewach"));
    }

    // The reason and the program that has the file now are said.
    void handOverSaysWhy()
    {
        WindowFixture f(kPolish);
        f.spreadsheet.program = QStringLiteral("LibreOffice Calc");
        QByteArray unknownHeader = orvSample(2);
        f.openThroughMenu(
            f.writeFile(QStringLiteral("x.xls"), unknownHeader.replace(0, 4, "Spaw")));
        QVERIFY(f.text().endsWith(
            QStringLiteral("\n\nPlik otworzyl sie w programie LibreOffice Calc")));
        f.openThroughMenu(
            f.writeFile(QStringLiteral("y.xls"), "Weld No\tSerial No\r\n1\tS-1\tx\tx\r\n"));
        QCOMPARE(f.dialogs.messages.size(), 2);
        QVERIFY(f.dialogs.messages[0].title.contains(QStringLiteral("nazwy kolumny")));
        QVERIFY(f.dialogs.messages[1].title.contains(QStringLiteral("w polu 3 ani 4")));
        QVERIFY(
            f.dialogs.messages[1].text.endsWith(QStringLiteral("w programie LibreOffice Calc")));
    }

    void findBar()
    {
        WindowFixture f(kPolish);
        Kestrava_Main& w = *f.window;
        f.openThroughMenu(f.writeFile(QStringLiteral("a.xls"), orvSample(150)));
        w.show();
        ListingView& view = *w.Text1;
        const auto find = [&](const QString& text, QAction* key) {
            w.Find_Bar->Text_Find->setText(text);
            key->trigger();
            return std::pair{view.selectedText(), view.cursorPosition().line};
        };
        const auto [text, line] = find(QStringLiteral("s-1"), w.Action_FindNext);
        QCOMPARE(text, QStringLiteral("S-1"));
        QVERIFY(w.Find_Bar->isVisibleTo(&w));
        const auto next = find(QStringLiteral("s-1"), w.Action_FindNext);
        QVERIFY(next.second > line);
        QCOMPARE(find(QStringLiteral("s-1"), w.Action_FindPrevious).second, line);
        // Backward from the first goes round to the last (S-149), scrolled into view.
        const auto last = find(QStringLiteral("s-1"), w.Action_FindPrevious);
        QVERIFY(last.second > next.second && view.firstVisibleLine() > 0);
        // In the box, Shift+Enter finds back and Enter on.
        QTest::keyClick(w.Find_Bar->Text_Find, Qt::Key_Return, Qt::ShiftModifier);
        QVERIFY(view.cursorPosition().line < last.second);
        QTest::keyClick(w.Find_Bar->Text_Find, Qt::Key_Return);
        QCOMPARE(view.cursorPosition().line, last.second);
        QCOMPARE(find(QStringLiteral("zzz"), w.Action_FindNext).second, last.second);
        QCOMPARE(w.Find_Bar->Label_FindResult->text(), QStringLiteral("Nie znaleziono"));
        // Another file: the search's result is of the file before, and goes.
        f.openThroughMenu(f.writeFile(QStringLiteral("b.xls"), orvSample(2)));
        QVERIFY(w.Find_Bar->Label_FindResult->text().isEmpty());
    }
};

QTEST_MAIN(WindowKeysTest)
#include "test_window_keys.moc"
