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
    qtTranslator = new QTranslator;
    if (qtTranslator->load(QStringLiteral("qtbase_pl"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator);
}
