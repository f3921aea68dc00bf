#include "gui/view/line_index.h"

#include <algorithm>
#include <cstring>

namespace {

// The position of the first `unit` in [from, to), or `to`.
std::size_t find(const char* data, std::size_t from, std::size_t to, char unit)
{
    if (from >= to)
        return to;
    const void* hit = std::memchr(data + from, unit, to - from);
    return hit ? std::size_t(static_cast<const char*>(hit) - data) : to;
}

std::size_t find(const char16_t* data, std::size_t from, std::size_t to, char16_t unit)
{
    return std::size_t(std::find(data + from, data + to, unit) - data);
}

}  // namespace

LineIndex LineIndex::ofBytes(const char* data, std::size_t size)
{
    return build(data, size);
}

LineIndex LineIndex::ofUnits(const char16_t* data, std::size_t size)
{
    return build(data, size);
}

void LineIndex::add(std::size_t start, std::size_t end)
{
    starts_.push_back(start);
    lengths_.push_back(end - start);
    longest_ = std::max(longest_, end - start);
}

template <typename Unit>
LineIndex LineIndex::build(const Unit* data, std::size_t size)
{
    LineIndex index;
    index.starts_.clear();
    index.lengths_.clear();
    // Listing lines run to about a hundred characters: one reservation covers most.
    index.starts_.reserve(size / 96 + 1);
    index.lengths_.reserve(size / 96 + 1);

    const Unit cr = Unit('\r');
    const Unit lf = Unit('\n');
    std::size_t lineStart = 0;
    std::size_t pos = 0;
    for (;;) {
        // The lines of [pos, next LF) are cut at the lone CRs in it; the CR of a
        // CR LF belongs to the LF's line end.
        const std::size_t nextLf = find(data, pos, size, lf);
        std::size_t from = pos;
        for (;;) {
            const std::size_t nextCr = find(data, from, nextLf, cr);
            if (nextCr == nextLf || (nextCr + 1 == nextLf && nextLf < size))
                break;
            index.add(lineStart, nextCr);
            lineStart = from = nextCr + 1;
        }
        if (nextLf == size)
            break;
        const std::size_t end = (nextLf > lineStart && data[nextLf - 1] == cr) ? nextLf - 1 : nextLf;
        index.add(lineStart, end);
        lineStart = pos = nextLf + 1;
    }
    index.add(lineStart, size);
    return index;
}
