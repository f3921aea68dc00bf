// Graph Data: the error-code chart of the last listing run, shown modally.
#include "gui/form_chart.h"
#include "gui/kestrava_main.h"

void Kestrava_Main::Menu_GraphShow_Click()
{
    // Not while a listing is being made: its counts are not settled yet.
    if (busy())
        return;
    FormChart form(shared(), services(), this);
    form.exec();
}
