// The error-code chart window: counts, serial number and descriptions per family,
// printing and saving the chart.
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtTest>
#include <QtWidgets>

#include "gui/reports/form_chart.h"
#include "gui/app/translations.h"
#include "support/fake_printer_provider.h"
#include "support/quiet_messages.h"
#include "support/save_test_files.h"
#include "support/scripted_dialogs.h"
#include "support/test_services.h"

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

// The counts shown, the descriptions, the bars and the categories of the chart.
QStringList shown(const FormChart& form)
{
    QStringList out;
    for (QLabel* label : form.LabelCount)
        out << label->text();
    for (QLabel* label : form.descriptionLabels())
        out << label->text().section(QLatin1Char(' '), 0, 0);
    if (!form.chart->series().isEmpty()) {
        QBarSet* set = static_cast<QBarSeries*>(form.chart->series().first())->barSets().first();
        for (int i = 0; i < set->count(); ++i)
            out << QString::number(set->at(i));
        out << static_cast<QBarCategoryAxis*>(form.chart->axes(Qt::Horizontal).first())->categories();
    }
    return out;
}

}  // namespace

class FormChartTest : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs;
    FakePrinterProvider printers;
    QTemporaryDir folder;

    AppServices services()
    {
        return completeServices({.dialogs = &dialogs, .printers = &printers, .workFolder = folder.path()});
    }

private slots:
    void initTestCase() { installQuietMessageHandler(); }
    void cleanupTestCase() { installTranslations(kestrava::Language::English); }

    void countsSerialAndDescriptionsPerFamily()
    {
        // The codes are the core table's labels of the family.
        const auto codesOf = [](kestrava::MachineFamily family) {
            kestrava::ErrorCodeTable table = kestrava::freshErrorCodeTable();
            kestrava::setErrorCodeLabels(table, family);
            QStringList codes;
            for (const auto& row : table)
                codes << QString::fromStdString(row.label);
            return codes;
        };
        const QStringList orvCodes = codesOf(kestrava::MachineFamily::ORV);
        const QStringList t5zCodes = codesOf(kestrava::MachineFamily::T5Z);
        const QStringList zeros(10, QStringLiteral("0"));
        FormChart orv(values("English", kestrava::MachineFamily::ORV, {12, 0, 3, 0, 0, 0, 1, 0, 0, 2}, "ORV-4471"),
                      services());
        const QStringList orvCounts{"12", "0", "3", "0", "0", "0", "1", "0", "0", "2"};
        QCOMPARE(shown(orv), orvCounts + orvCodes + orvCounts + orvCodes);
        QCOMPARE(orv.LabelSerial->text(), QStringLiteral("ORV-4471"));
        FormChart t5z(values("Polish", kestrava::MachineFamily::T5Z, {}, "5TZ-0099"), services());
        QCOMPARE(shown(t5z), zeros + t5zCodes + zeros + t5zCodes);
        // No family found: the 5TZ descriptions beside the reset table's ORV codes.
        FormChart unknown(values("Polish", kestrava::MachineFamily::Unknown, {}, "5TZ-0099"), services());
        QCOMPARE(shown(unknown), zeros + t5zCodes + zeros + orvCodes);
        // No listing run yet: blank counts, no bars.
        SharedValues empty;
        empty.profile = kestrava::BuildProfile{"sorvanta", "English"};
        QCOMPARE(shown(FormChart(empty, services())), QStringList(10, QString()) + t5zCodes);
        // The serial is bytes in the build language's code page (0xB3: "ł" in 1250).
        FormChart polish(values("Polish", kestrava::MachineFamily::ORV, {}, "Pi\xB3" "a-7"), services());
        QCOMPARE(polish.LabelSerial->text(), QString::fromUtf8("Piła-7"));
    }

    void printsAndSavesTheChart()
    {
        SharedValues shared = values("English", kestrava::MachineFamily::ORV, {7, 0, 2, 0, 0, 0, 0, 0, 0, 1}, "ORV-1");
        shared.LoadedFileTitle = QStringLiteral("site42");
        FormChart form(shared, services());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.Cmd_Print->click();  // the print dialog cancelled
        dialogs.acceptPrinter = true;
        form.Cmd_Print->click();
        QCOMPARE(printers.pictures.size(), 1);

        dialogs.saveAnswer = folder.filePath(QStringLiteral("chart"));
        form.Cmd_SaveImage->click();
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

};

QTEST_MAIN(FormChartTest)
#include "test_form_chart.moc"
