// Menu commands that show the Help menu's forms, each modally.
#include "gui/forms/dialog.h"
#include "gui/forms/dialog1.h"
#include "gui/forms/frm_about.h"
#include "gui/window/kestrava_main.h"

void Kestrava_Main::Menu_Support_Click()
{
    Dialog dialog(shared_.profile, this);
    dialog.exec();
}

void Kestrava_Main::Menu_Version_Click()
{
    frmAbout about(shared_, services_, this);
    about.exec();
}

void Kestrava_Main::Menu_Copyright_Click()
{
    Dialog1 dialog(shared_.language(), this);
    dialog.exec();
}
