#include "gui/window/filter_panel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>

#include "core/settings/regional.h"
#include "gui/window/window_style.h"

using namespace window_style;

namespace {

void boldOption(const std::array<QRadioButton*, 3>& options, std::size_t chosen)
{
    for (std::size_t i = 0; i < options.size(); ++i) {
        QFont font = options[i]->font();
        font.setBold(i == chosen);
        options[i]->setFont(font);
    }
}

}  // namespace

FilterPanel::FilterPanel(kestrava::Language language, std::function<bool()> busy,
                         QWidget* parent)
    : QGroupBox(QStringLiteral(" Filter Data "), parent), language_(language),
      busy_(std::move(busy))
{
    setObjectName(QStringLiteral("Frame1"));
    setGeometry(8, 560, 905, 89);
    setFixedHeight(89);
    setMinimumWidth(905);
    setFont(verdana());
    paintBackground(this, kLightYellow);

    const char* optionNames[] = {"Option1_0", "Option1_1", "Option1_2"};
    const QString optionCaptions[] = {QStringLiteral("Show ALL Records"),
                                      QStringLiteral("Selected Dates only"),
                                      QStringLiteral("Selected Error only")};
    for (int i = 0; i < 3; ++i) {
        auto* option = named(new QRadioButton(optionCaptions[i], this), optionNames[i]);
        option->setGeometry(8, 24 + 16 * i, 321, 17);
        option->setFont(verdana());
        paintBackground(option, kLightYellow);
        Option1[static_cast<std::size_t>(i)] = option;
        // Like an option button: the handler runs when the option becomes selected,
        // by the user or by the program.
        connect(option, &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                Option1_Click(i);
        });
    }
    {
        const QSignalBlocker block(Option1[0]);
        Option1[0]->setChecked(true);
    }
    QFont bold = verdana();
    bold.setBold(true);
    Option1[0]->setFont(bold);

    Text_From = named(new QLineEdit(this), "Text_From");
    Text_From->setGeometry(328, 24, 113, 27);
    Text_From->setFont(verdana());
    Label_From = named(new QLabel(QStringLiteral("From: (dd/mm/yyyy) "), this), "Label_From");
    Label_From->setGeometry(336, 48, 97, 33);
    Label_From->setFont(verdana());
    Label_From->setWordWrap(true);
    Text_To = named(new QLineEdit(this), "Text_To");
    Text_To->setGeometry(512, 24, 113, 27);
    Text_To->setFont(verdana());
    Label_To = named(new QLabel(QStringLiteral("To: (dd/mm/yyyy) "), this), "Label_To");
    Label_To->setGeometry(520, 48, 97, 33);
    Label_To->setFont(verdana());
    Label_To->setWordWrap(true);
    Command_Dates = named(new QPushButton(QStringLiteral("Filter by date"), this), "Command_Dates");
    Command_Dates->setGeometry(648, 32, 113, 25);
    Command_Dates->setFont(verdana());

    Label_Error = named(new QLabel(QStringLiteral("Error Number:"), this), "Label_Error");
    Label_Error->setGeometry(344, 32, 145, 17);
    Label_Error->setFont(windowDefaultFont());
    Text_Error = named(new QLineEdit(this), "Text_Error");
    Text_Error->setGeometry(496, 24, 57, 25);
    Text_Error->setFont(windowDefaultFont());
    Command_Error =
        named(new QPushButton(QStringLiteral("Filter by error"), this), "Command_Error");
    Command_Error->setGeometry(648, 32, 113, 25);
    Command_Error->setFont(windowDefaultFont());

    hideInputs();

    connect(Command_Dates, &QPushButton::clicked, this, &FilterPanel::Command_Dates_Click);
    connect(Command_Error, &QPushButton::clicked, this, &FilterPanel::Command_Error_Click);
    // Enter in an input presses its filter button.
    for (QLineEdit* input : {Text_From, Text_To})
        connect(input, &QLineEdit::returnPressed, Command_Dates, &QPushButton::click);
    connect(Text_Error, &QLineEdit::returnPressed, Command_Error, &QPushButton::click);
}

void FilterPanel::applyCaptions()
{
    setTitle(tr("Filter Data!"));
    Option1[0]->setText(tr("Show ALL Records"));
    Option1[1]->setText(tr("Selected Dates Only"));
    Option1[2]->setText(tr("Selected Error Only"));
    Label_From->setText(tr("From: (dd/mm/yyyy)"));
    Label_To->setText(tr("To: (dd/mm/yyyy)"));
    Label_Error->setText(tr("Error Number:"));
    Command_Error->setText(tr("Filter by error"));
    Command_Dates->setText(tr("Filter by date"));
    // The date captions on one line each, under their boxes.
    for (QLabel* label : {Label_From, Label_To}) {
        label->setWordWrap(false);
        label->resize(std::max(97, label->sizeHint().width()), label->height());
    }
}

void FilterPanel::reset()
{
    if (!Option1[0]->isChecked()) {
        // Selected without its handler, which would ask for a listing.
        const QSignalBlocker block(Option1[0]);
        Option1[0]->setChecked(true);
        showOption(0);
    }
    for (QWidget* input : {static_cast<QWidget*>(Label_From), static_cast<QWidget*>(Label_To),
                           static_cast<QWidget*>(Text_From), static_cast<QWidget*>(Text_To),
                           static_cast<QWidget*>(Command_Dates)})
        input->hide();
    QFont font = Option1[0]->font();
    font.setBold(true);
    Option1[0]->setFont(font);
    font.setBold(false);
    Option1[1]->setFont(font);
    request_.dateOn = false;
}

void FilterPanel::listingShown()
{
    request_.dateOn = false;
}

// Hides the panel's eight inputs, in the order the panel lists them.
void FilterPanel::hideInputs()
{
    for (QWidget* input :
         {static_cast<QWidget*>(Label_From), static_cast<QWidget*>(Label_To),
          static_cast<QWidget*>(Label_Error), static_cast<QWidget*>(Text_From),
          static_cast<QWidget*>(Text_To), static_cast<QWidget*>(Text_Error),
          static_cast<QWidget*>(Command_Dates), static_cast<QWidget*>(Command_Error)})
        input->hide();
}

void FilterPanel::Option1_Click(int index)
{
    if (busy_())
        return;
    showOption(index);
    if (index == 0)
        emit listingRequested(request_);
}

void FilterPanel::showOption(int index)
{
    switch (index) {
    case 0:
        hideInputs();
        boldOption(Option1, 0);
        request_.dateOn = false;
        request_.errorOn = false;
        break;
    case 1:
        Label_From->show();
        Label_To->show();
        Label_Error->hide();
        Text_From->show();
        Text_To->show();
        Text_Error->hide();
        Command_Dates->show();
        Command_Error->hide();
        boldOption(Option1, 1);
        Text_From->clear();
        Text_To->clear();
        Text_From->setFocus();
        break;
    case 2:
        Label_From->hide();
        Label_To->hide();
        Label_Error->show();
        Text_From->hide();
        Text_To->hide();
        Text_Error->show();
        Command_Dates->hide();
        Command_Error->show();
        boldOption(Option1, 2);
        Text_Error->clear();
        Text_Error->setFocus();
        break;
    default: break;
    }
}

void FilterPanel::Command_Dates_Click()
{
    if (busy_())
        return;
    const auto from =
        kestrava::parseTypedDate(Text_From->text().toStdString(), kestrava::currentLocalYear());
    if (!from) {
        emit refused(tr("Invalid From Date"));
        Text_From->setFocus();
        return;
    }
    const auto to =
        kestrava::parseTypedDate(Text_To->text().toStdString(), kestrava::currentLocalYear());
    if (!to) {
        emit refused(tr("Invalid To Date"));
        Text_To->setFocus();
        return;
    }
    request_.from = *from;
    request_.to = *to;
    request_.dateOn = true;
    emit listingRequested(request_);
}

void FilterPanel::Command_Error_Click()
{
    if (busy_())
        return;
    // A text that is no number, or a number outside the 16-bit range the filter holds,
    // is refused alike.
    const auto number = kestrava::errorNumberFromText(Text_Error->text().toStdString(), language_);
    if (!number) {
        emit refused(tr("Invalid error code"));
        Text_Error->clear();
        Text_Error->setFocus();
        return;
    }
    request_.errorNumber = *number;
    request_.errorOn = true;
    emit listingRequested(request_);
}
