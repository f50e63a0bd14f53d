#include "core/syntax/scan.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace qz {
namespace {

// Double-byte characters used below, as bytes.
#define SO "\x83\x5C"          // "ソ": trail byte '\'
#define HYO "\x95\x5C"         // "表": trail byte '\'
#define BAR_TRAIL "\x83\x7C"   // "ー": trail byte '|'

std::string shown(std::string_view text) { return testing::PrintToString(std::string(text)); }

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
