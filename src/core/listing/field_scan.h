// The tab search of record lines: the fields of a line handed over in order, found 16
// bytes at a time (SSE2, which every x86-64 processor has), or byte by byte through
// memchr on other processors. Nothing is read outside the line.
//
// 32-byte blocks (AVX2) were tried on the whole listing run, the program built for
// AVX2 throughout: no faster, as a record's fields are short and its time goes to
// writing them out. They are not worth a second copy of the record loop chosen by
// the processor at run time.
#pragma once

#include <bit>
#include <cstddef>
#include <cstring>

#include "core/compiler_attributes.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define KESTRAVA_FIELD_SCAN_SSE2 1
#endif

namespace kestrava {

#ifdef KESTRAVA_FIELD_SCAN_SSE2
namespace detail {
// Bit i set when block[i] is a tab.
inline unsigned tabMask16(const char* block)
{
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t'))));
}
}  // namespace detail
#endif

// Calls field(from, to) for every field of the tab-separated line [s, end), the last
// one (after the last tab, possibly empty) included, while it returns true. Returns
// false when field stopped the scan. Always inlined, with field in it: called out of
// line (as the compiler may choose in a large file) a record costs a sixth more time.
template <typename Field>
KESTRAVA_FORCE_INLINE bool forEachField(const char* s, const char* const end, Field&& field)
{
    const char* from = s;
#ifdef KESTRAVA_FIELD_SCAN_SSE2
    const char* block = s;
    for (; end - block >= 16; block += 16) {
        for (unsigned mask = detail::tabMask16(block); mask != 0; mask &= mask - 1) {
            const char* tab = block + std::countr_zero(mask);
            if (!field(from, tab))
                return false;
            from = tab + 1;
        }
    }
    if (block < end) {
        if (end - s >= 16) {
            // The 16 bytes that end the line, the ones already looked at shifted out.
            const auto seen = unsigned(16 - (end - block));
            for (unsigned mask = detail::tabMask16(end - 16) >> seen; mask != 0; mask &= mask - 1) {
                const char* tab = block + std::countr_zero(mask);
                if (!field(from, tab))
                    return false;
                from = tab + 1;
            }
        } else {
            for (const char* c = block; c < end; ++c) {
                if (*c == '\t') {
                    if (!field(from, c))
                        return false;
                    from = c + 1;
                }
            }
        }
    }
#else
    while (const void* found =
               from < end ? std::memchr(from, '\t', std::size_t(end - from)) : nullptr) {
        const char* tab = static_cast<const char*>(found);
        if (!field(from, tab))
            return false;
        from = tab + 1;
    }
#endif
    return field(from, end);
}

}  // namespace kestrava
