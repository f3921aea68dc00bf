#include "core/file_io.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <system_error>

namespace kestrava::fileio {

namespace {

FaultHook& hook()
{
    static FaultHook instance;
    return instance;
}

// True when the test hook wants this operation to fail; errno is then set to EIO so
// the fault reads like a real device error.
bool injected(Operation operation)
{
    auto& h = hook();
    if (h && h(operation)) {
        errno = EIO;
        return true;
    }
    return false;
}

FileResult fault(FileFault kind, const std::filesystem::path& path, int error)
{
    FileResult result;
    result.fault = kind;
    result.path = path.string();
    if (error != 0)
        result.detail = std::strerror(error);
    return result;
}

FileResult fault(FileFault kind, const std::filesystem::path& path, const std::error_code& ec)
{
    FileResult result;
    result.fault = kind;
    result.path = path.string();
    if (ec)
        result.detail = ec.message();
    return result;
}

std::string randomSuffix()
{
    static std::atomic<std::uint64_t> counter{0};
    static const std::uint64_t seed = [] {
        std::random_device device;
        return (std::uint64_t(device()) << 32) ^ device() ^
               std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    }();
    std::uint64_t value = seed + 0x9E3779B97F4A7C15ull * ++counter;
    value ^= value >> 31;
    static const char digits[] = "0123456789abcdef";
    std::string text(12, '0');
    for (char& c : text) {
        c = digits[value & 15];
        value >>= 4;
    }
    return text;
}

// "." and the start of the target's name: at most 40 characters of it, so that the
// temporary name is never longer than the longest name the system allows the target.
std::filesystem::path temporaryNameStart(const std::filesystem::path& target)
{
    auto name = target.filename().native();
    constexpr std::size_t kKept = 40;
    if (name.size() > kKept) {
        std::size_t cut = kKept;
#ifndef _WIN32
        // Not inside a UTF-8 sequence: back to the start of the character.
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
#endif
        name.resize(cut);
    }
    std::filesystem::path start(".");
    start += name;
    return start;
}

}  // namespace

void setFaultHook(FaultHook newHook)
{
    hook() = std::move(newHook);
}

Reader::~Reader()
{
    close();
}

FileResult Reader::open(const std::filesystem::path& path)
{
    close();
    path_ = path;
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
    file_ = std::fopen(path.string().c_str(), "rb");
    if (!file_)
        return fault(FileFault::SourceOpen, path, errno);
    std::setvbuf(file_, nullptr, _IONBF, 0);
    const auto length = std::filesystem::file_size(path, ec);
    size_ = ec ? 0 : std::uint64_t(length);
    consumed_ = 0;
    return {};
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
    if (got == 0 && size > 0 && consumed_ < size_) {
        // The file lost its end while it was read (cut short or rewritten by another
        // program): what was read is not the whole file.
        result = fault(FileFault::SourceRead, path_, 0);
        result.detail = "the file became shorter while it was read";
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

FileResult AtomicWriter::open(const std::filesystem::path& target, bool replaceExisting)
{
    abandon();
    target_ = target;
    replaceExisting_ = replaceExisting;
    std::error_code ec;
    if (!replaceExisting && std::filesystem::exists(std::filesystem::symlink_status(target, ec)))
        return fault(FileFault::TargetExists, target, 0);
    // Only a regular file is replaced: renaming over a device, a FIFO or a link to one
    // would put a plain file in the place of, say, /dev/null.
    if (const auto existing = std::filesystem::status(target, ec);
        !ec && std::filesystem::exists(existing) && !std::filesystem::is_regular_file(existing)) {
        auto refused = fault(FileFault::TargetCreate, target, 0);
        refused.detail = "not a regular file";
        return refused;
    }
    const auto folder = target.parent_path();
    const auto name = temporaryNameStart(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto temp = folder / name;
        temp += ".tmp-" + randomSuffix();
        if (injected(Operation::CreateTemp))
            return fault(FileFault::TargetCreate, target, errno);
        errno = 0;
        file_ = std::fopen(temp.string().c_str(), "wbx");
        if (file_) {
            std::setvbuf(file_, nullptr, _IONBF, 0);
            temp_ = std::move(temp);
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
}

FileResult removeFile(const std::filesystem::path& path)
{
    if (injected(Operation::Remove))
        return fault(FileFault::TargetWrite, path, errno);
    std::error_code ec;
    // A folder, device or FIFO of that name (or a link to one) is not a file of the
    // program's: left alone.
    const auto status = std::filesystem::status(path, ec);
    if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        auto refused = fault(FileFault::TargetWrite, path, 0);
        refused.detail = "not a regular file";
        return refused;
    }
    std::filesystem::remove(path, ec);
    if (ec)
        return fault(FileFault::TargetWrite, path, ec);
    return {};
}

FileResult readSmallFile(const std::filesystem::path& path, std::string& contents,
                         std::size_t limit)
{
    contents.clear();
    Reader reader;
    if (auto opened = reader.open(path); !opened)
        return opened;
    char buffer[4096];
    FileResult result;
    while (contents.size() < limit) {
        const std::size_t got = reader.read(buffer, sizeof buffer, result);
        contents.append(buffer, got);
        if (!result || got == 0)
            break;
    }
    return result;
}

}  // namespace kestrava::fileio
