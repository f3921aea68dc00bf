// The reason a file operation failed, in the interface language, for the window's
// messages: a short phrase for the common causes, the system's own words only for the
// rest.
#pragma once

#include <string>
#include <system_error>

#include "core/settings/build_profile.h"
#include "core/files/file_result.h"

namespace kestrava {

// "nie ma takiego pliku" / "no such file", "brak dostepu" / "access denied",
// "dysk jest pelny" / "disk full", "plik jest uzywany przez inny program" /
// "file in use by another program"; any other error: "blad systemu: " / "system
// error: " followed by the system's text. Empty for no error or for Language::Other.
std::string systemErrorText(const std::error_code& error, Language language);

// The reason of a failed file result: systemErrorText of its error code, or, without
// one, a phrase for the fault kind where the fault itself is the reason (a folder or
// device in place of a file). Empty when there is nothing to add.
std::string faultReasonText(const FileResult& result, Language language);

}  // namespace kestrava
