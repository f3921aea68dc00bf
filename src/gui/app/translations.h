// Loads the interface texts of the build language through Qt's translation system.
#pragma once

#include "core/settings/build_profile.h"

class QCoreApplication;

// Polish: the program's own texts (:/i18n/kestrava_pl.qm) and Qt's (qtbase_pl).
// English and any other language: the English source texts. Safe to call again with
// another language (tests switch languages); the previous translators are removed.
void installTranslations(kestrava::Language language);
