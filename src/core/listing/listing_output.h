// The output of a listing run: listing bytes collected in a buffer and handed to the
// run's write callback in large pieces, each after the offsets of the listing lines
// that begin in it when someone asks for them (see ListingRun::setLineStarts).
// A refused write ends the writing: nothing more goes out, and failed() says so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/listing/output_buffer.h"

namespace kestrava {

class ListingOutput {
public:
    using Write = std::function<bool(std::string_view)>;
    using LineStarts = std::function<void(const std::uint64_t* starts, std::size_t count)>;

    // The buffer goes out once it holds this much.
    static constexpr std::size_t kFlushAt = std::size_t(1) << 20;

    explicit ListingOutput(Write write) : write_(std::move(write)) { }

    void setLineStarts(LineStarts starts)
    {
        lineStarts_ = std::move(starts);
        tracking_ = bool(lineStarts_);
    }

    bool writes() const { return bool(write_); }
    bool tracking() const { return tracking_; }
    bool failed() const { return writeFailed_; }
    std::size_t size() const { return out_.size(); }

    // Raw space for `more` bytes; commit() takes the end of what was written there.
    char* reserve(std::size_t more) { return out_.reserve(more); }
    void commit(const char* end)
    {
        out_.commit(end);
        flushIfFull();
    }
    void flushIfFull()
    {
        if (out_.size() >= kFlushAt)
            flush();
    }

    void put(const char* bytes, std::size_t count);
    void putSpaces(std::size_t count);
    // Listing formatted elsewhere, whole lines, with the starts of its lines counted
    // from its own start.
    void putFormatted(std::string_view listing, const std::vector<std::uint64_t>& lineStarts);
    void flush();

    // Notes that a listing line begins `ahead` bytes after the end of the buffer.
    void markLine(std::size_t ahead = 0)
    {
        if (tracking_)
            lineStartsHeld_.push_back(delivered_ + out_.size() + ahead);
    }

private:
    bool deliver(std::string_view piece);

    Write write_;
    LineStarts lineStarts_;
    bool tracking_ = false;
    std::vector<std::uint64_t> lineStartsHeld_;  // starts of lines not yet delivered
    std::uint64_t delivered_ = 0;  // listing bytes handed to write_
    OutputBuffer out_;  // listing bytes not yet written
    bool writeFailed_ = false;
};

}  // namespace kestrava
