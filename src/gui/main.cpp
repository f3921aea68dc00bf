// kestrava: the window program.
#include <QApplication>
#include <QStringList>

#include "core/build_profile.h"
#include "gui/kestrava_main.h"
#include "gui/translations.h"
#include "gui/work_folder.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrava"));
    QApplication::setOrganizationName(QStringLiteral("Kestrava"));

    const kestrava::BuildProfile profile = kestrava::buildProfile();
    installTranslations(profile.language());

    AppServices services;
    services.workFolder = chooseWorkFolder(QCoreApplication::applicationDirPath());

    Kestrava_Main window(profile, services);
    window.show();

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1)
        window.openPath(arguments.at(1));

    return app.exec();
}
