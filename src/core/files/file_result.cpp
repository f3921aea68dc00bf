#include "core/files/file_result.h"

namespace kestrava {

std::string describe(const FileResult& result)
{
    std::string what;
    switch (result.fault) {
    case FileFault::None: return "done";
    case FileFault::SourceMissing: what = "file not found"; break;
    case FileFault::SourceNotRegular: what = "not a regular file"; break;
    case FileFault::SourceOpen: what = "cannot open file"; break;
    case FileFault::SourceRead: what = "cannot read file"; break;
    case FileFault::SourceChanged: what = "the file changed while it was read"; break;
    case FileFault::TargetExists: what = "file already exists"; break;
    case FileFault::TargetNotRegular: what = "not a regular file, it cannot be replaced"; break;
    case FileFault::TargetCreate: what = "cannot create file"; break;
    case FileFault::TargetWrite: what = "cannot write file"; break;
    case FileFault::TargetRename: what = "cannot put the finished file in place"; break;
    case FileFault::Cancelled: what = "cancelled"; break;
    case FileFault::OutOfMemory: what = "not enough memory"; break;
    case FileFault::LineTooLong:
        what = "line " + std::to_string(result.line) + " is too long to list";
        break;
    }
    std::string text = what;
    if (!result.path.empty())
        text += ": " + result.path;
    if (!result.detail.empty())
        text += " (" + result.detail + ")";
    return text;
}

}  // namespace kestrava
