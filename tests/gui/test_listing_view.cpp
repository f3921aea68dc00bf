// The listing view: line ends, the listing file mapped and replaced, selection and copy
// by program, mouse and keyboard, scroll ranges, code page text painted and copied, the
// context menu.
#include <QtTest>
#include <QtWidgets>
#include <cstdio>

#include "gui/view/listing_view.h"
#include "gui/app/translations.h"
#include "support/quiet_messages.h"
#include "support/save_test_files.h"

namespace {

using Position = ListingView::Position;
constexpr int kMargin = 4;  // the view's space between frame and text

// A shown view of a fixed size, with the listing font of the main window; without
// focus it paints no cursor, so that pictures of it can be compared.
struct ShownView {
    explicit ShownView(bool focus = true)
    {
        QFont font(QStringLiteral("Courier New"), 10);
        font.setStyleHint(QFont::TypeWriter);
        view.setFont(font);
        if (!focus)
            view.setFocusPolicy(Qt::NoFocus);
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }
    // The middle of the left edge of a character cell, in the viewport.
    QPoint cell(qsizetype line, qsizetype column) const
    {
        const double x =
            kMargin + double(column) * view.characterWidth() - view.horizontalScrollBar()->value();
        const int y = kMargin + int(line - view.firstVisibleLine()) * view.lineHeight() +
                      view.lineHeight() / 2;
        return {int(std::lround(x)) + 1, y};
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent event(type, at, view.viewport()->mapToGlobal(at), button, held, modifiers);
        QApplication::sendEvent(view.viewport(), &event);
    }
    void click(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, modifiers);
        mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    QImage picture() { return view.viewport()->grab().toImage(); }

    ListingView view;
};

QByteArray lines(int count, const QByteArray& prefix = "line ")
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += prefix + QByteArray::number(i) + "\r\n";
    return bytes;
}

}  // namespace

class ListingViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        const std::pair<const char*, QStringList> rows[] = {{"", {""}},
                                                            {"ab\r\ncd\r\n", {"ab", "cd", ""}},
                                                            {"ab\r\ncd", {"ab", "cd"}},
                                                            {"a\nb\rc", {"a", "b", "c"}},
                                                            {"x\r\r\ny", {"x", "", "y"}},
                                                            {"x\n\ry", {"x", "", "y"}},
                                                            {"x\r", {"x", ""}},
                                                            {"\r\n\n\r", {"", "", "", ""}}};
        for (const auto& [bytes, expected] : rows)
            QTest::newRow(("bytes " + QByteArray(bytes).toPercentEncoding()).constData())
                << QByteArray(bytes) << expected;
    }
    void lineEnds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        ListingView view;
        view.setListing(bytes, kestrava::Language::English);
        QStringList shown;
        for (qsizetype i = 0; i < view.lineCount(); ++i)
            shown << view.lineText(i);
        QCOMPARE(shown, expected);
        // Given as text, the same lines.
        const QString joined = expected.join(QLatin1Char('\n'));
        view.setPlainText(QString::fromLatin1(bytes));
        QCOMPARE(view.toPlainText(), joined);

        // Mapped from a file with its line starts found as it was written in two pieces,
        // split anywhere (inside a CR LF too), or with the start of a last empty line
        // not reported: the same lines.
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("listing"));
        QVERIFY(writeTestFile(path, bytes));
        for (qsizetype split = 0; split <= bytes.size(); ++split) {
            LineStartFinder finder;
            finder.feed(bytes.constData(), std::size_t(split));
            finder.feed(bytes.constData() + split, std::size_t(bytes.size() - split));
            LineIndex found = finder.finish();
            LineIndex reported;
            for (std::size_t line = 0; line < found.lineCount(); ++line) {
                if (found.start(line) < std::uint64_t(bytes.size()))
                    reported.add(found.start(line));
            }
            for (LineIndex* index : {&found, &reported}) {
                auto model =
                    ListingModel::ofFile(path, std::move(*index), kestrava::Language::English);
                QVERIFY(model);
                view.setModel(std::move(*model));
                QCOMPARE(view.toPlainText(), joined);
            }
        }
    }

    void listingFileReplaced()
    {
#ifdef Q_OS_WIN
        QSKIP("a mapped file cannot be replaced on Windows (the window renames it aside instead)");
#endif
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("display_only.tmp"));
        const QByteArray first = lines(3);
        ListingView view;
        const auto showFirst = [&] {
            QVERIFY(writeTestFile(path, first));
            view.setModel(*ListingModel::ofFile(
                path, LineIndex::ofBytes(first.constData(), std::size_t(first.size())),
                kestrava::Language::English));
        };
        showFirst();
        // The next listing is written beside it and put in its place: the shown one stays.
        QVERIFY(writeTestFile(path + QStringLiteral(".new"), lines(5, "other ")));
        QCOMPARE(std::rename(QFile::encodeName(path + QStringLiteral(".new")).constData(),
                             QFile::encodeName(path).constData()),
                 0);
        QCOMPARE(view.lineText(2), QStringLiteral("line 2"));
        // Let go of while a file is replaced, a mapping is taken back only from the same
        // file; another leaves the view empty.
        showFirst();
        view.letGoOfFile();
        QCOMPARE(view.lineText(1), QString());
        QVERIFY(view.takeBackFile());
        QCOMPARE(view.lineText(1), QStringLiteral("line 1"));
        // Renamed aside and back, as where a mapped file cannot be replaced.
        QVERIFY(view.moveFile(path + QStringLiteral(".aside")));
        QVERIFY(!QFile::exists(path));
        QVERIFY(view.moveFile(path));
        QCOMPARE(view.model().fileName(), path);
        QCOMPARE(view.lineText(2), QStringLiteral("line 2"));
        view.letGoOfFile();
        QVERIFY(writeTestFile(path, lines(5, "other ")));
        QVERIFY(!view.takeBackFile());
        QCOMPARE(view.toPlainText(), QString());
    }

    void selectionAndCopyAcrossLines()
    {
        ShownView shown;
        ListingView& view = shown.view;
        view.setListing("Weld No | Error\r\n1001    | 0\r\n1002    | 27\r\n",
                        kestrava::Language::English);
        view.setSelection({0, 5}, {2, 4});
        const QString expected = QStringLiteral("No | Error\n1001    | 0\n1002");
        QCOMPARE(view.selectedText(), expected);
        view.copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
        // Backwards gives the same text; positions outside the text are held inside it.
        view.setSelection({2, 4}, {0, 5});
        QCOMPARE(view.selectedText(), expected);
        view.setSelection({1, 99}, {7, 99});
        QCOMPARE(view.selectedText(), QStringLiteral("\n1002    | 27\n"));

        // Mouse: press, drag, release select character cells; shift-click extends.
        shown.mouse(QEvent::MouseButtonPress, shown.cell(0, 5), Qt::LeftButton, Qt::LeftButton);
        shown.mouse(QEvent::MouseMove, shown.cell(1, 4), Qt::NoButton, Qt::LeftButton);
        shown.mouse(QEvent::MouseButtonRelease, shown.cell(1, 4), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(view.selectedText(), QStringLiteral("No | Error\n1001"));
        shown.click(shown.cell(2, 2), Qt::ShiftModifier);
        QCOMPARE(view.selectedText(), QStringLiteral("No | Error\n1001    | 0\n10"));
        // A plain click drops the selection; a move without the button selects nothing.
        shown.click(shown.cell(1, 2));
        shown.mouse(QEvent::MouseMove, shown.cell(2, 3), Qt::NoButton, Qt::NoButton);
        QVERIFY(!view.hasSelection());
        QCOMPARE(view.cursorPosition(), (Position{1, 2}));
        // Double-click takes the word.
        shown.mouse(QEvent::MouseButtonDblClick, shown.cell(0, 11), Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(view.selectedText(), QStringLiteral("Error"));
    }

    void keyboard()
    {
        ShownView shown;
        ListingView& view = shown.view;
        view.setListing(lines(100), kestrava::Language::English);
        view.setFocus();

        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down})
            QTest::keyClick(&view, key, Qt::ShiftModifier);
        QCOMPARE(view.selectedText(), QStringLiteral("line 0\nli"));
        QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(view.selectedText(), QStringLiteral("line 0\nline 1"));
        // Right at a line's end goes on to the next line; Left without shift leaves the
        // selection at its start.
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(view.cursorPosition(), (Position{2, 0}));
        QTest::keyClick(&view, Qt::Key_Left);
        QVERIFY(!view.hasSelection());
        QCOMPARE(view.cursorPosition(), (Position{0, 0}));

        // Up and down keep the column over a shorter line ("line 10" -> "line 9").
        view.setSelection({10, 7}, {10, 7});
        QTest::keyClick(&view, Qt::Key_Up);
        QCOMPARE(view.cursorPosition(), (Position{9, 6}));
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(view.cursorPosition(), (Position{10, 7}));

        // Pages scroll the view with the cursor; the document's end shows the last line.
        QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(view.firstVisibleLine(), 0);
        QTest::keyClick(&view, Qt::Key_PageDown);
        QVERIFY(view.cursorPosition().line > 5);
        QVERIFY(view.firstVisibleLine() > 0);
        QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(view.cursorPosition(), (Position{100, 0}));
        QCOMPARE(view.firstVisibleLine(), view.verticalScrollBar()->maximum());
        QTest::keyClick(&view, Qt::Key_PageUp);
        QVERIFY(view.firstVisibleLine() < view.verticalScrollBar()->maximum());

        // Ctrl+A and Ctrl+C: the whole text to the clipboard.
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), view.toPlainText());

        // An empty listing drops the selection; keys, Ctrl+A and Ctrl+C and a click then
        // move nothing and copy nothing.
        view.setListing(QByteArray(), kestrava::Language::Polish);
        QVERIFY(!view.hasSelection());
        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_PageDown, Qt::Key_End})
            QTest::keyClick(&view, key, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        shown.click(QPoint(200, 150));
        QCOMPARE(view.cursorPosition(), (Position{0, 0}));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
    }

    void scrollRanges()
    {
        ShownView shown;
        ListingView& view = shown.view;
        view.setPlainText(QStringLiteral("No file loaded"));
        QCOMPARE(view.verticalScrollBar()->maximum(), 0);
        QCOMPARE(view.horizontalScrollBar()->maximum(), 0);

        // The horizontal range comes from the longest line, whichever line it is.
        QByteArray bytes = lines(3);
        bytes += QByteArray(300, ' ') + "#\r\n" + lines(3);
        view.setListing(bytes, kestrava::Language::English);
        QVERIFY(view.horizontalScrollBar()->maximum() + view.viewport()->width() >=
                301 * view.characterWidth());
        QCOMPARE(view.verticalScrollBar()->maximum(), 0);

        // Vertically: lines less those that fit; the wheel scrolls.
        view.setListing(lines(1000), kestrava::Language::English);
        QCOMPARE(view.horizontalScrollBar()->value(), 0);
        QTRY_VERIFY(!view.horizontalScrollBar()->isVisible());  // the viewport grows
        const int fit = (view.viewport()->height() - 2 * kMargin) / view.lineHeight();
        QCOMPARE(view.verticalScrollBar()->maximum(), 1001 - fit);
        QCOMPARE(view.verticalScrollBar()->pageStep(), fit);
        QWheelEvent wheel(QPointF(50, 50), view.viewport()->mapToGlobal(QPointF(50, 50)), {},
                          {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &wheel);
        QVERIFY(view.firstVisibleLine() > 0);

        // A drag held below the view scrolls it on and selects as it goes.
        view.verticalScrollBar()->setValue(0);
        shown.mouse(QEvent::MouseButtonPress, shown.cell(0, 0), Qt::LeftButton, Qt::LeftButton);
        const QPoint below(20, view.viewport()->height() + 10);
        shown.mouse(QEvent::MouseMove, below, Qt::NoButton, Qt::LeftButton);
        const qsizetype firstStep = view.cursorPosition().line;
        QVERIFY(firstStep >= fit);
        QVERIFY(view.firstVisibleLine() > 0);
        QTRY_VERIFY(view.cursorPosition().line > firstStep + 2);
        shown.mouse(QEvent::MouseButtonRelease, below, Qt::LeftButton, Qt::NoButton);
        const qsizetype released = view.cursorPosition().line;
        QTest::qWait(150);
        QCOMPARE(view.cursorPosition().line, released);  // the release stops the scrolling
        QCOMPARE(view.anchorPosition(), (Position{0, 0}));
        // A new text starts again at the top.
        view.setPlainText(QStringLiteral("No file loaded"));
        QCOMPARE(view.firstVisibleLine(), 0);
        QVERIFY(!view.hasSelection());
    }

    void polishLettersFromCodePage()
    {
        const QString letters = QString::fromUtf8("Łódź Żółć ąęśń");
        const QByteArray windows1250 = "\xA3\xF3\x64\x9F \xAF\xF3\xB3\xE6 \xB9\xEA\x9C\xF1";

        ShownView bytesShown(false);
        bytesShown.view.setListing(windows1250 + "\r\n", kestrava::Language::Polish);
        QCOMPARE(bytesShown.view.lineText(0), letters);
        bytesShown.view.setSelection({0, 0}, {1, 0});
        bytesShown.view.copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), letters + QLatin1Char('\n'));
        bytesShown.view.setSelection({0, 0}, {0, 0});

        // Painted as the same text given as text, and not as the other code page.
        ShownView textShown(false);
        textShown.view.setPlainText(letters + QStringLiteral("\n"));
        QCOMPARE(bytesShown.picture(), textShown.picture());
        bytesShown.view.setListing(windows1250 + "\r\n", kestrava::Language::English);
        QVERIFY(bytesShown.view.lineText(0) != letters);
        QVERIFY(bytesShown.picture() != textShown.picture());
    }

    void contextMenu()
    {
        installTranslations(kestrava::Language::Polish);
        ListingView view;
        view.setListing(lines(3), kestrava::Language::Polish);
        std::unique_ptr<QMenu> menu(view.createContextMenu());
        auto* copyAction = menu->findChild<QAction*>(QStringLiteral("copy"));
        auto* allAction = menu->findChild<QAction*>(QStringLiteral("selectAll"));
        QVERIFY(copyAction && allAction);
        QCOMPARE(allAction->text(), QStringLiteral("Zaznacz wszystko"));
        QVERIFY(!copyAction->isEnabled());  // nothing selected yet
        allAction->trigger();
        menu.reset(view.createContextMenu());
        copyAction = menu->findChild<QAction*>(QStringLiteral("copy"));
        QVERIFY(copyAction->isEnabled());
        copyAction->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("line 0\nline 1\nline 2\n"));
        installTranslations(kestrava::Language::English);
    }
};

QTEST_MAIN(ListingViewTest)
#include "test_listing_view.moc"
