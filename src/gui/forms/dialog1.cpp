#include "gui/forms/dialog1.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

// The maker's English copyright line and the three paragraphs, as designed.
const char* const kCopyrightLine = QT_TRANSLATE_NOOP("Dialog1", "Copyright (c) 2026 Brenvik");
const char* const kRightsParagraph = QT_TRANSLATE_NOOP(
    "Dialog1", "All rights in the content of this software, including its program code, texts, "
               "images and logos, belong to Brenvik.");
const char* const kOwnUseParagraph = QT_TRANSLATE_NOOP(
    "Dialog1", "You may use the content of this software only for your own purposes, in connection "
               "with the welding machines and the download files it reads.");
const char* const kPermissionParagraph = QT_TRANSLATE_NOOP(
    "Dialog1", "Any other use of the content, in particular copying, publishing or changing it in "
               "whole or in part, requires the prior written permission of Brenvik.");

QLabel* paragraph(QWidget* parent, const QString& name, const char* text)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

Dialog1::Dialog1(kestrava::Language language, QWidget* parent)
    : QDialog(parent), language_(language)
{
    setObjectName(QStringLiteral("Dialog1"));
    setWindowTitle(QString::fromLatin1(kCopyrightLine));

    Label1 = new QLabel(QStringLiteral("Copyright Notice "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label2 = paragraph(this, QStringLiteral("Label2"), kRightsParagraph);
    Label3 = paragraph(this, QStringLiteral("Label3"), kOwnUseParagraph);
    Label4 = paragraph(this, QStringLiteral("Label4"), kPermissionParagraph);
    Label4->setMinimumHeight(64);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Label2, 1, 0);
    layout->addWidget(Label3, 2, 0);
    layout->addWidget(Label4, 3, 0);
    layout->addWidget(OKButton, 1, 1, Qt::AlignTop);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(3, 1);
    resize(460, 260);

    connect(OKButton, &QPushButton::clicked, this, &Dialog1::OKButton_Click);

    Form_Load();
}

void Dialog1::Form_Load()
{
    if (language_ == kestrava::Language::Other)
        return;  // the design texts stay
    // The Polish texts speak of the producer of this software instead of naming the maker.
    setWindowTitle(tr(kCopyrightLine));
    Label1->setText(tr("Copyright Notice"));
    Label2->setText(tr(kRightsParagraph));
    Label3->setText(tr(kOwnUseParagraph));
    Label4->setText(tr(kPermissionParagraph));
}

void Dialog1::OKButton_Click()
{
    accept();
}
