// Reading a download file's plain text in large pieces: a scrambled file is decoded
// on the way, so that its plain text is never written anywhere. The listing run, the
// print copy and the printout all read through it.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "core/files/file_io.h"
#include "core/files/file_result.h"

namespace kestrava {

// Receives the next piece of plain text; returning false stops the reading.
using PlainPiece = std::function<bool(std::string_view piece)>;

// Reads the opened source to its end, handing its plain text to take in pieces of
// about 1 MiB. take returning false ends the reading early with no fault (the caller
// knows why it stopped). progress is called after every piece with the bytes read and
// the source's size; returning false ends with Cancelled (path: sourcePath).
FileResult readPlainText(fileio::Reader& source, const std::filesystem::path& sourcePath,
                         bool scrambled, const PlainPiece& take, const Progress& progress = {});

// The same on a source not yet opened.
FileResult readPlainText(const std::filesystem::path& source, bool scrambled,
                         const PlainPiece& take, const Progress& progress = {});

}  // namespace kestrava
