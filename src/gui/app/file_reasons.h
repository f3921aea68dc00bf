// Why a file could not be listed, worded once for every window that says it: the main
// window's hand-over to a spreadsheet program and the fleet summary's unread files.
#pragma once

#include <QString>

enum class NotListedWhy {
    Empty,          // the file has no bytes (no text)
    UnknownHeader,  // the first line starts with no known column name
    NoDateField,    // the first record has no date in field 3 or 4
};

// "not a weld record file: ..." in the build language, lower case, no full stop.
QString notListedReason(NotListedWhy why);

// The same as a sentence: capital letter and full stop.
QString notListedSentence(NotListedWhy why);
