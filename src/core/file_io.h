// The engine's only door to the file system: every open, read, write, rename and
// remove of the engine goes through these functions, so that tests can make the
// k-th operation fail and check that nothing is left half-done.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "core/file_result.h"

namespace kestrava::fileio {

enum class Operation { Status, OpenRead, Read, CreateTemp, Write, Close, Rename, Remove };

// Test hook: called before every operation; returning true makes that operation fail
// as if the system had refused it. An empty hook (the default) lets everything run.
using FaultHook = std::function<bool(Operation)>;
void setFaultHook(FaultHook hook);

// A readable source: checked to be a regular file before it is opened, so that a
// directory, FIFO or device is refused without reading from it.
class Reader {
public:
    Reader() = default;
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    ~Reader();

    FileResult open(const std::filesystem::path& path);
    // Reads up to size bytes; 0 at the end of the file. Sets fault on a failed read,
    // and at an end that comes before the size the file had when it was opened.
    std::size_t read(void* buffer, std::size_t size, FileResult& fault);
    std::uint64_t size() const { return size_; }
    void close();

private:
    std::FILE* file_ = nullptr;
    std::filesystem::path path_;
    std::uint64_t size_ = 0;
    std::uint64_t consumed_ = 0;
};

// A target written through a temporary file beside it. commit() renames the finished
// temporary file into place; destroying an uncommitted writer removes the temporary.
class AtomicWriter {
public:
    AtomicWriter() = default;
    AtomicWriter(const AtomicWriter&) = delete;
    AtomicWriter& operator=(const AtomicWriter&) = delete;
    ~AtomicWriter();

    // replaceExisting false: refuses (TargetExists) when the target is already there.
    // A target that exists but is no regular file (a folder, device or FIFO) is never
    // replaced (TargetCreate).
    FileResult open(const std::filesystem::path& target, bool replaceExisting = true);
    FileResult write(const void* data, std::size_t size);
    FileResult commit();
    void abandon();

private:
    std::FILE* file_ = nullptr;
    std::filesystem::path target_;
    std::filesystem::path temp_;
    bool replaceExisting_ = true;
};

// Removes a file; a missing file is no fault. A folder, device or FIFO is not removed
// (TargetWrite).
FileResult removeFile(const std::filesystem::path& path);

// Reads a whole small file (settings): nullopt-like result through the fault.
FileResult readSmallFile(const std::filesystem::path& path, std::string& contents,
                         std::size_t limit = 1 << 20);

}  // namespace kestrava::fileio
