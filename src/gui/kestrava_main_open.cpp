#include "gui/kestrava_main.h"

void Kestrava_Main::Menu_OpenFile_Click()
{
}

void Kestrava_Main::openPath(const QString& path)
{
    Q_UNUSED(path);
}
