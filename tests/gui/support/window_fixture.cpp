#include "support/window_fixture.h"

#include <QDir>
#include <QFile>

#include "gui/listing_view.h"
#include "gui/translations.h"

WindowFixture::WindowFixture(const kestrava::BuildProfile& profile, const QString& workFolder,
                             PrinterProvider* printerProvider)
{
    installTranslations(profile.language());
    AppServices services;
    services.dialogs = &dialogs;
    services.spreadsheet = &spreadsheet;
    services.printers = printerProvider ? printerProvider : &printers;
    services.workFolder = QDir::toNativeSeparators(workFolder.isEmpty() ? work.path() : workFolder);
    window = std::make_unique<Kestrava_Main>(profile, services);
}

WindowFixture::~WindowFixture() = default;

QString WindowFixture::writeFile(const QString& name, const QByteArray& bytes) const
{
    const QString path = QDir(files.path()).filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return QDir::toNativeSeparators(path);
}

QString WindowFixture::workFile(const QString& name) const
{
    return QDir::toNativeSeparators(QDir(work.path()).filePath(name));
}

QString WindowFixture::loadFile(const QString& name, const QByteArray& bytes)
{
    const QString path = writeFile(name, bytes);
    window->openPath(path);
    return path;
}

void WindowFixture::openThroughMenu(const QString& path)
{
    dialogs.openAnswers.push_back(path);
    window->Menu_OpenFile->trigger();
}

QString WindowFixture::text() const
{
    return window->Text1->toPlainText();
}
