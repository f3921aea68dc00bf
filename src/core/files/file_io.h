// The engine's only door to the file system: every open, read, write, rename and
// remove of the engine goes through these functions, so that tests can make the
// k-th operation fail and check that nothing is left half-done.
//
// The platform parts: file_io_posix.cpp (POSIX descriptors) and file_io_stdio.cpp
// (Windows); file_io.cpp holds what they share.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/file_result.h"

namespace kestrava::fileio {

// Status is the check of an opened source (and of a target before it is written),
// Sync the flush of a finished file's data to the disk before it is put in place.
enum class Operation { Status, OpenRead, Read, CreateTemp, Write, Close, Rename, Remove, Sync };

// Test hook: called before every operation; returning true makes that operation fail
// as if the system had refused it with error (an errno value: EIO a device error,
// ENOSPC a full disk). An empty hook (the default) lets everything run.
using FaultHook = std::function<bool(Operation)>;
void setFaultHook(FaultHook hook, int error = EIO);

// How open treats a name that is a symbolic link (on Windows, any reparse point).
enum class Links { Follow, Refuse };

// A readable source. It is opened once and checked on the open file, so that a
// directory, FIFO or device is refused without reading from it (opening a FIFO never
// waits for a writer), whatever the name was swapped for meanwhile. At the end of the
// file its size, modification time and identity are compared with those it had when
// it was opened: a file that changed while it was read gives SourceChanged.
class Reader {
public:
    Reader() = default;
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    ~Reader();

    // A link refused gives SourceNotRegular.
    FileResult open(const std::filesystem::path& path, Links links = Links::Follow);
    // Reads up to size bytes; 0 at the end of the file. Sets fault on a failed read,
    // and (SourceChanged) at the end of a file that changed since it was opened.
    std::size_t read(void* buffer, std::size_t size, FileResult& fault);
    std::uint64_t size() const { return size_; }
    // The bytes handed out so far, by read() or nextMapped().
    std::uint64_t consumed() const { return consumed_; }
    void close();

    // Reading in place: maps the opened file whole, so that its bytes are read where
    // they lie instead of being copied out by read(). False where it cannot be mapped
    // (an empty file, a system that refuses, Windows): read() then reads it as before.
    // A file cut short while it is mapped reads as zeros past its new end instead of
    // ending the program; the end of the file then gives SourceChanged as usual.
    bool map();
    // The next piece (at most `most` bytes) of a mapped file, empty at its end, where
    // the file is checked as read() checks it. The bytes stay readable for as long as
    // keeper() is held, after the reader is closed too. Pages well behind the last
    // piece handed out are dropped from memory (read again from the file should they
    // be touched), so a long file takes no more memory than a short one.
    std::string_view nextMapped(std::size_t most, FileResult& fault);
    std::shared_ptr<const void> keeper() const;

    // What identifies the file's state: compared at the end of the file.
    struct Identity {
        std::uint64_t size = 0;
        std::int64_t modified = 0;  // nanoseconds
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        bool operator==(const Identity&) const = default;
    };

private:
    bool unchangedAtEnd();

    struct Mapping;
    std::shared_ptr<Mapping> mapping_;
    std::uint64_t dropped_ = 0;  // mapped bytes before this are dropped from memory

#ifdef _WIN32
    std::FILE* file_ = nullptr;
#else
    int fd_ = -1;
#endif
    std::filesystem::path path_;
    std::uint64_t size_ = 0;
    std::uint64_t consumed_ = 0;
    Identity opened_;
    bool endChecked_ = false;
};

// A target written through a temporary file beside it. commit() flushes the finished
// temporary file to the disk and puts it in place; destroying an uncommitted writer
// removes the temporary. Without replaceExisting the file is put in place by an
// operation that fails when the name is taken, so that a file created there at any
// moment before is kept (TargetExists). A replaced file's permissions carry over.
class AtomicWriter {
public:
    AtomicWriter() = default;
    AtomicWriter(const AtomicWriter&) = delete;
    AtomicWriter& operator=(const AtomicWriter&) = delete;
    ~AtomicWriter();

    // replaceExisting false: refuses (TargetExists) when the target is already there.
    // A target that exists but is no regular file (a folder, device or FIFO) is never
    // replaced (TargetNotRegular). A work file (durable false) is not flushed to the
    // disk before it is put in place: nothing is lost with it.
    FileResult open(const std::filesystem::path& target, bool replaceExisting = true,
                    bool durable = true);
    FileResult write(const void* data, std::size_t size);
    FileResult commit();
    void abandon();

private:
#ifdef _WIN32
    std::FILE* file_ = nullptr;
#else
    int fd_ = -1;
    FileResult putInPlace();
    std::uint64_t written_ = 0;  // bytes written to the temporary
    std::uint64_t writtenBack_ = 0;  // bytes whose write-back to the disk has been started
#endif
    std::filesystem::path target_;
    std::filesystem::path temp_;
    int tempSlot_ = -1;
    bool replaceExisting_ = true;
    bool durable_ = true;
};

// Removes the temporary files of all writers not yet committed. Safe to call from a
// signal handler (it only unlinks names kept in a fixed table); the command line calls
// it when it is interrupted, so that no half-written temporary stays behind.
void removeOpenTemporaries() noexcept;

// Asks the system to back the memory [data, data + bytes), not yet touched, with large
// pages where it has them: a large table read at random then costs fewer page faults
// and address translations. Does nothing where there are none.
void adviseLargePages(void* data, std::size_t bytes) noexcept;

// Starts the data of the file at path written so far on their way to the disk,
// without waiting for them (on Linux; elsewhere nothing): a flush of the file later
// has that much less to wait for. A file that cannot be opened is left alone.
void startWriteBack(const std::filesystem::path& path) noexcept;

// Removes a file; a missing file is no fault. A folder, device or FIFO is not removed
// (TargetWrite).
FileResult removeFile(const std::filesystem::path& path);

// What a name leads to, links followed, and which file that is: the device and inode
// on POSIX systems, the volume serial number and file index on Windows. Every name of
// one file (a link, the path spelled another way) gives the same identity.
enum class EntryKind { Missing, File, Folder, Fifo, Device, Socket, Other };

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    auto operator<=>(const FileIdentity&) const = default;
};

struct PathStatus {
    EntryKind kind = EntryKind::Missing;
    FileIdentity identity;  // meaningful for File and Folder
    std::uint64_t size = 0;  // of a File
};

// Missing (no fault) for a name that leads nowhere, a dangling link included; a fault
// (SourceOpen) when the system would not say.
FileResult pathStatus(const std::filesystem::path& path, PathStatus& status);

// The entries of a folder (without "." and ".."), sorted. A folder that cannot be
// opened or read to its end gives SourceOpen or SourceRead with the system's error;
// names is then what could be read.
FileResult folderEntries(const std::filesystem::path& folder,
                         std::vector<std::filesystem::path>& names);

// Reads a whole settings file: only a regular file reached by its own name (a link is
// not followed) of at most limit bytes. A larger file is refused (SourceRead) and its
// contents left empty, as are those of any other file refused.
FileResult readSmallFile(const std::filesystem::path& path, std::string& contents,
                         std::size_t limit = 64 * 1024);

}  // namespace kestrava::fileio
