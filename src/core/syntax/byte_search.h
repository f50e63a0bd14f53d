// Searching raw bytes at memory speed: line breaks, one byte, a byte
// sequence. The C library's memchr is one byte at a time on some systems
// (the one the editor runs on among them), so these use SSE2 where the
// compiler offers it and a plain loop elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qz {

// The first byte in [p, end) equal to c; end when there is none.
const char* find_byte(const char* p, const char* end, char c);

// The first byte in [p, end) equal to a or b; end when there is none.
inline const char* find_either_byte(const char* p, const char* end, char a, char b);

// The first CR, LF or 0x01 in [p, end); end when there is none.
inline const char* find_line_break(const char* p, const char* end);

// The first byte in [p, end) that is one of `bytes` (at most a few) or,
// when `above_ascii`, above 0x7F; end when there is none. What a text
// scanner copies whole lies before it.
inline const char* find_any_byte(const char* p, const char* end, std::string_view bytes, bool above_ascii = false);

// The first byte in [p, end) from `low` to `high` (as unsigned bytes, both
// included); end when there is none.
inline const char* find_byte_in_range(const char* p, const char* end, unsigned char low, unsigned char high);

// The first occurrence of `needle` (not empty) in [p, end); end when there
// is none.
const char* find_bytes(const char* p, const char* end, std::string_view needle);

// How many bytes in [p, end) are c.
inline std::size_t count_byte(const char* p, const char* end, char c);

// How many line breaks [p, end) holds: CR LF, a lone CR, a lone LF, 0x01.
std::size_t count_line_breaks(const char* p, const char* end);

// Asks for the bytes a kilobyte after p, for a loop that reads on through a
// large buffer: its pages lie apart in memory, and the processor's own
// prefetching stops at the end of each (a quarter of the time of reading a
// mapped file's lines). Asking past the end does no harm.
inline void prefetch_ahead(const char* p);

// Where the bytes a line reader looks for lie in 64 bytes: bit i of each
// mask is set when p[i] is that byte.
struct ReaderMasks {
    std::uint64_t breaks = 0;     // CR, LF or 0x01
    std::uint64_t commas = 0;
    std::uint64_t backslashes = 0;
};

// The masks of the 64 bytes at p (all of them readable).
inline ReaderMasks reader_masks(const char* p);

// ---- What runs for every line, inline.

inline void prefetch_ahead(const char* p) {
#if defined(__GNUC__)
    // No pointer is formed past the end.
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(p) + 1024));
#endif
}

#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline ReaderMasks reader_masks(const char* p) {
    ReaderMasks m;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), sep = _mm_set1_epi8('\x01');
    const __m128i comma = _mm_set1_epi8(','), backslash = _mm_set1_epi8('\\');
    const __m128i v[4] = {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48))};
    const auto bits = [](__m128i hit) { return static_cast<unsigned>(_mm_movemask_epi8(hit)); };
    // Two 16-bit masks are joined in 32 bits before the halves are: fewer
    // 64-bit shifts.
    const auto join = [](unsigned a, unsigned b, unsigned c, unsigned d) {
        return static_cast<std::uint64_t>(a | b << 16) | static_cast<std::uint64_t>(c | d << 16) << 32;
    };
    const auto breaks = [&](__m128i x) {
        return bits(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, cr), _mm_cmpeq_epi8(x, lf)), _mm_cmpeq_epi8(x, sep)));
    };
    const auto equal = [&](__m128i x, __m128i c) { return bits(_mm_cmpeq_epi8(x, c)); };
    m.breaks = join(breaks(v[0]), breaks(v[1]), breaks(v[2]), breaks(v[3]));
    m.commas = join(equal(v[0], comma), equal(v[1], comma), equal(v[2], comma), equal(v[3], comma));
    // Most blocks hold no backslash: one mask tells.
    const __m128i any = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v[0], backslash), _mm_cmpeq_epi8(v[1], backslash)),
                                     _mm_or_si128(_mm_cmpeq_epi8(v[2], backslash), _mm_cmpeq_epi8(v[3], backslash)));
    if (bits(any))
        m.backslashes = join(equal(v[0], backslash), equal(v[1], backslash), equal(v[2], backslash),
                             equal(v[3], backslash));
#else
    for (int i = 0; i < 64; ++i) {
        const char c = p[i];
        const std::uint64_t bit = std::uint64_t{1} << i;
        if (c == '\r' || c == '\n' || c == '\x01') m.breaks |= bit;
        if (c == ',') m.commas |= bit;
        if (c == '\\') m.backslashes |= bit;
    }
#endif
    return m;
}

inline const char* find_either_byte(const char* p, const char* end, char a, char b) {
#if defined(__SSE2__)
    const __m128i wanted_a = _mm_set1_epi8(a), wanted_b = _mm_set1_epi8(b);
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int m = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, wanted_a), _mm_cmpeq_epi8(v, wanted_b)));
        if (m) return p + __builtin_ctz(static_cast<unsigned>(m));
    }
#endif
    for (; p < end; ++p)
        if (*p == a || *p == b) return p;
    return end;
}

inline const char* find_line_break(const char* p, const char* end) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), sep = _mm_set1_epi8('\x01');
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)),
                                         _mm_cmpeq_epi8(v, sep));
        if (const int m = _mm_movemask_epi8(hit)) return p + __builtin_ctz(static_cast<unsigned>(m));
    }
#endif
    for (; p < end; ++p)
        if (*p == '\r' || *p == '\n' || *p == '\x01') return p;
    return end;
}

inline std::size_t count_byte(const char* p, const char* end, char c) {
    std::size_t count = 0;
    for (; (p = find_byte(p, end, c)) != end; ++p) ++count;
    return count;
}

inline const char* find_any_byte(const char* p, const char* end, std::string_view bytes, bool above_ascii) {
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        int m = above_ascii ? _mm_movemask_epi8(v) : 0;
        for (const char c : bytes) m |= _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(c)));
        if (m) return p + __builtin_ctz(static_cast<unsigned>(m));
    }
#endif
    for (; p < end; ++p)
        if ((above_ascii && static_cast<unsigned char>(*p) > 0x7F) || bytes.find(*p) != std::string_view::npos)
            return p;
    return end;
}

inline const char* find_byte_in_range(const char* p, const char* end, unsigned char low, unsigned char high) {
#if defined(__SSE2__)
    // c - low <= high - low, unsigned: the minimum of the two is the left one.
    const __m128i base = _mm_set1_epi8(static_cast<char>(low));
    const __m128i width = _mm_set1_epi8(static_cast<char>(high - low));
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), base);
        const int m = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(v, width), v));
        if (m) return p + __builtin_ctz(static_cast<unsigned>(m));
    }
#endif
    for (; p < end; ++p)
        if (static_cast<unsigned char>(static_cast<unsigned char>(*p) - low) <= high - low) return p;
    return end;
}

}  // namespace qz
