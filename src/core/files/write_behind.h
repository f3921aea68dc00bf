// Writes a file on a thread of its own while the caller prepares the next chunks, so
// that reading and transforming overlap writing. Chunks go out in the order they are
// handed over; memory is a few fixed buffers.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/files/file_io.h"

namespace kestrava::fileio {

class WriteBehind {
public:
    static constexpr std::size_t kChunk = std::size_t(1) << 20;

    // Fails (ok() false) only when the buffers cannot be had: FileFault::OutOfMemory.
    explicit WriteBehind(AtomicWriter& writer);
    ~WriteBehind();  // waits for the chunks handed over
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    bool ok() const { return !buffers_.empty(); }

    // A buffer of kChunk bytes to fill, waiting while all are being written; null once
    // a write has failed (finish() then gives the fault).
    std::uint8_t* buffer();
    // Hands the buffer from buffer() over with its first size bytes to write.
    void write(std::uint8_t* buffer, std::size_t size);
    // Waits until everything handed over is written; the first write fault, if any.
    FileResult finish();

private:
    struct Chunk {
        std::uint8_t* data;
        std::size_t size;
    };
    void writeLoop();

    AtomicWriter& writer_;
    std::vector<std::unique_ptr<std::uint8_t[]>> buffers_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<std::uint8_t*> free_;
    std::deque<Chunk> waiting_;
    bool closing_ = false;
    FileResult fault_;
    std::thread thread_;  // not started when threads cannot be had: writes happen inline
};

}  // namespace kestrava::fileio
