// Settings lines: "$Keyword=values['comment]".
//
// Font lines hold "size,charset,face name"; the group names line ten names
// separated by ','; the time limit line a number of seconds; the message
// line one text. The message and the tenth group name may be followed by a
// comment, so their apostrophes are written escaped ("\'").
#include "core/syntax/settings_line.h"

#include <algorithm>
#include <array>

#include "core/syntax/scan.h"

namespace qz {

namespace {

struct Keyword {
    const char* name;
    int kind;
};

constexpr std::array<Keyword, 9> kKeywords = {{
    {"TimeLimit", LINE_TIME_LIMIT},
    {"Group", LINE_GROUP},
    {"Message", LINE_MESSAGE},
    {"FontTitle", LINE_FONT_TITLE},
    {"FontQuestion", LINE_FONT_QUESTION},
    {"FontHint", LINE_FONT_HINT},
    {"FontAnswer", LINE_FONT_ANSWER},
    {"FontGroup", LINE_FONT_GROUP},
    {"FontComment", LINE_FONT_COMMENT},
}};

// A keyword must be shorter than this.
constexpr int kMaxKeyword = 16;

struct CharsetName {
    const char* name;
    int value;
};

constexpr std::array<CharsetName, 18> kCharsetNames = {{
    {"ANSI", 0},
    {"DEFAULT", 1},
    {"SYMBOL", 2},
    {"MAC", 77},
    {"SHIFTJIS", 128},
    {"HANGEUL", 129},
    {"JOHAB", 130},
    {"GB2312", 134},
    {"CHINESE", 136},
    {"GREEK", 161},
    {"TURKISH", 162},
    {"HEBREW", 177},
    {"ARABIC", 178},
    {"BALTIC", 186},
    {"RUSSIAN", 204},
    {"THAI", 222},
    {"EASTEUROPE", 238},
    {"OEM", 255},
}};

constexpr std::array<const char*, 10> kBuiltinGroupNames = {
    "全般", "１", "２", "３", "４", "５", "６", "７", "８", "９",
};

char ascii_upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// ASCII letters compared without regard to case; other bytes exactly.
bool equals_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ascii_upper(a[i]) != ascii_upper(b[i])) return false;
    }
    return true;
}

// The text after the first '=' of the line, or null when the line has none.
const char* values_start(const char* text) {
    if (!text) return nullptr;
    for (const char* p = text; !is_line_end(*p); ++p) {
        if (*p == '=') return p + 1;
    }
    return nullptr;
}

// The start of the value after the one at p (past its ending ','), or null
// when the line ends first.
const char* next_value(const char* p) {
    p += field_length(p, false);
    return *p == ',' ? p + 1 : nullptr;
}

}  // namespace

int settings_kind(const char* text) {
    if (!text || text[0] != '$') return 0;
    // The keyword lies between "$" and an '=' no further than kMaxKeyword - 1
    // bytes on.
    for (int i = 1; i <= kMaxKeyword; ++i) {
        const char c = text[i];
        if (is_line_end(c)) return 0;
        if (c != '=') continue;
        const std::string_view keyword(text + 1, static_cast<std::size_t>(i - 1));
        for (const Keyword& k : kKeywords) {
            if (equals_ignoring_case(keyword, k.name)) return k.kind;
        }
        return 0;
    }
    return 0;
}

std::string settings_prefix(int kind) {
    for (const Keyword& k : kKeywords) {
        if (k.kind == kind) return std::string("$") + k.name + "=";
    }
    return {};
}

int charset_from_name(std::string_view text) {
    if (text.empty()) return -1;
    if (text[0] >= '0' && text[0] <= '9') {
        // Digits too many for an int wrap around; no charset is negative.
        const int value = str_to_int(text);
        return value < 0 ? -1 : value;
    }
    for (const CharsetName& c : kCharsetNames) {
        if (equals_ignoring_case(text, c.name)) return c.value;
    }
    return -1;
}

std::string charset_to_name(int value) {
    if (value < 0) return {};
    for (const CharsetName& c : kCharsetNames) {
        if (c.value == value) return c.name;
    }
    return format_decimal(value);
}

int settings_value1(const char* text, const char** start) {
    const char* p = values_start(text);
    if (!p) return -1;
    const char* digit = *p == '-' ? p + 1 : p;
    if (*digit < '0' || *digit > '9') return -1;
    *start = p;
    return field_length(p, false);
}

int settings_value2(const char* text, const char** start) {
    const char* p = values_start(text);
    if (!p || !(p = next_value(p))) return -1;
    *start = p;
    return field_length(p, false);
}

int settings_value3(const char* text, const char** start) {
    const char* p = values_start(text);
    if (!p || !(p = next_value(p)) || !(p = next_value(p))) return -1;
    *start = p;
    return comment_start_length(p);
}

int font_line_comment(const char* text, const char** start) {
    if (!is_font_kind(settings_kind(text))) return -1;
    const char* p = values_start(text);
    if (!p || !(p = next_value(p)) || !(p = next_value(p))) return 0;
    p += comment_start_length(p);
    if (*p != '\'') return 0;
    ++p;
    *start = p;
    return line_end_length(p);
}

void parse_font_values(const char* text, FontSpec& font) {
    const char* start = nullptr;
    int length = settings_value1(text, &start);
    if (length >= 0) font.size = str_to_int(std::string_view(start, length));

    length = settings_value2(text, &start);
    if (length >= 0 && length < 32) {
        const int charset = charset_from_name(std::string_view(start, length));
        if (charset >= 0) font.charset = static_cast<unsigned>(charset);
    }

    length = settings_value3(text, &start);
    if (length >= 0) {
        font.face.assign(start, std::min<std::size_t>(length, kMaxFaceName));
    }
}

const char* builtin_group_name(int index) {
    if (index < 0 || index >= static_cast<int>(kBuiltinGroupNames.size())) return "";
    return kBuiltinGroupNames[index];
}

std::string group_name_in_line(const char* text, int index) {
    if (index < 0 || index >= 10) return {};
    const char* p = text ? values_start(text) : nullptr;
    for (int i = 0; p && i < index; ++i)
        p = next_value(p);
    if (!p) return builtin_group_name(index);

    if (index == 9) {
        const int length = escaped_value_length(p);
        if (length == 0) return builtin_group_name(index);
        return unescape_value(std::string_view(p, length));
    }
    const int length = field_length(p, false);
    if (length == 0) return builtin_group_name(index);
    // Settings lines exist only in format 1.4.
    return copy_unescaped(p, length, DEFAULT_CHARSET_VALUE, 14);
}

int escaped_value_length(const char* start) {
    const char* p = start;
    while (!is_line_end(*p) && *p != '\'') {
        if (*p == '\\') {
            ++p;
            if (is_line_end(*p)) break;
        }
        p += is_double_byte_char(p) ? 2 : 1;
    }
    return static_cast<int>(p - start);
}

std::string unescape_value(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    std::size_t i = 0;
    const std::size_t n = value.size();
    const auto double_byte_at = [&](std::size_t k) {
        return k + 1 < n && is_double_byte_char(value.data() + k);
    };
    while (i < n) {
        if (double_byte_at(i)) {
            out.append(value, i, 2);
            i += 2;
            continue;
        }
        const char c = value[i];
        const char next = i + 1 < n ? value[i + 1] : '\0';
        if (c == '\\' && next == 'n') {
            out += "\r\n";
            i += 2;
        } else if (c == '\\' && (next == ',' || next == '\\' || next == '\'')) {
            out += next;
            i += 2;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

}  // namespace qz
