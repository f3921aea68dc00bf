// The error-code chart window: texts per family and language, counts, serial number,
// printing through the dialogs, saving the chart, and a picture of the window.
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtTest>

#include "gui/form_chart.h"
#include "gui/translations.h"
#include "support/answering_dialogs.h"
#include "support/fake_printer_provider.h"
#include "support/quiet_messages.h"

namespace {

SharedValues values(const char* language, kestrava::MachineFamily family,
                    std::array<std::int64_t, 10> counts, std::string serial)
{
    installTranslations(kestrava::languageFromName(language));
    SharedValues shared;
    shared.profile = kestrava::BuildProfile{"sorvanta", language};
    shared.MachineFamily = family;
    kestrava::ErrorCodeTable table = kestrava::freshErrorCodeTable();
    kestrava::setErrorCodeLabels(table, family);
    for (int i = 0; i < 10; ++i)
        table[i].count = counts[i];
    shared.ErrorCodeTable = table;
    shared.MachineSerial = std::move(serial);
    return shared;
}

QStringList texts(const std::array<QLabel*, 10>& labels)
{
    QStringList out;
    for (QLabel* label : labels)
        out << label->text();
    return out;
}

// Title, chart title, Label12, Label13, Label11, Cmd_Print, Cmd_Close.
QStringList captions(const FormChart& form)
{
    return {form.windowTitle(), form.chart->title(), form.Label12->text(), form.Label13->text(),
            form.Label11->text(), form.Cmd_Print->text(), form.Cmd_Close->text()};
}

QStringList categories(QChart* chart)
{
    const auto axes = chart->axes(Qt::Horizontal);
    if (axes.isEmpty())
        return {};
    return static_cast<QBarCategoryAxis*>(axes.first())->categories();
}

bool writeTestBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QList<qreal> bars(QChart* chart)
{
    QList<qreal> out;
    if (chart->series().isEmpty())
        return out;
    QBarSet* set = static_cast<QBarSeries*>(chart->series().first())->barSets().first();
    for (int i = 0; i < set->count(); ++i)
        out << set->at(i);
    return out;
}

}  // namespace

class FormChartTest : public QObject {
    Q_OBJECT

private:
    AnsweringDialogs dialogs;
    FakePrinterProvider printers;
    QTemporaryDir folder;

    AppServices services()
    {
        AppServices s;
        s.dialogs = &dialogs;
        s.printers = &printers;
        s.workFolder = folder.path();
        return s;
    }

private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void init()
    {
        dialogs = AnsweringDialogs();
        printers = FakePrinterProvider();
    }

    void orvInEnglish()
    {
        FormChart form(values("English", kestrava::MachineFamily::ORV, {12, 0, 3, 0, 0, 0, 1, 0, 0, 2},
                              "ORV-4471"),
                       services());
        QCOMPARE(captions(form), (QStringList{"Graph of Error Codes", "Error Codes", "Qty", "Error Description",
                                              "Error code information for", "Print Graph", "Close Form"}));
        QCOMPARE(form.LabelSerial->text(), QStringLiteral("ORV-4471"));
        QCOMPARE(texts(form.LabelCount),
                 (QStringList{"12", "0", "3", "0", "0", "0", "1", "0", "0", "2"}));
        QCOMPARE(texts(form.descriptionLabels()),
                 (QStringList{"E00 Weld OK", "E20 Low output voltage", "E21 High output voltage",
                              "E22 Excess output voltage", "E23 Low output current",
                              "E24 Shorted turn in fitting", "E25 Stop button pressed",
                              "E26 Relay unlatched", "E27 Fitting open circuit",
                              "E127 Power failure"}));
        QCOMPARE(categories(form.chart),
                 (QStringList{"E00", "E20", "E21", "E22", "E23", "E24", "E25", "E26", "E27", "E127"}));
        QCOMPARE(bars(form.chart), (QList<qreal>{12, 0, 3, 0, 0, 0, 1, 0, 0, 2}));

        // Controls by name, at the design places (twips / 15).
        QCOMPARE(form.findChild<QLabel*>(QStringLiteral("LabelCount3")), form.LabelCount[3]);
        QCOMPARE(form.LabelCount[3]->geometry(), QRect(8, 496, 25, 17));
        QCOMPARE(form.findChild<QLabel*>(QStringLiteral("Label10"))->geometry(), QRect(40, 592, 217, 17));
        QCOMPARE(form.MSChart1->geometry(), QRect(8, 8, 657, 417));
        QCOMPARE(form.size(), QSize(681, 611));
    }

    void fiveTzInPolishAndUnknownFamily()
    {
        FormChart form(values("Polish", kestrava::MachineFamily::T5Z, {0, 4, 0, 0, 0, 0, 0, 0, 7, 0},
                              "5TZ-0099"),
                       services());
        QCOMPARE(captions(form), (QStringList{QString::fromUtf8("Wykres kodów bledów"), QString::fromUtf8("Kody bledów"),
                                              "Ile", "Opis Bledu", "Informacja odnosnie bledu", "Drukuj wykres",
                                              "Zamknij okno"}));
        const QStringList polish5tz = {
            "E00 Zgrzew prawidlowy", "E05 Zbyt niskie napiecie wyjsciowe",
            "E06 Zbyt wysokie napiecie wyjsciowe", "E07 Przekroczone napiecie wyjsciowe",
            "E08 Brak kontaktu z elektrozlaczka", "E09 Zbyt niski prad wyjsciowy",
            "E11 Nacisnieto klawisz STOP", "E16 Awaria wewnetrznego przekaznika",
            "E17 Nagly wzrost pradu elektrozlaczki", "E127 Zanik napiecia zasilania"};
        QCOMPARE(texts(form.descriptionLabels()), polish5tz);
        QCOMPARE(categories(form.chart),
                 (QStringList{"E00", "E05", "E06", "E07", "E08", "E09", "E11", "E16", "E17", "E127"}));
        QCOMPARE(texts(form.LabelCount), (QStringList{"0", "4", "0", "0", "0", "0", "0", "0", "7", "0"}));

        // No family found: the 5TZ descriptions beside the reset table's ORV codes and
        // zero counts; the serial of an earlier run stays.
        FormChart unknown(values("Polish", kestrava::MachineFamily::Unknown, {}, "5TZ-0099"),
                          services());
        QCOMPARE(texts(unknown.descriptionLabels()), polish5tz);
        QCOMPARE(categories(unknown.chart).at(1), QStringLiteral("E20"));
        QCOMPARE(texts(unknown.LabelCount), QStringList(10, QStringLiteral("0")));
        QCOMPARE(bars(unknown.chart), QList<qreal>(10, 0.0));
        QCOMPARE(unknown.LabelSerial->text(), QStringLiteral("5TZ-0099"));
    }

    void beforeAnyListingAndOtherLanguages()
    {
        // No listing run yet: blank counts, no bars, the serial blank.
        SharedValues empty;
        empty.profile = kestrava::BuildProfile{"sorvanta", "English"};
        installTranslations(kestrava::Language::English);
        FormChart blank(empty, services());
        QCOMPARE(texts(blank.LabelCount), QStringList(10, QString()));
        QVERIFY(blank.chart->series().isEmpty());
        QCOMPARE(blank.LabelSerial->text(), QString());
        QCOMPARE(blank.Label1->text(), QStringLiteral("E00 Weld OK"));

        // Another language: counts and serial as always, the design captions stay.
        FormChart other(values("German", kestrava::MachineFamily::ORV, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
                               "S1"),
                        services());
        QCOMPARE(other.LabelCount[9]->text(), QStringLiteral("10"));
        QCOMPARE(other.LabelSerial->text(), QStringLiteral("S1"));
        QCOMPARE(other.Label1->text(), QStringLiteral("Label1"));
        QCOMPARE(other.Cmd_Print->text(), QStringLiteral("Cmd_Print"));
        QCOMPARE(other.chart->title(), QString());

        // The serial is bytes in the build language's code page (0xB3: "ł" in 1250).
        FormChart polish(values("Polish", kestrava::MachineFamily::ORV, {}, "Pi\xB3" "a-7"),
                         services());
        QCOMPARE(polish.LabelSerial->text(), QString::fromUtf8("Piła-7"));
    }

    void wideCountsShowWhole()
    {
        FormChart form(values("Polish", kestrava::MachineFamily::ORV,
                              {521416, 43585, 0, 0, 0, 0, 0, 0, 0, 9999999999}, "ORV-1"),
                       services());
        for (int i : {0, 1, 9}) {
            QLabel* count = form.LabelCount[i];
            QVERIFY(count->fontMetrics().horizontalAdvance(count->text()) <= count->width());
            QVERIFY(form.descriptionLabels()[i]->x() >= count->geometry().right());
        }
        QCOMPARE(form.Label10->geometry().right(), 40 + 217 - 1);  // the right edge stays
    }

    void printsTheWindowAsOnePicture()
    {
        FormChart form(values("Polish", kestrava::MachineFamily::ORV, {5, 1, 0, 0, 0, 0, 0, 0, 0, 0},
                              "ORV-1"),
                       services());
        form.show();

        dialogs.acceptPrinter = false;
        form.Cmd_Print->click();
        QCOMPARE(dialogs.printerTitles, QStringList{QStringLiteral("Drukuj wykres")});
        QVERIFY(printers.pictures.isEmpty());
        QVERIFY(form.isVisible());

        dialogs.acceptPrinter = true;
        form.Cmd_Print->click();
        QCOMPARE(printers.pictures.size(), 1);
        QCOMPARE(printers.pictures[0].size() / printers.pictures[0].devicePixelRatio(),
                 FormChart::clientSize);
        QVERIFY(dialogs.messages.isEmpty());

        printers.failPicture = true;
        form.Cmd_Print->click();
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].title, QStringLiteral("Drukuj wykres"));

        form.Cmd_Close->click();
        QVERIFY(!form.isVisible());
    }

    void savesTheChartAsPngOrSvg()
    {
        SharedValues shared = values("English", kestrava::MachineFamily::ORV,
                                     {7, 0, 2, 0, 0, 0, 0, 0, 0, 1}, "ORV-1");
        shared.LoadedFileTitle = QStringLiteral("site42");
        FormChart form(shared, services());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        dialogs.saveAnswer = folder.filePath(QStringLiteral("chart"));
        form.Cmd_SaveImage->click();
        QCOMPARE(dialogs.saveTitles, QStringList{QStringLiteral("Save Chart as Image")});
        QCOMPARE(dialogs.saveProposedNames, QStringList{QStringLiteral("site42.png")});
        QImage png(folder.filePath(QStringLiteral("chart.png")));
        QVERIFY(!png.isNull());
        QCOMPARE(png.size() / png.devicePixelRatio(), form.MSChart1->size());

        dialogs.saveAnswer = folder.filePath(QStringLiteral("chart.svg"));
        form.Cmd_SaveImage->click();
        QFile svg(dialogs.saveAnswer);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QByteArray text = svg.readAll();
        QVERIFY(text.contains("<svg"));
        QVERIFY(text.contains("E127"));

        // An existing picture is kept unless the user says to replace it.
        QVERIFY(writeTestBytes(folder.filePath(QStringLiteral("chart.png")), "mine"));
        dialogs.saveAnswer = folder.filePath(QStringLiteral("chart.png"));
        form.Cmd_SaveImage->click();
        QCOMPARE(dialogs.questions.size(), 1);
        QVERIFY(dialogs.questions[0].contains(QStringLiteral("chart.png")));
        QVERIFY(QImage(dialogs.saveAnswer).isNull());
        dialogs.askAnswer = true;
        form.Cmd_SaveImage->click();
        QVERIFY(!QImage(dialogs.saveAnswer).isNull());

        // A place that cannot be written is reported.
        dialogs.saveAnswer = folder.filePath(QStringLiteral("missing/chart.png"));
        form.Cmd_SaveImage->click();
        QCOMPARE(dialogs.messages.size(), 1);

        // Cancel: nothing happens.
        dialogs.saveAnswer.clear();
        form.Cmd_SaveImage->click();
        QCOMPARE(dialogs.messages.size(), 1);
    }

    void pictureOfTheWindow()
    {
        FormChart form(values("English", kestrava::MachineFamily::ORV, {38, 2, 5, 0, 3, 1, 6, 0, 2, 4},
                              "ORV-20931"),
                       services());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QImage picture = form.grab().toImage();
        QCOMPARE(picture.size() / picture.devicePixelRatio(), FormChart::clientSize);
        // The chart draws something: the picture is not one flat colour.
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); y += 7)
            for (int x = 0; x < picture.width(); x += 7)
                colours.insert(picture.pixel(x, y));
        QVERIFY(colours.size() > 8);
        const QString target = qEnvironmentVariable("KESTRAVA_SCREENSHOT");
        QVERIFY(picture.save(target.isEmpty() ? folder.filePath(QStringLiteral("chart_window.png"))
                                              : target));
    }
};

QTEST_MAIN(FormChartTest)
#include "test_form_chart.moc"
