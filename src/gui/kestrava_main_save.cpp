#include "gui/kestrava_main.h"

void Kestrava_Main::Menu_SaveFile_Click()
{
}
