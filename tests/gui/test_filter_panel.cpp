// The filter panel: its three states, the checks of its inputs, and the listing it
// has made again.
#include <QtTest>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "support/quiet_messages.h"
#include "support/sample_records.h"
#include "support/window_fixture.h"

namespace {

qsizetype lineCount(const QString& text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size();
}

// A shown, active window with ten ORV records loaded (dated 01/01/2009 to 10/01/2009).
void loadTen(WindowFixture& f)
{
    f.window->show();
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.openThroughMenu(f.writeFile(QStringLiteral("ten.xls"), orvSample(10)));
    QCOMPARE(lineCount(f.text()), 11);
}

void filterDates(Kestrava_Main& w, const QString& from, const QString& to)
{
    w.Option1[1]->setChecked(true);
    w.Text_From->setText(from);
    w.Text_To->setText(to);
    w.Command_Dates->click();
}

void filterError(Kestrava_Main& w, const QString& number)
{
    w.Option1[2]->setChecked(true);
    w.Text_Error->setText(number);
    w.Command_Error->click();
}

}  // namespace

class FilterPanelTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void threeStates()
    {
        WindowFixture f(kPolish);
        loadTen(f);
        Kestrava_Main& w = *f.window;
        const QString listing = f.text();
        w.Text_From->setText(QStringLiteral("old"));
        w.Text_Error->setText(QStringLiteral("old"));

        // Choosing an option shows its inputs, emptied and focused, and lists nothing.
        w.Option1[1]->setChecked(true);
        QVERIFY(!w.Text_To->isHidden() && !w.Command_Dates->isHidden() && w.Text_Error->isHidden());
        QVERIFY(w.Text_From->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), w.Text_From);
        QVERIFY(w.Option1[1]->font().bold() && !w.Option1[0]->font().bold());
        w.Option1[2]->setChecked(true);
        QVERIFY(!w.Command_Error->isHidden() && w.Text_From->isHidden());
        QVERIFY(w.Text_Error->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), w.Text_Error);
        QCOMPARE(f.text(), listing);

        // "Show ALL" lists again without asking for a file.
        w.Option1[0]->setChecked(true);
        QVERIFY(w.Command_Error->isHidden() && w.Command_Dates->isHidden());
        QCOMPARE(f.dialogs.openRequests.size(), 1);
        QCOMPARE(f.text(), listing);
    }

    void badInputsAreRefused()
    {
        WindowFixture f(kPolish);
        loadTen(f);
        Kestrava_Main& w = *f.window;
        filterDates(w, QStringLiteral("abc"), QStringLiteral("xyz"));
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("Bledna data Od"));
        QCOMPARE(QApplication::focusWidget(), w.Text_From);
        QCOMPARE(w.Text_To->text(), QStringLiteral("xyz"));  // the inputs are kept

        // A date that does not exist is no date either.
        w.Text_From->setText(QStringLiteral("01/01/2009"));
        w.Text_To->setText(QStringLiteral("31/04/2009"));
        w.Command_Dates->click();
        QCOMPARE(f.dialogs.messages.size(), 2);
        QCOMPARE(f.dialogs.messages[1].text, QStringLiteral("Bledna data Do"));
        QCOMPARE(QApplication::focusWidget(), w.Text_To);

        // Error numbers outside 16 bits, or no number: the input is emptied.
        for (const char* text : {"E27", "", "32768", "-32769", "1e9"}) {
            f.dialogs.clearRecords();
            filterError(w, QString::fromLatin1(text));
            QCOMPARE(f.dialogs.messages.size(), 1);
            QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("Niewlasciwy kod bledu"));
            QVERIFY(w.Text_Error->text().isEmpty());
            QCOMPARE(QApplication::focusWidget(), w.Text_Error);
            QVERIFY(!w.state().ErrorFilterOn);
        }
        QCOMPARE(lineCount(f.text()), 11);
    }

    void errorNumberRounding()
    {
        WindowFixture f(kEnglish);
        loadTen(f);
        Kestrava_Main& w = *f.window;
        const struct { const char* text; int number; } cases[] = {
            {"26.5", 26}, {"27.5", 28}, {" 27 ", 27}, {"-32768", -32768}, {"32767", 32767}};
        for (const auto& c : cases) {
            filterError(w, QString::fromLatin1(c.text));
            QVERIFY2(f.dialogs.messages.isEmpty(), c.text);
            QCOMPARE(int(w.state().FilterErrorNumber), c.number);
        }
    }

    void filteredListings()
    {
        WindowFixture f(kPolish);
        loadTen(f);
        Kestrava_Main& w = *f.window;

        // Bounds are whole days, both included.
        filterDates(w, QStringLiteral("03/01/2009"), QStringLiteral("5/1/2009"));
        QCOMPARE(lineCount(f.text()), 4);
        QVERIFY(f.text().contains(QStringLiteral("S-3")) && !f.text().contains(QStringLiteral("S-6")));
        QCOMPARE(w.shared().MachineSerial, std::string("S-5"));

        // A From date after the To date lists no record.
        filterDates(w, QStringLiteral("31/12/2009"), QStringLiteral("1/1/2009"));
        QCOMPARE(lineCount(f.text()), 1);

        // Error 27: records 2, 5, 7 and 10; only they are counted.
        filterError(w, QStringLiteral("27"));
        QCOMPARE(lineCount(f.text()), 5);
        QCOMPARE((*w.shared().ErrorCodeTable)[8].count, 4);
        QCOMPARE((*w.shared().ErrorCodeTable)[0].count, 0);
        QCOMPARE(w.shared().MachineSerial, std::string("S-10"));

        // A date range on top of the error filter keeps both.
        filterDates(w, QStringLiteral("01/01/2009"), QStringLiteral("06/01/2009"));
        QCOMPARE(lineCount(f.text()), 3);

        // "Show ALL Records" lists everything again and drops both filters.
        w.Option1[0]->setChecked(true);
        QCOMPARE(lineCount(f.text()), 11);
        QVERIFY(!w.state().ErrorFilterOn && !w.state().DateFilterOn && !w.state().ListingFiltered);
        QCOMPARE(f.dialogs.openRequests.size(), 1);
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void requestsWithoutAFileAskForOne()
    {
        WindowFixture f(kPolish);
        Kestrava_Main& w = *f.window;
        filterDates(w, QStringLiteral("01/01/2009"), QStringLiteral("02/01/2009"));
        QCOMPARE(f.dialogs.openRequests.size(), 1);
        QVERIFY(w.Option1[0]->isChecked() && w.Command_Dates->isHidden());
        filterError(w, QStringLiteral("27"));
        QCOMPARE(f.dialogs.openRequests.size(), 2);
        QVERIFY(!w.state().ErrorFilterOn);

        // Choosing a file there lists it whole.
        f.dialogs.openAnswers.push_back(f.writeFile(QStringLiteral("t.xls"), orvSample(6)));
        w.Option1[1]->setChecked(true);
        w.Option1[0]->setChecked(true);
        QCOMPARE(lineCount(f.text()), 7);
    }

    void fiveTzFamilyFilteredByError()
    {
        WindowFixture f(kEnglish);
        f.openThroughMenu(f.writeFile(QStringLiteral("t.xls"), t5zText({"5", "05", " 5", "17"})));
        QCOMPARE(f.window->shared().MachineFamily, kestrava::MachineFamily::T5Z);
        QCOMPARE((*f.window->shared().ErrorCodeTable)[1].count, 1);
        // The filter compares numbers: "05" and " 5" match 5, though only "5" is counted.
        filterError(*f.window, QStringLiteral("5"));
        QCOMPARE(lineCount(f.text()), 4);
        QCOMPARE((*f.window->shared().ErrorCodeTable)[1].count, 1);
        QCOMPARE(f.window->shared().MachineSerial, std::string("T-3"));
    }
};

QTEST_MAIN(FilterPanelTest)
#include "test_filter_panel.moc"
