#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "gui/form_decode.h"

namespace {
void dropOffscreenNoise(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    fprintf(stderr, "%d: %s\n", int(type), qPrintable(message));
}

struct Result {
    QString codes, converted, text1;
};

Result convert(Form_Decode& form, const QString& input)
{
    form.TextBox_Input->setText(input);
    form.Command_Convert->click();
    return {form.TextBox_Output->toPlainText(), form.TextBox_converted->text(), form.Text1->text()};
}
}  // namespace

class FormDecodeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qInstallMessageHandler(dropOffscreenNoise); }

    void designTexts()
    {
        Form_Decode form(kestrava::Language::Polish);
        QCOMPARE(form.windowTitle(), QStringLiteral("Form1"));
        QCOMPARE(form.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("Text to convert"));
        QCOMPARE(form.findChild<QPushButton*>(QStringLiteral("Command_Convert"))->text(),
                 QStringLiteral("Convert it now"));
        QCOMPARE(form.findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), QStringLiteral("Text1"));
        QVERIFY(form.findChild<QLineEdit*>(QStringLiteral("TextBox_Input")));
        QVERIFY(form.findChild<QLineEdit*>(QStringLiteral("TextBox_converted")));
        QVERIFY(form.findChild<QPlainTextEdit*>(QStringLiteral("TextBox_Output")));
    }

    void workedExamples()
    {
        Form_Decode form(kestrava::Language::English);

        Result r = convert(form, QStringLiteral("abc"));
        QCOMPARE(r.codes, QStringLiteral("097098099"));
        QCOMPARE(r.converted, QStringLiteral("abc"));
        QCOMPARE(r.text1, QStringLiteral("abc"));

        r = convert(form, QStringLiteral("a\tb c"));
        QCOMPARE(r.codes, QStringLiteral("097009098032099"));
        QCOMPARE(r.converted, QStringLiteral("a\tb c"));

        r = convert(form, QString(QChar(0x20AC)));
        QCOMPARE(r.codes, QStringLiteral("364"));
        QCOMPARE(r.converted, QString(QChar(0x016C)));
        QCOMPARE(r.text1, QStringLiteral("?"));  // U+016C is not in code page 1252

        // Pressing twice gives the same; nothing accumulates.
        convert(form, QStringLiteral("xyz"));
        r = convert(form, QStringLiteral("xyz"));
        QCOMPARE(r.codes, QStringLiteral("120121122"));
        QCOMPARE(r.converted, QStringLiteral("xyz"));
        QCOMPARE(r.text1, QStringLiteral("xyz"));

        // An empty input empties all three result boxes, including Text1's design text.
        Form_Decode fresh(kestrava::Language::English);
        r = convert(fresh, QString());
        QCOMPARE(r.codes, QString());
        QCOMPARE(r.converted, QString());
        QCOMPARE(r.text1, QString());
        r = convert(form, QString());
        QCOMPARE(r.codes, QString());
        QCOMPARE(r.converted, QString());
        QCOMPARE(r.text1, QString());
    }

    void text1FollowsTheCodePage()
    {
        const QString lWithStroke(QChar(0x0142));
        Form_Decode polish(kestrava::Language::Polish);
        Result r = convert(polish, QStringLiteral("Z") + lWithStroke);
        QCOMPARE(r.codes, QStringLiteral("090322"));
        QCOMPARE(r.converted, QStringLiteral("Z") + lWithStroke);
        QCOMPARE(r.text1, QStringLiteral("Z") + lWithStroke);  // in code page 1250

        Form_Decode english(kestrava::Language::English);
        r = convert(english, QStringLiteral("Z") + lWithStroke);
        QCOMPARE(r.converted, QStringLiteral("Z") + lWithStroke);
        QCOMPARE(r.text1, QStringLiteral("Z?"));  // not in code page 1252
    }

    void highUnitsAndLongInputs()
    {
        Form_Decode form(kestrava::Language::English);
        // 65535 and 65527 are written "0-1" and "0-9" and come back unchanged.
        const QString high = QString(QChar(0xFFFF)) + QChar(0xFFF7) + QChar(0xFFF6) + QChar(0xFF9D);
        Result r = convert(form, high);
        QCOMPARE(r.codes, QStringLiteral("0-10-9-10-99"));
        QCOMPARE(r.converted, high);

        // Far beyond a one-line box's usual 32767 characters: nothing is cut.
        QString longText;
        for (int i = 0; i < 40000; ++i)
            longText += QChar(u'a' + i % 26);
        longText += QChar(0xFFFF);
        r = convert(form, longText);
        QCOMPARE(form.TextBox_Input->text().size(), longText.size());
        QCOMPARE(r.codes.size(), longText.size() * 3);
        QVERIFY(r.codes.endsWith(QStringLiteral("0-1")));
        QCOMPARE(r.converted, longText);
        QCOMPARE(r.text1.size(), longText.size());
    }
};

QTEST_MAIN(FormDecodeTest)
#include "test_form_decode.moc"
