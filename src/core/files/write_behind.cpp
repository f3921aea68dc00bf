#include "core/files/write_behind.h"

#include <new>
#include <system_error>

namespace kestrava::fileio {

namespace {
constexpr int kBuffers = 4;
}

WriteBehind::WriteBehind(AtomicWriter& writer) : writer_(writer)
{
    for (int i = 0; i < kBuffers; ++i) {
        std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[kChunk]);
        if (!buffer)
            break;
        free_.push_back(buffer.get());
        buffers_.push_back(std::move(buffer));
    }
    if (buffers_.empty()) {
        fault_.fault = FileFault::OutOfMemory;
        return;
    }
    if (buffers_.size() < 2)
        return;  // one buffer: nothing to overlap
    try {
        thread_ = std::thread([this] { writeLoop(); });
    } catch (const std::system_error&) {
        // No thread to be had: the chunks are written as they come.
    }
}

WriteBehind::~WriteBehind()
{
    finish();
}

std::uint8_t* WriteBehind::buffer()
{
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return !fault_.ok() || !free_.empty(); });
    if (!fault_.ok())
        return nullptr;
    std::uint8_t* buffer = free_.back();
    free_.pop_back();
    return buffer;
}

void WriteBehind::write(std::uint8_t* buffer, std::size_t size)
{
    if (!thread_.joinable()) {
        if (fault_.ok())
            fault_ = writer_.write(buffer, size);
        free_.push_back(buffer);
        return;
    }
    {
        const std::lock_guard<std::mutex> hold(lock_);
        waiting_.push_back({buffer, size});
    }
    changed_.notify_all();
}

FileResult WriteBehind::finish()
{
    if (thread_.joinable()) {
        {
            const std::lock_guard<std::mutex> hold(lock_);
            closing_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    return fault_;
}

void WriteBehind::writeLoop()
{
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        changed_.wait(hold, [this] { return closing_ || !waiting_.empty(); });
        if (waiting_.empty())
            return;  // closing, and everything is written
        const Chunk chunk = waiting_.front();
        waiting_.pop_front();
        FileResult written;
        if (fault_.ok()) {
            hold.unlock();
            written = writer_.write(chunk.data, chunk.size);
            hold.lock();
        }
        if (!written.ok() && fault_.ok())
            fault_ = written;
        free_.push_back(chunk.data);
        changed_.notify_all();
    }
}

}  // namespace kestrava::fileio
