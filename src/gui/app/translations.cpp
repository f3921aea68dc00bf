#include "gui/app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
QTranslator* programTranslator = nullptr;
QTranslator* qtTranslator = nullptr;

void removeTranslator(QTranslator*& translator)
{
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
}
}  // namespace

void installTranslations(kestrava::Language language)
{
    removeTranslator(programTranslator);
    removeTranslator(qtTranslator);
    if (language != kestrava::Language::Polish)
        return;
    programTranslator = new QTranslator;
    if (programTranslator->load(QStringLiteral(":/i18n/kestrava_pl.qm")))
        QCoreApplication::installTranslator(programTranslator);
    // Qt's own texts (the buttons of message boxes and dialogs) are built in: a Qt
    // linked into the program has no folder of translations beside it.
    qtTranslator = new QTranslator;
    if (qtTranslator->load(QStringLiteral(":/i18n/qtbase_pl.qm")) ||
        qtTranslator->load(QStringLiteral("qtbase_pl"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator);
}
