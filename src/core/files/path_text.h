// File names as UTF-8 text and back. Names typed on the command line, written in
// settings files and shown in messages are UTF-8; std::filesystem would otherwise
// convert narrow text through the ANSI code page on Windows, which loses every letter
// outside it ("ł" under code page 1252) and cannot open such a file at all.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kestrava {

std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8Text(const std::filesystem::path& path);

// A name as a message shows it on a terminal: UTF-8 with every control character
// written as an escape ("\n", "\t", "\x1b", "\u009b") and every byte that is no part
// of a UTF-8 character as "\xHH", so that no name can move the cursor, recolour the
// screen or break a message into two.
std::string shownPath(const std::filesystem::path& path);
// The length of the well-formed UTF-8 character at the start of text (no overlong
// form, no surrogate), 0 when there is none.
std::size_t utf8CharLength(std::string_view text);
std::string shownText(std::string_view text);

// Text in the encoding of narrow file names (UTF-8; the ANSI code page on Windows)
// without control characters: what a name kept in a settings file may be.
bool isFileNameText(std::string_view text);
// The file such a name leads to.
std::filesystem::path pathFromFileNameText(std::string_view text);

}  // namespace kestrava
