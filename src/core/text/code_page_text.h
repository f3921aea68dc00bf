// Text of the files in the build language's Windows code page (1250 for Polish, 1252
// for English and any other language) as UTF-8, for what must be Unicode (a workbook's
// cells) where no Qt is at hand.
#pragma once

#include <string>
#include <string_view>

#include "core/settings/build_profile.h"

namespace kestrava {

// Bytes the code page leaves undefined, and control bytes other than TAB, CR and LF,
// become U+FFFD.
std::string utf8FromCodePage(std::string_view bytes, Language language);

}  // namespace kestrava
