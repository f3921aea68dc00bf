// Menu commands that show the Help menu's forms.
#include "gui/kestrava_main.h"

void Kestrava_Main::Menu_Support_Click()
{
}

void Kestrava_Main::Menu_Version_Click()
{
}

void Kestrava_Main::Menu_Copyright_Click()
{
}
