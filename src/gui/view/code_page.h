// The Windows code page of the build language: download files, listings and printouts
// are bytes in it (1250 for Polish, 1252 for English and any other language).
#pragma once

#include <QByteArray>
#include <QString>

#include "core/settings/build_profile.h"

const char* codePageName(kestrava::Language language);

// Bytes of the language's code page -> text.
QString fromCodePage(const QByteArray& bytes, kestrava::Language language);

// Text -> bytes of the language's code page; characters the code page lacks become "?".
QByteArray toCodePage(const QString& text, kestrava::Language language);
