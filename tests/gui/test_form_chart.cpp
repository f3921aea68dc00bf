// The error-code chart window: counts, serial number and descriptions per family,
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
#include "support/fake_printer_provider.h"
#include "support/quiet_messages.h"
#include "support/save_test_files.h"
#include "support/scripted_dialogs.h"

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

QStringList categories(QChart* chart)
{
    const auto axes = chart->axes(Qt::Horizontal);
    return axes.isEmpty() ? QStringList() : static_cast<QBarCategoryAxis*>(axes.first())->categories();
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
    ScriptedDialogs dialogs;
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
        dialogs = ScriptedDialogs();
        printers = FakePrinterProvider();
    }

    void countsSerialAndDescriptionsPerFamily()
    {
        FormChart orv(values("English", kestrava::MachineFamily::ORV, {12, 0, 3, 0, 0, 0, 1, 0, 0, 2},
                             "ORV-4471"),
                      services());
        QCOMPARE(orv.LabelSerial->text(), QStringLiteral("ORV-4471"));
        QCOMPARE(texts(orv.LabelCount), (QStringList{"12", "0", "3", "0", "0", "0", "1", "0", "0", "2"}));
        QCOMPARE(bars(orv.chart), (QList<qreal>{12, 0, 3, 0, 0, 0, 1, 0, 0, 2}));
        QCOMPARE(categories(orv.chart),
                 (QStringList{"E00", "E20", "E21", "E22", "E23", "E24", "E25", "E26", "E27", "E127"}));
        QCOMPARE(orv.descriptionLabels()[1]->text(), QStringLiteral("E20 Low output voltage"));

        FormChart t5z(values("Polish", kestrava::MachineFamily::T5Z, {0, 4, 0, 0, 0, 0, 0, 0, 7, 0}, "5TZ-0099"),
                      services());
        QCOMPARE(categories(t5z.chart).at(8), QStringLiteral("E17"));
        QCOMPARE(t5z.descriptionLabels()[1]->text(), QStringLiteral("E05 Zbyt niskie napiecie wyjsciowe"));

        // No family found: the 5TZ descriptions beside the reset table's ORV codes and
        // zero counts; the serial of an earlier run stays.
        FormChart unknown(values("Polish", kestrava::MachineFamily::Unknown, {}, "5TZ-0099"), services());
        QCOMPARE(texts(unknown.descriptionLabels()), texts(t5z.descriptionLabels()));
        QCOMPARE(categories(unknown.chart).at(1), QStringLiteral("E20"));
        QCOMPARE(bars(unknown.chart), QList<qreal>(10, 0.0));
        QCOMPARE(unknown.LabelSerial->text(), QStringLiteral("5TZ-0099"));

        // No listing run yet: blank counts, no bars.
        SharedValues empty;
        empty.profile = kestrava::BuildProfile{"sorvanta", "English"};
        FormChart blank(empty, services());
        QCOMPARE(texts(blank.LabelCount), QStringList(10, QString()));
        QVERIFY(blank.chart->series().isEmpty());

        // The serial is bytes in the build language's code page (0xB3: "ł" in 1250).
        FormChart polish(values("Polish", kestrava::MachineFamily::ORV, {}, "Pi\xB3" "a-7"), services());
        QCOMPARE(polish.LabelSerial->text(), QString::fromUtf8("Piła-7"));
        installTranslations(kestrava::Language::English);
    }

    void printsTheWindowAsOnePicture()
    {
        FormChart form(values("Polish", kestrava::MachineFamily::ORV, {5, 1, 0, 0, 0, 0, 0, 0, 0, 0}, "ORV-1"),
                       services());
        form.show();
        form.Cmd_Print->click();  // the print dialog cancelled
        QCOMPARE(dialogs.printRequests.size(), 1);
        QVERIFY(printers.pictures.isEmpty());

        dialogs.acceptPrinter = true;
        form.Cmd_Print->click();
        QCOMPARE(printers.pictures.size(), 1);
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(form.isVisible());
        form.Cmd_Close->click();
        QVERIFY(!form.isVisible());
    }

    void savesTheChartAsPngOrSvg()
    {
        SharedValues shared = values("English", kestrava::MachineFamily::ORV, {7, 0, 2, 0, 0, 0, 0, 0, 0, 1}, "ORV-1");
        shared.LoadedFileTitle = QStringLiteral("site42");
        FormChart form(shared, services());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        dialogs.saveAnswer = folder.filePath(QStringLiteral("chart"));
        form.Cmd_SaveImage->click();
        QCOMPARE(dialogs.saveRequests.size(), 1);
        QCOMPARE(dialogs.saveRequests[0].proposedName, QStringLiteral("site42.png"));
        QVERIFY(!QImage(folder.filePath(QStringLiteral("chart.png"))).isNull());

        dialogs.saveAnswer = folder.filePath(QStringLiteral("chart.svg"));
        form.Cmd_SaveImage->click();
        const QByteArray svg = readTestFile(dialogs.saveAnswer);
        QVERIFY(svg.contains("<svg") && svg.contains("E127"));

        // An existing picture is kept unless the user says to replace it.
        QVERIFY(writeTestFile(folder.filePath(QStringLiteral("chart.png")), "mine"));
        dialogs.saveAnswer = folder.filePath(QStringLiteral("chart.png"));
        form.Cmd_SaveImage->click();
        QCOMPARE(dialogs.questions.size(), 1);
        QVERIFY(dialogs.questions[0].text.contains(QStringLiteral("chart.png")));
        QVERIFY(QImage(dialogs.saveAnswer).isNull());
        dialogs.askAnswer = true;
        form.Cmd_SaveImage->click();
        QVERIFY(!QImage(dialogs.saveAnswer).isNull());

        // A place that cannot be written is reported; Cancel does nothing.
        dialogs.saveAnswer = folder.filePath(QStringLiteral("missing/chart.png"));
        form.Cmd_SaveImage->click();
        dialogs.saveAnswer.clear();
        form.Cmd_SaveImage->click();
        QCOMPARE(dialogs.messages.size(), 1);
    }

    void pictureOfTheWindow()
    {
        FormChart form(values("English", kestrava::MachineFamily::ORV, {38, 2, 5, 0, 3, 1, 6, 0, 2, 4}, "ORV-20931"),
                       services());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QImage picture = form.grab().toImage();
        const QString target = qEnvironmentVariable("KESTRAVA_SCREENSHOT");
        QVERIFY(picture.save(target.isEmpty() ? folder.filePath(QStringLiteral("chart_window.png")) : target));
    }
};

QTEST_MAIN(FormChartTest)
#include "test_form_chart.moc"
