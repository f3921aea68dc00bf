#include "core/listing/listing_output.h"

#include <algorithm>
#include <cstring>

namespace kestrava {

void ListingOutput::put(const char* bytes, std::size_t count)
{
    if (count < kFlushAt) {
        out_.append({bytes, count});
        flushIfFull();
        return;
    }
    // Large enough to go out on its own, without a copy.
    flush();
    if (write_ && !writeFailed_ && !deliver({bytes, count}))
        writeFailed_ = true;
}

void ListingOutput::putSpaces(std::size_t count)
{
    while (count > 0 && !writeFailed_) {
        const std::size_t part = std::min(count, kFlushAt);
        char* const to = out_.reserve(part);
        std::memset(to, ' ', part);
        out_.commit(to + part);
        count -= part;
        flushIfFull();
    }
}

void ListingOutput::putFormatted(std::string_view listing,
                                 const std::vector<std::uint64_t>& lineStarts)
{
    flush();
    if (tracking_)
        for (const std::uint64_t at : lineStarts)
            lineStartsHeld_.push_back(delivered_ + at);
    if (!listing.empty() && !writeFailed_ && !deliver(listing))
        writeFailed_ = true;
}

void ListingOutput::flush()
{
    if (writeFailed_)
        out_.clear();
    if (out_.empty())
        return;
    if (write_ && !deliver(out_.view()))
        writeFailed_ = true;
    out_.clear();
}

// Hands a piece of the listing to write_, after the starts of the lines that begin in
// it (a start noted for a line whose first byte is still to come stays held).
bool ListingOutput::deliver(std::string_view piece)
{
    if (tracking_) {
        const std::uint64_t end = delivered_ + piece.size();
        const auto held = std::lower_bound(lineStartsHeld_.begin(), lineStartsHeld_.end(), end);
        const auto count = std::size_t(held - lineStartsHeld_.begin());
        if (count > 0)
            lineStarts_(lineStartsHeld_.data(), count);
        lineStartsHeld_.erase(lineStartsHeld_.begin(), held);
    }
    delivered_ += piece.size();
    return write_(piece);
}

}  // namespace kestrava
