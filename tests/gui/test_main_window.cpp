// The main window at start-up: captions per language, the brand logo, the layout.
#include <QtTest>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include "gui/listing_view.h"
#include "support/quiet_messages.h"
#include "support/window_fixture.h"

namespace {

QStringList visibleLogos(Kestrava_Main& window)
{
    QStringList names;
    for (QLabel* logo : {window.Picture_brenviksmall, window.Picture_sorvantasmall,
                         window.Picture_teldrumsmall, window.Picture_ombreksmall})
        if (!logo->isHidden())
            names << logo->objectName();
    return names;
}

bool inputsHidden(Kestrava_Main& w)
{
    for (QWidget* input : {static_cast<QWidget*>(w.Text_From), static_cast<QWidget*>(w.Label_From),
                           static_cast<QWidget*>(w.Text_To), static_cast<QWidget*>(w.Label_To),
                           static_cast<QWidget*>(w.Command_Dates), static_cast<QWidget*>(w.Label_Error),
                           static_cast<QWidget*>(w.Text_Error), static_cast<QWidget*>(w.Command_Error)})
        if (!input->isHidden())
            return false;
    return true;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void polishCaptionsAndLogo()
    {
        WindowFixture f(kPolish);
        Kestrava_Main& w = *f.window;
        const QList<QPair<QString, const char*>> captions = {
            {w.windowTitle(), "Analizator danych o zgrzewach"},
            {f.text(), "Nie otwarto zadnego pliku"},
            {w.Frame1->title(), "Filtrowanie danych"},
            {w.Option1[0]->text(), "Pokaz wszystkie zgrzewy"},
            {w.Option1[1]->text(), "Pokaz zgrzewy z wybranego okresu czasu"},
            {w.Option1[2]->text(), "Pokaz zgrzewy zakonczone bledem"},
            {w.Label_From->text(), "Od (dd/mm/rrrr)"},
            {w.Label_To->text(), "Do (dd/mm/rrrr)"},
            {w.Label_Error->text(), "Numer Bledu"},
            {w.Command_Error->text(), "Filtruj w/g bledu"},
            {w.Command_Dates->text(), "Filtruj w/g daty"},
            {w.Menu_File->title(), "Plik"},
            {w.Menu_OpenFile->text(), "Otwórz Plik"},
            {w.Menu_SaveFile->text(), "Zapisz Plik"},
            {w.Menu_DefaultLoad->text(), "Ustaw domyslny katalog odczytu danych"},
            {w.Menu_DefaultSave->text(), "Ustaw domyslny katalog zapisu danych"},
            {w.Menu_Close->text(), "Zakoncz"},
            {w.Menu_Print->title(), "Drukuj"},
            {w.Menu_PrintRecords->text(), "Drukuj dane"},
            {w.Menu_Graph->title(), "Wykres"},
            {w.Menu_GraphShow->text(), "Wykres danych"},
            {w.Menu_Help->title(), "Pomoc"},
            {w.Menu_Support->text(), "Pomoc techniczna"},
            {w.Menu_Version->text(), "Wersja oprogramowania"},
            {w.Menu_Copyright->text(), "Prawa autorskie"},
        };
        for (const auto& [shown, expected] : captions)
            QCOMPARE(shown, QString::fromUtf8(expected));
        QCOMPARE(visibleLogos(w), QStringList{QStringLiteral("Picture_sorvantasmall")});
        QVERIFY(inputsHidden(w));
        QVERIFY(w.Option1[0]->isChecked());
        QVERIFY(w.Option1[0]->font().bold());
        QVERIFY(!w.Option1[1]->font().bold() && !w.Option1[2]->font().bold());
    }

    void englishCaptionsHaveNoAccessKeys()
    {
        WindowFixture f(kEnglish);
        Kestrava_Main& w = *f.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Kestrava Analyser"));
        QCOMPARE(f.text(), QStringLiteral("No file loaded"));
        QCOMPARE(w.Frame1->title(), QStringLiteral("Filter Data!"));
        QCOMPARE(w.Option1[1]->text(), QStringLiteral("Selected Dates Only"));
        QCOMPARE(w.Option1[2]->text(), QStringLiteral("Selected Error Only"));
        QCOMPARE(w.Label_From->text(), QStringLiteral("From: (dd/mm/yyyy)"));
        QCOMPARE(w.Label_To->text(), QStringLiteral("To: (dd/mm/yyyy)"));
        QCOMPARE(w.Menu_OpenFile->text(), QStringLiteral("Open File"));
        QCOMPARE(w.Menu_SaveFile->text(), QStringLiteral("Save File"));
        QCOMPARE(w.Menu_Close->text(), QStringLiteral("Close Program"));
        QCOMPARE(w.Menu_PrintRecords->text(), QStringLiteral("Print Records"));
        QCOMPARE(visibleLogos(w), QStringList{QStringLiteral("Picture_brenviksmall")});
        for (QAction* action : w.findChildren<QAction*>())
            QVERIFY2(!action->text().contains(QLatin1Char('&')), qPrintable(action->text()));
    }

    void otherLanguageKeepsDesignCaptions()
    {
        WindowFixture f({"acme", "German"});
        Kestrava_Main& w = *f.window;
        QCOMPARE(f.text(), QStringLiteral("No file loaded"));
        QCOMPARE(w.Frame1->title(), QStringLiteral(" Filter Data "));
        QCOMPARE(w.Option1[1]->text(), QStringLiteral("Selected Dates only"));
        QCOMPARE(w.Label_From->text(), QStringLiteral("From: (dd/mm/yyyy) "));
        QCOMPARE(w.Menu_OpenFile->text(), QStringLiteral("&Open File"));
        // An unknown brand hides no logo: all four stay, one on top of another.
        QCOMPARE(visibleLogos(w).size(), 4);
    }

    void oneLogoPerBrand_data()
    {
        QTest::addColumn<QString>("brand");
        QTest::addColumn<QString>("logo");
        QTest::newRow("brenvik") << "brenvik" << "Picture_brenviksmall";
        QTest::newRow("sorvanta") << "sorvanta" << "Picture_sorvantasmall";
        QTest::newRow("teldrum") << "teldrum" << "Picture_teldrumsmall";
        QTest::newRow("ombrek") << "ombrek" << "Picture_ombreksmall";
        QTest::newRow("case matters") << "Sorvanta" << "";
    }

    void oneLogoPerBrand()
    {
        QFETCH(QString, brand);
        QFETCH(QString, logo);
        WindowFixture f({brand.toStdString(), "English"});
        const QStringList shown = visibleLogos(*f.window);
        if (logo.isEmpty())
            QCOMPARE(shown.size(), 4);
        else
            QCOMPARE(shown, QStringList{logo});
    }

    void layoutImagesAndListingView()
    {
        WindowFixture f(kPolish);
        Kestrava_Main& w = *f.window;
        QCOMPARE(w.Text1->geometry(), QRect(8, 8, 905, 545));
        QCOMPARE(w.Frame1->geometry(), QRect(8, 560, 905, 89));
        QCOMPARE(w.Option1[2]->geometry(), QRect(8, 56, 321, 17));
        QCOMPARE(w.Text_From->geometry(), QRect(328, 24, 113, 27));
        QCOMPARE(w.Label_To->geometry(), QRect(520, 48, 97, 33));
        QCOMPARE(w.Text_Error->geometry(), QRect(496, 24, 57, 25));
        QCOMPARE(w.Command_Dates->geometry(), w.Command_Error->geometry());
        QCOMPARE(w.centralWidget()->size(), QSize(920, 665));
        // The window and the options are painted light yellow.
        const QColor lightYellow(255, 255, 192);
        QCOMPARE(QColor(w.centralWidget()->grab().toImage().pixel(4, 600)), lightYellow);
        QCOMPARE(QColor(w.Option1[1]->grab().toImage().pixel(300, 8)), lightYellow);

        const struct { QLabel* box; QSize image; QRect geometry; } logos[] = {
            {w.Picture_brenviksmall, {120, 47}, {776, 24, 121, 49}},
            {w.Picture_sorvantasmall, {125, 37}, {768, 24, 129, 41}},
            {w.Picture_teldrumsmall, {120, 58}, {776, 16, 121, 57}},
            {w.Picture_ombreksmall, {84, 54}, {800, 16, 89, 57}},
        };
        for (const auto& logo : logos) {
            QCOMPARE(logo.box->pixmap().size(), logo.image);
            QCOMPARE(logo.box->geometry(), logo.geometry);
        }
        QVERIFY(w.windowIcon().availableSizes().contains(QSize(32, 32)));

        QVERIFY(QFontInfo(w.Text1->font()).fixedPitch());
        QCOMPARE(w.Text1->font().pointSize(), 10);
        QCOMPARE(w.Text1->focusPolicy(), Qt::StrongFocus);

        // Activating the window again and again keeps the lines unwrapped.
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int i = 0; i < 3; ++i) {
            QEvent activate(QEvent::WindowActivate);
            QCoreApplication::sendEvent(&w, &activate);
        }
        QVERIFY(QFontInfo(w.Text1->font()).fixedPitch());
        QCOMPARE(w.Text1->font().pointSize(), 10);
        QCOMPARE(w.Text1->geometry(), QRect(8, 8, 905, 545));
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
