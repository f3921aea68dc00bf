// The default-folder settings files ("defaultpathload.txt", "defaultpathsave.txt"):
// one line, the folder's path, CR LF.
//
// Reading rule: the whole first line is the value, leading blanks skipped; a value
// that starts with a double quote runs to the next double quote (quotes removed).
// A file that cannot be opened gives no value (the caller falls back to its default
// folder); an empty file gives the empty value.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/file_result.h"

namespace kestrava {

inline constexpr const char* kDefaultLoadFileName = "defaultpathload.txt";
inline constexpr const char* kDefaultSaveFileName = "defaultpathsave.txt";
// The largest settings file read; a larger one (like a link) is not read at all.
inline constexpr std::size_t kSettingsFileLargest = 64 * 1024;

// nullopt when the file cannot be opened, is no regular file reached by its own name
// (a link is not followed) or is larger than kSettingsFileLargest.
std::optional<std::string> readDefaultFolder(const std::filesystem::path& file);

// The reading rule on a file's contents (for tests and fuzzing).
std::string defaultFolderFromText(std::string_view contents);

// Replaces the file with one line: folder, CR LF. Written through a temporary file.
FileResult writeDefaultFolder(const std::filesystem::path& file, std::string_view folder);

}  // namespace kestrava
