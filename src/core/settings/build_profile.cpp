#include "core/settings/build_profile.h"

#include "core/settings/build_config.h"

namespace kestrava {

Language languageFromName(std::string_view name)
{
    if (name == "English")
        return Language::English;
    if (name == "Polish")
        return Language::Polish;
    return Language::Other;
}

BuildProfile buildProfile()
{
    return BuildProfile{build::kBrandKey, build::kUiLanguage};
}

std::string_view programVersion()
{
    return build::kVersion;
}

}  // namespace kestrava
