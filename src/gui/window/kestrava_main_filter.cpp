// The filter panel: the three options, the date range and the error number. The panel
// records the request in the state and has the loaded file listed again.
#include "gui/window/kestrava_main.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <chrono>

#include "core/settings/regional.h"

namespace {

void boldOption(const std::array<QRadioButton*, 3>& options, std::size_t chosen)
{
    for (std::size_t i = 0; i < options.size(); ++i) {
        QFont font = options[i]->font();
        font.setBold(i == chosen);
        options[i]->setFont(font);
    }
}

QString dayText(kestrava::Day day)
{
    const std::chrono::year_month_day date(day);
    return QStringLiteral("%1/%2/%3")
        .arg(unsigned(date.day()), 2, 10, QLatin1Char('0'))
        .arg(unsigned(date.month()), 2, 10, QLatin1Char('0'))
        .arg(int(date.year()), 4, 10, QLatin1Char('0'));
}

}  // namespace

// The line under the panel names every filter of the listing shown, whichever option
// is selected now: an error filter stays in force under a later date range.
void Kestrava_Main::showFilterInForce()
{
    const auto& listing = download_.lastListing();
    const kestrava::ListingFilter& filter = download_.filter();
    QStringList parts;
    if (listing && listing->outcome == kestrava::ListingOutcome::Listed) {
        if (filter.dateOn)
            parts << tr("dates %1 - %2").arg(dayText(filter.from), dayText(filter.to));
        if (filter.errorOn)
            parts << tr("error code %1").arg(filter.errorNumber);
    }
    Label_FilterInForce->setText(
        parts.isEmpty() ? QString() : tr("Filter: %1").arg(parts.join(QStringLiteral(", "))));
}

// Hides the panel's eight inputs, in the order the panel lists them.
void Kestrava_Main::hideFilterInputs()
{
    for (QWidget* input :
         {static_cast<QWidget*>(Label_From), static_cast<QWidget*>(Label_To),
          static_cast<QWidget*>(Label_Error), static_cast<QWidget*>(Text_From),
          static_cast<QWidget*>(Text_To), static_cast<QWidget*>(Text_Error),
          static_cast<QWidget*>(Command_Dates), static_cast<QWidget*>(Command_Error)})
        input->hide();
}

void Kestrava_Main::Option1_Click(int index)
{
    if (busy())
        return;
    switch (index) {
    case 0:
        hideFilterInputs();
        boldOption(Option1, 0);
        state_.DateFilterOn = false;
        state_.ErrorFilterOn = false;
        if (!state_.OptionResetInProgress)
            relistLoadedFile();
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

void Kestrava_Main::Command_Dates_Click()
{
    if (busy())
        return;
    const auto from =
        kestrava::parseTypedDate(Text_From->text().toStdString(), kestrava::currentLocalYear());
    if (!from) {
        showPanelMessage(tr("Invalid From Date"));
        Text_From->setFocus();
        return;
    }
    const auto to =
        kestrava::parseTypedDate(Text_To->text().toStdString(), kestrava::currentLocalYear());
    if (!to) {
        showPanelMessage(tr("Invalid To Date"));
        Text_To->setFocus();
        return;
    }
    state_.FilterDateFrom = *from;
    state_.FilterDateTo = *to;
    state_.DateFilterOn = true;
    relistLoadedFile();
}

void Kestrava_Main::Command_Error_Click()
{
    if (busy())
        return;
    // A text that is no number, or a number outside the 16-bit range the filter holds,
    // is refused alike.
    const auto number =
        kestrava::errorNumberFromText(Text_Error->text().toStdString(), shared_.language());
    if (!number) {
        showPanelMessage(tr("Invalid error code"));
        Text_Error->clear();
        Text_Error->setFocus();
        return;
    }
    state_.FilterErrorNumber = *number;
    state_.ErrorFilterOn = true;
    relistLoadedFile();
}
