// Settings lines ("$Keyword=values"), charset names, font values and group
// names.
#pragma once

#include <string>
#include <string_view>

#include "core/syntax/font_spec.h"
#include "core/syntax/line_kind.h"

namespace qz {

// Settings kind of the keyword between "$" and the first "=" (any letter
// case, shorter than 16 bytes); 0 when the text does not start with "$",
// has no "=", or names no known keyword.
int settings_kind(const char* text);

// "$", the keyword as written by the editor and "="; empty for a number
// that is not a settings kind.
std::string settings_prefix(int kind);

// Charset of a name such as "SHIFTJIS" (any case) or of a decimal number;
// -1 for empty or unknown text.
int charset_from_name(std::string_view text);
// The table's name, another value of 0 or more in decimal, "" when negative.
std::string charset_to_name(int value);

// The values of a settings line. Each returns the stored (escaped) length
// and sets *start, or returns -1 when the line has no such value.
// value1: right after "="; only an optional '-' followed by a digit counts.
int settings_value1(const char* text, const char** start);
// value2: after the ',' that ends value1.
int settings_value2(const char* text, const char** start);
// value3: after the ',' that ends value2, up to the first '\'' or the end.
int settings_value3(const char* text, const char** start);
// The comment of a font line: -1 for other lines; 0 when none follows the
// second ','; else its length after the first '\'' following that ','.
int font_line_comment(const char* text, const char** start);

// Overrides size, charset and face name of `font` from a font line.
void parse_font_values(const char* text, FontSpec& font);

// The built-in name of group 0-9: "全般", then "１" ... "９".
const char* builtin_group_name(int index);

// Name of group `index` (0-9) in a group names line's text (null for none),
// or the built-in name where the line has none; empty for an index of 10 or
// more.
std::string group_name_in_line(const char* text, int index);

// ---- Values that a comment may follow: the message and the tenth group
// name. They are written with apostrophes escaped ("\'"); reading ends them
// at the first apostrophe that is not escaped and turns "\'" back into "'".

// Length up to the first unescaped '\'' or the end of the line.
int escaped_value_length(const char* start);
// Unescapes such a value (charset 1, format 1.4), "\'" included.
std::string unescape_value(std::string_view value);

}  // namespace qz
