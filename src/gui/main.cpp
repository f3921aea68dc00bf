// kestrava: the window program.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTimer>

#include "core/settings/build_profile.h"
#include "gui/window/kestrava_main.h"
#include "gui/app/translations.h"
#include "gui/app/work_folder.h"
#include "gui/app/work_folder_claim.h"
#include "gui/services/system_services.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrava"));
    QApplication::setOrganizationName(QStringLiteral("Kestrava"));

    const kestrava::BuildProfile profile = kestrava::buildProfile();
    installTranslations(profile.language());

    // The real dialogs and system adapters, made once for the whole run.
    SystemServices system;
    AppServices services = system.complete({});
    services.settingsFolder = chooseWorkFolder(QCoreApplication::applicationDirPath());
    // Outlives the window, which lets go of its work files first.
    const WorkFolderClaim claim(services.settingsFolder);
    services.workFolder = claim.folder();

    Kestrava_Main window(profile, services);
    window.show();

    const QString folderProblem =
        workFolderProblem(QCoreApplication::applicationDirPath(), services.settingsFolder);
    if (!folderProblem.isEmpty()) {
        QTimer::singleShot(0, &window, [&window, &services, folderProblem] {
            services.dialogs->message(&window, folderProblem, QStringLiteral("Kestrava"),
                                      MessageIcon::Exclamation);
        });
    }

    // "kestrava FILE" opens FILE as if it had been chosen in the Open dialog, once the
    // window is on screen.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) {
        const QString file =
            QDir::toNativeSeparators(QFileInfo(arguments.at(1)).absoluteFilePath());
        QTimer::singleShot(0, &window, [&window, file] { window.openPath(file); });
    }

    return app.exec();
}
