// Standard output and error of kestrava-cli: results on standard output, English
// messages on standard error.
#pragma once

#include <string_view>

#include "core/files/file_result.h"

namespace kestrava::cli {

// Writes result bytes to standard output; false when the write failed.
bool writeOut(std::string_view bytes);
// Flushes standard output; false (with a message) when anything failed to reach it.
bool finishOut();

// True when standard error is a terminal (progress is shown there only).
bool standardErrorIsTerminal();

// "kestrava-cli: <message>" on standard error.
void message(std::string_view text);
void message(const FileResult& fault);

}  // namespace kestrava::cli
