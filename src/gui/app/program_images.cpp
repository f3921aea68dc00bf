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

QString brandLogoPath(std::string_view brandKey)
{
    if (brandKey == "sorvanta")
        return QStringLiteral(":/images/sorvanta_small.jpg");
    if (brandKey == "brenvik" || brandKey == "teldrum" || brandKey == "ombrek")
        return QStringLiteral(":/images/%1_small.bmp")
            .arg(QString::fromLatin1(brandKey.data(), qsizetype(brandKey.size())));
    return {};
}
