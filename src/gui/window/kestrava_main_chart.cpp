// Graph Data: the error-code chart of the last listing run, shown modally.
#include <QLabel>

#include "gui/reports/form_chart.h"
#include "gui/window/kestrava_main.h"

void Kestrava_Main::Menu_GraphShow_Click()
{
    // Not while a listing is being made: its counts are not settled yet.
    if (busy())
        return;
    FormChart form(ChartValues::of(*session_, shared_.language()), services(), this);
    form.showListingFilter(Label_FilterInForce->text());
    form.exec();
}
