#include "gui/app/default_folder.h"

#include <QDir>

#include "core/settings/settings_file.h"
#include "gui/app/work_folder.h"

QString fallbackStartFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\");
#else
    return QDir::homePath();
#endif
}

QString startFolderFromSettings(const QString& settingsFolder, const QString& fileName)
{
    const QString file = workFilePath(settingsFolder, fileName);
    const auto value = kestrava::readDefaultFolder(file.toStdString());
    if (!value)
        return fallbackStartFolder();
    // The file is in the system's code page; paths written by this program are
    // plain on Linux (UTF-8) and in the ANSI code page on Windows.
    return QString::fromLocal8Bit(value->data(), static_cast<qsizetype>(value->size()));
}
