#include "core/syntax/byte_search.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define QZ_SSE2 1
#endif

namespace qz {

#ifdef QZ_SSE2
namespace {

__m128i load(const char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

unsigned mask_of(__m128i bytes) {
    return static_cast<unsigned>(_mm_movemask_epi8(bytes));
}

}  // namespace
#endif

const char* find_byte(const char* p, const char* end, char c) {
#ifdef QZ_SSE2
    const __m128i wanted = _mm_set1_epi8(c);
    // 64 bytes a round while the byte is not among them.
    for (; end - p >= 64; p += 64) {
        prefetch_ahead(p);
        const __m128i hit = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(load(p), wanted), _mm_cmpeq_epi8(load(p + 16), wanted)),
            _mm_or_si128(_mm_cmpeq_epi8(load(p + 32), wanted), _mm_cmpeq_epi8(load(p + 48), wanted)));
        if (mask_of(hit)) break;
    }
    for (; end - p >= 16; p += 16)
        if (const unsigned m = mask_of(_mm_cmpeq_epi8(load(p), wanted)))
            return p + __builtin_ctz(m);
#endif
    for (; p < end; ++p)
        if (*p == c) return p;
    return end;
}

const char* find_bytes(const char* p, const char* end, std::string_view needle) {
    const std::size_t n = needle.size();
    if (n == 0 || static_cast<std::size_t>(end - p) < n) return end;
    if (n == 1) return find_byte(p, end, needle[0]);
    // Candidates are where the first and the last byte of the needle both
    // fit; the bytes between are compared only there.
    const char* const last_start = end - n;
#ifdef QZ_SSE2
    const __m128i first = _mm_set1_epi8(needle[0]), last = _mm_set1_epi8(needle[n - 1]);
    for (; last_start - p >= 15; p += 16) {
        prefetch_ahead(p);
        unsigned m = mask_of(_mm_and_si128(_mm_cmpeq_epi8(load(p), first),
                                           _mm_cmpeq_epi8(load(p + n - 1), last)));
        while (m) {
            const char* at = p + __builtin_ctz(m);
            if (std::memcmp(at + 1, needle.data() + 1, n - 2) == 0) return at;
            m &= m - 1;
        }
    }
#endif
    for (; p <= last_start; ++p)
        if (p[0] == needle[0] && std::memcmp(p + 1, needle.data() + 1, n - 1) == 0) return p;
    return end;
}

std::size_t count_line_breaks(const char* p, const char* end) {
    std::size_t count = 0;
#ifdef QZ_SSE2
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), sep = _mm_set1_epi8('\x01');
    // A CR counts unless an LF follows it, so each block looks one byte on.
    // Byte counters take at most 255 rounds before they are summed up.
    while (end - p > 16) {
        __m128i counters = _mm_setzero_si128();
        for (int round = 0; round < 255 && end - p > 16; ++round, p += 16) {
            prefetch_ahead(p);
            const __m128i v = load(p);
            const __m128i lone_cr =
                _mm_andnot_si128(_mm_cmpeq_epi8(load(p + 1), lf), _mm_cmpeq_epi8(v, cr));
            const __m128i breaks =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, sep)), lone_cr);
            counters = _mm_sub_epi8(counters, breaks);
        }
        const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
#endif
    for (; p < end; ++p)
        count += *p == '\n' || *p == '\x01' || (*p == '\r' && !(p + 1 < end && p[1] == '\n'));
    return count;
}

}  // namespace qz
