#include "support/window_fixture.h"

#include <QtWidgets>

#include "gui/app/translations.h"

WindowFixture::WindowFixture(const kestrava::BuildProfile& profile, const QString& workFolder,
                             PrinterProvider* printerProvider)
{
    installTranslations(profile.language());
    const QString folder =
        QDir::toNativeSeparators(workFolder.isEmpty() ? work.path() : workFolder);
    window = std::make_unique<Kestrava_Main>(
        profile, completeServices({.dialogs = &dialogs,
                                   .spreadsheet = &spreadsheet,
                                   .printers = printerProvider ? printerProvider : &printers,
                                   .workFolder = folder,
                                   .settingsFolder = folder}));
}

void WindowFixture::filter(int option, const char* first, const char* second)
{
    window->Frame1->Option1[option]->setChecked(true);
    (option == 1 ? window->Frame1->Text_From : window->Frame1->Text_Error)->setText(QString::fromLatin1(first));
    if (option == 1)
        window->Frame1->Text_To->setText(QString::fromLatin1(second));
    (option == 1 ? window->Frame1->Command_Dates : window->Frame1->Command_Error)->click();
}
