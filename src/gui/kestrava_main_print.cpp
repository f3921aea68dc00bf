#include "gui/kestrava_main.h"

void Kestrava_Main::Menu_PrintRecords_Click()
{
}
