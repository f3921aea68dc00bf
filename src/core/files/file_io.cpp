// The platform-neutral part of the file layer: the test hook, fault results, temporary
// names and the table of open temporaries. The reads and writes themselves are in
// file_io_posix.cpp (Linux and other POSIX systems) and file_io_stdio.cpp (Windows).
#include "core/files/file_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>

#include "core/files/file_io_internal.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kestrava::fileio {

namespace {

FaultHook& hook()
{
    static FaultHook instance;
    return instance;
}

int& hookError()
{
    static int error = EIO;
    return error;
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

// The table of open temporaries. A signal handler walks it, so it is a fixed array of
// fixed buffers whose slots are claimed and published through atomics: no allocation,
// no lock. State 0 free, 1 being filled, 2 holding a path.
constexpr int kTemporarySlots = 16;
constexpr std::size_t kTemporaryPathMax = 4096;

struct TemporarySlot {
    std::atomic<int> state{0};
    // The system's own path characters (wide on Windows), so that a name with Polish
    // letters is removed as it was created.
    std::filesystem::path::value_type path[kTemporaryPathMax];
};

TemporarySlot temporarySlots[kTemporarySlots];

}  // namespace

namespace detail {

bool injected(Operation operation)
{
    auto& h = hook();
    if (!h)
        return false;
    // One file work may run on two threads (a file written behind the reading): the
    // hook is asked one call at a time.
    static std::mutex asking;
    const std::lock_guard<std::mutex> hold(asking);
    if (h(operation)) {
        errno = hookError();
        return true;
    }
    return false;
}

FileResult fault(FileFault kind, const std::filesystem::path& path, int error)
{
    FileResult result;
    result.fault = kind;
    result.path = path.string();
    if (error != 0) {
        result.detail = std::strerror(error);
        result.error = std::error_code(error, std::generic_category());
    }
    return result;
}

FileResult fault(FileFault kind, const std::filesystem::path& path, const std::error_code& ec)
{
    FileResult result;
    result.fault = kind;
    result.path = path.string();
    if (ec) {
        result.detail = ec.message();
        result.error = ec;
    }
    return result;
}

std::filesystem::path temporaryNameFor(const std::filesystem::path& target)
{
    // At most 40 characters of the target's name are kept.
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
    start += ".tmp-" + randomSuffix();
    return target.parent_path() / start;
}

int registerTemporary(const std::filesystem::path& path)
{
    const auto& text = path.native();
    if (text.size() >= kTemporaryPathMax)
        return -1;
    for (int i = 0; i < kTemporarySlots; ++i) {
        int expected = 0;
        if (temporarySlots[i].state.compare_exchange_strong(expected, 1)) {
            std::memcpy(temporarySlots[i].path, text.c_str(), (text.size() + 1) * sizeof(text[0]));
            temporarySlots[i].state.store(2);
            return i;
        }
    }
    return -1;
}

void releaseTemporary(int slot)
{
    if (slot >= 0 && slot < kTemporarySlots)
        temporarySlots[slot].state.store(0);
}

}  // namespace detail

void setFaultHook(FaultHook newHook, int error)
{
    hook() = std::move(newHook);
    hookError() = error;
}

void removeOpenTemporaries() noexcept
{
    for (auto& slot : temporarySlots) {
        if (slot.state.load() != 2)
            continue;
#ifndef _WIN32
        ::unlink(slot.path);  // async-signal-safe
#else
        ::_wremove(slot.path);
#endif
    }
}

FileResult removeFile(const std::filesystem::path& path)
{
    if (detail::injected(Operation::Remove))
        return detail::fault(FileFault::TargetWrite, path, errno);
    std::error_code ec;
    // A folder, device or FIFO of that name (or a link to one) is not a file of the
    // program's: left alone.
    const auto status = std::filesystem::status(path, ec);
    if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        auto refused = detail::fault(FileFault::TargetWrite, path, 0);
        refused.detail = "not a regular file";
        return refused;
    }
    std::filesystem::remove(path, ec);
    if (ec)
        return detail::fault(FileFault::TargetWrite, path, ec);
    return {};
}

FileResult readSmallFile(const std::filesystem::path& path, std::string& contents,
                         std::size_t limit)
{
    contents.clear();
    Reader reader;
    if (auto opened = reader.open(path, Links::Refuse); !opened)
        return opened;
    const auto tooLarge = [&] {
        contents.clear();
        FileResult refused = detail::fault(FileFault::SourceRead, path, 0);
        refused.detail = "larger than " + std::to_string(limit) + " bytes";
        return refused;
    };
    if (reader.size() > limit)
        return tooLarge();
    char buffer[4096];
    FileResult result;
    for (;;) {
        const std::size_t got = reader.read(buffer, sizeof buffer, result);
        contents.append(buffer, got);
        if (contents.size() > limit)
            return tooLarge();  // it grew while it was read
        if (!result || got == 0)
            break;
    }
    if (!result)
        contents.clear();
    return result;
}

FileResult folderEntries(const std::filesystem::path& folder,
                         std::vector<std::filesystem::path>& names)
{
    names.clear();
    std::error_code error;
    if (detail::injected(Operation::OpenRead))
        return detail::fault(FileFault::SourceOpen, folder, EIO);
    std::filesystem::directory_iterator entry(folder, error);
    if (error)
        return detail::fault(FileFault::SourceOpen, folder, error);
    for (; entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        if (error)
            break;
        if (detail::injected(Operation::Read)) {
            error = std::error_code(EIO, std::generic_category());
            break;
        }
        names.push_back(entry->path());
    }
    std::sort(names.begin(), names.end());
    if (error)
        return detail::fault(FileFault::SourceRead, folder, error);
    return {};
}

}  // namespace kestrava::fileio
