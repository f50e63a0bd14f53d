#include "operations/matching.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "syntax/fields.h"
#include "syntax/scan.h"

namespace qz {
namespace {

constexpr unsigned C = SEARCH_IGNORE_CASE;
constexpr unsigned W = SEARCH_IGNORE_WIDTH;
constexpr unsigned K = SEARCH_IGNORE_KANA;
constexpr unsigned kAllFields = SEARCH_TITLE | SEARCH_QUESTION | SEARCH_ANSWER | SEARCH_COMMENT;
// As the `needs` of a FoldCase: matches under no combination.
constexpr unsigned kNever = 0x100;

// The comparison codes of a text, read from an exact-size copy so that the
// sanitizers catch a read beyond it.
std::vector<ComparisonCode> codes_of(std::string_view text, unsigned conditions) {
    const std::vector<char> bytes(text.begin(), text.end());
    std::vector<ComparisonCode> codes;
    const char* const end = bytes.data() + bytes.size();
    for (const char* p = bytes.data(); p < end;)
        codes.push_back(read_comparison_code(p, end, static_cast<SearchConditions>(conditions)));
    return codes;
}

// span_contains over an exact-size copy of the span.
bool contains(std::string_view span, std::string_view search, unsigned conditions) {
    const std::optional<MatchTable> table =
        build_match_table(search, static_cast<SearchConditions>(conditions));
    if (!table) return false;
    const std::vector<char> bytes(span.begin(), span.end());
    return span_contains(std::string_view(bytes.data(), bytes.size()), *table);
}

// The matcher the table must agree with: a plain search over the codes.
bool naive_contains(std::string_view span, std::string_view search, unsigned conditions) {
    const std::vector<ComparisonCode> haystack = codes_of(span, conditions);
    const std::vector<ComparisonCode> needle = codes_of(search, conditions);
    if (needle.empty()) return false;
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
           haystack.end();
}

// ---------------------------------------------------------------------------
// The width table

TEST(WidthTable, IdentityRanges) {
    for (int c = 0; c < 256; ++c) {
        const bool identity = c <= 0x1F || (c >= 0x7F && c <= 0xA0) || c == 0xA5 || c >= 0xE0;
        SCOPED_TRACE(c);
        if (identity)
            EXPECT_EQ(width_table[c], c);
        else
            EXPECT_GT(width_table[c], 0xFF);
    }
}

TEST(WidthTable, FullWidthCounterparts) {
    struct Row {
        unsigned char byte;
        ComparisonCode code;
    };
    const Row rows[] = {
        {'0', 0x824F},  {'9', 0x8258},  {'A', 0x8260},  {'Z', 0x8279},  {'a', 0x8281},
        {'z', 0x829A},  {' ', 0x8140},  {'#', 0x81F2},  {'\\', 0x818F}, {'~', 0x8160},
        {',', 0x8143},  {'\'', 0x8166}, {'@', 0x8197},  {'|', 0x8162},  {0xA1, 0x8142},
        {0xA6, 0x8392}, {0xA7, 0x8340}, {0xB0, 0x815B}, {0xB1, 0x8341}, {0xB3, 0x8345},
        {0xB6, 0x834A}, {0xCA, 0x836E}, {0xCE, 0x837A}, {0xDC, 0x838F}, {0xDD, 0x8393},
        {0xDE, 0x814A}, {0xDF, 0x814B},
    };
    for (const Row& r : rows)
        EXPECT_EQ(width_table[r.byte], r.code) << int(r.byte);
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

// ---------------------------------------------------------------------------
// Reading comparison codes

struct CodeCase {
    const char* text;
    unsigned conditions;
    std::vector<ComparisonCode> codes;
};

void PrintTo(const CodeCase& c, std::ostream* out) {
    *out << testing::PrintToString(std::string(c.text)) << " conditions " << c.conditions;
}

class ReadCodes : public testing::TestWithParam<CodeCase> {};

TEST_P(ReadCodes, Sequence) {
    const CodeCase& c = GetParam();
    EXPECT_EQ(codes_of(c.text, c.conditions), c.codes);
}

INSTANTIATE_TEST_SUITE_P(
    Matching, ReadCodes,
    testing::Values(
        // Double-byte characters are one code whatever the conditions.
        CodeCase{"あ", 0, {0x82A0}}, CodeCase{"ソ", W, {0x835C}},
        // A lead byte without a valid trail byte is a byte of its own.
        CodeCase{"\x81\x7F", W, {0x81, 0x7F}}, CodeCase{"\x81", W, {0x81}},
        // Widths distinguished: every single byte is itself.
        CodeCase{"ｶﾞa", 0, {0xB6, 0xDE, 'a'}},
        // Widths ignored: voiced and semi-voiced half-width kana read as one.
        CodeCase{"ｶﾞ", W, {0x834B}}, CodeCase{"ﾄﾞ", W, {0x8368}}, CodeCase{"ﾊﾞ", W, {0x836F}},
        CodeCase{"ﾎﾞ", W, {0x837B}}, CodeCase{"ﾊﾟ", W, {0x8370}}, CodeCase{"ﾎﾟ", W, {0x837C}},
        CodeCase{"ｳﾞ", W, {0x8394}},
        // ...but not the kana that take no such mark.
        CodeCase{"ﾜﾞ", W, {0x838F, 0x814A}}, CodeCase{"ﾅﾞ", W, {0x8369, 0x814A}},
        CodeCase{"ｶﾟ", W, {0x834A, 0x814B}}, CodeCase{"ﾞｶ", W, {0x814A, 0x834A}},
        CodeCase{"aZ#", W, {0x8281, 0x8279, 0x81F2}},
        // Case: ASCII and full-width small letters.
        CodeCase{"azAZ", C, {'A', 'Z', 'A', 'Z'}}, CodeCase{"ａｚ", C, {0x8260, 0x8279}},
        CodeCase{"a", C | W, {0x8260}},
        // Kana: full-width katakana onto hiragana, ヴヵヶ stay.
        CodeCase{"ァミムン", K, {0x829F, 0x82DD, 0x82DE, 0x82F1}},
        CodeCase{"ヴヵヶ", K, {0x8394, 0x8395, 0x8396}},
        // Half-width kana reach hiragana only with widths ignored too.
        CodeCase{"ｱ", K, {0xB1}}, CodeCase{"ｱ", W | K, {0x82A0}}, CodeCase{"ﾊﾟ", W | K, {0x82CF}},
        CodeCase{"ｳﾞ", W | K, {0x8394}}));

TEST(ReadComparisonCode, DoubleByteCharactersAsTheScannersSeeThem) {
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            const char pair[3] = {char(lead), char(trail), '\0'};
            const char* p = pair;
            const ComparisonCode code = read_comparison_code(p, pair + 2, 0);
            if (is_double_byte_char(pair)) {
                ASSERT_EQ(p, pair + 2) << lead << " " << trail;
                ASSERT_EQ(code, lead << 8 | trail);
            } else {
                ASSERT_EQ(p, pair + 1) << lead << " " << trail;
                ASSERT_EQ(code, lead);
            }
        }
    }
}

TEST(ReadComparisonCode, NeverConsumesBeyondTheEnd) {
    struct Row {
        std::string_view text;  // the first byte is inside the span, the rest beyond it
        unsigned conditions;
        ComparisonCode code;
    };
    const Row rows[] = {
        {"\x82\xA0", W, 0x82},  // lead byte at the end
        {"ｶﾞ", W, 0x834A},      // voiceable kana at the end
        {"ﾊﾟ", W | K, 0x82CD},  // ﾊ alone: は
        {"ｳﾞ", W, 0x8345},
    };
    for (const Row& r : rows) {
        const std::vector<char> bytes(r.text.begin(), r.text.end());
        const char* p = bytes.data();
        EXPECT_EQ(read_comparison_code(p, bytes.data() + 1, r.conditions), r.code);
        EXPECT_EQ(p, bytes.data() + 1);
    }
}

// ---------------------------------------------------------------------------
// Matching spans under each combination of comparison conditions

struct FoldCase {
    const char* span;
    const char* search;
    unsigned needs;    // the comparison bits that must all be set to match
    unsigned forbids;  // the bits that must all be clear
};

void PrintTo(const FoldCase& c, std::ostream* out) {
    *out << testing::PrintToString(std::string(c.search)) << " in "
         << testing::PrintToString(std::string(c.span));
}

class Folding : public testing::TestWithParam<FoldCase> {};

TEST_P(Folding, EveryCombination) {
    const FoldCase& c = GetParam();
    for (unsigned combo = 0; combo < 8; ++combo) {
        const unsigned conditions = combo | SEARCH_QUESTION;
        const bool expected = (combo & c.needs) == c.needs && (combo & c.forbids) == 0;
        EXPECT_EQ(contains(c.span, c.search, conditions), expected) << "conditions " << combo;
        EXPECT_EQ(naive_contains(c.span, c.search, conditions), expected) << "naive " << combo;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Matching, Folding,
    testing::Values(FoldCase{"A", "a", C, 0}, FoldCase{"a", "A", C, 0},
                    FoldCase{"Ａ", "a", C | W, 0}, FoldCase{"Ａ", "ａ", C, 0},
                    FoldCase{"ａ", "a", W, 0}, FoldCase{"A", "A", 0, 0}, FoldCase{"か", "カ", K, 0},
                    FoldCase{"ｶ", "カ", W, 0}, FoldCase{"ｶ", "か", W | K, 0},
                    FoldCase{"が", "ｶﾞ", W | K, 0}, FoldCase{"ガ", "ｶﾞ", W, 0},
                    FoldCase{"ヴ", "ｳﾞ", W, 0}, FoldCase{"ぱ", "ﾊﾟ", W | K, 0},
                    FoldCase{"パ", "ﾊﾟ", W, 0},
                    // ｶﾞ is one character with widths ignored, two bytes without.
                    FoldCase{"ｶﾞ", "ｶ", 0, W}, FoldCase{"xｶﾞy", "ﾞy", 0, W},
                    // ﾜﾞ is ワ followed by ゛.
                    FoldCase{"ワ゛", "ﾜﾞ", W, 0}, FoldCase{"ﾜﾞ", "ﾜ", 0, 0},
                    // ヴヵヶ have no hiragana counterpart.
                    FoldCase{"ヴヵヶ", "ヴ", 0, 0}, FoldCase{"ヵ", "ヵ", 0, 0},
                    FoldCase{"ヶ", "ヶ", 0, 0}, FoldCase{"ぶ", "ヴ", kNever, 0},
                    FoldCase{"か", "ヵ", kNever, 0}, FoldCase{"け", "ヶ", kNever, 0},
                    // A full-width search text in a half-width field of fewer bytes.
                    FoldCase{"AB", "ＡＢ", W, 0}, FoldCase{"xaby", "ＡＢ", C | W, 0},
                    FoldCase{"ＡＢ", "AB", W, 0}, FoldCase{"12:30", "１２：３０", W, 0},
                    // The trail byte of ソ is no backslash.
                    FoldCase{"ソ", "\\", kNever, 0}, FoldCase{"表", "\\", kNever, 0}));

TEST(SpanContains, KnuthMorrisPrattFallBack) {
    struct Row {
        const char* span;
        const char* search;
        bool expected;
    };
    const Row rows[] = {
        {"aababb", "aabb", false},
        {"aabaabb", "aabb", true},
        {"abababc", "ababc", true},
        {"ababaabc", "ababc", false},
        {"aaaaab", "aaab", true},
        {"aaaaa", "aaab", false},
        // The same with two-byte codes, so offsets and codes differ.
        {"ああいあいい", "ああいい", false},
        {"ああいああいい", "ああいい", true},
        // Mixed widths: the fall-back offset lies inside the byte string.
        {"あbあaあbあbc", "あbあbc", true},
        {"あbあaあbあc", "あbあbc", false},
    };
    for (const Row& r : rows) {
        for (unsigned combo = 0; combo < 8; ++combo)
            EXPECT_EQ(contains(r.span, r.search, combo), r.expected) << r.search << " " << combo;
    }
}

TEST(BuildMatchTable, FailureFunctionInByteOffsets) {
    const std::optional<MatchTable> table = build_match_table("あbあb", 0);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->length, 6);
    // Codes begin at the offsets 0, 2, 3 and 5.
    EXPECT_EQ(table->fallback[0], 0);
    EXPECT_EQ(table->fallback[2], 0);
    EXPECT_EQ(table->fallback[3], 0);
    EXPECT_EQ(table->fallback[5], 2);
    EXPECT_EQ(table->next[0], 2);
    EXPECT_EQ(table->next[3], 5);
    EXPECT_EQ(table->next[5], 6);
    EXPECT_EQ(table->code[5], 'b');
}

TEST(BuildMatchTable, NoneForAnEmptyText) {
    EXPECT_FALSE(build_match_table("", 0xF7));
}

TEST(SpanContains, SpansEndingInsideACharacter) {
    struct Row {
        std::string_view bytes;
        int length;  // of the span, from the start
        const char* search;
        unsigned conditions;
        bool expected;
    };
    const Row rows[] = {
        {"あい", 3, "い", 0, false},  {"あい", 3, "\x82", 0, true}, {"あい", 3, "あ", 0, true},
        {"xあ", 2, "\x82", W, true},  {"ｶﾞ", 1, "ｶ", W, true},      {"ｶﾞ", 1, "ｶﾞ", W, false},
        {"ｶﾞ", 2, "ｶ", W, false},     {"ｶﾞ", 1, "か", W | K, true}, {"aソ", 2, "\x83", 0, true},
        {"aソ", 3, "\x83", 0, false}, {"ｳﾞ", 1, "ヴ", W, false},
    };
    for (const Row& r : rows) {
        const std::vector<char> bytes(r.bytes.begin(), r.bytes.begin() + r.length);
        const std::optional<MatchTable> table = build_match_table(r.search, r.conditions);
        ASSERT_TRUE(table);
        EXPECT_EQ(span_contains(bytes.data(), r.length, *table), r.expected)
            << r.search << " in " << r.length << " bytes";
    }
}

TEST(SpanContains, EmptyOrMissingSpan) {
    const MatchTable table = *build_match_table("a", 0xF7);
    EXPECT_FALSE(span_contains(nullptr, -1, table));
    EXPECT_FALSE(span_contains("a", 0, table));
    EXPECT_FALSE(span_contains(std::string_view(), table));
}

// Random texts made of pieces that stress the code reader: voicing marks,
// lead bytes with and without trail bytes, letters of both widths and cases.
std::string random_text(std::mt19937& rng, int max_pieces) {
    static const char* const kPieces[] = {
        "a",  "b",  "A",  "ａ",   "Ａ",   "ｶ",    "ﾊ",  "ｳ", "ﾞ",  "ﾟ",    "カ",   "か",   "ガ",
        "が", "ヴ", "ぱ", "\x81", "\x82", "\xA0", "\\", ",", "ソ", "\x83", "\xDE", "\xFD",
    };
    std::uniform_int_distribution<int> count(1, max_pieces);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
    std::string text;
    for (int n = count(rng); n > 0; --n)
        text += kPieces[piece(rng)];
    return text;
}

TEST(SpanContains, AgreesWithANaiveMatcher) {
    std::mt19937 rng(20240611);
    int matches = 0;
    for (int round = 0; round < 4000; ++round) {
        const std::string span = random_text(rng, 14);
        std::string search = random_text(rng, 3);
        // Half of the searches are taken from the span itself, so that
        // matches and near misses are frequent.
        if (round % 2) {
            std::uniform_int_distribution<std::size_t> at(0, span.size() - 1);
            const std::size_t from = at(rng);
            search = span.substr(from, std::min<std::size_t>(1 + at(rng) % 6, span.size() - from));
        }
        const unsigned conditions = static_cast<unsigned>(round) & 7;
        const bool expected = naive_contains(span, search, conditions);
        matches += expected;
        ASSERT_EQ(contains(span, search, conditions), expected)
            << "span " << testing::PrintToString(span) << " search "
            << testing::PrintToString(search) << " conditions " << conditions;
    }
    EXPECT_GT(matches, 1000);
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

TEST(LineContains, FieldsChosenByTheConditions) {
    struct Row {
        const char* text;
        const char* search;
        unsigned fields;
        bool expected;
    };
    constexpr unsigned Q = SEARCH_QUESTION, A = SEARCH_ANSWER, M = SEARCH_COMMENT;
    const Row rows[] = {
        {"東京,とうきょう,<00'首都", "東京", Q, true},
        {"東京,とうきょう,<00'首都", "東京", A | M, false},
        {"東京,とうきょう,<00'首都", "トウキョウ", A, true},
        {"東京,とうきょう,<00'首都", "とうきょう", Q | M, false},
        {"東京,とうきょう,<00'首都", "首都", M, true},
        {"東京,とうきょう,<00'首都", "首都", Q | A, false},
        // The comment counts only on a valid question line.
        {"東京,とうきょう,<0'首都", "首都", M, false},
        {"東京,とうきょう,<0x'首都", "首都", M, false},
        {"東京,とうきょう,\\00'首都", "首都", M, false},  // history byte out of range
        {"'首都", "首都", M, false},
        // A search never spans a field separator.
        {"a,b,<00", "a,b", Q | A, false},
        {"a,b,<00", "ａ，ｂ", Q | A, false},
        // An escaped comma stays escaped in the field.
        {"a\\,b,c,<00", "a,b", Q, false},
        {"a\\,b,c,<00", "a\\,b", Q, true},
        {"x,a\\,b,<00", "a,b", A, false},
        {"x,a\\,b,<00", "a\\,b", A, true},
        // The accessors are positional: any line with commas has pieces.
        {"#t,100000", "#", Q, true},
        {"#t,100000", "100000", A, false},
        {"$Group=全般,地理,歴史", "地理", A, true},
        {"$Group=全般,地理,歴史", "歴史", A, false},
        {"'a,b,c", "a", Q, true},
        // An image reference is one unit: its comma does not end the field.
        {"\\i\"a,b.bmp\"x,y,<00", "b.bmp", Q, true},
        {"\\i\"a,b.bmp\"x,y,<00", "y", A, true},
        // Blank lines have no fields.
        {"", "a", Q | A | M, false},
        {nullptr, "a", Q | A | M, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(line_matches(r.text, nullptr, r.search, r.fields | 0x07), r.expected)
            << (r.text ? r.text : "(null)") << " / " << r.search << " / " << r.fields;
    }
}

// What fields_contain must find: the fields as the accessors divide a line.
bool fields_by_accessors(const char* text, const MatchTable& table) {
    const unsigned c = table.conditions;
    const char* start = nullptr;
    if ((c & SEARCH_QUESTION) && span_contains(text, question_text_field(text), table)) return true;
    int length = answer_text_field(text, &start);
    if ((c & SEARCH_ANSWER) && span_contains(start, length, table)) return true;
    length = check_question_line(text, &start);
    return (c & SEARCH_COMMENT) && span_contains(start, length, table);
}

TEST(LineContains, DividesLinesLikeTheFieldAccessors) {
    static const char* const kPieces[] = {
        "a", "b", ",", ",",  "\\",   "\\i\"", "\"",   "'",   "<",
        "[", "0", "9", "ソ", "\x81", ",<00'", ",[99", "\\,", "<0'",
    };
    std::mt19937 rng(99);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
    std::uniform_int_distribution<int> count(0, 16);
    int hits = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (int n = count(rng); n > 0; --n)
            text += kPieces[piece(rng)];
        const unsigned conditions = (rng() & 0xE0) | (rng() & 0x07);
        const char* const searches[] = {"a", "b", "ab", "0", "'", "\\"};
        const MatchTable table = *build_match_table(searches[rng() % 6], conditions);
        const bool expected = fields_by_accessors(text.c_str(), table);
        hits += expected;
        ASSERT_EQ(fields_contain(text.c_str(), table), expected)
            << testing::PrintToString(text) << " conditions " << conditions;
    }
    EXPECT_GT(hits, 1000);
}

TEST(LineContains, TitleOfTheGoverningTitle) {
    const char* title = "#地理,000000'コメント";
    EXPECT_TRUE(line_matches("q,a,<00", title, "地理", SEARCH_TITLE));
    EXPECT_TRUE(line_matches("", title, "地理", SEARCH_TITLE));  // blank line under it
    EXPECT_FALSE(line_matches("q,a,<00", title, "コメント", SEARCH_TITLE));
    EXPECT_FALSE(line_matches("q,a,<00", nullptr, "地理", SEARCH_TITLE));
    EXPECT_FALSE(line_matches("q,a,<00", title, "地理", 0xE7));
}

TEST(LineContains, HashMatchesEveryTitleLineThroughTheQuestionField) {
    CardDocument doc;
    fill(doc, {"'#comment", "#A,000000", "q#,a,<00", "a,#,<00", "#B,100000", "#,000000"});
    const MatchTable table = *build_match_table("#", SEARCH_QUESTION);
    std::vector<int> found;
    for (int i = 0; i < doc.count(); ++i)
        if (line_contains(*doc.line_at(i), doc.enclosing_title(doc.line_at(i)), table))
            found.push_back(i);
    EXPECT_EQ(found, (std::vector<int>{1, 2, 4, 5}));
}

// Walks the document with find_matching_line forwards and backwards.
std::vector<int> all_forwards(const CardDocument& doc, const std::string& text, unsigned cond) {
    std::vector<int> found;
    for (int i = find_matching_line(doc, text, cond, -1, 1); i >= 0;
         i = find_matching_line(doc, text, cond, i, 1))
        found.push_back(i);
    return found;
}

std::vector<int> all_backwards(const CardDocument& doc, const std::string& text, unsigned cond) {
    std::vector<int> found;
    for (int i = find_matching_line(doc, text, cond, doc.count(), -1); i >= 0;
         i = find_matching_line(doc, text, cond, i, -1))
        found.insert(found.begin(), i);
    return found;
}

const std::vector<std::string> kSections = {
    "q0,Second,<00",     // 0 before the first title
    "#First,000000",     // 1
    "q1,a,<00",          // 2
    "#Second,000000'c",  // 3
    "q2,a,<00",          // 4
    "",                  // 5
    "'comment",          // 6
    "$TimeLimit=30",     // 7
    "q3,a,<00",          // 8
    "#Third,000000",     // 9
    "q4,a,<00",          // 10
};

TEST(FindMatchingLine, OnlyTitleMatchesTheSecondSection) {
    CardDocument doc;
    fill(doc, kSections);
    const std::vector<int> section = {3, 4, 5, 6, 7, 8};
    EXPECT_EQ(all_forwards(doc, "second", SEARCH_TITLE | C), section);
    EXPECT_EQ(all_backwards(doc, "second", SEARCH_TITLE | C), section);
    EXPECT_EQ(all_forwards(doc, "second", SEARCH_TITLE), std::vector<int>{});
    EXPECT_EQ(all_forwards(doc, "Second", kAllFields), (std::vector<int>{0, 3, 4, 5, 6, 7, 8}));
}

TEST(FindMatchingLine, WalkFromTheCurrentLine) {
    CardDocument doc;
    fill(doc, {"#T,000000", "x1,a,<00", "y,a,<00", "x2,a,<00", "z,x,<00", ""});
    struct Row {
        int from, direction, expected;
    };
    const Row rows[] = {
        {-1, 1, 1},               // no current line: forwards starts at line 0
        {0, 1, 1},    {1, 1, 3},  // the current line itself is never tested
        {3, 1, -1},               // line 4 has x only in its answer
        {5, 1, -1},               // no wrap-around
        {-1, -1, -1},             // no current line: nothing backwards
        {5, -1, 3},   {3, -1, 1}, {1, -1, -1}, {0, -1, -1},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(find_matching_line(doc, "x", SEARCH_QUESTION | 0x07, r.from, r.direction),
                  r.expected)
            << r.from << " " << r.direction;
    }
    EXPECT_EQ(find_matching_line(doc, "x", 0xF7, 3, 1), 4);
    EXPECT_EQ(find_matching_line(doc, "", 0xF7, -1, 1), -1);
}

TEST(LineMatcher, AnyOrderAgreesWithTheEnclosingTitle) {
    std::mt19937 rng(7);
    const char* const kLines[] = {"#ab,000000", "#b,000000", "ab,x,<00",  "b,a,<00",
                                  "",           "'a",        "x,y,<00'ab"};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kLines) - 1);
    for (int round = 0; round < 50; ++round) {
        std::vector<std::string> texts;
        for (int i = 0; i < 30; ++i)
            texts.push_back(kLines[pick(rng)]);
        CardDocument doc;
        fill(doc, texts);
        const unsigned conditions = (round % 2 ? kAllFields : SEARCH_TITLE) | 0x07;
        const MatchTable table = *build_match_table("ab", conditions);
        LineMatcher matcher(doc, table);
        // Forwards, backwards, then jumping about.
        std::vector<int> order;
        for (int i = 0; i < doc.count(); ++i)
            order.push_back(i);
        for (int i = doc.count() - 1; i >= 0; --i)
            order.push_back(i);
        for (int i = 0; i < 60; ++i)
            order.push_back(static_cast<int>(rng() % 30));
        for (int index : order) {
            const DataLine* line = doc.line_at(index);
            ASSERT_EQ(matcher.matches(index),
                      line_contains(*line, doc.enclosing_title(line), table))
                << "round " << round << " line " << index;
        }
    }
}

}  // namespace
}  // namespace qz
