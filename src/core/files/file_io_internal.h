// Pieces of the file layer shared by its platform parts (file_io_posix.cpp,
// file_io_stdio.cpp); not for use outside the file layer.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include "core/files/file_io.h"

namespace kestrava::fileio::detail {

// True when the test hook wants this operation to fail; errno is then set to the
// hook's error (EIO unless told) so the fault reads like a real one.
bool injected(Operation operation);

FileResult fault(FileFault kind, const std::filesystem::path& path, int error);
FileResult fault(FileFault kind, const std::filesystem::path& path, const std::error_code& ec);

// A fresh temporary name beside target: "." and the start of the target's name, then
// ".tmp-" and a random suffix. Never longer than the longest name allowed the target.
std::filesystem::path temporaryNameFor(const std::filesystem::path& target);

// The temporaries of open writers, so that removeOpenTemporaries() can remove them.
// registerTemporary returns a slot (or -1 when the table is full or the path too
// long); releaseTemporary frees it once the file is in place or removed.
int registerTemporary(const std::filesystem::path& path);
void releaseTemporary(int slot);

}  // namespace kestrava::fileio::detail
