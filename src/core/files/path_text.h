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

}  // namespace kestrava
