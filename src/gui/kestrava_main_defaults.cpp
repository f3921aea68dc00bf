// Menu commands that show the default-folder forms.
#include "gui/kestrava_main.h"

void Kestrava_Main::Menu_DefaultLoad_Click()
{
}

void Kestrava_Main::Menu_DefaultSave_Click()
{
}
