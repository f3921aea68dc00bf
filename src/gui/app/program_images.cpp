#include "gui/app/program_images.h"

#include <QtCore/qglobal.h>

static void initProgramResources()
{
    Q_INIT_RESOURCE(kestrava);
}

void registerProgramImages()
{
    static const bool registered = (initProgramResources(), true);
    (void)registered;
}
