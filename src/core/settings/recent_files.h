// The list of recently opened files, kept in "recentfiles.txt" beside the two
// default-folder files: one path a line, CR LF, the most recent first.
//
// Each line is read by the default-folder files' rule (leading blanks skipped, a value
// starting with a double quote runs to the next one); empty lines are skipped, as are
// a path longer than kRecentFileLongest bytes, one that is not text in the encoding of
// file names (or holds a control character) and a path seen again. At most
// kRecentFilesKept paths are kept.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/file_result.h"

namespace kestrava {

inline constexpr const char* kRecentFilesName = "recentfiles.txt";
inline constexpr std::size_t kRecentFilesKept = 8;
inline constexpr std::size_t kRecentFileLongest = 4096;

using RecentFiles = std::vector<std::string>;

// names, when set, says whether a path that passes the rules above is kept.
RecentFiles recentFilesFromText(std::string_view contents,
                                const std::function<bool(const std::string&)>& names = {});

// The list with path first, an earlier entry of the same path dropped, cut to the
// number kept.
RecentFiles withRecentFile(RecentFiles list, std::string_view path);

// The list without path.
RecentFiles withoutRecentFile(RecentFiles list, std::string_view path);

// An empty list when the file is missing or cannot be read (see readSmallFile: no
// link, at most kSettingsFileLargest bytes); paths naming no regular file are dropped.
RecentFiles readRecentFiles(const std::filesystem::path& file);

// Replaces the file with the list, through a temporary file.
FileResult writeRecentFiles(const std::filesystem::path& file, const RecentFiles& list);

}  // namespace kestrava
