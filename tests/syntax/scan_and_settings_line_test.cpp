#include "core/document/line_queries.h"
#include "core/prefs/font_in_effect.h"
#include "core/syntax/settings_line.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/syntax/scan.h"

namespace qz {
namespace {

#define SO "\x83\x5C"   // "ソ": trail byte '\'
#define HYO "\x95\x5C"  // "表": trail byte '\'
#define BAR_TRAIL "\x83\x7C"  // "ー": trail byte '|'

void fill(CardDocument& doc, const std::vector<std::pair<int, std::string>>& lines) {
    doc.clear();
    for (const auto& [kind, text] : lines) doc.append(DataLine(kind, text));
}

std::string shown(std::string_view text) { return testing::PrintToString(std::string(text)); }

// `base` with the values a font line gives.
FontSpec with(FontSpec base, int size, unsigned charset, const char* face) {
    base.size = size;
    base.charset = charset;
    base.face = face;
    return base;
}

TEST(SettingsLine, SettingsKind) {
    const struct { const char* text; int expected; } cases[] = {
        {"$timelimit=30", LINE_TIME_LIMIT}, {"$fontCOMMENT==", LINE_FONT_COMMENT},
        {"$FontQuestionXYZW=1", 0},  // a keyword of 16 bytes
        {"$TimeLimit", 0},
        {"$TimeLimit\x01=3", 0},  // the '=' lies on the next line
        {"TimeLimit=3", 0}, {"$TimeLimit =3", 0}, {nullptr, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(settings_kind(c.text), c.expected) << (c.text ? c.text : "(null)");
    EXPECT_EQ(settings_prefix(LINE_MESSAGE), "$Message=");
}

TEST(SettingsLine, CharsetFromName) {
    const struct { std::string_view text; int expected; } cases[] = {
        {"ShiftJis", 128}, {"easteurope", 238}, {"300", 300},   {"12abc", 12},
        {"", -1},          {"-1", -1},          {" 1", -1},     {"SHIFT", -1},
        {"2147483648", -1},  // beyond int: wraps to a negative value
    };
    for (const auto& c : cases) EXPECT_EQ(charset_from_name(c.text), c.expected) << shown(c.text);
    // The name is the view, not the NUL-terminated text behind it.
    EXPECT_EQ(charset_from_name(std::string_view("ANSIX", 4)), 0);
    for (int value : {-1, 128, 300}) EXPECT_EQ(charset_from_name(charset_to_name(value)), value) << value;
}

// Offset of a value in its line, or -1 when there is none.
struct Span {
    int offset;
    int length;
    bool operator==(const Span&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Span& s) {
    return os << "{" << s.offset << ", " << s.length << "}";
}
constexpr Span kNone = {-1, -1};

Span value_span(int (*value)(const char*, const char**), const char* text) {
    const char* start = nullptr;
    const int length = value(text, &start);
    if (length < 0) return kNone;
    return {static_cast<int>(start - text), length};
}

TEST(SettingsLine, Values) {
    const struct { const char* text; Span value1, value2, value3, comment; } cases[] = {
        {"$FontTitle=12,shiftjis,Face'c", {11, 2}, {14, 8}, {23, 4}, {28, 1}},
        {"$FontTitle=12", {11, 2}, kNone, kNone, {-1, 0}},
        {"$FontTitle=12,1,A'", {11, 2}, {14, 1}, {16, 1}, {18, 0}},
        {"$FontTitle=x,1,A", kNone, {13, 1}, {15, 1}, {-1, 0}},
        {"$FontTitle=1\\,2,3,4", {11, 4}, {16, 1}, {18, 1}, {-1, 0}},
        {"$FontTitle=12,1,a,b'c'd", {11, 2}, {14, 1}, {16, 3}, {20, 3}},
        {"$FontTitle=12,1'x,y,z", {11, 2}, {14, 3}, {18, 3}, {-1, 0}},
        {"$FontTitle=12," SO ",A", {11, 2}, {14, 2}, {17, 1}, {-1, 0}},
        {"$TimeLimit=30'c", {11, 4}, kNone, kNone, kNone},
        {"$Group=1,2,3", {7, 1}, {9, 1}, {11, 1}, kNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(shown(c.text));
        EXPECT_EQ(value_span(settings_value1, c.text), c.value1);
        EXPECT_EQ(value_span(settings_value2, c.text), c.value2);
        EXPECT_EQ(value_span(settings_value3, c.text), c.value3);
        const char* start = nullptr;
        const int length = font_line_comment(c.text, &start);
        EXPECT_EQ(length, c.comment.length);
        EXPECT_TRUE((length <= 0 && c.comment.offset < 0) || start - c.text == c.comment.offset);
    }
}

TEST(SettingsLine, ParseFontValues) {
    // Style and colours come from the preferences alone.
    const FontSpec base{11, FONT_BOLD | FONT_ITALIC, 77, "Default", 0x123456, 0x654321};
    const struct { const char* text; int size; unsigned charset; const char* face; } cases[] = {
        {"$FONTTITLE=12,shiftjis,ＭＳ 明朝", 12, 128, "ＭＳ 明朝"},
        {"$FontAnswer=-16,1,Arial'big", -16, 1, "Arial"}, {"$FontQuestion=x,ANSI,", 11, 0, ""},
        {"$FontHint=10,FOO,Arial", 10, 77, "Arial"},
        {"$FontHint=9,1,A\\,B", 9, 1, "A\\,B"},  // taken as stored
        {"$FontHint=9,1,0123456789012345678901234567890123456789", 9, 1,
         "0123456789012345678901234567890"},
        {"$FontHint=9,0000000000000000000000000000001,A", 9, 1, "A"},    // 31 bytes
        {"$FontHint=9,00000000000000000000000000000001,A", 9, 77, "A"},  // 32 bytes
        {"$FontHint=10,300,Arial", 10, 300, "Arial"},  // only the low byte (44) reaches the font
    };
    for (const auto& c : cases) {
        FontSpec font = base;
        parse_font_values(c.text, font);
        EXPECT_EQ(font, with(base, c.size, c.charset, c.face)) << shown(c.text);
    }
}

TEST(FontsInEffect, NearestFontLineAboveOrTheDefault) {
    Preferences prefs;
    fill_default_preferences(prefs);
    CardDocument doc;
    fill(doc, {
                  {LINE_TITLE, "#T1,000000"},                     // 0
                  {LINE_FONT_TITLE, "$FontTitle=30,ANSI,Face1"},  // 1
                  {LINE_FONT_ANSWER, "$FontAnswer=8,1,Other"},    // 2
                  {LINE_FONT_TITLE, "$fonttitle=40,1,Face2'c"},   // 3
                  {LINE_TEXT, "q,a,<00"},                         // 4
                  {LINE_FONT_COMMENT, "$FontComment=30,1,Far"},   // 5
                  {LINE_FONT_COMMENT, "$FontComment=x"},          // 6
                  {LINE_TEXT, "'c"},                              // 7
              });
    prefs.Comment.size = 33;
    // Style and colours stay those of the default.
    const struct { int index, kind; FontSpec expected; } cases[] = {
        {0, LINE_FONT_TITLE, prefs.Title},
        {1, LINE_FONT_TITLE, with(prefs.Title, 30, 0, "Face1")},  // the line itself counts
        {2, LINE_FONT_TITLE, with(prefs.Title, 30, 0, "Face1")},
        {4, LINE_FONT_TITLE, with(prefs.Title, 40, 1, "Face2")},
        {1, LINE_FONT_ANSWER, prefs.Answer},
        {4, LINE_FONT_ANSWER, with(prefs.Answer, 8, 1, "Other")},
        {4, LINE_FONT_HINT, prefs.hint_font},
        // FontGroup starts from the comment default; only the nearest line counts.
        {4, LINE_FONT_GROUP, prefs.Comment}, {7, LINE_FONT_COMMENT, prefs.Comment},
    };
    for (const auto& c : cases) {
        FontSpec out;
        ASSERT_TRUE(font_spec_in_effect(doc, doc.line_at(c.index), c.kind, prefs, out));
        EXPECT_EQ(out, c.expected) << "line " << c.index << " kind " << c.kind;
    }
    // Other kinds leave the record unset.
    FontSpec untouched;
    for (int kind : std::initializer_list<int>{LINE_TITLE, LINE_FONT, 0x3007})
        EXPECT_FALSE(font_spec_in_effect(doc, doc.line_at(1), kind, prefs, untouched)) << kind;
    EXPECT_EQ(untouched, FontSpec{});
}

TEST(GroupName, FromGroupLineOrBuiltIn) {
    const struct {
        const char* line;
        int index;
        const char* expected;  // null: the built-in name
    } cases[] = {
        {"$Group=A,B,,D", 1, "B"},
        {"$Group=A,B,,D", 2, nullptr},  // empty
        {"$Group=A,B,,D", 4, nullptr},  // missing: the line holds fewer names
        {"$Group=0,1,2,3,4,5,6,7,8,it\\'s'comment", 9, "it's"},
        {"$Group=0,1,2,3,4,5,6,7,8,'comment", 9, nullptr},
        {"$Group=0,1,2,3,4,5,6,7,8'x", 8, "8'x"},  // the comment only follows name 9
        {"$Group=a\\,b,c", 0, "a,b"}, {"$Group=" SO "," HYO, 0, SO}, {"$group=A=B,C", 0, "A=B"},
        {"$Group=A", 10, ""},
    };
    for (const auto& c : cases) {
        CardDocument doc;
        fill(doc, {{LINE_TEXT, "q,a,<00"}, {LINE_GROUP, c.line}, {LINE_GROUP, "$Group=2nd,2nd"}});
        EXPECT_EQ(group_name(doc, c.index), c.expected ? c.expected : builtin_group_name(c.index))
            << c.line << " #" << c.index;
    }
    CardDocument doc;
    fill(doc, {{LINE_TEXT, "q,a,<00"}});
    EXPECT_EQ(group_name(doc, 0), "全般");
    EXPECT_EQ(group_name(doc, 9), "９");
}

// Round trips through escaping: see the scan fuzz target.
TEST(EscapedValue, LengthAndValue) {
    const struct { const char* text; int length; const char* value; } cases[] = {
        {"a\\", 2, "a\\"}, {"a\\\x01'", 2, "a\\"},  // a backslash never escapes the line end
        {HYO "\\'", 4, HYO "'"}, {"x\\ny", 4, "x\r\ny"},
    };
    for (const auto& c : cases) {
        const int length = escaped_value_length(c.text);
        EXPECT_EQ(length, c.length) << shown(c.text);
        EXPECT_EQ(unescape_value(std::string_view(c.text, length)), c.value) << shown(c.text);
    }
}

TEST(Scan, FieldLength) {
    const struct { const char* text; bool images; int expected; } cases[] = {
        {"ab\\,c,d", false, 5}, {"\\i\"x,y.bmp\",z", true, 11}, {"\\i\"x,y.bmp\",z", false, 4},
        {"\\ix", true, -1}, {"\\i\"abc", true, -1},
        {"\\i\"ab\x01\"c", true, -1},  // the closing quote lies on the next line
        {"a\\i\"x\",b", true, 6}, {"\\i\"" HYO "\"x,", true, 7},
        {SO "\\,x", false, 5}, {"\\" SO ",x", false, 3},
        {"ab\\\001cd", false, 3},  // a backslash cannot escape the line end
        {"\x81,", false, 1},  // a lead byte before ',' is a single byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(field_length(c.text, c.images), c.expected) << shown(c.text) << c.images;
}

TEST(Scan, UnescapeText) {
    const struct {
        std::string_view text;
        unsigned charset;
        std::string_view old_format, format14;  // versions 12 and 13; version 14
    } cases[] = {
        {"\\(x", 128, "(x", "\\(x"}, {"a\\", 128, "a", "a\\"},  // a backslash as the last byte
        {"\\'", 128, "'", "\\'"}, {"\\)\\[\\]\\|", 128, ")[]|", "\\)\\[\\]\\|"},
        {"\\i\"a.bmp\"", 128, "i\"a.bmp\"", "\\i\"a.bmp\""},
        // A picture's path keeps its backslashes; an unclosed reference is
        // ordinary text.
        {"\\i\"C:\\new\\a\\,b.bmp\",x\\,", 128, "i\"C:\r\newa,b.bmp\",x,",
         "\\i\"C:\\new\\a\\,b.bmp\",x,"},
        {"\\i\"C:\\new", 128, "i\"C:\r\new", "\\i\"C:\r\new"},
        {"\\" SO "n", 128, SO "n", "\\" SO "n"},  // the escaped character is kept whole
        {"\x83", 128, "\x83", "\x83"},  // a lead byte at the end
        {BAR_TRAIL "\\|", 128, BAR_TRAIL "|", BAR_TRAIL "\\|"},
        {std::string_view("a\0b", 3), 128, std::string_view("a\0b", 3), std::string_view("a\0b", 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(shown(c.text) + " charset " + std::to_string(c.charset));
        EXPECT_EQ(unescape_text(c.text, c.charset, 12), c.old_format);
        EXPECT_EQ(unescape_text(c.text, c.charset, 13), c.old_format);
        EXPECT_EQ(unescape_text(c.text, c.charset, 14), c.format14);
    }
    const char* text = "ab\\,c,d\\nX";
    EXPECT_EQ(copy_unescaped(text, 5, 128, 14), "ab,c");
    EXPECT_EQ(copy_unescaped(text, -1, 128, 14), "ab,c,d\r\nX");
}

TEST(Scan, EscapeText) {
    const struct { std::string_view text; unsigned charset; int flags; std::string_view expected; } cases[] = {
        {"\\(x\\)", 128, KEEP_ANSWER_SYNTAX, "\\(x\\)"},
        {"\\[a\\|b\\]", 128, KEEP_ANSWER_SYNTAX, "\\[a\\|b\\]"}, {"\\(x\\)", 128, 0, "\\\\(x\\\\)"},
        {"\\i", 128, KEEP_ANSWER_SYNTAX, "\\\\i"}, {"\\", 128, KEEP_ANSWER_SYNTAX, "\\\\"},
        {"\\i\"p,q.bmp\",", 128, KEEP_IMAGE_REFERENCES, "\\i\"p,q.bmp\"\\,"},
        // A reference without its closing quote is no reference: escaping
        // it as one would leave the line's commas open.
        {"\\i\"ab\r\ncd", 128, KEEP_IMAGE_REFERENCES, "\\\\i\"ab\\ncd"},
        {"\\i\"ab\nc,d\"", 128, KEEP_IMAGE_REFERENCES, "\\\\i\"ab\\nc\\,d\""},
        {"\\i\"a,b", 128, KEEP_IMAGE_REFERENCES, "\\\\i\"a\\,b"},  // the text ends first
        {"\\ix", 128, KEEP_IMAGE_REFERENCES, "\\\\ix"},
        {"\\i\"" SO "\",", 128, KEEP_IMAGE_REFERENCES, "\\i\"" SO "\"\\,"},
        {"\\i\"a'b\"'", 128, KEEP_IMAGE_REFERENCES | ESCAPE_APOSTROPHE, "\\i\"a'b\"\\'"},
        {"it's", 128, 0, "it's"}, {BAR_TRAIL "|", 128, KEEP_ANSWER_SYNTAX, BAR_TRAIL "|"},
        // A lone lead byte would pair up with the backslash after it.
        {"\x83'", 128, ESCAPE_APOSTROPHE, "?\\'"}, {"\x83'", 128, 0, "\x83'"},
        {"\\(a'\\i\"x',\"", 128, ESCAPE_APOSTROPHE | KEEP_ANSWER_SYNTAX | KEEP_IMAGE_REFERENCES,
         "\\(a\\'\\i\"x',\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(escape_text(c.text, c.charset, c.flags), c.expected)
            << shown(c.text) << " charset " << c.charset << " flags " << c.flags;
}

// A run of backslashes in an answer, read and written: pairs before
// anything but a mark or a reference, the run as stored before those (a
// reference with a comma in its path is not kept after a run).
TEST(Scan, RunsOfBackslashes) {
    const struct { std::string_view stored, shown, escaped; } cases[] = {
        {R"(\\\\x)", R"(\\x)", R"(\\\\\\\\x)"},
        {R"(\\\\\x)", R"(\\x)", R"(\\\\\\\\\\x)"},
        {R"(\\\\\n)", "\\\\\r\n", R"(\\\\\\\\\\n)"},
        {R"(\\\x)", R"(\x)", R"(\\\\\\x)"},
        {R"(\\\\[a)", R"(\\\\[a)", R"(\\\\[a)"},
        {R"(\\\[)", R"(\\\[)", R"(\\\[)"},
        {R"(\\\i"a"x)", R"(\\\i"a"x)", R"(\\\i"a"x)"},
        {R"(\\\\i"a,b")", R"(\\i"a,b")", R"(\\\\\\\i"a,b")"},
    };
    const int flags = KEEP_ANSWER_SYNTAX | KEEP_IMAGE_REFERENCES;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stored));
        EXPECT_EQ(unescape_text(c.stored, 128, 14, flags), c.shown);
        EXPECT_EQ(escape_text(c.stored, 128, flags), c.escaped);
    }
}

TEST(Scan, StrToInt) {
    const struct { std::string_view text; int expected; } cases[] = {
        {" -16x", -16}, {"\t 3", 3}, {"--1", 0}, {"4294967297", 1}, {"12\0013", 12}};
    for (const auto& c : cases) {
        EXPECT_EQ(str_to_int(c.text), c.expected) << shown(c.text);
        EXPECT_EQ(str_to_int(std::string(c.text).c_str()), c.expected) << shown(c.text);
    }
}

}  // namespace
}  // namespace qz
