// The outcome of a file operation of the engine: success, or what failed and where.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <system_error>

namespace kestrava {

enum class FileFault {
    None,
    SourceMissing,  // the source does not exist
    SourceNotRegular,  // a directory, a FIFO, a device...
    SourceOpen,  // exists but cannot be opened (permission)
    SourceRead,  // a read failed part-way
    SourceChanged,  // the file changed (size, time or identity) while it was read
    TargetExists,  // the target exists and replacing it was not allowed
    TargetNotRegular,  // the target is a folder, FIFO or device: never replaced
    TargetCreate,  // the target (or its temporary file) cannot be created
    TargetWrite,  // a write or flush failed (disk full, device gone)
    TargetRename,  // the finished temporary file could not be moved into place
    Cancelled,  // the progress callback asked to stop
    OutOfMemory,  // the work needed more memory than the system would give
    LineTooLong,  // a line of the source is longer than the listing takes (line)
};

struct FileResult {
    FileFault fault = FileFault::None;
    std::string path;  // the file the fault concerns
    std::string detail;  // the system's own words (strerror), may be empty
    std::error_code error;  // the system's error behind detail, when there is one
    std::uint64_t line = 0;  // the line of the source the fault concerns, when there is one

    bool ok() const { return fault == FileFault::None; }
    explicit operator bool() const { return ok(); }
};

// English one-line description, for the command line and for logs.
std::string describe(const FileResult& result);

// Called now and then during long file work with the bytes done and the total
// (0 when unknown). Returning false cancels the work, which then ends with
// FileFault::Cancelled and leaves no half-written target.
using Progress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

}  // namespace kestrava
