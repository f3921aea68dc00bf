#include "gui/kestrava_main.h"

void Kestrava_Main::Option1_Click(int index)
{
    Q_UNUSED(index);
}

void Kestrava_Main::Command_Dates_Click()
{
}

void Kestrava_Main::Command_Error_Click()
{
}
