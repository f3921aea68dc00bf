// Paths of the window (QString) handed to the engine (std::filesystem::path) and back.
// On POSIX systems a name is bytes, most often UTF-8 but not always: a byte that is no
// part of a UTF-8 character becomes the lone surrogate U+DC00 + byte in the QString and
// that byte again on its way back, so that every name the disk holds can be shown, kept
// and opened as it is.
#pragma once

#include <QString>
#include <filesystem>
#include <string>

#include "core/files/path_text.h"

inline std::filesystem::path toFsPath(const QString& path)
{
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    std::string bytes;
    bytes.reserve(std::size_t(path.size()));
    for (qsizetype i = 0; i < path.size(); ++i) {
        char32_t c = path[i].unicode();
        if (c >= 0xDC80 && c <= 0xDCFF) {  // a byte of the name that is no UTF-8
            bytes += char(c - 0xDC00);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < path.size() && path[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), path[++i].unicode());
        const std::u32string one(1, c);
        bytes += QString::fromUcs4(one.data(), 1).toStdString();
    }
    return std::filesystem::path(bytes);
#endif
}

// The engine's path (std::filesystem::path) as the window shows and keeps it.
inline QString fromFsPath(const std::filesystem::path& path)
{
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    std::string_view bytes = path.native();
    QString text;
    text.reserve(qsizetype(bytes.size()));
    while (!bytes.empty()) {
        const std::size_t length = kestrava::utf8CharLength(bytes);
        if (length == 0) {
            text += QChar(char16_t(0xDC00 + static_cast<unsigned char>(bytes.front())));
            bytes.remove_prefix(1);
            continue;
        }
        text += QString::fromUtf8(bytes.data(), qsizetype(length));
        bytes.remove_prefix(length);
    }
    return text;
#endif
}
