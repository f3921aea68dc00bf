// Menu commands that show the default-folder forms.
#include "gui/forms/default_path_form.h"
#include "gui/window/kestrava_main.h"

void Kestrava_Main::Menu_DefaultLoad_Click()
{
    if (busy())
        return;
    DefaultPathForm form(DefaultPathKind::Load, shared_, services_, this);
    form.exec();
}

void Kestrava_Main::Menu_DefaultSave_Click()
{
    if (busy())
        return;
    DefaultPathForm form(DefaultPathKind::Save, shared_, services_, this);
    form.exec();
}
