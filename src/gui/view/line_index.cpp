#include "gui/view/line_index.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// The position of the first `unit` in [from, size), or size.
std::size_t find(const char* data, std::size_t from, std::size_t size, char unit)
{
    if (from >= size)
        return size;
    const void* hit = std::memchr(data + from, unit, size - from);
    return hit ? std::size_t(static_cast<const char*>(hit) - data) : size;
}

std::size_t find(const char16_t* data, std::size_t from, std::size_t size, char16_t unit)
{
    return std::size_t(std::find(data + from, data + size, unit) - data);
}

}  // namespace

void LineIndex::add(std::uint64_t start)
{
    if (count_ > 0 && start <= lastStart())
        return;
    if ((count_ & (kBlockSize - 1)) == 0)
        blocks_.push_back(std::make_unique_for_overwrite<std::uint64_t[]>(kBlockSize));
    blocks_.back()[count_ & (kBlockSize - 1)] = start;
    ++count_;
}

void LineIndex::add(const std::uint64_t* starts, std::size_t count)
{
    // Given in order: those after the last start are copied a block at a time.
    std::size_t i = 0;
    while (i < count && starts[i] <= lastStart())
        ++i;
    while (i < count) {
        const std::size_t at = count_ & (kBlockSize - 1);
        if (at == 0)
            blocks_.push_back(std::make_unique_for_overwrite<std::uint64_t[]>(kBlockSize));
        const std::size_t n = std::min(kBlockSize - at, count - i);
        std::memcpy(blocks_.back().get() + at, starts + i, n * sizeof(std::uint64_t));
        count_ += n;
        i += n;
    }
}

std::size_t LineIndex::widestLine() const
{
    std::size_t widest = 0;
    std::uint64_t widestSpan = 0;
    std::uint64_t previous = 0;
    for (std::size_t block = 0; block < blocks_.size(); ++block) {
        const std::uint64_t* starts = blocks_[block].get();
        const std::size_t first = block * kBlockSize;
        const std::size_t n = std::min(kBlockSize, count_ - first);
        for (std::size_t j = 0; j < n; ++j) {
            if (starts[j] - previous > widestSpan) {
                widestSpan = starts[j] - previous;
                widest = first + j - 1;
            }
            previous = starts[j];
        }
    }
    return widest;
}

std::size_t LineIndex::lineAt(std::uint64_t offset) const
{
    // The last line whose start is not after offset.
    std::size_t low = 0;
    std::size_t high = count_;  // start(high) > offset, or high == count_
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        if (start(middle) <= offset)
            low = middle;
        else
            high = middle;
    }
    return low;
}

LineIndex LineIndex::ofBytes(const char* data, std::size_t size)
{
    LineStartFinder finder;
    finder.feed(data, size);
    return finder.finish();
}

LineIndex LineIndex::ofUnits(const char16_t* data, std::size_t size)
{
    LineStartFinder finder;
    finder.feed(data, size);
    return finder.finish();
}

void LineStartFinder::feed(const char* data, std::size_t size)
{
    scan(data, size);
}

void LineStartFinder::feed(const char16_t* data, std::size_t size)
{
    scan(data, size);
}

template <typename Unit>
void LineStartFinder::scan(const Unit* data, std::size_t size)
{
    const Unit cr = Unit('\r');
    const Unit lf = Unit('\n');
    std::size_t pos = 0;
    if (pendingCr_ && size > 0) {
        pendingCr_ = false;
        if (data[0] == lf)
            pos = 1;
        index_.add(offset_ + pos);
    }
    // The next LF and the next CR, each searched again only once passed.
    std::size_t nextLf = find(data, pos, size, lf);
    std::size_t nextCr = find(data, pos, size, cr);
    while (nextLf < size || nextCr < size) {
        if (nextLf < nextCr) {
            pos = nextLf + 1;
        } else if (nextCr + 1 == size) {
            pendingCr_ = true;  // CR LF, or a lone CR: the next piece says
            break;
        } else {
            pos = nextCr + (data[nextCr + 1] == lf ? 2 : 1);
        }
        index_.add(offset_ + pos);
        if (nextLf < pos)
            nextLf = find(data, pos, size, lf);
        if (nextCr < pos)
            nextCr = find(data, pos, size, cr);
    }
    offset_ += size;
}

LineIndex LineStartFinder::finish()
{
    if (pendingCr_)
        index_.add(offset_);
    pendingCr_ = false;
    offset_ = 0;
    return std::exchange(index_, LineIndex());
}
