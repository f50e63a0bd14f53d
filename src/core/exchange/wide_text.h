// Code page 932 bytes and UTF-16, converted with the code page's own table
// (the same one the exchange formats use), so that a text reads and is
// stored the same on every system, whatever code page it runs programs in.
// Windows is spoken to in UTF-16; the lines, the settings file and every
// byte a quiz reads stay code page 932.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qz {

// The stand-in shown for a byte or pair code page 932 does not define, as
// Windows shows it ("・").
inline constexpr char16_t kUndefinedCp932 = 0x30FB;

// Code page 932 bytes as UTF-16. An undefined pair, or a lead byte with no
// trail byte after it, becomes kUndefinedCp932 (a lead byte before a byte
// that cannot trail stands alone, and the next byte is read for itself).
std::u16string cp932_to_utf16(std::string_view cp932);

// The same into a buffer of `capacity` units, cut at a character's end and
// NUL-terminated when capacity > 0; returns the units written (without the
// NUL). For texts asked for often, as a list's rows.
std::size_t cp932_to_utf16(std::string_view cp932, char16_t* out, std::size_t capacity);

// UTF-16 as code page 932. A character the code page cannot hold (or a lone
// surrogate) becomes "〓" and its code point is added to *lost. The yen sign
// U+00A5 and the overline U+203E are the half-width bytes 0x5C and 0x7E, as a
// Japanese keyboard and font know them; the JIS forms of the characters code
// page 932 maps to other code points (wave dash, minus sign, ...) are written
// as the same JIS characters.
std::string utf16_to_cp932(std::u16string_view text, std::vector<char32_t>* lost = nullptr);

// Whether every character of the text has a code page 932 form.
bool fits_cp932(std::u16string_view text);

// UTF-8 (the encoding file names are kept in) and UTF-16. An invalid UTF-8
// byte or a lone surrogate becomes U+FFFD.
std::u16string utf8_to_utf16(std::string_view utf8);
std::string utf16_to_utf8(std::u16string_view text);

}  // namespace qz
