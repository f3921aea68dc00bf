// Menu commands that show the error-code chart.
#include "gui/kestrava_main.h"

void Kestrava_Main::Menu_GraphShow_Click()
{
}
