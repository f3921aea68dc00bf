// Download-file kinds and the names derived from a chosen path.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrava {

enum class DownloadKind {
    Standard,  // last three characters "xls": plain tab-separated text
    Encrypted,  // last three characters "pfd": the same text, scrambled
    Refused,  // anything else (compared case-sensitively: "XLS", "PFD", "xlsx" are refused)
};

DownloadKind downloadKindOf(std::string_view path);

// True when the last three characters are exactly "xls" (no dot required): the Save
// command writes such a name plain and every other name scrambled.
bool isStandardDataName(std::string_view path);

// The name the Save command writes under, from the name chosen in its dialog and the
// file type selected there (standardTypeChosen: "*.xls", else "*.pfd"). A name the
// Open command reads is kept as it is; a name without an extension gets ".xls" or
// ".pfd" by the type; any other name ("weld.XLS", "weld.txt") is refused (nullopt),
// since what is saved under it could not be opened again.
std::optional<std::string> saveTargetName(std::string_view chosen, bool standardTypeChosen);

// The chosen file's name without its folder and without its last four characters
// (the dot and the extension). Both "/" and "\" count as folder separators.
std::string fileTitleOf(std::string_view path);

}  // namespace kestrava
