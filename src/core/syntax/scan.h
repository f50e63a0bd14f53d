// Shift-JIS aware scanning and field escaping.
//
// Every scanner works on code page 932 bytes and stops at the end of a line:
// the byte 0x01 (the line separator of the working buffer a file is read
// into) or NUL. A double-byte character is always stepped over as a unit, so
// a trail byte equal to '\\', '|', '[' or ']' is never taken for syntax.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace qz {

inline constexpr char kLineSeparator = '\x01';
inline constexpr char kAlternativeSeparator = '\x03';

inline bool is_line_end(char c) { return c == '\0' || c == kLineSeparator; }

// Charsets of Windows fonts that show double-byte characters.
inline constexpr unsigned DEFAULT_CHARSET_VALUE = 1;
inline constexpr unsigned SHIFTJIS_CHARSET_VALUE = 128;

// Flags of escape_text: what it leaves alone besides the basic escapes.
enum EscapeFlags : int {
    ESCAPE_APOSTROPHE = 1,  // also escape '\'' (values a comment may follow)
    KEEP_ANSWER_SYNTAX = 2, // leave \( \) \[ \] \| as they are
    KEEP_IMAGE_REFERENCES = 4,  // leave \i"path" whole
};

// 1 when p[0] is a lead byte (0x81-0x9F, 0xE0-0xFC) and p[1] a trail byte
// (0x40-0x7E, 0x80-0xFC); p must point at a NUL-terminated or line-ended text.
bool is_double_byte_char(const char* p);

// Where the run that starts at text[i] of bytes an escape leaves as they
// are ends: ASCII other than `stops` (ASCII bytes), whole double-byte
// characters and the single bytes above ASCII that lead none (half-width
// katakana). A lone lead byte ends it too.
std::size_t ordinary_run_end(std::string_view text, std::size_t i, std::string_view stops);

// An image reference \i"..." starts at text[i] and its closing quote follows
// somewhere: the index after that quote, else npos. Without the closing
// quote the backslash is an ordinary one: a reference left open would
// swallow the rest of the line's fields. Its path is no syntax of a field
// or an answer.
std::size_t image_reference_end(std::string_view text, std::size_t i);

// Bytes up to the end of the line (0x01 or NUL).
int line_end_length(const char* start);

// Bytes up to the first unescaped ',' or the end of the line. With the image
// flag, \i"path" counts as one unit; -1 when \i is not followed by a quoted
// path.
int field_length(const char* start, bool images);

// Bytes up to the first '\'' or the end of the line (byte by byte, no escapes).
int comment_start_length(const char* start);

// Bytes up to the first ',', 0x03 or the end of the line (no escapes).
int plain_value_length(const char* start);

// Undoes the escapes of a stored field. "\n" becomes CR LF. Formats 1.2 and
// 1.3 (version <= 13) drop every other backslash and keep the byte after it;
// format 1.4 drops only the backslashes of "\," and "\\" and keeps any other
// backslash as written. Double-byte characters are stepped over whatever the
// charset of the field's font, as every line scanner does, so that the
// fields read here are the ones the scanners find.
//
// `flags` (format 1.4) are those the field is escaped with, so that the
// shown text composes back to the same meaning: a run of backslashes right
// before an answer mark (KEEP_ANSWER_SYNTAX) or before a picture reference
// (KEEP_IMAGE_REFERENCES) is shown as stored, since escape_text keeps it so
// ("x\\|y" stays "x\\|y": the alternatives "x\" and "y"); and in an
// answer, whose expansion drops the backslash of an unknown escape ("\#" is
// "#"), that backslash is not shown either.
std::string unescape_text(std::string_view text, unsigned charset, int version, int flags = 0);

// The unescaped copy of a span of a line (length -1: up to the NUL).
std::string copy_unescaped(const char* start, int length, unsigned charset, int version);

// Escapes a field so that it can stand between separators in a line:
// backslash, ',' and line breaks (CR LF, lone CR and lone LF become "\n"),
// plus what the flags say. A run of backslashes right before an answer mark
// (KEEP_ANSWER_SYNTAX) or whose last one starts a picture reference
// (KEEP_IMAGE_REFERENCES) is kept as typed: pairs of it are backslashes, an
// odd one escapes the mark or makes the reference one, as everywhere in a
// stored line. Double-byte characters are stepped over whatever
// the charset; a lone lead byte right before a byte that gets a backslash
// becomes '?', since the backslash would pair up with it. An image
// reference is kept whole only when it is closed and holds no line break.
std::string escape_text(std::string_view text, unsigned charset, int flags);
// The same appended to `out` (a line being composed).
void append_escaped_text(std::string& out, std::string_view text, unsigned charset, int flags);

// The ASCII letters A-Z as a-z, every other byte as it is (for names and
// extensions compared the way the file system does, and marks of formats
// that ignore ASCII case).
inline char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
inline std::string ascii_lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = ascii_lower(c);
    return out;
}
// Whether `a` and `b` are the same bytes but for ASCII case.
inline bool equal_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return ascii_lower(x) == ascii_lower(y);
           });
}

// The integer in decimal ("%d").
std::string format_decimal(int value);

// The leading decimal value of a text: optional blanks (space, tab), an
// optional '+' or '-', then decimal digits; conversion stops at the first
// other byte and no digits give 0. Values beyond the range of int wrap.
// The pointer form stops at the NUL.
int str_to_int(std::string_view text);
int str_to_int(const char* text);

}  // namespace qz
