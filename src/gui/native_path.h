// A Qt path as a file-system path of the standard library, without loss: wide
// characters on Windows, the file system's own encoding elsewhere.
#pragma once

#include <QFile>
#include <QString>
#include <filesystem>

inline std::filesystem::path nativePath(const QString& path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}
