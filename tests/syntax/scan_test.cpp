#include "core/syntax/scan.h"

#include <gtest/gtest.h>

#include <climits>
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

TEST(Scan, IsDoubleByteChar) {
    const struct { const char* bytes; bool expected; } cases[] = {
        {"\x81\x40", true},  {"\x80\x40", false}, {"\xA0\x40", false}, {"\xFD\x40", false},
        {"\x81\x7F", false}, {"\x81", false},     {"\x81\x01", false}, {"\x81\x3F", false},
        {"\x81\xFD", false}, {"\x9F\xFC", true},  {"\xE0\x80", true},  {"\xFC\xFC", true},
        {"\xDF\x40", false}, {SO, true},          {HYO, true},         {BAR_TRAIL, true},
        {"\x81\x2C", false}, {"\x81\x27", false}, {"A\x40", false},    {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(is_double_byte_char(c.bytes), c.expected) << shown(c.bytes);
}

TEST(Scan, FieldLength) {
    const struct { const char* text; bool images; int expected; } cases[] = {
        {"ab\\,c,d", false, 5}, {"\\i\"x,y.bmp\",z", true, 11}, {"\\i\"x,y.bmp\",z", false, 4},
        {"\\ix", true, -1}, {"\\i", true, -1}, {"\\i\"abc", true, -1},
        {"\\i\"ab\x01\"c", true, -1},  // the closing quote lies on the next line
        {"a\\i\"x\",b", true, 6}, {"\\i\"" HYO "\"x,", true, 7}, {"\\i\"\"", true, 4},
        {SO ",x", false, 2}, {SO "\\,x", false, 5}, {BAR_TRAIL ",", true, 2},
        {"ab\\\001cd", false, 3},  // a backslash cannot escape the line end
        {"", false, 0}, {",x", false, 0}, {"\\" SO ",x", false, 3},
        {"\x81,", false, 1},  // a lead byte before ',' is a single byte
        {"\x81", false, 1},   // a lead byte before the NUL
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
        {"a\\nb", 128, "a\r\nb", "a\r\nb"}, {"\\(x", 128, "(x", "\\(x"}, {"\\\\", 128, "\\", "\\"},
        {"\\,", 128, ",", ","}, {"a\\", 128, "a", "a\\"},  // a backslash as the last byte
        {"\\'", 128, "'", "\\'"}, {"\\)\\[\\]\\|", 128, ")[]|", "\\)\\[\\]\\|"},
        {"\\i\"a.bmp\"", 128, "i\"a.bmp\"", "\\i\"a.bmp\""},
        // A picture's path keeps its backslashes; an unclosed reference is
        // ordinary text.
        {"\\i\"C:\\new\\a\\,b.bmp\",x\\,", 128, "i\"C:\r\newa,b.bmp\",x,",
         "\\i\"C:\\new\\a\\,b.bmp\",x,"},
        {"\\i\"C:\\new", 128, "i\"C:\r\new", "\\i\"C:\r\new"},
        {"\\\\n", 128, "\\n", "\\n"}, {"\\\\\\n", 1, "\\\r\n", "\\\r\n"},
        {SO "n", 128, SO "n", SO "n"}, {HYO "\\,", 0, HYO ",", HYO ","},
        {"\\" SO "n", 128, SO "n", "\\" SO "n"},  // the escaped character is kept whole
        {"\x83", 128, "\x83", "\x83"},  // a lead byte at the end
        {"\x83,", 128, "\x83,", "\x83,"}, {BAR_TRAIL "\\|", 128, BAR_TRAIL "|", BAR_TRAIL "\\|"},
        {"", 128, "", ""},
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
        {"a\r\nb,c", 128, 0, "a\\nb\\,c"}, {"\r", 128, 0, "\\n"}, {"\n\r", 128, 0, "\\n\\n"},
        {"a\\b", 128, 0, "a\\\\b"}, {"\\(x\\)", 128, KEEP_ANSWER_SYNTAX, "\\(x\\)"},
        {"\\[a\\|b\\]", 128, KEEP_ANSWER_SYNTAX, "\\[a\\|b\\]"}, {"\\(x\\)", 128, 0, "\\\\(x\\\\)"},
        {"\\i", 128, KEEP_ANSWER_SYNTAX, "\\\\i"}, {"\\", 128, KEEP_ANSWER_SYNTAX, "\\\\"},
        {"\\i\"p,q.bmp\",", 128, KEEP_IMAGE_REFERENCES, "\\i\"p,q.bmp\"\\,"},
        {"\\i\"p,q.bmp\",", 128, 0, "\\\\i\"p\\,q.bmp\"\\,"},
        // A reference without its closing quote is no reference: escaping
        // it as one would leave the line's commas open.
        {"\\i\"ab\r\ncd", 128, KEEP_IMAGE_REFERENCES, "\\\\i\"ab\\ncd"},
        {"\\i\"ab\nc,d\"", 128, KEEP_IMAGE_REFERENCES, "\\\\i\"ab\\nc\\,d\""},
        {"\\i\"ab\rc", 1, KEEP_IMAGE_REFERENCES, "\\\\i\"ab\\nc"},
        {"\\i\"a,b", 128, KEEP_IMAGE_REFERENCES, "\\\\i\"a\\,b"},  // the text ends first
        {"\\i\"", 128, KEEP_IMAGE_REFERENCES, "\\\\i\""}, {"\\ix", 128, KEEP_IMAGE_REFERENCES, "\\\\ix"},
        {"\\i\"" SO "\",", 128, KEEP_IMAGE_REFERENCES, "\\i\"" SO "\"\\,"},
        {"\\i\"a'b\"'", 128, KEEP_IMAGE_REFERENCES | ESCAPE_APOSTROPHE, "\\i\"a'b\"\\'"},
        {"it's", 128, ESCAPE_APOSTROPHE, "it\\'s"}, {"it's", 128, 0, "it's"},
        {SO, 128, 0, SO}, {SO, 0, 0, SO},  // whatever the font
        {SO "," HYO, 128, 0, SO "\\," HYO}, {BAR_TRAIL "|", 128, KEEP_ANSWER_SYNTAX, BAR_TRAIL "|"},
        // A lone lead byte would pair up with the backslash after it.
        {"\x83,", 128, 0, "?\\,"}, {"\x83\r\n", 0, 0, "?\\n"},
        {"\x83'", 128, ESCAPE_APOSTROPHE, "?\\'"}, {"\x83'", 128, 0, "\x83'"},
        {"", 128, ESCAPE_APOSTROPHE | KEEP_ANSWER_SYNTAX | KEEP_IMAGE_REFERENCES, ""},
        {"\\(a'\\i\"x',\"", 128, ESCAPE_APOSTROPHE | KEEP_ANSWER_SYNTAX | KEEP_IMAGE_REFERENCES,
         "\\(a\\'\\i\"x',\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(escape_text(c.text, c.charset, c.flags), c.expected)
            << shown(c.text) << " charset " << c.charset << " flags " << c.flags;
}

TEST(Scan, DecimalsBothWays) {
    const std::pair<int, const char*> decimals[] = {
        {0, "0"}, {-1, "-1"}, {123, "123"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"}};
    for (const auto& [value, text] : decimals) EXPECT_EQ(format_decimal(value), text);
    const struct { std::string_view text; int expected; } cases[] = {
        {"12", 12},       {" -16x", -16}, {"+7", 7},           {"abc", 0},
        {"", 0},          {"-", 0},       {"\t 3", 3},         {"--1", 0},
        {"2147483647", INT_MAX},          {"-2147483648", INT_MIN},
        {"4294967297", 1},                {"12\0013", 12},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(str_to_int(c.text), c.expected) << shown(c.text);
        EXPECT_EQ(str_to_int(std::string(c.text).c_str()), c.expected) << shown(c.text);
    }
    // The view form stops at the end of the view.
    EXPECT_EQ(str_to_int(std::string_view("123", 2)), 12);
}

}  // namespace
}  // namespace qz
