// Searching raw bytes at memory speed: line breaks, one byte, a byte
// sequence. The C library's memchr is one byte at a time on some systems
// (the one the editor runs on among them), so these use SSE2 where the
// compiler offers it and a plain loop elsewhere.
#pragma once

#include <cstddef>
#include <string_view>

namespace qz {

// The first byte in [p, end) equal to c; end when there is none.
const char* find_byte(const char* p, const char* end, char c);

// The first byte in [p, end) equal to a or b; end when there is none.
const char* find_either_byte(const char* p, const char* end, char a, char b);

// The first CR, LF or 0x01 in [p, end); end when there is none.
const char* find_line_break(const char* p, const char* end);

// The first occurrence of `needle` (not empty) in [p, end); end when there
// is none.
const char* find_bytes(const char* p, const char* end, std::string_view needle);

// How many bytes of [p, end) equal c.
std::size_t count_byte(const char* p, const char* end, char c);

}  // namespace qz
