// The columns of a listing, read from the download's header line: the header's fields
// as the listing writes them ("field    | " each), and the width every record field is
// filled to (a field within the header's count to its header field's length + 4, the
// first one beyond to the header line's position table, negative: never filled, each
// later one to 3), each followed by "| ".
// The layout holds the header's text without its tabs and one byte per header field
// (more only for fields of 255 bytes or longer), so it costs at most the header's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/compiler_attributes.h"
#include "core/listing/field_scan.h"
#include "core/listing/listing_bytes.h"
#include "core/listing/record_tally.h"

namespace kestrava {

// What follows every header field in the listing.
constexpr std::string_view kHeaderTail = "    | ";

class ColumnLayout {
public:
    // Reads the header line. formattedMost is the most of the formatted header kept
    // whole (see whole()).
    void read(std::string_view header, std::size_t formattedMost);

    // Formats the header into formatted (replaced), at most `most` bytes of it.
    void formatHeader(std::string& formatted, std::size_t most) const;

    // True when the formatted header is at most formattedMost bytes long.
    bool whole() const { return whole_; }

    // The most bytes a record's listing line adds beyond 6 per byte of its own
    // (a repeated header after it included).
    std::size_t recordBound() const { return recordBound_; }

    // Calls field(text, length, long) for every header field in order, long for one of
    // 255 bytes or more, while it returns true.
    template <typename Field>
    void forEachHeaderField(Field&& field) const
    {
        const char* text = text_.data();
        auto longField = longFields_.begin();
        for (const std::uint8_t stored : fields_) {
            const bool isLong = stored == kLongField;
            const std::size_t length = isLong ? (longField++)->second : stored;
            if (!field(text, length, isLong))
                return;
            text += length;
        }
    }

    // The width record field k (1-based) is filled to.
    std::int64_t columnWidth(std::size_t k) const;

    // Writes the record's fields at p (bytes up to limit may be read, the record ends
    // first) with "\r\n" after them, and returns the end; what the fields named goes
    // to found. Up to listing_bytes::kStoreSlack bytes past the end may be written.
    KESTRAVA_FORCE_INLINE char* formatRecord(std::string_view line, const char* limit, char* p,
                                             const RecordRoles& roles, RecordFields& found) const
    {
        // The header's field lengths held locally: the byte stores below may alias
        // anything reached through this.
        const std::uint8_t* const headerFields = fields_.data();
        const std::size_t headerFieldCount = fields_.size();
        std::size_t k = 0;
        forEachField(line.data(), line.data() + line.size(),
                     [&](const char* from, const char* to) KESTRAVA_LAMBDA_INLINE {
                         ++k;
                         const auto length = std::size_t(to - from);
                         listing_bytes::copyField(p, from, length, limit);
                         p += length;
                         std::int64_t width;
                         if (k <= headerFieldCount && headerFields[k - 1] != kLongField)
                             width = std::int64_t(headerFields[k - 1]) + 4;
                         else
                             width = columnWidth(k);
                         if (const std::int64_t fill = width - std::int64_t(length); fill > 0) {
                             listing_bytes::fillSpaces16(p, std::size_t(fill));
                             p += fill;
                         }
                         std::memcpy(p, "| ", 2);
                         p += 2;
                         found.see(roles, k, from, length);
                         return true;
                     });
        std::memcpy(p, "\r\n", 2);
        return p + 2;
    }

private:
    static constexpr std::uint8_t kLongField = 255;

    // The length of each header field, one byte per field; kLongField marks a long
    // field whose length is in longFields_.
    std::vector<std::uint8_t> fields_;
    std::vector<std::pair<std::size_t, std::size_t>> longFields_;  // (field, length), by field
    std::string text_;  // the header's fields one after the other, without tabs
    std::size_t size_ = 0;  // the header line's length
    bool whole_ = false;
    std::size_t recordBound_ = 0;
};

// Writes the repeated header after a record at p: an empty line, the header, CR LF.
// Returns the end.
inline char* putRepeatedHeader(char* p, std::string_view header)
{
    std::memcpy(p, "\r\n", 2);
    p += 2;
    std::memcpy(p, header.data(), header.size());
    p += header.size();
    std::memcpy(p, "\r\n", 2);
    return p + 2;
}

}  // namespace kestrava
