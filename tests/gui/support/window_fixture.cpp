#include "support/window_fixture.h"

#include "gui/app/translations.h"

WindowFixture::WindowFixture(const kestrava::BuildProfile& profile, const QString& workFolder,
                             PrinterProvider* printerProvider)
{
    installTranslations(profile.language());
    AppServices services;
    services.dialogs = &dialogs;
    services.spreadsheet = &spreadsheet;
    services.printers = printerProvider ? printerProvider : &printers;
    services.workFolder = QDir::toNativeSeparators(workFolder.isEmpty() ? work.path() : workFolder);
    window = std::make_unique<Kestrava_Main>(profile, completeServices(services));
}
