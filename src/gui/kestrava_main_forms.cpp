// The menu commands that show another form modally.
#include "gui/kestrava_main.h"

void Kestrava_Main::Menu_DefaultLoad_Click()
{
}

void Kestrava_Main::Menu_DefaultSave_Click()
{
}

void Kestrava_Main::Menu_GraphShow_Click()
{
}

void Kestrava_Main::Menu_Support_Click()
{
}

void Kestrava_Main::Menu_Version_Click()
{
}

void Kestrava_Main::Menu_Copyright_Click()
{
}
