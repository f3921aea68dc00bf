#include "core/listing/column_layout.h"

#include <algorithm>

namespace kestrava {

void ColumnLayout::read(std::string_view header, std::size_t formattedMost)
{
    const auto tabs = std::size_t(std::count(header.begin(), header.end(), '\t'));
    fields_.reserve(tabs + 1);
    text_.reserve(header.size() - tabs);
    const char* s = header.data();
    const char* const end = s + header.size();
    for (;;) {
        const char* tab = listing_bytes::findTab(s, end);
        const char* stop = tab ? tab : end;
        const auto length = std::size_t(stop - s);
        if (length < kLongField) {
            fields_.push_back(std::uint8_t(length));
        } else {
            fields_.push_back(kLongField);
            longFields_.emplace_back(fields_.size(), length);
        }
        text_.append(s, length);
        if (!tab)
            break;
        s = tab + 1;
    }
    size_ = header.size();
    const std::size_t formattedSize = text_.size() + fields_.size() * kHeaderTail.size();
    whole_ = formattedSize <= formattedMost;
    // A record field within the header's count is filled to at most its header text
    // + 4, the first one beyond to at most 2 and each later one to at most 3; each adds
    // "| " (the 5 bytes per record byte cover those beyond the header); a repeated
    // header adds an empty line and the header.
    recordBound_ = size_ + 6 * fields_.size() + formattedSize + 16;
}

void ColumnLayout::formatHeader(std::string& formatted, std::size_t most) const
{
    formatted.clear();
    forEachHeaderField([&](const char* text, std::size_t length, bool) {
        formatted.append(text, std::min(length, most - formatted.size()));
        formatted.append(
            kHeaderTail.substr(0, std::min(kHeaderTail.size(), most - formatted.size())));
        return formatted.size() < most;
    });
}

// The width field k of a record is filled to: H(k + 1) - H(k) + 3 of the header's
// position table (negative for the first field beyond the header: never filled).
std::int64_t ColumnLayout::columnWidth(std::size_t k) const
{
    if (k <= fields_.size()) {
        const std::uint8_t length = fields_[k - 1];
        if (length != kLongField)
            return std::int64_t(length) + 4;
        const auto found = std::lower_bound(longFields_.begin(), longFields_.end(),
                                            std::make_pair(k, std::size_t(0)));
        return std::int64_t(found->second) + 4;
    }
    return k == fields_.size() + 1 ? 2 - std::int64_t(size_) : 3;
}

}  // namespace kestrava
