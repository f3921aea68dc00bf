// Why a file could not be listed or read, worded once for every window that says it:
// the main window's hand-over to a spreadsheet program, the fleet summary's unread files
// and the files the weld archive did not import.
#pragma once

#include <QString>
#include <filesystem>

#include "core/fleet/fleet_summary.h"
#include "core/settings/build_profile.h"

enum class NotListedWhy {
    Empty,  // the file has no bytes (no text)
    UnknownHeader,  // the first line starts with no known column name
    NoDateField,  // the first record has no date in field 3 or 4
};

// "not a weld record file: ..." in the build language, lower case, no full stop.
QString notListedReason(NotListedWhy why);

// The same as a sentence: capital letter and full stop.
QString notListedSentence(NotListedWhy why);

// A file name as the lists show it: control characters as their pictures (U+2400 on),
// bytes that are no UTF-8 as U+FFFD, so that every name is seen whole on one line.
QString visibleFileName(const std::filesystem::path& path);

// Why a file was not read or not counted, in the build language, lower case, the
// system's own words after it in brackets where there are some.
QString unreadFileReason(const kestrava::UnreadFile& file, kestrava::Language language);
