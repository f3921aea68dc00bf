// Paths of the window (QString) handed to the engine (std::filesystem::path).
#pragma once

#include <QFile>
#include <QString>
#include <filesystem>

inline std::filesystem::path toFsPath(const QString& path)
{
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    // The file system's own encoding of the name (UTF-8 on current systems).
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// The engine's path (std::filesystem::path) as the window shows and keeps it.
inline QString fromFsPath(const std::filesystem::path& path)
{
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}
