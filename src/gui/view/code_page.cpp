#include "gui/view/code_page.h"

#include <QStringDecoder>
#include <QStringEncoder>

const char* codePageName(kestrava::Language language)
{
    return language == kestrava::Language::Polish ? "windows-1250" : "windows-1252";
}

QString fromCodePage(const QByteArray& bytes, kestrava::Language language)
{
    QStringDecoder decoder(codePageName(language));
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QByteArray toCodePage(const QString& text, kestrava::Language language)
{
    QStringEncoder encoder(codePageName(language));
    if (!encoder.isValid())
        return text.toLatin1();
    // Encode one character at a time, so that a character the code page lacks
    // becomes "?" rather than the converter's substitute byte.
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype length = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString one = text.mid(i, length);
        QStringEncoder single(codePageName(language));
        const QByteArray encoded = single.encode(one);
        out += single.hasError() ? QByteArray("?") : encoded;
        i += length - 1;
    }
    return out;
}
