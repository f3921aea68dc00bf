// Reading a download file's plain text in large pieces: a scrambled file is decoded
// on the way, so that its plain text is never written anywhere. The listing run, the
// print copy and the printout all read through it.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

#include "core/files/file_io.h"
#include "core/files/file_result.h"

namespace kestrava {

// Receives the next piece of plain text; returning false stops the reading.
using PlainPiece = std::function<bool(std::string_view piece)>;

// The same with pieces that may outlast the call: keeper, when set, keeps the piece
// readable for as long as it is held (a plain source mapped in place), so that the
// taker may go on reading it later instead of copying it. settle, when given, is
// called once every piece has been handed out and before the source is checked for
// change at its end: a taker that still reads earlier pieces finishes with them there,
// so that what it used is what the check covers.
using LastingPiece =
    std::function<bool(std::string_view piece, const std::shared_ptr<const void>& keeper)>;
FileResult readPlainPieces(fileio::Reader& source, const std::filesystem::path& sourcePath,
                           bool scrambled, const LastingPiece& take,
                           const std::function<void()>& settle = {}, const Progress& progress = {});

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
