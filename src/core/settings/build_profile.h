// The build profile: brand and interface language, fixed when the program is built.
// Code that depends on them takes a BuildProfile (or a Language) as a value, so tests
// can run every brand and language without rebuilding.
#pragma once

#include <string>
#include <string_view>

namespace kestrava {

// The interface language. Comparison with the profile text is exact and
// case-sensitive: only "English" and "Polish" select texts; anything else is Other,
// for which no caption is set and no message is shown.
enum class Language { English, Polish, Other };

Language languageFromName(std::string_view name);

struct BuildProfile {
    std::string brandKey;  // "brenvik", "sorvanta", "teldrum", "ombrek" (any text accepted)
    std::string uiLanguage;  // "English", "Polish" (any text accepted)

    Language language() const { return languageFromName(uiLanguage); }
};

// The profile this program was built with (CMake options KESTRAVA_BRAND, KESTRAVA_LANGUAGE).
BuildProfile buildProfile();

// The program's version, from the CMake project version ("2.2.1").
std::string_view programVersion();

}  // namespace kestrava
