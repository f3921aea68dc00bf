// A file streamed into a new one chunk by chunk, each chunk passed through a step
// that may change its bytes in place: the copy of Save, and decoding and encoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "core/files/file_result.h"

namespace kestrava::fileio {

// Called with each chunk read (the bytes carried from the chunk before first) and
// whether the source has ended (the chunk then holds only carried bytes); changes
// the bytes in place and returns how many of them go out now. The rest, at most
// kMostCarried bytes, are carried to the next chunk; at the end every byte must go out.
inline constexpr std::size_t kMostCarried = 16;
using ChunkStep = std::function<std::size_t(std::uint8_t* chunk, std::size_t size, bool atEnd)>;

// Writes target through a temporary file beside it (see AtomicWriter), the next chunk
// read while the one before is written. progress gets the bytes written so far and
// the source's size; returning false abandons the target (FileFault::Cancelled).
FileResult copyThrough(const std::filesystem::path& source, const std::filesystem::path& target,
                       bool replaceExisting, const Progress& progress, const ChunkStep& step);

}  // namespace kestrava::fileio
