#include "gui/view/code_page.h"

#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

#ifdef Q_OS_WIN
// Windows converts its own code pages (a Qt without ICU knows only UTF and Latin-1).
namespace {

UINT codePageNumber(kestrava::Language language)
{
    return language == kestrava::Language::Polish ? 1250 : 1252;
}

}  // namespace
#endif

const char* codePageName(kestrava::Language language)
{
    return language == kestrava::Language::Polish ? "windows-1250" : "windows-1252";
}

QString fromCodePage(const QByteArray& bytes, kestrava::Language language)
{
#ifdef Q_OS_WIN
    if (bytes.isEmpty())
        return {};
    const UINT page = codePageNumber(language);
    const int size = MultiByteToWideChar(page, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
    QString text(size, Qt::Uninitialized);
    MultiByteToWideChar(page, 0, bytes.constData(), int(bytes.size()),
                        reinterpret_cast<wchar_t*>(text.data()), size);
    return text;
#else
    QStringDecoder decoder(codePageName(language));
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
#endif
}

QByteArray toCodePage(const QString& text, kestrava::Language language)
{
#ifdef Q_OS_WIN
    // A character the code page lacks becomes "?", never a look-alike ("best fit").
    const UINT page = codePageNumber(language);
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int length = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        char bytes[8];
        BOOL substituted = FALSE;
        const int written = WideCharToMultiByte(
            page, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(text.constData() + i),
            length, bytes, int(sizeof bytes), nullptr, &substituted);
        out += (written <= 0 || substituted) ? QByteArray("?") : QByteArray(bytes, written);
        i += length - 1;
    }
    return out;
#else
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
#endif
}
