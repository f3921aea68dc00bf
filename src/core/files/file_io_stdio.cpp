// The file layer on Windows: wide paths throughout (never the ANSI code page, so that
// every Polish letter of a name survives), the temporary created exclusively, and the
// finished file put in place by MoveFileExW, which replaces a file only when asked:
// a target that appears meanwhile is kept and reported as existing. The source is
// checked by name before it is opened and its size compared at the end.
#ifdef _WIN32

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <system_error>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "core/files/file_io.h"
#include "core/files/file_io_internal.h"

namespace kestrava::fileio {

using detail::fault;
using detail::injected;

namespace {

// Size, last write, volume and file index of an open file.
bool identityOf(HANDLE handle, Reader::Identity& identity)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info))
        return false;
    identity.size = (std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    identity.modified = std::int64_t((std::uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                     info.ftLastWriteTime.dwLowDateTime) *
                        100;
    identity.device = info.dwVolumeSerialNumber;
    identity.inode = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

// The same for the file the name leads to now.
bool identityByName(const std::filesystem::path& path, Reader::Identity& identity)
{
    HANDLE handle =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const bool got = identityOf(handle, identity);
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    return got;
}

HANDLE handleOf(std::FILE* file)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

}  // namespace

Reader::~Reader()
{
    close();
}

FileResult Reader::open(const std::filesystem::path& path, Links links)
{
    close();
    path_ = path;
    endChecked_ = false;
    std::error_code ec;
    if (injected(Operation::Status))
        return fault(FileFault::SourceOpen, path, errno);
    const auto status = links == Links::Refuse ? std::filesystem::symlink_status(path, ec)
                                               : std::filesystem::status(path, ec);
    if (ec || status.type() == std::filesystem::file_type::not_found) {
        if (status.type() == std::filesystem::file_type::not_found)
            return fault(FileFault::SourceMissing, path, ENOENT);
        return fault(FileFault::SourceOpen, path, ec);
    }
    if (status.type() != std::filesystem::file_type::regular)
        return fault(FileFault::SourceNotRegular, path, 0);
    if (injected(Operation::OpenRead))
        return fault(FileFault::SourceOpen, path, errno);
    if (links == Links::Refuse) {
        // The reparse point itself is opened, never what it leads to, and refused
        // when it is one: the name may have been swapped for a link since it was looked at.
        HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            FileResult refused = fault(FileFault::SourceOpen, path, 0);
            refused.error = std::error_code(int(GetLastError()), std::system_category());
            refused.detail = refused.error.message();
            return refused;
        }
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(handle, &info) || GetFileType(handle) != FILE_TYPE_DISK ||
            (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
            CloseHandle(handle);
            return fault(FileFault::SourceNotRegular, path, 0);
        }
        const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
        if (fd < 0) {
            CloseHandle(handle);
            return fault(FileFault::SourceOpen, path, errno);
        }
        file_ = _fdopen(fd, "rb");
        if (!file_) {
            const int error = errno;
            _close(fd);
            return fault(FileFault::SourceOpen, path, error);
        }
    } else {
        file_ = _wfopen(path.c_str(), L"rb");
    }
    if (!file_)
        return fault(FileFault::SourceOpen, path, errno);
    std::setvbuf(file_, nullptr, _IONBF, 0);
    opened_ = {};
    if (!identityOf(handleOf(file_), opened_)) {
        const auto length = std::filesystem::file_size(path, ec);
        opened_.size = ec ? 0 : std::uint64_t(length);
    }
    size_ = opened_.size;
    consumed_ = 0;
    return {};
}

// The open file still as it was (not grown, shrunk or rewritten), and the name still
// leading to it (not replaced), with every byte read.
bool Reader::unchangedAtEnd()
{
    Identity now, named;
    return identityOf(handleOf(file_), now) && now == opened_ && identityByName(path_, named) &&
           named == opened_ && consumed_ == size_;
}

std::size_t Reader::read(void* buffer, std::size_t size, FileResult& result)
{
    if (!file_)
        return 0;
    if (injected(Operation::Read)) {
        result = fault(FileFault::SourceRead, path_, errno);
        return 0;
    }
    const std::size_t got = std::fread(buffer, 1, size, file_);
    if (got < size && std::ferror(file_)) {
        result = fault(FileFault::SourceRead, path_, errno);
        return got;
    }
    consumed_ += got;
    if (got == 0 && size > 0 && !endChecked_) {
        endChecked_ = true;
        if (!unchangedAtEnd())
            result = fault(FileFault::SourceChanged, path_, 0);
    }
    return got;
}

// Windows reads through read() alone.
struct Reader::Mapping { };

bool Reader::map()
{
    return false;
}

std::string_view Reader::nextMapped(std::size_t, FileResult&)
{
    return {};
}

std::shared_ptr<const void> Reader::keeper() const
{
    return mapping_;
}

void Reader::close()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
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
    std::error_code ec;
    if (const auto existing = std::filesystem::status(target, ec);
        !ec && std::filesystem::exists(existing) && !std::filesystem::is_regular_file(existing))
        return fault(FileFault::TargetNotRegular, target, 0);
    if (!replaceExisting && std::filesystem::exists(std::filesystem::symlink_status(target, ec)))
        return fault(FileFault::TargetExists, target, 0);
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto temp = detail::temporaryNameFor(target);
        if (injected(Operation::CreateTemp))
            return fault(FileFault::TargetCreate, target, errno);
        errno = 0;
        // _O_EXCL: the C runtime's "x" mode is not exclusive on every runtime.
        // Registered before the file exists, as on POSIX systems.
        const int slot = detail::registerTemporary(temp);
        const int fd =
            _wopen(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                   _S_IREAD | _S_IWRITE);
        if (fd >= 0 && !(file_ = _fdopen(fd, "wb"))) {
            const int error = errno;
            _close(fd);
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            detail::releaseTemporary(slot);
            return fault(FileFault::TargetCreate, target, error);
        }
        if (!file_)
            detail::releaseTemporary(slot);
        if (file_) {
            std::setvbuf(file_, nullptr, _IONBF, 0);
            temp_ = std::move(temp);
            tempSlot_ = slot;
            return {};
        }
        if (errno == ENOENT) {
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
    if (!file_)
        return fault(FileFault::TargetWrite, target_, EBADF);
    if (size == 0)
        return {};
    if (injected(Operation::Write))
        return fault(FileFault::TargetWrite, target_, errno);
    if (std::fwrite(data, 1, size, file_) != size)
        return fault(FileFault::TargetWrite, target_, errno);
    return {};
}

FileResult AtomicWriter::commit()
{
    if (!file_)
        return fault(FileFault::TargetWrite, target_, EBADF);
    // The data reach the disk before the name does.
    if (durable_ &&
        (injected(Operation::Sync) || std::fflush(file_) != 0 || _commit(_fileno(file_)) != 0)) {
        const int error = errno;
        abandon();
        return fault(FileFault::TargetWrite, target_, error);
    }
    std::FILE* file = file_;
    file_ = nullptr;
    const bool closeFailed = injected(Operation::Close);
    int error = errno;
    if (std::fclose(file) != 0 && !closeFailed) {
        error = errno;
        abandon();
        return fault(FileFault::TargetWrite, target_, error);
    }
    if (closeFailed) {
        abandon();
        return fault(FileFault::TargetWrite, target_, error);
    }
    std::error_code ec;
    if (!replaceExisting_ &&
        std::filesystem::exists(std::filesystem::symlink_status(target_, ec))) {
        abandon();
        return fault(FileFault::TargetExists, target_, 0);
    }
    if (injected(Operation::Rename)) {
        error = errno;
        abandon();
        return fault(FileFault::TargetRename, target_, error);
    }
    DWORD flags = replaceExisting_ ? MOVEFILE_REPLACE_EXISTING : 0;
    if (durable_)
        flags |= MOVEFILE_WRITE_THROUGH;
    if (!MoveFileExW(temp_.c_str(), target_.c_str(), flags)) {
        DWORD code = GetLastError();
        abandon();
        if (code == ERROR_ACCESS_DENIED) {
            // Also what a target held open by another program gives: told apart by
            // asking for it as the rename would.
            HANDLE probe = CreateFileW(target_.c_str(), DELETE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (probe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION)
                code = ERROR_SHARING_VIOLATION;
            if (probe != INVALID_HANDLE_VALUE)
                CloseHandle(probe);
        }
        if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)
            return fault(FileFault::TargetExists, target_, 0);
        // A target held open by another program gives a sharing violation (or access
        // denied): reported as such, with the temporary removed.
        return fault(FileFault::TargetRename, target_,
                     std::error_code(int(code), std::system_category()));
    }
    detail::releaseTemporary(tempSlot_);
    tempSlot_ = -1;
    temp_.clear();
    return {};
}

void AtomicWriter::abandon()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temp_.empty()) {
        std::error_code ec;
        std::filesystem::remove(temp_, ec);
        temp_.clear();
    }
    detail::releaseTemporary(tempSlot_);
    tempSlot_ = -1;
}

FileResult pathStatus(const std::filesystem::path& path, PathStatus& status)
{
    status = {};
    if (injected(Operation::Status))
        return fault(FileFault::SourceOpen, path, EIO);
    // Opened for no access at all, so that a file held open by another program still
    // answers; FILE_FLAG_BACKUP_SEMANTICS opens folders too. Links are followed.
    HANDLE handle =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
            error == ERROR_INVALID_NAME)
            return {};
        FileResult refused = fault(FileFault::SourceOpen, path, 0);
        refused.error = std::error_code(int(error), std::system_category());
        refused.detail = refused.error.message();
        return refused;
    }
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    const DWORD error = known ? 0 : GetLastError();
    const DWORD type = GetFileType(handle);
    CloseHandle(handle);
    if (!known) {
        FileResult refused = fault(FileFault::SourceOpen, path, 0);
        refused.error = std::error_code(int(error), std::system_category());
        refused.detail = refused.error.message();
        return refused;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        status.kind = EntryKind::Folder;
    else if (type == FILE_TYPE_DISK)
        status.kind = EntryKind::File;
    else if (type == FILE_TYPE_PIPE)
        status.kind = EntryKind::Fifo;
    else if (type == FILE_TYPE_CHAR)
        status.kind = EntryKind::Device;
    else
        status.kind = EntryKind::Other;
    status.identity = {std::uint64_t(info.dwVolumeSerialNumber),
                       (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    status.size = (std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return {};
}

void adviseLargePages(void*, std::size_t) noexcept
{ }

void startWriteBack(const std::filesystem::path&) noexcept
{ }

}  // namespace kestrava::fileio

#endif  // _WIN32
