// What the fuzz targets share: the standard headers they all use, their
// assertion (a failed condition stops the run with its text and line, so
// that the fuzzer keeps the input) and checks of the inputs' bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "core/exchange/text_encoding.h"
#include "core/syntax/byte_search.h"

#define require(condition)                                                       \
    do {                                                                         \
        if (!(condition)) {                                                      \
            std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                        \
        }                                                                        \
    } while (false)

// The input and a NUL in a buffer of exactly that size, so that
// AddressSanitizer sees any read past the NUL.
inline std::unique_ptr<char[]> exact_copy(const std::uint8_t* data, std::size_t size) {
    auto buffer = std::make_unique<char[]>(size + 1);
    std::memcpy(buffer.get(), data, size);
    return buffer;
}

// A span an accessor returned (a negative length: none) lies within the
// line [text, text + line_length].
inline void require_within(const char* text, int line_length, const char* start, int length) {
    if (length < 0) return;
    require(start != nullptr && start >= text && start + length <= text + line_length);
}

// `s` with each line break (CR LF, a lone CR or a lone LF) as `glue`.
inline std::string line_breaks_as(std::string_view s, std::string_view glue) {
    const char* const end = s.data() + s.size();
    const char* p = qz::find_either_byte(s.data(), end, '\r', '\n');
    // Most texts hold none.
    if (p == end) return std::string(s);
    std::string out;
    out.reserve(s.size() + 8);
    for (p = s.data(); p < end;) {
        const char* const line_end = qz::find_either_byte(p, end, '\r', '\n');
        out.append(p, line_end);
        if (line_end == end) break;
        out += glue;
        p = line_end + (*line_end == '\r' && line_end + 1 < end && line_end[1] == '\n' ? 2 : 1);
    }
    return out;
}

// The same characters: code page 932 has two codes for some (the
// NEC-selected IBM extensions), and a writer that goes through UTF-8
// writes one of them.
inline bool same_characters(std::string_view a, std::string_view b) {
    return a == b || qz::cp932_to_utf8(a) == qz::cp932_to_utf8(b);
}

// Not yet kept by the shown texts: a pair of backslashes before "i" and a
// quote, bare or escaped (an answer drops the backslash of an unknown
// escape), is shown as a backslash before a reference, which an export then
// writes as a picture. Targets that round-trip shown texts leave such
// texts out.
inline bool pair_before_reference(std::string_view text) {
    return text.find("\\\\i\"") != std::string_view::npos || text.find("\\\\i\\\"") != std::string_view::npos;
}
