#include "core/operations/matching.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/syntax/fields.h"
#include "core/syntax/scan.h"

namespace qz {
namespace {

constexpr unsigned C = SEARCH_IGNORE_CASE;
constexpr unsigned W = SEARCH_IGNORE_WIDTH;
constexpr unsigned K = SEARCH_IGNORE_KANA;
constexpr unsigned Q = SEARCH_QUESTION, A = SEARCH_ANSWER, M = SEARCH_COMMENT;
constexpr unsigned kAllFields = SEARCH_TITLE | Q | A | M;
constexpr unsigned kNever = 0x100;  // as `needs`: matches under no combination

// Codes and spans are read from exact-size copies, so that the sanitizers
// catch a read beyond them.
std::vector<ComparisonCode> codes_of(std::string_view text, unsigned conditions) {
    const std::vector<char> bytes(text.begin(), text.end());
    std::vector<ComparisonCode> codes;
    const char* const end = bytes.data() + bytes.size();
    for (const char* p = bytes.data(); p < end;)
        codes.push_back(read_comparison_code(p, end, static_cast<SearchConditions>(conditions)));
    return codes;
}

bool contains(std::string_view span, int length, std::string_view search, unsigned conditions) {
    const std::optional<MatchTable> table =
        build_match_table(search, static_cast<SearchConditions>(conditions));
    if (!table) return false;
    const std::vector<char> bytes(span.begin(), span.begin() + length);
    return span_contains(bytes.data(), length, *table);
}

bool contains(std::string_view span, std::string_view search, unsigned conditions) {
    return contains(span, static_cast<int>(span.size()), search, conditions);
}

TEST(WidthTable, CounterpartsAreDistinctDoubleByteCharacters) {
    std::vector<ComparisonCode> seen;
    for (int c = 0; c < 256; ++c) {
        const ComparisonCode code = width_table[c];
        if (code == c) continue;
        const char pair[3] = {char(code >> 8), char(code & 0xFF), '\0'};
        EXPECT_TRUE(is_double_byte_char(pair)) << c;
        seen.push_back(code);
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
}

TEST(ReadComparisonCode, Sequences) {
    const struct { const char* text; unsigned conditions; std::vector<ComparisonCode> codes; } rows[] = {
        {"あ", 0, {0x82A0}}, {"ソ", W, {0x835C}},
        {"\x81\x7F", W, {0x81, 0x7F}}, {"\x81", W, {0x81}},  // lead byte without trail
        {"ｶﾞa", 0, {0xB6, 0xDE, 'a'}},
        // Widths ignored: voiced and semi-voiced half-width kana read as one...
        {"ｶﾞ", W, {0x834B}}, {"ﾄﾞ", W, {0x8368}}, {"ﾊﾞ", W, {0x836F}}, {"ﾎﾞ", W, {0x837B}},
        {"ﾊﾟ", W, {0x8370}}, {"ﾎﾟ", W, {0x837C}}, {"ｳﾞ", W, {0x8394}},
        // ...but not the kana that take no such mark.
        {"ﾜﾞ", W, {0x838F, 0x814A}}, {"ﾅﾞ", W, {0x8369, 0x814A}},
        {"ｶﾟ", W, {0x834A, 0x814B}}, {"ﾞｶ", W, {0x814A, 0x834A}},
        {"aZ#", W, {0x8281, 0x8279, 0x81F2}},
        {"azAZ", C, {'A', 'Z', 'A', 'Z'}}, {"ａｚ", C, {0x8260, 0x8279}}, {"a", C | W, {0x8260}},
        {"ァミムン", K, {0x829F, 0x82DD, 0x82DE, 0x82F1}}, {"ヴヵヶ", K, {0x8394, 0x8395, 0x8396}},
        {"ｱ", K, {0xB1}}, {"ｱ", W | K, {0x82A0}}, {"ﾊﾟ", W | K, {0x82CF}}, {"ｳﾞ", W | K, {0x8394}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(codes_of(r.text, r.conditions), r.codes) << r.text << " " << r.conditions;
}

TEST(ReadComparisonCode, DoubleByteCharactersAsTheScannersSeeThem) {
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            const char pair[3] = {char(lead), char(trail), '\0'};
            const char* p = pair;
            const ComparisonCode code = read_comparison_code(p, pair + 2, 0);
            const bool dbcs = is_double_byte_char(pair);
            ASSERT_EQ(p, pair + (dbcs ? 2 : 1)) << lead << " " << trail;
            ASSERT_EQ(code, dbcs ? (lead << 8 | trail) : lead);
        }
    }
}

// Each case under all eight combinations of the comparison bits.
TEST(SpanContains, EveryCombinationOfConditions) {
    // `needs`: bits that must all be set to match; `forbids`: bits that must all be clear.
    const struct { const char* span; const char* search; unsigned needs, forbids; } rows[] = {
        {"A", "a", C, 0},          {"Ａ", "a", C | W, 0},      {"Ａ", "ａ", C, 0}, {"ａ", "a", W, 0},
        {"か", "カ", K, 0},        {"ｶ", "カ", W, 0},          {"ｶ", "か", W | K, 0},
        {"が", "ｶﾞ", W | K, 0},    {"ぱ", "ﾊﾟ", W | K, 0},
        {"ｶﾞ", "ｶ", 0, W}, {"xｶﾞy", "ﾞy", 0, W},  // one character only with widths ignored
        {"ワ゛", "ﾜﾞ", W, 0}, {"ﾜﾞ", "ﾜ", 0, 0},
        {"xaby", "ＡＢ", C | W, 0}, {"12:30", "１２：３０", W, 0},
        {"ソ", "\\", kNever, 0}, {"表", "\\", kNever, 0},  // trail bytes are no backslash
        {"aabaaabaaaa", "aabaaaa", 0, 0},  // a fall-back along a chain of borders
    };
    for (const auto& r : rows) {
        for (unsigned combo = 0; combo < 8; ++combo) {
            const bool expected = (combo & r.needs) == r.needs && (combo & r.forbids) == 0;
            EXPECT_EQ(contains(r.span, r.search, combo | Q), expected)
                << r.search << " in " << r.span << ", conditions " << combo;
        }
    }
}

// ---------------------------------------------------------------------------
// Lines and documents

void fill(CardDocument& doc, const std::vector<std::string>& texts) {
    doc.clear();
    for (const std::string& text : texts)
        doc.append(DataLine(classify_text(text.c_str(), 14), text));
}

bool line_matches(const char* text, const char* title, const char* search, unsigned conditions) {
    const std::optional<MatchTable> table = build_match_table(search, conditions);
    return table && line_contains(text, title, *table);
}

TEST(LineContains, TitleOnlyItsTitleField) {
    // Which field holds what is checked against the field accessors by the
    // matching fuzz target; here the title and a missing text.
    EXPECT_FALSE(line_matches(nullptr, nullptr, "a", kAllFields | 0x07));
    const char* title = "#地理,000000'コメント";
    EXPECT_TRUE(line_matches("q,a,<00", title, "地理", SEARCH_TITLE));
    EXPECT_TRUE(line_matches("", title, "地理", SEARCH_TITLE));
    EXPECT_FALSE(line_matches("q,a,<00", title, "コメント", SEARCH_TITLE));
    EXPECT_FALSE(line_matches("q,a,<00", nullptr, "地理", SEARCH_TITLE));
    EXPECT_FALSE(line_matches("q,a,<00", title, "地理", 0xE7));
}

TEST(FindMatchingLine, TitleSectionsAndTheWalk) {
    CardDocument doc;
    fill(doc, {"q0,Second,<00", "#First,000000", "q1,a,<00", "#Second,000000'c", "q2,a,<00", "",
               "'comment", "$TimeLimit=30", "q3,a,<00", "#Third,000000", "q4,a,<00"});
    auto all = [&](const char* text, unsigned cond, int direction) {
        std::vector<int> found;
        int from = direction > 0 ? -1 : doc.count();
        while ((from = find_matching_line(doc, text, cond, from, direction)) >= 0)
            found.push_back(from);
        if (direction < 0) std::reverse(found.begin(), found.end());
        return found;
    };
    const std::vector<int> section = {3, 4, 5, 6, 7, 8};
    EXPECT_EQ(all("second", SEARCH_TITLE | C, 1), section);
    EXPECT_EQ(all("second", SEARCH_TITLE | C, -1), section);
    EXPECT_EQ(all("second", SEARCH_TITLE, 1), std::vector<int>{});
    EXPECT_EQ(all("Second", kAllFields, 1), (std::vector<int>{0, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(all("#", Q, 1), (std::vector<int>{1, 3, 9}));  // '#' finds titles by their marker

    fill(doc, {"#T,000000", "x1,a,<00", "y,a,<00", "x2,a,<00", "z,x,<00", ""});
    const struct { int from, direction, expected; } rows[] = {
        {-1, 1, 1}, {1, 1, 3}, {3, 1, -1}, {-1, -1, -1}, {5, -1, 3}, {1, -1, -1}};
    for (const auto& r : rows)
        EXPECT_EQ(find_matching_line(doc, "x", Q | 0x07, r.from, r.direction), r.expected)
            << r.from << " " << r.direction;
    EXPECT_EQ(find_matching_line(doc, "x", 0xF7, 3, 1), 4);
    EXPECT_EQ(find_matching_line(doc, "", 0xF7, -1, 1), -1);
}

// The matcher remembers the governing title while it walks; jumping about
// must give what a fresh look-up of the enclosing title gives.
TEST(LineMatcher, AnyOrderAgreesWithTheEnclosingTitle) {
    std::mt19937 rng(7);
    const char* const kLines[] = {"#ab,000000", "#b,000000", "ab,x,<00", "b,a,<00",
                                  "",           "'a",        "x,y,<00'ab"};
    for (int round = 0; round < 50; ++round) {
        std::vector<std::string> texts;
        for (int i = 0; i < 30; ++i)
            texts.push_back(kLines[rng() % std::size(kLines)]);
        CardDocument doc;
        fill(doc, texts);
        const MatchTable table =
            *build_match_table("ab", (round % 2 ? kAllFields : SEARCH_TITLE) | 0x07);
        LineMatcher matcher(doc, table);
        std::vector<int> order;
        for (int i = 0; i < 30; ++i) order.push_back(i);
        for (int i = 29; i >= 0; --i) order.push_back(i);
        for (int i = 0; i < 60; ++i) order.push_back(static_cast<int>(rng() % 30));
        for (int index : order) {
            const DataLine* line = doc.line_at(index);
            ASSERT_EQ(matcher.matches(index), line_contains(*line, doc.enclosing_title(line), table))
                << "round " << round << " line " << index;
        }
    }
}

}  // namespace
}  // namespace qz
