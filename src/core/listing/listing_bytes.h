// The byte helpers of the listing run: field copies and space fills in whole 16-byte
// stores, and the searches for tabs and line ends in a run's source text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/listing/field_scan.h"

namespace kestrava::listing_bytes {

// Bytes a record's formatting may write beyond its end: fields and fills go out in
// whole 16-byte stores.
constexpr std::size_t kStoreSlack = 64;

constexpr char kSpaces[16] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                              ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};

// Copies count bytes to `to`, which has room for at least max(count, 16) bytes; the
// bytes after to + count are left undefined. Bytes of [from, limit) may be read.
inline void copyField(char* to, const char* from, std::size_t count, const char* limit)
{
    if (count <= 16) {
        if (limit - from >= 16) {
            std::memcpy(to, from, 16);
        } else if (count >= 8) {
            std::memcpy(to, from, 8);
            std::memcpy(to + count - 8, from + count - 8, 8);
        } else if (count >= 4) {
            std::memcpy(to, from, 4);
            std::memcpy(to + count - 4, from + count - 4, 4);
        } else if (count >= 2) {
            std::memcpy(to, from, 2);
            std::memcpy(to + count - 2, from + count - 2, 2);
        } else if (count == 1) {
            *to = *from;
        }
        return;
    }
    if (count > 256) {
        std::memcpy(to, from, count);
        return;
    }
    for (std::size_t i = 0; i + 16 < count; i += 16)
        std::memcpy(to + i, from + i, 16);
    std::memcpy(to + count - 16, from + count - 16, 16);
}

// Writes count spaces (count > 0) in 16-byte stores: up to 15 more may follow them.
inline void fillSpaces16(char* to, std::size_t count)
{
    if (count > 256) {
        std::memset(to, ' ', count);
        return;
    }
    for (std::size_t i = 0; i < count; i += 16)
        std::memcpy(to + i, kSpaces, 16);
}

inline char* fillSpaces(char* to, std::size_t count)
{
    std::memset(to, ' ', count);
    return to + count;
}

inline const char* findTab(const char* from, const char* end)
{
    return static_cast<const char*>(std::memchr(from, '\t', std::size_t(end - from)));
}

inline const char* findCR(const char* from, const char* end)
{
    return static_cast<const char*>(std::memchr(from, '\r', std::size_t(end - from)));
}

// The CR ending the line at `from` in a job's text, whose last line ends with one; end
// should the CR be gone (a mapped file cut short reads as zeros from there on, and the
// file is then reported as changed).
inline const char* lineEndIn(const char* from, const char* end)
{
    const char* cr = findCR(from, end);
    return cr ? cr : end;
}

// The last CR of [from, end), null when there is none.
inline const char* findLastCR(const char* from, const char* end)
{
    while (end > from)
        if (*--end == '\r')
            return end;
    return nullptr;
}

inline std::uint64_t countCRs(const char* from, const char* end)
{
    std::uint64_t count = 0;
#ifdef KESTRAVA_FIELD_SCAN_SSE2
    // Each byte of the sum counts the CRs at its place in up to 255 blocks of 16.
    const __m128i cr = _mm_set1_epi8('\r');
    while (end - from >= 16) {
        __m128i sum = _mm_setzero_si128();
        for (int blocks = 0; blocks < 255 && end - from >= 16; ++blocks, from += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
            sum = _mm_sub_epi8(sum, _mm_cmpeq_epi8(bytes, cr));
        }
        const __m128i halves = _mm_sad_epu8(sum, _mm_setzero_si128());
        count += unsigned(_mm_extract_epi16(halves, 0)) + unsigned(_mm_extract_epi16(halves, 4));
    }
#endif
    for (; from < end; ++from)
        count += *from == '\r';
    return count;
}

}  // namespace kestrava::listing_bytes
