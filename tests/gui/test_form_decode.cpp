#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "gui/form_decode.h"

namespace {
struct Result {
    QString codes, converted, text1;
};

Result convert(Form_Decode& form, const QString& input)
{
    form.TextBox_Input->setText(input);
    form.Command_Convert->click();
    return {form.TextBox_Output->toPlainText(), form.TextBox_converted->text(), form.Text1->text()};
}

void compare(const Result& r, const QString& codes, const QString& converted, const QString& text1)
{
    QCOMPARE(r.codes, codes);
    QCOMPARE(r.converted, converted);
    QCOMPARE(r.text1, text1);
}
}  // namespace

class FormDecodeTest : public QObject {
    Q_OBJECT
private slots:
    void workedExamples()
    {
        Form_Decode form(kestrava::Language::English);
        QCOMPARE(form.Text1->text(), QStringLiteral("Text1"));
        compare(convert(form, QStringLiteral("abc")), QStringLiteral("097098099"),
                QStringLiteral("abc"), QStringLiteral("abc"));
        compare(convert(form, QStringLiteral("a\tb")), QStringLiteral("097009098"),
                QStringLiteral("a\tb"), QStringLiteral("a\tb"));
        // The euro sign keeps only "364" and comes back as U+016C, which 1252 lacks.
        compare(convert(form, QString(QChar(0x20AC))), QStringLiteral("364"),
                QString(QChar(0x016C)), QStringLiteral("?"));
        // Pressing twice gives the same; nothing accumulates.
        convert(form, QStringLiteral("xyz"));
        compare(convert(form, QStringLiteral("xyz")), QStringLiteral("120121122"),
                QStringLiteral("xyz"), QStringLiteral("xyz"));
        // An empty input empties all three result boxes.
        compare(convert(form, QString()), QString(), QString(), QString());
    }

    void text1FollowsTheCodePage()
    {
        const QString word = QStringLiteral("Z") + QChar(0x0142);
        Form_Decode polish(kestrava::Language::Polish);
        compare(convert(polish, word), QStringLiteral("090322"), word, word);  // 1250 has it
        Form_Decode english(kestrava::Language::English);
        compare(convert(english, word), QStringLiteral("090322"), word, QStringLiteral("Z?"));
    }

    void longInputsAreNotCut()
    {
        // Far beyond a one-line box's usual 32767 characters.
        Form_Decode form(kestrava::Language::English);
        QString longText;
        for (int i = 0; i < 40000; ++i)
            longText += QChar(u'a' + i % 26);
        const Result big = convert(form, longText);
        QCOMPARE(big.codes.size(), longText.size() * 3);
        QCOMPARE(big.converted, longText);
        QCOMPARE(big.text1, longText);
    }
};

QTEST_MAIN(FormDecodeTest)
#include "test_form_decode.moc"
