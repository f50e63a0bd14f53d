#include "core/exchange/wide_text.h"

#include <gtest/gtest.h>

#include "core/exchange/cp932_table.h"

namespace qz {
namespace {

std::string pair(int code) {
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

// Every pair the table defines reads as its code point and is written back
// as itself, or, where several pairs stand for one character, as the one
// Windows writes (which reads as the same character).
TEST(WideText, EveryPairOfTheTableBothWays) {
    int pairs = 0, duplicates = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        const int li = cp932_lead_index(static_cast<unsigned char>(lead));
        if (li < 0) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char16_t u = kCp932DoubleByte[li][trail - 0x40];
            if (!u) continue;
            ++pairs;
            const std::string bytes = pair(lead * 256 + trail);
            ASSERT_EQ(cp932_to_utf16(bytes), std::u16string(1, u)) << std::hex << lead << trail;
            std::vector<char32_t> lost;
            const std::string back = utf16_to_cp932(std::u16string(1, u), &lost);
            ASSERT_TRUE(lost.empty());
            ASSERT_EQ(back.size(), 2u);
            ASSERT_EQ(cp932_to_utf16(back), std::u16string(1, u));
            duplicates += back != bytes;
        }
    }
    EXPECT_EQ(pairs, 9604);  // with the user-defined rows 0xF0-0xF9
    EXPECT_EQ(duplicates, 398);  // the NEC row's and the IBM rows' copies
}

TEST(WideText, CharactersBothWays) {
    struct Case {
        const char* name;
        std::string cp932;     // as stored
        std::u16string text;   // as Windows shows it
        std::string written;   // the text stored again ("" = cp932)
    };
    const Case cases[] = {
        {"ascii and the yen byte", "a\\b~", u"a\\b~", ""},
        {"yen sign typed or pasted", "\\100", u"\u00A5" u"100", ""},
        {"full-width yen", "\x81\x8F", u"\uFFE5", ""},
        {"overline", "~", u"\u203E", ""},
        {"half-width katakana", "\xB1\xDF", u"\uFF71\uFF9F", ""},
        {"bytes Windows gives private code points", "\x80\xA0\xFD\xFE\xFF", u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3", ""},
        {"kana and kanji", "\x82\xA0\x88\x9F", u"\u3042\u4E9C", ""},
        {"NEC row: circled one", "\x87\x40", u"\u2460", ""},
        {"NEC row copy of a JIS sign", "\x87\x90", u"\u2252", "\x81\xE0"},
        {"IBM row: small roman one", "\xFA\x40", u"\u2170", ""},
        {"NEC-selected IBM copy", "\xED\x40", u"\u7E8A", "\xFA\x5C"},
        {"IBM not sign is the JIS one", "\xFA\x54", u"\uFFE2", "\x81\xCA"},
        {"roman one of the IBM row is the NEC row's", "\xFA\x4A", u"\u2160", "\x87\x54"},
        {"wave dash in its JIS form", "\x81\x60", u"\u301C", ""},
        {"minus sign in its JIS form", "\x81\x7C", u"\u2212", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string written = c.written.empty() ? c.cp932 : c.written;
        if (c.text != u"\u00A5" u"100" && c.text != u"\u203E" && c.text != u"\u301C" && c.text != u"\u2212") {
            EXPECT_EQ(cp932_to_utf16(c.cp932), c.text);
        }
        std::vector<char32_t> lost;
        EXPECT_EQ(utf16_to_cp932(c.text, &lost), written);
        EXPECT_TRUE(lost.empty());
        EXPECT_TRUE(fits_cp932(c.text));
    }
}

TEST(WideText, BytesThatAreNoCharacter) {
    struct Case {
        std::string cp932;
        std::u16string text;
    };
    const Case cases[] = {
        {"\x82", u"\u30FB"},               // a lead byte at the end
        {"\x82 x", u"\u30FB x"},           // before a byte that cannot trail
        {"\x82\x7F", u"\u30FB\u007F"},
        {"\x82\x40z", u"\u30FBz"},         // an undefined pair is one character
        {"\x85\x40", u"\u30FB"},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cp932_to_utf16(c.cp932), c.text);
        char16_t buffer[8];
        const std::size_t n = cp932_to_utf16(c.cp932, buffer, std::size(buffer));
        EXPECT_EQ(std::u16string(buffer, n), c.text);
        EXPECT_EQ(buffer[n], 0);
    }
    char16_t small[3];
    EXPECT_EQ(cp932_to_utf16("\x82\xA0\x82\xA2\x82\xA4", small, std::size(small)), 2u);
    EXPECT_EQ(std::u16string(small), u"\u3042\u3044");
}

TEST(WideText, CharactersTheCodePageCannotHold) {
    std::u16string text = u"a\uD55C\U0001F600?z\u00E9";  // Hangul, emoji, lone surrogate, é
    text[4] = 0xD800;
    std::vector<char32_t> lost;
    EXPECT_EQ(utf16_to_cp932(text, &lost), "a\x81\xAC\x81\xAC\x81\xAC" "z\x81\xAC");
    EXPECT_EQ(lost, (std::vector<char32_t>{0xD55C, 0x1F600, 0xD800, 0xE9}));
    EXPECT_FALSE(fits_cp932(text));
    EXPECT_FALSE(fits_cp932(std::u16string(1, char16_t{0xD800})));
}

TEST(WideText, FileNamesInUtf8) {
    const std::u16string name = u"C:\\\uD55C\uAD6D\\caf\u00E9\U0001F600\\\u554F\u984C.qzf";
    EXPECT_EQ(utf16_to_utf8(name), "C:\\\xED\x95\x9C\xEA\xB5\xAD\\caf\xC3\xA9\xF0\x9F\x98\x80\\\xE5\x95\x8F\xE9\xA1\x8C.qzf");
    EXPECT_EQ(utf8_to_utf16(utf16_to_utf8(name)), name);
    EXPECT_EQ(utf16_to_utf8(std::u16string(1, char16_t{0xDC00})), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace qz
