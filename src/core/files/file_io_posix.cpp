// The file layer on POSIX descriptors (Linux and other POSIX systems).
#ifndef _WIN32

#ifndef _GNU_SOURCE
#define _GNU_SOURCE 1  // renameat2
#endif

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/files/file_io.h"
#include "core/files/file_io_internal.h"

namespace kestrava::fileio {

using detail::fault;
using detail::injected;

namespace {

Reader::Identity identityOf(const struct stat& status)
{
    Reader::Identity identity;
    identity.size = std::uint64_t(status.st_size);
#if defined(__APPLE__)
    identity.modified =
        std::int64_t(status.st_mtimespec.tv_sec) * 1'000'000'000 + status.st_mtimespec.tv_nsec;
#else
    identity.modified =
        std::int64_t(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
#endif
    identity.device = std::uint64_t(status.st_dev);
    identity.inode = std::uint64_t(status.st_ino);
    return identity;
}

void closeDescriptor(int& fd)
{
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// The folder's entry for a new name reaches the disk too (best effort: some file
// systems cannot flush a folder).
void syncFolderOf(const std::filesystem::path& path)
{
    auto folder = path.parent_path();
    if (folder.empty())
        folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The file system has no such operation (as opposed to refusing this one).
bool unsupported(int error)
{
    // EOPNOTSUPP and ENOTSUP are one value on Linux, two on other systems.
    // NOLINTBEGIN(misc-redundant-expression)
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP ||
           error == EPERM;
    // NOLINTEND(misc-redundant-expression)
}

// The files mapped for reading, for the bus-error handler: a fixed table of atomics,
// since a signal handler reads it. State 0 free, 1 being filled, 2 mapped.
constexpr int kMappedSlots = 32;

struct MappedSlot {
    std::atomic<int> state{0};
    std::atomic<std::uintptr_t> start{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> cut{false};  // the file was cut short under the mapping
};

MappedSlot mappedSlots[kMappedSlots];
std::uintptr_t pageSize = 4096;
struct sigaction previousBusAction { };

// A bus error is what touching a mapped page past the end of a file that was cut short
// gives. When it lies in a mapped source, the rest of that mapping is replaced with
// zero pages and the access goes on: the reader sees the file changed at its end.
// Any other bus error goes to the action there was before.
void onBusError(int signal, siginfo_t* info, void* context)
{
    const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (auto& slot : mappedSlots) {
        if (slot.state.load() != 2)
            continue;
        const std::uintptr_t end = slot.end.load();
        if (at < slot.start.load() || at >= end)
            continue;
        const std::uintptr_t page = at & ~(pageSize - 1);
        // mmap is a plain system call here: safe in a signal handler.
        if (::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            slot.cut.store(true);
            return;
        }
        break;
    }
    if ((previousBusAction.sa_flags & SA_SIGINFO) && previousBusAction.sa_sigaction) {
        previousBusAction.sa_sigaction(signal, info, context);
        return;
    }
    if (!(previousBusAction.sa_flags & SA_SIGINFO) && previousBusAction.sa_handler != SIG_DFL &&
        previousBusAction.sa_handler != SIG_IGN) {
        previousBusAction.sa_handler(signal);
        return;
    }
    // Returning runs the access again, which then ends the program as it would have.
    struct sigaction fallback { };
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(SIGBUS, &fallback, nullptr);
}

bool busHandlerInstalled()
{
    static const bool installed = [] {
        if (const long size = ::sysconf(_SC_PAGESIZE); size > 0)
            pageSize = std::uintptr_t(size);
        struct sigaction action { };
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        return ::sigaction(SIGBUS, &action, &previousBusAction) == 0;
    }();
    return installed;
}

}  // namespace

// A mapped source, unmapped when the reader and every keeper have let it go.
struct Reader::Mapping {
    const char* data = nullptr;
    std::size_t size = 0;  // the file's size when it was mapped
    std::size_t length = 0;  // size rounded up to whole pages
    MappedSlot* slot = nullptr;

    ~Mapping()
    {
        slot->state.store(0);
        ::munmap(const_cast<char*>(data), length);
    }
};

Reader::~Reader()
{
    close();
}

FileResult Reader::open(const std::filesystem::path& path, Links links)
{
    close();
    path_ = path;
    endChecked_ = false;
    consumed_ = 0;
    if (injected(Operation::OpenRead))
        return fault(FileFault::SourceOpen, path, errno);
    // Non-blocking, so that a FIFO (or a name swapped for one) is opened at once and
    // then refused, instead of waiting for a writer.
    const int noFollow = links == Links::Refuse ? O_NOFOLLOW : 0;
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | noFollow);
    if (fd < 0) {
        const int error = errno;
        if (noFollow && error == ELOOP) {
            FileResult refused = fault(FileFault::SourceNotRegular, path, 0);
            refused.detail = "a link";
            return refused;
        }
        return fault(error == ENOENT ? FileFault::SourceMissing : FileFault::SourceOpen, path,
                     error);
    }
    struct stat status { };
    if (injected(Operation::Status) || ::fstat(fd, &status) != 0) {
        const int error = errno;
        closeDescriptor(fd);
        return fault(FileFault::SourceOpen, path, error);
    }
    if (!S_ISREG(status.st_mode)) {
        closeDescriptor(fd);
        return fault(FileFault::SourceNotRegular, path, 0);
    }
    // A regular file: ordinary reads from here on.
    if (const int flags = ::fcntl(fd, F_GETFL); flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd;
    opened_ = identityOf(status);
    size_ = opened_.size;
    return {};
}

bool Reader::unchangedAtEnd()
{
    // Everything the file held was read, the open file still has its size and time,
    // and the name still leads to this file (not replaced or moved away).
    struct stat now { };
    if (consumed_ != size_ || ::fstat(fd_, &now) != 0 || !(identityOf(now) == opened_))
        return false;
    struct stat byName { };
    if (::stat(path_.c_str(), &byName) != 0)
        return false;
    return std::uint64_t(byName.st_dev) == opened_.device &&
           std::uint64_t(byName.st_ino) == opened_.inode;
}

std::size_t Reader::read(void* buffer, std::size_t size, FileResult& result)
{
    if (fd_ < 0)
        return 0;
    if (injected(Operation::Read)) {
        result = fault(FileFault::SourceRead, path_, errno);
        return 0;
    }
    if (size > std::size_t(SSIZE_MAX))
        size = std::size_t(SSIZE_MAX);
    ssize_t got;
    do
        got = ::read(fd_, buffer, size);
    while (got < 0 && errno == EINTR);
    if (got < 0) {
        result = fault(FileFault::SourceRead, path_, errno);
        return 0;
    }
    consumed_ += std::uint64_t(got);
    if (consumed_ > size_) {
        // More than the file held when it was opened: it grew while it was read.
        result = fault(FileFault::SourceChanged, path_, 0);
        return std::size_t(got);
    }
    if (got == 0 && size > 0 && !endChecked_) {
        endChecked_ = true;
        if (!unchangedAtEnd())
            result = fault(FileFault::SourceChanged, path_, 0);
    }
    return std::size_t(got);
}

bool Reader::map()
{
    mapping_.reset();
    if (fd_ < 0 || consumed_ != 0 || size_ == 0 || size_ > std::uint64_t(SIZE_MAX / 2) ||
        !busHandlerInstalled())
        return false;
    MappedSlot* slot = nullptr;
    for (auto& candidate : mappedSlots) {
        int expected = 0;
        if (candidate.state.compare_exchange_strong(expected, 1)) {
            slot = &candidate;
            break;
        }
    }
    if (!slot)
        return false;  // as many sources mapped as the table holds: this one is read
    const auto size = std::size_t(size_);
    const std::size_t length = (size + pageSize - 1) & ~std::size_t(pageSize - 1);
    void* at = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd_, 0);
    if (at == MAP_FAILED) {
        slot->state.store(0);
        return false;
    }
    ::madvise(at, length, MADV_SEQUENTIAL);
    slot->start.store(reinterpret_cast<std::uintptr_t>(at));
    slot->end.store(reinterpret_cast<std::uintptr_t>(at) + length);
    slot->cut.store(false);
    slot->state.store(2);
    auto mapping = std::make_shared<Mapping>();
    mapping->data = static_cast<const char*>(at);
    mapping->size = size;
    mapping->length = length;
    mapping->slot = slot;
    mapping_ = std::move(mapping);
    dropped_ = 0;
    return true;
}

std::string_view Reader::nextMapped(std::size_t most, FileResult& result)
{
    if (!mapping_ || fd_ < 0)
        return {};
    if (injected(Operation::Read)) {
        result = fault(FileFault::SourceRead, path_, errno);
        return {};
    }
    // Pages this far behind the last piece are no longer read (the listing's workers
    // stay within a few MiB of it); touched again, they would be read from the file.
    // They are let go a few MiB at a time: each time costs the other processors
    // running the program's threads an interruption.
    constexpr std::uint64_t kKeptBehind = std::uint64_t(4) << 20;
    constexpr std::uint64_t kDroppedAtOnce = std::uint64_t(4) << 20;
    if (consumed_ > kKeptBehind) {
        const std::uint64_t upTo = (consumed_ - kKeptBehind) & ~std::uint64_t(pageSize - 1);
        if (upTo >= dropped_ + kDroppedAtOnce) {
            ::madvise(const_cast<char*>(mapping_->data) + dropped_, std::size_t(upTo - dropped_),
                      MADV_DONTNEED);
            dropped_ = upTo;
        }
    }
    const std::uint64_t rest = mapping_->size - consumed_;
    if (rest == 0) {
        if (!endChecked_) {
            endChecked_ = true;
            if (mapping_->slot->cut.load() || !unchangedAtEnd())
                result = fault(FileFault::SourceChanged, path_, 0);
        }
        return {};
    }
    const std::size_t got = rest < most ? std::size_t(rest) : most;
    const std::string_view piece(mapping_->data + consumed_, got);
    consumed_ += got;
    return piece;
}

std::shared_ptr<const void> Reader::keeper() const
{
    return mapping_;
}

void Reader::close()
{
    closeDescriptor(fd_);
    mapping_.reset();
}

AtomicWriter::~AtomicWriter()
{
    abandon();
}

FileResult AtomicWriter::open(const std::filesystem::path& target, bool replaceExisting,
                              bool durable)
{
    abandon();
    target_ = target;
    replaceExisting_ = replaceExisting;
    durable_ = durable;
    written_ = 0;
    writtenBack_ = 0;

    // Only a regular file (or a link to one) is replaced: renaming over a device, a
    // FIFO or a folder would put a plain file in the place of, say, /dev/null.
    int keptMode = -1;
    struct stat entry { };
    if (::lstat(target.c_str(), &entry) == 0) {
        struct stat followed { };
        const bool dangling = S_ISLNK(entry.st_mode) && ::stat(target.c_str(), &followed) != 0;
        if (!S_ISLNK(entry.st_mode))
            followed = entry;
        if (!dangling && !S_ISREG(followed.st_mode))
            return fault(FileFault::TargetNotRegular, target, 0);
        if (!replaceExisting)
            return fault(FileFault::TargetExists, target, 0);
        if (!dangling)
            keptMode = int(followed.st_mode & 07777);
    }

    for (int attempt = 0; attempt < 100; ++attempt) {
        auto temp = detail::temporaryNameFor(target);
        if (injected(Operation::CreateTemp))
            return fault(FileFault::TargetCreate, target, errno);
        // The name is registered before the file exists, so that a signal arriving
        // just after the create still finds it (a name of this random form that is
        // taken can only be another of the program's own temporaries).
        const int slot = detail::registerTemporary(temp);
        const int fd =
            ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0)
            detail::releaseTemporary(slot);
        if (fd >= 0) {
            fd_ = fd;
            temp_ = std::move(temp);
            tempSlot_ = slot;
            // The replaced file's permissions carry over (a private 0600 file stays
            // private); a new file gets the usual ones under the umask.
            if (keptMode >= 0)
                ::fchmod(fd_, mode_t(keptMode));
            return {};
        }
        if (errno == ENOENT || errno == ENOTDIR) {
            // Said plainly: "No such file or directory" reads as if the target were meant.
            auto missing = fault(FileFault::TargetCreate, target, 0);
            missing.detail =
                "the folder " +
                (target.has_parent_path() ? target.parent_path().string() : std::string(".")) +
                " does not exist";
            return missing;
        }
        if (errno != EEXIST)
            return fault(FileFault::TargetCreate, target, errno);
    }
    return fault(FileFault::TargetCreate, target, EEXIST);
}

FileResult AtomicWriter::write(const void* data, std::size_t size)
{
    if (fd_ < 0)
        return fault(FileFault::TargetWrite, target_, EBADF);
    if (size == 0)
        return {};
    if (injected(Operation::Write))
        return fault(FileFault::TargetWrite, target_, errno);
    const char* from = static_cast<const char*>(data);
    while (size > 0) {
        const std::size_t piece = size > std::size_t(SSIZE_MAX) ? std::size_t(SSIZE_MAX) : size;
        const ssize_t written = ::write(fd_, from, piece);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fault(FileFault::TargetWrite, target_, errno);
        }
        if (written == 0)
            return fault(FileFault::TargetWrite, target_, ENOSPC);
        from += written;
        size -= std::size_t(written);
        written_ += std::uint64_t(written);
    }
#ifdef __linux__
    // A durable file's data start on their way to the disk while the rest is written,
    // so that the flush before it is put in place has little left to wait for.
    constexpr std::uint64_t kWriteBackStep = std::uint64_t(8) << 20;
    if (durable_ && written_ - writtenBack_ >= kWriteBackStep) {
        ::sync_file_range(fd_, off_t(writtenBack_), off_t(written_ - writtenBack_),
                          SYNC_FILE_RANGE_WRITE);
        writtenBack_ = written_;
    }
#endif
    return {};
}

void adviseLargePages(void* data, std::size_t bytes) noexcept
{
#ifdef MADV_HUGEPAGE
    // Only whole large pages within the range (2 MiB on the systems that have them).
    constexpr std::uintptr_t kLarge = std::uintptr_t(2) << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t from = (start + kLarge - 1) & ~(kLarge - 1);
    const std::uintptr_t to = (start + bytes) & ~(kLarge - 1);
    if (to > from)
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
    (void)data, (void)bytes;
#endif
}

void startWriteBack(const std::filesystem::path& path) noexcept
{
#ifdef __linux__
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    ::close(fd);
#else
    (void)path;
#endif
}

FileResult AtomicWriter::putInPlace()
{
    if (injected(Operation::Rename))
        return fault(FileFault::TargetRename, target_, errno);
    if (replaceExisting_) {
#ifdef __linux__
        // A file that is not flushed (a work file) changes places with the file it
        // replaces, which is then removed under the temporary name. Renamed over the
        // old file instead, it would be written out whole before the rename returns
        // (ext4 does so for a file replaced by a rename): seconds for a listing of a
        // gigabyte, on every open after the first. Where the exchange cannot be made
        // (no file to replace, a file system without it), the rename does the work.
        if (!durable_ &&
            ::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) == 0) {
            ::unlink(temp_.c_str());
            return {};
        }
#endif
        if (::rename(temp_.c_str(), target_.c_str()) != 0)
            return fault(FileFault::TargetRename, target_, errno);
        return {};
    }
#ifdef __linux__
    // One step that fails when the name is taken, whenever it was taken.
    if (::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno == EEXIST)
        return fault(FileFault::TargetExists, target_, 0);
    if (!unsupported(errno))
        return fault(FileFault::TargetRename, target_, errno);
#endif
    // A file system without that rename: a new link fails the same way on a taken
    // name; the temporary name is removed afterwards.
    if (::link(temp_.c_str(), target_.c_str()) == 0) {
        ::unlink(temp_.c_str());
        return {};
    }
    if (errno == EEXIST)
        return fault(FileFault::TargetExists, target_, 0);
    if (!unsupported(errno))
        return fault(FileFault::TargetRename, target_, errno);
    // Neither (a file system without links, such as FAT): check, then rename.
    struct stat entry { };
    if (::lstat(target_.c_str(), &entry) == 0)
        return fault(FileFault::TargetExists, target_, 0);
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        return fault(FileFault::TargetRename, target_, errno);
    return {};
}

FileResult AtomicWriter::commit()
{
    if (fd_ < 0)
        return fault(FileFault::TargetWrite, target_, EBADF);
    // The data reach the disk before the name does: a crash right after never leaves
    // an empty or partial file under the target's name.
    if (durable_ && (injected(Operation::Sync) || ::fsync(fd_) != 0)) {
        const int error = errno;
        abandon();
        return fault(FileFault::TargetWrite, target_, error);
    }
    const int fd = fd_;
    fd_ = -1;
    const bool closeFailed = injected(Operation::Close);
    int error = errno;
    if (::close(fd) != 0 || closeFailed) {
        if (!closeFailed)
            error = errno;
        abandon();
        return fault(FileFault::TargetWrite, target_, error);
    }
    if (FileResult placed = putInPlace(); !placed) {
        abandon();
        return placed;
    }
    if (durable_)
        syncFolderOf(target_);
    detail::releaseTemporary(tempSlot_);
    tempSlot_ = -1;
    temp_.clear();
    return {};
}

void AtomicWriter::abandon()
{
    closeDescriptor(fd_);
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    detail::releaseTemporary(tempSlot_);
    tempSlot_ = -1;
}

FileResult pathStatus(const std::filesystem::path& path, PathStatus& status)
{
    status = {};
    struct stat info { };
    if (injected(Operation::Status)) {
        return fault(FileFault::SourceOpen, path, EIO);
    }
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {};  // nothing there, or a dangling link
        return fault(FileFault::SourceOpen, path, errno);
    }
    if (S_ISREG(info.st_mode))
        status.kind = EntryKind::File;
    else if (S_ISDIR(info.st_mode))
        status.kind = EntryKind::Folder;
    else if (S_ISFIFO(info.st_mode))
        status.kind = EntryKind::Fifo;
    else if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        status.kind = EntryKind::Device;
    else if (S_ISSOCK(info.st_mode))
        status.kind = EntryKind::Socket;
    else
        status.kind = EntryKind::Other;
    status.identity = {std::uint64_t(info.st_dev), std::uint64_t(info.st_ino)};
    status.size = std::uint64_t(info.st_size);
    return {};
}

}  // namespace kestrava::fileio

#endif  // !_WIN32
