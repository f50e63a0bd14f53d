// Text encodings of the files cards are exchanged in: UTF-8 (with or
// without a byte-order mark), code page 932 and UTF-16, turned into UTF-8
// for reading and back into the chosen encoding for writing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qz {

enum class TextEncoding { utf8, utf8_bom, cp932, utf16le, utf16be };

// The name shown and given on the command line: "UTF-8", "UTF-8 (BOM 付き)",
// "Shift-JIS (CP932)", "UTF-16LE", "UTF-16BE".
const char* encoding_name(TextEncoding encoding);

// The encoding a file is most likely in: a byte-order mark says it; else
// UTF-16 when NUL bytes stand where the high bytes of ASCII would and the
// 16-bit units read as text; else UTF-8 when (nearly) every byte reads as
// UTF-8 and code page 932 leaves no fewer bytes unread, code page 932
// otherwise.
TextEncoding detect_encoding(std::string_view bytes);

// A text read as UTF-8. Bytes that the encoding does not read each became
// U+FFFD, at the offsets `bad` gives (ascending, in `text`).
struct DecodedText {
    std::string text;
    std::vector<std::size_t> bad;
};

// The bytes as UTF-8, a leading byte-order mark taken off.
DecodedText decode_text(std::string_view bytes, TextEncoding encoding);

// Code page 932 bytes as UTF-8; an undefined byte or pair becomes U+FFFD
// and is counted in *bad.
std::string cp932_to_utf8(std::string_view cp932, std::size_t* bad = nullptr);
// The same appended to `out`.
void append_cp932_as_utf8(std::string& out, std::string_view cp932, std::size_t* bad = nullptr);

// How many bytes or pairs of the code page 932 bytes cp932_to_utf8 would
// count as undefined, counted up to `limit`.
std::size_t cp932_undefined(std::string_view cp932, std::size_t limit = SIZE_MAX);

// Valid UTF-8 as code page 932. A character the code page cannot hold
// becomes "〓" and its UTF-8 is added to *lost; the JIS forms of the
// characters code page 932 maps otherwise (U+301C WAVE DASH, U+2212 MINUS
// SIGN, U+2016, U+2014, U+00A2, U+00A3, U+00AC) are written as the same
// JIS characters.
std::string utf8_to_cp932(std::string_view utf8, std::vector<std::string>* lost = nullptr);

// The stand-in written for a character code page 932 cannot hold ("〓").
inline constexpr char kSubstituteCp932[] = "\x81\xAC";

// UTF-8 text as the bytes of the encoding (a byte-order mark first for
// utf8_bom and UTF-16). Characters code page 932 cannot hold become "〓".
std::string encode_text(std::string_view utf8, TextEncoding encoding);

// The next character of valid or invalid UTF-8 at text[i]: its code point
// (U+FFFD for an invalid byte) and its length in bytes (at least 1).
char32_t next_code_point(std::string_view text, std::size_t i, std::size_t* length);

void append_utf8(std::string& out, char32_t c);

// The code page 932 form of a code point: a byte (below 0x100) or lead * 256
// + trail, 0 when it has none (also for U+0000). Where several pairs stand
// for one character, the one Windows writes.
std::uint16_t cp932_code(char32_t c);

// The code point of a single byte above ASCII (half-width katakana and the
// four bytes Windows gives private code points), 0 when it is a lead byte or
// undefined.
char32_t cp932_single_byte(unsigned char c);

}  // namespace qz
