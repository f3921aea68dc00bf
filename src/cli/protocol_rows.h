// The rows of `protocol` (protocol_text.h) for any source of welds, written to
// standard output: the weld protocols, or with report the handover report.
#pragma once

#include "core/protocol/weld_source.h"

namespace kestrava::cli {

// The exit status: done, or a file fault (the source could not be read, or standard
// output could not be written), told on standard error.
int writeProtocolRows(const WeldSource& welds, bool report);

}  // namespace kestrava::cli
