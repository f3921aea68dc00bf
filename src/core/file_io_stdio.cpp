// The file layer on the C library's streams: the Windows part, until it has a twin of
// file_io_posix.cpp. The source is checked by name before it is opened and its size
// compared at the end; the target is checked for existence before it is renamed.
#ifdef _WIN32

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "core/file_io.h"
#include "core/file_io_internal.h"

namespace kestrava::fileio {

using detail::fault;
using detail::injected;

Reader::~Reader()
{
    close();
}

FileResult Reader::open(const std::filesystem::path& path)
{
    close();
    path_ = path;
    endChecked_ = false;
    std::error_code ec;
    if (injected(Operation::Status))
        return fault(FileFault::SourceOpen, path, errno);
    const auto status = std::filesystem::status(path, ec);
    if (ec || status.type() == std::filesystem::file_type::not_found) {
        if (status.type() == std::filesystem::file_type::not_found)
            return fault(FileFault::SourceMissing, path, ENOENT);
        return fault(FileFault::SourceOpen, path, ec);
    }
    if (status.type() != std::filesystem::file_type::regular)
        return fault(FileFault::SourceNotRegular, path, 0);
    if (injected(Operation::OpenRead))
        return fault(FileFault::SourceOpen, path, errno);
    file_ = _wfopen(path.c_str(), L"rb");
    if (!file_)
        return fault(FileFault::SourceOpen, path, errno);
    std::setvbuf(file_, nullptr, _IONBF, 0);
    const auto length = std::filesystem::file_size(path, ec);
    size_ = ec ? 0 : std::uint64_t(length);
    opened_ = {};
    opened_.size = size_;
    consumed_ = 0;
    return {};
}

bool Reader::unchangedAtEnd()
{
    std::error_code ec;
    const auto length = std::filesystem::file_size(path_, ec);
    return !ec && std::uint64_t(length) == size_ && consumed_ == size_;
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

FileResult AtomicWriter::open(const std::filesystem::path& target, bool replaceExisting, bool durable)
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
        file_ = _wfopen(temp.c_str(), L"wbx");
        if (file_) {
            std::setvbuf(file_, nullptr, _IONBF, 0);
            temp_ = std::move(temp);
            tempSlot_ = detail::registerTemporary(temp_);
            return {};
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
    if (!replaceExisting_ && std::filesystem::exists(std::filesystem::symlink_status(target_, ec))) {
        abandon();
        return fault(FileFault::TargetExists, target_, 0);
    }
    if (injected(Operation::Rename)) {
        error = errno;
        abandon();
        return fault(FileFault::TargetRename, target_, error);
    }
    std::filesystem::rename(temp_, target_, ec);
    if (ec) {
        abandon();
        return fault(FileFault::TargetRename, target_, ec);
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

}  // namespace kestrava::fileio

#endif  // _WIN32
