// The error-code chart window: counts, serial number and descriptions per family,
// printing and saving the chart, and the chart's own layout and pictures.
#include <QtTest>
#include <QtWidgets>
#include <limits>

#include "gui/reports/bar_chart.h"
#include "gui/reports/form_chart.h"
#include "gui/app/translations.h"
#include "support/fake_printer_provider.h"
#include "support/quiet_messages.h"
#include "support/save_test_files.h"
#include "support/scripted_dialogs.h"
#include "support/test_services.h"

namespace {

ChartValues values(const char* language, kestrava::MachineFamily family,
                   std::array<std::int64_t, 10> counts, std::string serial)
{
    installTranslations(kestrava::languageFromName(language));
    ChartValues shared;
    shared.language = kestrava::languageFromName(language);
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
    const BarChartData& chart = form.MSChart1->data();
    for (const double value : chart.values)
        out << QString::number(value);
    out << chart.categories;
    return out;
}

QStringList textsOf(const BarChartLayout& layout, BarChartText::Kind kind)
{
    QStringList out;
    for (const BarChartText& text : layout.texts)
        if (text.kind == kind)
            out << text.text;
    return out;
}

// Pixels of the picture's area unlike the white background.
int inkIn(const QImage& image, const QRect& area)
{
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ink += image.pixel(x, y) != qRgb(255, 255, 255);
    return ink;
}

}  // namespace

class FormChartTest : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs;
    FakePrinterProvider printers;
    QTemporaryDir folder;

    AppServices services()
    {
        return completeServices(
            {.dialogs = &dialogs, .printers = &printers, .settingsFolder = folder.path()});
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
        FormChart orv(values("English", kestrava::MachineFamily::ORV,
                             {12, 0, 3, 0, 0, 0, 1, 0, 0, 2}, "ORV-4471"),
                      services());
        const QStringList orvCounts{"12", "0", "3", "0", "0", "0", "1", "0", "0", "2"};
        QCOMPARE(shown(orv), orvCounts + orvCodes + orvCounts + orvCodes);
        QCOMPARE(orv.LabelSerial->text(), QStringLiteral("ORV-4471"));
        // The serial is bytes in the build language's code page (0xB3: "ł" in 1250).
        FormChart t5z(values("Polish", kestrava::MachineFamily::T5Z, {},
                             "Pi\xB3"
                             "a-7"),
                      services());
        QCOMPARE(shown(t5z), zeros + t5zCodes + zeros + t5zCodes);
        QCOMPARE(t5z.LabelSerial->text(), QString::fromUtf8("Piła-7"));
        // No family found: the reset table's ORV codes, each beside its own description.
        FormChart unknown(values("Polish", kestrava::MachineFamily::Unknown, {}, "5TZ-0099"),
                          services());
        QCOMPARE(shown(unknown), zeros + orvCodes + zeros + orvCodes);
        // No listing run yet: blank counts and descriptions, no bars.
        ChartValues empty;
        empty.language = kestrava::Language::English;
        QCOMPARE(shown(FormChart(empty, services())), QStringList(20, QString()));
    }

    // Printed, and saved as PNG or SVG. The saved pictures stand on their own: the SVG is
    // well-formed XML whatever the serial holds, and it and the PNG carry the serial, the
    // file and every count.
    void printsAndSavesTheChart()
    {
        const std::array<std::int64_t, 10> counts{1234567, 0, 3, 0, 0, 0, 1, 0, 0, 2};
        ChartValues shared =
            values("English", kestrava::MachineFamily::ORV, counts, "A<&>\"'\x01-7");
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
        const QImage png(folder.filePath(QStringLiteral("chart.png")));
        QCOMPARE(png.size(), form.MSChart1->size());
        QCOMPARE(textsOf(form.MSChart1->chartLayout(), BarChartText::Caption).size(), 1);
        for (const BarChartText& text : form.MSChart1->chartLayout().texts)
            if (text.kind == BarChartText::Caption)
                QVERIFY(inkIn(png, text.box.toRect()) > 100);
        dialogs.saveAnswer = folder.filePath(QStringLiteral("chart.svg"));
        form.Cmd_SaveImage->click();
        const QByteArray svg = readTestFile(dialogs.saveAnswer);
        QVERIFY(svg.contains("<svg") && svg.contains("E127"));
        QXmlStreamReader xml(svg);
        QStringList texts;
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text")
                texts << xml.readElementText();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        const QString caption = QStringLiteral("Serial number A<&>\"'-7     File site42");
        QVERIFY2(texts.contains(caption), qPrintable(texts.join(QLatin1Char('|'))));
        for (const std::int64_t count : counts)
            QVERIFY(texts.contains(QString::number(count)));

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
        // with its reason, and nothing left behind
        QVERIFY2(dialogs.messages[0].text.section(QStringLiteral("\n\n"), 1).size() > 3,
                 qPrintable(dialogs.messages[0].text));
        QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("missing"))));
    }

    // The count axis from the highest count; each layout, either way round, writes
    // every tick, category and value whole and keeps everything inside the picture.
    void chartLayout_data()
    {
        QTest::addColumn<double>("highest");
        QTest::addColumn<double>("step");
        QTest::addColumn<double>("top");
        QTest::newRow("no records") << 0.0 << 1.0 << 1.0;
        QTest::newRow("one") << 1.0 << 1.0 << 1.0;
        QTest::newRow("seven") << 7.0 << 1.0 << 7.0;
        QTest::newRow("ten") << 10.0 << 1.0 << 10.0;
        QTest::newRow("eleven") << 11.0 << 2.0 << 12.0;
        QTest::newRow("137") << 137.0 << 20.0 << 140.0;
        QTest::newRow("1234567") << 1234567.0 << 200000.0 << 1400000.0;
    }

    void chartLayout()
    {
        QFETCH(double, highest);
        QFETCH(double, step);
        QFETCH(double, top);
        const QList<double> ticks = barChartTicks(highest, true);
        QCOMPARE(ticks.first(), 0.0);
        QCOMPARE(ticks.last(), top);
        for (qsizetype i = 1; i < ticks.size(); ++i)
            QCOMPARE(ticks[i] - ticks[i - 1], step);

        BarChartData data;
        data.title = QStringLiteral("Error Codes");
        data.caption = QStringLiteral("Serial number ORV-1     File site42");
        for (int i = 0; i < 10; ++i) {
            const double value = i == 3 ? highest : std::floor(highest / (i + 2));
            data.categories << QStringLiteral("E%1").arg(i + 20);
            data.values << value;
            data.valueTexts << QString::number(value, 'f', 0);
        }
        QStringList tickTexts;
        for (const double tick : ticks)
            tickTexts << QString::number(tick, 'f', 0);
        for (const auto& [bars, size] : {std::pair{Qt::Vertical, QSize(657, 417)},
                                         std::pair{Qt::Horizontal, QSize(320, 330)}}) {
            data.bars = bars;
            const BarChartLayout layout = layoutBarChart(data, size, QApplication::font());
            QCOMPARE(layout.ticks, ticks);
            QCOMPARE(textsOf(layout, BarChartText::Tick), tickTexts);
            QCOMPARE(textsOf(layout, BarChartText::Category), data.categories);
            QCOMPARE(textsOf(layout, BarChartText::Value), data.valueTexts);
            QCOMPARE(textsOf(layout, BarChartText::Caption), QStringList{data.caption});
            QCOMPARE(layout.bars.size(), 10);
            const QRectF picture(QPointF(0, 0), size);
            for (const BarChartText& text : layout.texts) {
                QVERIFY2(picture.contains(text.box), qPrintable(text.text));
                QVERIFY2(QFontMetricsF(layout.fontOf(text)).horizontalAdvance(text.text) <=
                             text.box.width() + 0.5,
                         qPrintable(text.text));
            }
            for (const QRectF& bar : layout.bars)
                QCOMPARE(layout.plot.united(bar), layout.plot);  // bars of 0 have no height
        }
    }

    // However wide the counts, each description is shown whole and clear of the
    // serial number's block and the buttons.
    void descriptionsAreNeverCut_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<qint64>("count");
        for (const char* language : {"English", "Polish"}) {
            QTest::addRow("%s, 2 digits", language) << QString::fromLatin1(language) << qint64(12);
            QTest::addRow("%s, 7 digits", language)
                << QString::fromLatin1(language) << qint64(1234567);
            QTest::addRow("%s, 19 digits", language)
                << QString::fromLatin1(language) << std::numeric_limits<qint64>::max();
        }
    }

    void descriptionsAreNeverCut()
    {
        QFETCH(QString, language);
        QFETCH(qint64, count);
        for (const auto family : {kestrava::MachineFamily::ORV, kestrava::MachineFamily::T5Z}) {
            FormChart form(values(language.toLatin1().constData(), family, {count, 1}, "ORV-20931"),
                           services());
            const QRect window(QPoint(0, 0), form.size());
            for (QLabel* label : form.LabelCount)
                QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
            for (QLabel* label : form.descriptionLabels()) {
                QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                         qPrintable(label->text()));
                QVERIFY(window.contains(label->geometry()));
                QVERIFY(label->x() > form.LabelCount[0]->geometry().right());
                for (QWidget* beside :
                     {static_cast<QWidget*>(form.Label11), static_cast<QWidget*>(form.LabelSerial),
                      static_cast<QWidget*>(form.Cmd_Print)})
                    QVERIFY2(!label->geometry().intersects(beside->geometry()),
                             qPrintable(label->text()));
            }
            for (QLabel* label : {form.Label11, form.LabelSerial}) {
                QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
                QVERIFY(!label->geometry().intersects(form.Cmd_Print->geometry()));
            }
        }
    }
};

QTEST_MAIN(FormChartTest)
#include "test_form_chart.moc"
