#include "core/files/system_error_text.h"

#include <filesystem>

namespace kestrava {

namespace {

struct Phrase {
    const char* english;
    const char* polish;
};

const char* pick(const Phrase& phrase, Language language)
{
    return language == Language::Polish ? phrase.polish : phrase.english;
}

}  // namespace

std::string systemErrorText(const std::error_code& error, Language language)
{
    if (!error || language == Language::Other)
        return {};
    // Compared as portable conditions, so that the system's own codes on Windows
    // (ERROR_FILE_NOT_FOUND, ERROR_SHARING_VIOLATION...) fall into the same phrases.
    const std::error_condition condition = error.default_error_condition();
    const auto is = [&](std::errc code) { return condition == std::make_error_condition(code); };
    static constexpr Phrase kMissing{"no such file", "nie ma takiego pliku"};
    static constexpr Phrase kDenied{"access denied", "brak dostepu"};
    static constexpr Phrase kFull{"disk full", "dysk jest pelny"};
    static constexpr Phrase kInUse{"file in use by another program",
                                   "plik jest uzywany przez inny program"};
    if (is(std::errc::no_such_file_or_directory))
        return pick(kMissing, language);
    if (is(std::errc::permission_denied) || is(std::errc::operation_not_permitted) ||
        is(std::errc::read_only_file_system))
        return pick(kDenied, language);
    if (is(std::errc::no_space_on_device) || is(std::errc::file_too_large))
        return pick(kFull, language);
    if (is(std::errc::device_or_resource_busy) || is(std::errc::text_file_busy))
        return pick(kInUse, language);
#ifdef _WIN32
    // A file another program holds open: Windows reports a sharing or lock violation.
    if (error.category() == std::system_category() && (error.value() == 32 || error.value() == 33))
        return pick(kInUse, language);
#endif
    const std::string prefix = language == Language::Polish ? "blad systemu: " : "system error: ";
    return prefix + error.message();
}

std::string faultReasonText(const FileResult& result, Language language)
{
    if (result.error)
        return systemErrorText(result.error, language);
    if (language == Language::Other)
        return {};
    if (result.fault == FileFault::LineTooLong) {
        std::string text = language == Language::Polish ? "wiersz " : "line ";
        text += std::to_string(result.line);
        text += language == Language::Polish ? std::string(" jest za dlugi") : ": " + result.detail;
        return text;
    }
    if (result.fault == FileFault::TargetCreate && !result.path.empty()) {
        // Without a system error a new file is stopped by a missing folder, or by a
        // folder that is there but takes no new files (the system's own folders
        // such as /proc say "no such file" then).
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::path(result.path).parent_path();
        if (std::filesystem::is_directory(folder.empty() ? std::filesystem::path(".") : folder,
                                          error))
            return pick(
                Phrase{"the folder takes no new files", "w tym folderze nie mozna tworzyc plikow"},
                language);
    }
    // The engine's own details are English: the English build shows them as they are.
    if (language == Language::English && !result.detail.empty())
        return result.detail;
    switch (result.fault) {
    case FileFault::SourceNotRegular:
    case FileFault::TargetNotRegular:
        return pick(
            Phrase{"not a file (a folder or a device)", "to nie jest plik (folder lub urzadzenie)"},
            language);
    case FileFault::TargetCreate:
        // Without a system error only a missing folder stops a new file.
        return pick(Phrase{"the folder does not exist", "nie ma takiego folderu"}, language);
    default: return {};
    }
}

}  // namespace kestrava
