// The main window at start-up: captions per language, the brand logo, the layout.
#include <QtTest>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

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
        QCOMPARE(w.windowTitle(), QStringLiteral("Analizator danych o zgrzewach"));
        QCOMPARE(f.text(), QStringLiteral("Nie otwarto zadnego pliku"));
        QCOMPARE(w.Frame1->title(), QStringLiteral("Filtrowanie danych"));
        QCOMPARE(w.Option1[0]->text(), QStringLiteral("Pokaz wszystkie zgrzewy"));
        QCOMPARE(w.Option1[1]->text(), QStringLiteral("Pokaz zgrzewy z wybranego okresu czasu"));
        QCOMPARE(w.Option1[2]->text(), QStringLiteral("Pokaz zgrzewy zakonczone bledem"));
        QCOMPARE(w.Label_From->text(), QStringLiteral("Od (dd/mm/rrrr)"));
        QCOMPARE(w.Label_To->text(), QStringLiteral("Do (dd/mm/rrrr)"));
        QCOMPARE(w.Label_Error->text(), QStringLiteral("Numer Bledu"));
        QCOMPARE(w.Command_Error->text(), QStringLiteral("Filtruj w/g bledu"));
        QCOMPARE(w.Command_Dates->text(), QStringLiteral("Filtruj w/g daty"));
        QCOMPARE(w.Menu_File->title(), QStringLiteral("Plik"));
        QCOMPARE(w.Menu_OpenFile->text(), QStringLiteral("Otwórz Plik"));
        QCOMPARE(w.Menu_SaveFile->text(), QStringLiteral("Zapisz Plik"));
        QCOMPARE(w.Menu_DefaultLoad->text(), QStringLiteral("Ustaw domyslny katalog odczytu danych"));
        QCOMPARE(w.Menu_DefaultSave->text(), QStringLiteral("Ustaw domyslny katalog zapisu danych"));
        QCOMPARE(w.Menu_Close->text(), QStringLiteral("Zakoncz"));
        QCOMPARE(w.Menu_Print->title(), QStringLiteral("Drukuj"));
        QCOMPARE(w.Menu_PrintRecords->text(), QStringLiteral("Drukuj dane"));
        QCOMPARE(w.Menu_Graph->title(), QStringLiteral("Wykres"));
        QCOMPARE(w.Menu_GraphShow->text(), QStringLiteral("Wykres danych"));
        QCOMPARE(w.Menu_Help->title(), QStringLiteral("Pomoc"));
        QCOMPARE(w.Menu_Support->text(), QStringLiteral("Pomoc techniczna"));
        QCOMPARE(w.Menu_Version->text(), QStringLiteral("Wersja oprogramowania"));
        QCOMPARE(w.Menu_Copyright->text(), QStringLiteral("Prawa autorskie"));
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

        QVERIFY(w.Text1->isReadOnly());
        QVERIFY(w.Text1->textInteractionFlags() & Qt::TextSelectableByMouse);
        QCOMPARE(w.Text1->lineWrapMode(), QPlainTextEdit::NoWrap);
        QVERIFY(QFontInfo(w.Text1->font()).fixedPitch());
        QCOMPARE(w.Text1->font().pointSize(), 10);

        // Activating the window again and again keeps the lines unwrapped.
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int i = 0; i < 3; ++i) {
            QEvent activate(QEvent::WindowActivate);
            QCoreApplication::sendEvent(&w, &activate);
        }
        QCOMPARE(w.Text1->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(w.Text1->geometry(), QRect(8, 8, 905, 545));
    }

    void closeProgramEndsTheWindow()
    {
        WindowFixture f(kPolish);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.window->Menu_Close->trigger();
        QVERIFY(!f.window->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
