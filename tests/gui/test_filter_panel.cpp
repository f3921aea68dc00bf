// The filter panel: its three states, the checks of its inputs and their messages,
// and the listing it has made again.
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

int listingLineCount(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return int(lines.size());
}

QList<bool> boldOptions(Kestrava_Main& w)
{
    return {w.Option1[0]->font().bold(), w.Option1[1]->font().bold(), w.Option1[2]->font().bold()};
}

bool dateSetShown(Kestrava_Main& w)
{
    return !w.Label_From->isHidden() && !w.Label_To->isHidden() && !w.Text_From->isHidden() &&
           !w.Text_To->isHidden() && !w.Command_Dates->isHidden();
}

bool errorSetShown(Kestrava_Main& w)
{
    return !w.Label_Error->isHidden() && !w.Text_Error->isHidden() && !w.Command_Error->isHidden();
}

// A shown, active window with ten ORV records loaded (dated 01/01/2009 to 10/01/2009).
void loadTen(WindowFixture& f)
{
    f.window->show();
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.openThroughMenu(f.writeFile(QStringLiteral("ten.xls"), orvSample(10)));
    QCOMPARE(listingLineCount(f.text()), 11);
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
        w.Text_To->setText(QStringLiteral("old"));
        w.Text_Error->setText(QStringLiteral("old"));

        w.Option1[1]->setChecked(true);
        QVERIFY(dateSetShown(w));
        QVERIFY(!errorSetShown(w) && w.Label_Error->isHidden());
        QVERIFY(w.Text_From->text().isEmpty() && w.Text_To->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), w.Text_From);
        QCOMPARE(boldOptions(w), (QList<bool>{false, true, false}));
        QVERIFY(w.state().ListingFiltered);
        QCOMPARE(f.text(), listing);  // nothing listed again
        QVERIFY(!w.state().DateFilterOn);

        w.Option1[2]->setChecked(true);
        QVERIFY(errorSetShown(w));
        QVERIFY(w.Text_From->isHidden() && w.Label_To->isHidden() && w.Command_Dates->isHidden());
        QVERIFY(w.Text_Error->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), w.Text_Error);
        QCOMPARE(boldOptions(w), (QList<bool>{false, false, true}));
        QVERIFY(!w.state().ListingFiltered);
        QCOMPARE(f.text(), listing);

        w.Option1[0]->setChecked(true);
        QVERIFY(!dateSetShown(w) && !errorSetShown(w));
        QVERIFY(w.Command_Error->isHidden());
        QCOMPARE(boldOptions(w), (QList<bool>{true, false, false}));
        QCOMPARE(f.dialogs.openRequests.size(), 1);  // re-listed without asking
        QCOMPARE(f.text(), listing);
    }

    void dateMessages()
    {
        {
            WindowFixture f(kPolish);
            loadTen(f);
            Kestrava_Main& w = *f.window;
            f.dialogs.messageAnswer = 1;
            filterDates(w, QStringLiteral("abc"), QStringLiteral("xyz"));
            QCOMPARE(f.dialogs.messages.size(), 1);
            QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("Bledna data Od"));
            QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Bledna data Od"));
            QCOMPARE(f.dialogs.messages[0].icon, MessageIcon::Exclamation);
            QCOMPARE(w.shared().LastMsgBoxAnswer, QStringLiteral("1"));
            QCOMPARE(QApplication::focusWidget(), w.Text_From);
            QCOMPARE(w.Text_From->text(), QStringLiteral("abc"));
            QCOMPARE(w.Text_To->text(), QStringLiteral("xyz"));

            // A tab or a date that does not exist is no date either.
            w.Text_From->setText(QStringLiteral("01/01/2009"));
            w.Text_To->setText(QStringLiteral("31/04/2009"));
            w.Command_Dates->click();
            QCOMPARE(f.dialogs.messages.size(), 2);
            QCOMPARE(f.dialogs.messages[1].text, QStringLiteral("Bledna data Do"));
            QCOMPARE(QApplication::focusWidget(), w.Text_To);
            QVERIFY(!w.state().DateFilterOn);
            QCOMPARE(listingLineCount(f.text()), 11);
        }
        {
            WindowFixture f(kEnglish);
            loadTen(f);
            filterDates(*f.window, QStringLiteral("02/01/2009"), QStringLiteral("2/1/09x"));
            QCOMPARE(f.dialogs.messages.size(), 1);
            QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("Invalid To Date"));
            QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Kestrava"));
            QCOMPARE(f.dialogs.messages[0].icon, MessageIcon::None);
            QVERIFY(f.window->shared().LastMsgBoxAnswer.isEmpty());
        }
        {
            WindowFixture f(kOtherLanguage);
            loadTen(f);
            filterDates(*f.window, QStringLiteral("abc"), QStringLiteral("xyz"));
            QVERIFY(f.dialogs.messages.isEmpty());
            QCOMPARE(QApplication::focusWidget(), f.window->Text_From);
        }
    }

    void errorNumberMessages_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("letter and number") << "E27";
        QTest::newRow("empty") << "";
        QTest::newRow("above 16 bits") << "32768";
        QTest::newRow("below 16 bits") << "-32769";
        QTest::newRow("huge exponent") << "1e9";
    }

    void errorNumberMessages()
    {
        QFETCH(QString, text);
        WindowFixture f(kPolish);
        loadTen(f);
        Kestrava_Main& w = *f.window;
        filterError(w, text);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("Niewlasciwy kod bledu"));
        QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Niewlasciwy kod bledu"));
        QVERIFY(w.Text_Error->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), w.Text_Error);
        QVERIFY(!w.state().ErrorFilterOn);
        QVERIFY(!w.state().ListingFiltered);
        QCOMPARE(listingLineCount(f.text()), 11);
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
        QCOMPARE(f.dialogs.openRequests.size(), 1);
    }

    void filteredListings()
    {
        WindowFixture f(kPolish);
        loadTen(f);
        Kestrava_Main& w = *f.window;

        // Bounds are whole days, both included.
        filterDates(w, QStringLiteral("03/01/2009"), QStringLiteral("5/1/2009"));
        QCOMPARE(listingLineCount(f.text()), 4);
        QVERIFY(f.text().contains(QStringLiteral("S-3")) && f.text().contains(QStringLiteral("S-5")));
        QVERIFY(!f.text().contains(QStringLiteral("S-6")));
        QVERIFY(w.state().ListingFiltered);
        QVERIFY(!w.state().DateFilterOn);  // the request is spent by the run
        QVERIFY(w.state().LastListingFilter.dateOn);
        QCOMPARE(w.shared().MachineSerial, std::string("S-5"));

        // A From date after the To date lists no record.
        filterDates(w, QStringLiteral("31/12/2009"), QStringLiteral("1/1/2009"));
        QCOMPARE(listingLineCount(f.text()), 1);

        // Error 27: records 2, 5, 7 and 10; only they are counted.
        filterError(w, QStringLiteral("27"));
        QCOMPARE(listingLineCount(f.text()), 5);
        QCOMPARE((*w.shared().ErrorCodeTable)[8].count, 4);
        QCOMPARE((*w.shared().ErrorCodeTable)[0].count, 0);
        QCOMPARE(w.shared().MachineSerial, std::string("S-10"));

        // A date range on top of the error filter keeps both.
        filterDates(w, QStringLiteral("01/01/2009"), QStringLiteral("06/01/2009"));
        QVERIFY(w.state().ErrorFilterOn);
        QVERIFY(w.state().LastListingFilter.dateOn && w.state().LastListingFilter.errorOn);
        QCOMPARE(listingLineCount(f.text()), 3);

        // "Show ALL Records" by hand lists everything again and drops both filters.
        w.Option1[0]->setChecked(true);
        QCOMPARE(listingLineCount(f.text()), 11);
        QVERIFY(!w.state().ErrorFilterOn && !w.state().DateFilterOn);
        QVERIFY(!w.state().ListingFiltered);
        QVERIFY(!w.state().LastListingFilter.dateOn && !w.state().LastListingFilter.errorOn);
        QCOMPARE(f.dialogs.openRequests.size(), 1);
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void requestsWithoutAFileAskForOne()
    {
        WindowFixture f(kPolish);
        Kestrava_Main& w = *f.window;
        filterDates(w, QStringLiteral("01/01/2009"), QStringLiteral("02/01/2009"));
        QCOMPARE(f.dialogs.openRequests.size(), 1);
        QVERIFY(w.Option1[0]->isChecked());
        QVERIFY(!dateSetShown(w));

        filterError(w, QStringLiteral("27"));
        QCOMPARE(f.dialogs.openRequests.size(), 2);
        QVERIFY(!w.state().ErrorFilterOn);

        // Choosing a file there lists it whole.
        f.dialogs.openAnswers.push_back(f.writeFile(QStringLiteral("t.xls"), orvSample(6)));
        w.Option1[1]->setChecked(true);
        w.Option1[0]->setChecked(true);
        QCOMPARE(f.dialogs.openRequests.size(), 3);
        QCOMPARE(listingLineCount(f.text()), 7);
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void fiveTzFamilyFilteredByError()
    {
        WindowFixture f(kEnglish);
        f.openThroughMenu(f.writeFile(QStringLiteral("t.xls"), t5zText({"5", "05", " 5", "17"})));
        QCOMPARE(f.window->shared().MachineFamily, kestrava::MachineFamily::T5Z);
        QCOMPARE((*f.window->shared().ErrorCodeTable)[1].label, std::string("E05"));
        QCOMPARE((*f.window->shared().ErrorCodeTable)[1].count, 1);
        // The filter compares numbers: "05" and " 5" match 5, though only "5" is counted.
        filterError(*f.window, QStringLiteral("5"));
        QCOMPARE(listingLineCount(f.text()), 4);
        QCOMPARE((*f.window->shared().ErrorCodeTable)[1].count, 1);
        QCOMPARE(f.window->shared().MachineSerial, std::string("T-3"));
    }
};

QTEST_MAIN(FilterPanelTest)
#include "test_filter_panel.moc"
