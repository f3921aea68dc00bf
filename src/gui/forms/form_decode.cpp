#include "gui/forms/form_decode.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <limits>
#include <string>

#include "core/text/char_codes.h"
#include "gui/view/code_page.h"

namespace {

// A one-line box that takes texts of any length (a line edit's own limit is 32767).
QLineEdit* unlimitedLineEdit(QWidget* parent, const QString& name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}

std::u16string_view unitsOf(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

}  // namespace

Form_Decode::Form_Decode(kestrava::Language codePageLanguage, QWidget* parent)
    : QWidget(parent), codePageLanguage_(codePageLanguage)
{
    setObjectName(QStringLiteral("Form_Decode"));
    setWindowTitle(QStringLiteral("Form1"));

    const QFont wideFont(QStringLiteral("Arial Unicode MS"));

    Label1 = new QLabel(QStringLiteral("Text to convert"), this);
    Label1->setObjectName(QStringLiteral("Label1"));

    TextBox_Input = unlimitedLineEdit(this, QStringLiteral("TextBox_Input"));
    TextBox_Input->setFont(wideFont);

    Command_Convert = new QPushButton(QStringLiteral("Convert it now"), this);
    Command_Convert->setObjectName(QStringLiteral("Command_Convert"));

    Text1 = unlimitedLineEdit(this, QStringLiteral("Text1"));
    Text1->setText(QStringLiteral("Text1"));

    TextBox_converted = unlimitedLineEdit(this, QStringLiteral("TextBox_converted"));
    TextBox_converted->setFont(wideFont);

    TextBox_Output = new QPlainTextEdit(this);
    TextBox_Output->setObjectName(QStringLiteral("TextBox_Output"));
    TextBox_Output->setMinimumHeight(160);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0, 1, 2);
    layout->addWidget(TextBox_Input, 1, 0, 1, 2);
    layout->addWidget(Command_Convert, 2, 0);
    layout->addWidget(Text1, 2, 1);
    layout->addWidget(TextBox_converted, 3, 0, 1, 2);
    layout->addWidget(TextBox_Output, 4, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(4, 1);
    resize(480, 320);

    connect(Command_Convert, &QPushButton::clicked, this, &Form_Decode::Command_Convert_Click);
}

void Form_Decode::Command_Convert_Click()
{
    TextBox_Output->clear();
    const QString input = TextBox_Input->text();
    TextBox_Output->setPlainText(QString::fromStdString(kestrava::encodeCharCodes(unitsOf(input))));

    TextBox_converted->clear();
    Text1->clear();

    // The rebuilt text comes from the code string as the box holds it.
    const std::string codes = TextBox_Output->toPlainText().toStdString();
    const std::u16string units = kestrava::decodeCharCodes(codes);
    const QString rebuilt = QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()));
    TextBox_converted->setText(rebuilt);
    // Text1 works in the build's code page: what the code page lacks shows as "?".
    Text1->setText(fromCodePage(toCodePage(rebuilt, codePageLanguage_), codePageLanguage_));
}
