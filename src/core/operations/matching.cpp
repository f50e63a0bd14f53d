#include "core/operations/matching.h"

#include <algorithm>
#include <utility>

#include "core/syntax/byte_search.h"
#include "core/syntax/fields.h"
#include "core/syntax/scan.h"

namespace qz {

namespace {

struct WidthPair {
    unsigned char byte;
    ComparisonCode code;
};

// Single bytes whose full-width counterparts are not in a run.
constexpr WidthPair kPunctuation[] = {
    {0x20, 0x8140}, {0x21, 0x8149}, {0x22, 0x8168}, {0x23, 0x81F2}, {0x24, 0x8190}, {0x25, 0x8193},
    {0x26, 0x8195}, {0x27, 0x8166}, {0x28, 0x8169}, {0x29, 0x816A}, {0x2A, 0x8196}, {0x2B, 0x817B},
    {0x2C, 0x8143}, {0x2D, 0x817C}, {0x2E, 0x8144}, {0x2F, 0x815E}, {0x3A, 0x8146}, {0x3B, 0x8147},
    {0x3C, 0x8183}, {0x3D, 0x8181}, {0x3E, 0x8184}, {0x3F, 0x8148}, {0x40, 0x8197}, {0x5B, 0x816D},
    {0x5C, 0x818F}, {0x5D, 0x816E}, {0x5E, 0x814F}, {0x5F, 0x8151}, {0x60, 0x814D}, {0x7B, 0x816F},
    {0x7C, 0x8162}, {0x7D, 0x8170}, {0x7E, 0x8160},
};

// Half-width katakana and punctuation (0xA1-0xDF; 0xA5 has no counterpart).
constexpr WidthPair kHalfWidthKana[] = {
    {0xA1, 0x8142}, {0xA2, 0x8175}, {0xA3, 0x8176}, {0xA4, 0x8141}, {0xA6, 0x8392}, {0xA7, 0x8340},
    {0xA8, 0x8342}, {0xA9, 0x8344}, {0xAA, 0x8346}, {0xAB, 0x8348}, {0xAC, 0x8383}, {0xAD, 0x8385},
    {0xAE, 0x8387}, {0xAF, 0x8362}, {0xB0, 0x815B}, {0xB1, 0x8341}, {0xB2, 0x8343}, {0xB3, 0x8345},
    {0xB4, 0x8347}, {0xB5, 0x8349}, {0xB6, 0x834A}, {0xB7, 0x834C}, {0xB8, 0x834E}, {0xB9, 0x8350},
    {0xBA, 0x8352}, {0xBB, 0x8354}, {0xBC, 0x8356}, {0xBD, 0x8358}, {0xBE, 0x835A}, {0xBF, 0x835C},
    {0xC0, 0x835E}, {0xC1, 0x8360}, {0xC2, 0x8363}, {0xC3, 0x8365}, {0xC4, 0x8367}, {0xC5, 0x8369},
    {0xC6, 0x836A}, {0xC7, 0x836B}, {0xC8, 0x836C}, {0xC9, 0x836D}, {0xCA, 0x836E}, {0xCB, 0x8371},
    {0xCC, 0x8374}, {0xCD, 0x8377}, {0xCE, 0x837A}, {0xCF, 0x837D}, {0xD0, 0x837E}, {0xD1, 0x8380},
    {0xD2, 0x8381}, {0xD3, 0x8382}, {0xD4, 0x8384}, {0xD5, 0x8386}, {0xD6, 0x8388}, {0xD7, 0x8389},
    {0xD8, 0x838A}, {0xD9, 0x838B}, {0xDA, 0x838C}, {0xDB, 0x838D}, {0xDC, 0x838F}, {0xDD, 0x8393},
    {0xDE, 0x814A}, {0xDF, 0x814B},
};

constexpr std::array<ComparisonCode, 256> make_width_table() {
    std::array<ComparisonCode, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<ComparisonCode>(c);
    for (int c = 0; c <= 9; ++c)
        table['0' + c] = static_cast<ComparisonCode>(0x824F + c);
    for (int c = 0; c < 26; ++c) {
        table['A' + c] = static_cast<ComparisonCode>(0x8260 + c);
        table['a' + c] = static_cast<ComparisonCode>(0x8281 + c);
    }
    for (const WidthPair& pair : kPunctuation)
        table[pair.byte] = pair.code;
    for (const WidthPair& pair : kHalfWidthKana)
        table[pair.byte] = pair.code;
    return table;
}

constexpr std::array<ComparisonCode, 256> kWidths = make_width_table();

constexpr unsigned char kVoicingMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicingMark = 0xDF;  // ﾟ
constexpr unsigned char kHalfWidthU = 0xB3;       // ｳ
constexpr ComparisonCode kKatakanaVu = 0x8394;    // ヴ

// Half-width kana that take the voicing mark (ｶ-ﾄ, ﾊ-ﾎ) and the
// semi-voicing mark (ﾊ-ﾎ); ｳ with the voicing mark is ヴ.
constexpr bool takes_voicing(unsigned char c) {
    return (c >= 0xB6 && c <= 0xC4) || (c >= 0xCA && c <= 0xCE);
}
constexpr bool takes_semi_voicing(unsigned char c) {
    return c >= 0xCA && c <= 0xCE;
}
constexpr bool takes_a_mark(unsigned char c) {
    return c == kHalfWidthU || takes_voicing(c);
}

// The double-byte test of the scanners (a lead byte 0x81-0x9F or 0xE0-0xFC
// and a trail byte 0x40-0x7E or 0x80-0xFC), inline here because it runs for
// every character a search reads.
constexpr bool is_lead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
constexpr bool is_trail(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

constexpr char kHistoryFirst = '<';  // the history byte of a question line
constexpr char kHistoryLast = '[';

constexpr bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Case: a-z onto A-Z, full-width ａ-ｚ onto Ａ-Ｚ.
constexpr ComparisonCode fold_case(ComparisonCode code) {
    if (code >= 'a' && code <= 'z') return static_cast<ComparisonCode>(code - 'a' + 'A');
    if (code >= 0x8281 && code <= 0x829A) return static_cast<ComparisonCode>(code - 0x21);
    return code;
}

// Kana: full-width katakana ァ-ン onto hiragana ぁ-ん; ヴ, ヵ and ヶ have
// no hiragana counterpart and stay.
constexpr ComparisonCode fold_kana(ComparisonCode code) {
    if (code >= 0x8340 && code <= 0x837E) return static_cast<ComparisonCode>(code - 0xA1);
    if (code >= 0x8380 && code <= 0x8393) return static_cast<ComparisonCode>(code - 0xA2);
    return code;
}

// Case folding, then kana folding, as the conditions ask.
constexpr ComparisonCode fold(ComparisonCode code, SearchConditions conditions) {
    if (conditions & SEARCH_IGNORE_CASE) code = fold_case(code);
    if (conditions & SEARCH_IGNORE_KANA) code = fold_kana(code);
    return code;
}

constexpr unsigned kComparisonBits = SEARCH_IGNORE_CASE | SEARCH_IGNORE_WIDTH | SEARCH_IGNORE_KANA;

// The code of every single byte (one not joined with a voicing mark) under
// each combination of the three comparison bits.
using SingleByteCodes = std::array<std::array<ComparisonCode, 256>, kComparisonBits + 1>;

constexpr SingleByteCodes make_single_byte_codes() {
    SingleByteCodes codes{};
    for (unsigned bits = 0; bits <= kComparisonBits; ++bits) {
        const auto conditions = static_cast<SearchConditions>(bits);
        for (int c = 0; c < 256; ++c) {
            const ComparisonCode code =
                (bits & SEARCH_IGNORE_WIDTH) ? kWidths[c] : static_cast<ComparisonCode>(c);
            codes[bits][c] = fold(code, conditions);
        }
    }
    return codes;
}

constexpr SingleByteCodes kSingleByteCodes = make_single_byte_codes();

}  // namespace

const std::array<ComparisonCode, 256> width_table = kWidths;

namespace {

// A half-width kana c joined with the mark n that follows it, widths being
// ignored: ｶﾞ reads as ガ, ﾊﾟ as パ, ｳﾞ as ヴ; 0 when the two do not join
// (ﾜﾞ is ワ followed by ゛).
constexpr ComparisonCode joined_kana(unsigned char c, unsigned char n) {
    if (n == kVoicingMark && takes_voicing(c)) return kWidths[c] + 1;
    if (n == kVoicingMark && c == kHalfWidthU) return kKatakanaVu;
    if (n == kSemiVoicingMark && takes_semi_voicing(c)) return kWidths[c] + 2;
    return 0;
}

// The reader itself, inlined into the search loops.
[[gnu::always_inline]] inline ComparisonCode read_code(const char*& position, const char* end,
                                                       SearchConditions conditions) {
    const auto c = static_cast<unsigned char>(position[0]);
    const bool has_next = end - position >= 2;
    if (has_next && is_lead(c)) {
        const auto trail = static_cast<unsigned char>(position[1]);
        if (is_trail(trail)) {
            position += 2;
            return fold(static_cast<ComparisonCode>(c << 8 | trail), conditions);
        }
    }
    ++position;
    if ((conditions & SEARCH_IGNORE_WIDTH) && has_next && takes_a_mark(c)) {
        const ComparisonCode joined = joined_kana(c, static_cast<unsigned char>(position[0]));
        if (joined) {
            ++position;
            return fold(joined, conditions);
        }
    }
    return kSingleByteCodes[conditions & kComparisonBits][c];
}

}  // namespace

ComparisonCode read_comparison_code(const char*& position, const char* end,
                                    SearchConditions conditions) {
    return read_code(position, end, conditions);
}

// ---------------------------------------------------------------------------
// The match table

namespace {

// For every code, how many byte sequences read as it under the comparison
// bits (2 standing for two or more): single bytes, double-byte characters
// and (widths ignored) half-width kana with a mark. Made once per
// combination of the bits.
const std::vector<std::uint8_t>& forms_of_codes(SearchConditions conditions) {
    static std::array<std::vector<std::uint8_t>, kComparisonBits + 1> made;
    std::vector<std::uint8_t>& forms = made[conditions & kComparisonBits];
    if (!forms.empty()) return forms;
    forms.assign(0x10000, 0);
    auto count = [&](ComparisonCode code) { forms[code] = std::min(forms[code] + 1, 2); };
    for (int c = 0; c < 256; ++c) count(kSingleByteCodes[conditions & kComparisonBits][c]);
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!is_lead(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail)
            if (is_trail(static_cast<unsigned char>(trail)))
                count(fold(static_cast<ComparisonCode>(lead << 8 | trail), conditions));
    }
    if (conditions & SEARCH_IGNORE_WIDTH) {
        for (int c = 0xB3; c <= 0xCE; ++c)
            for (unsigned char mark : {kVoicingMark, kSemiVoicingMark})
                if (const ComparisonCode joined = joined_kana(static_cast<unsigned char>(c), mark))
                    count(fold(joined, conditions));
    }
    return forms;
}

}  // namespace

std::string required_bytes(std::string_view search_text, SearchConditions conditions) {
    // Codes with one form stand in every match as the search text writes
    // them, and so does a run of them. The apostrophe is left out: the
    // reader puts one in front of a line or over its first byte.
    const std::vector<std::uint8_t>& forms = forms_of_codes(conditions);
    std::string_view best, run;
    const char* const begin = search_text.data();
    const char* const end = begin + search_text.size();
    for (const char* p = begin; p < end;) {
        const char* start = p;
        const ComparisonCode code = read_code(p, end, conditions);
        if (code != '\'' && forms[code] == 1) {
            run = run.empty() ? std::string_view(start, static_cast<std::size_t>(p - start))
                              : std::string_view(run.data(), static_cast<std::size_t>(p - run.data()));
            if (run.size() > best.size()) best = run;
        } else {
            run = {};
        }
    }
    return std::string(best);
}

std::optional<MatchTable> build_match_table(std::string_view search_text,
                                            SearchConditions conditions) {
    if (search_text.empty()) return std::nullopt;
    MatchTable table;
    table.conditions = conditions;
    table.length = static_cast<std::int32_t>(search_text.size());
    table.fallback.assign(search_text.size(), 0);
    table.code.assign(search_text.size(), 0);
    table.next.assign(search_text.size(), 0);

    const char* const begin = search_text.data();
    const char* const end = begin + search_text.size();
    for (const char* p = begin; p < end;) {
        const auto offset = static_cast<std::size_t>(p - begin);
        table.code[offset] = read_code(p, end, conditions);
        table.next[offset] = static_cast<std::int32_t>(p - begin);
    }

    table.required = required_bytes(search_text, conditions);

    // The standard failure function over the codes, kept in byte offsets:
    // `k` is the end of the current border, `i` the start of the code that
    // extends the text seen so far.
    std::int32_t k = 0;
    for (std::int32_t i = table.next[0]; i < table.length; i = table.next[i]) {
        // Code i is preceded by the codes 0..i-1; their border ends at k.
        table.fallback[i] = k;
        while (k > 0 && table.code[k] != table.code[i])
            k = table.fallback[k];
        if (table.code[k] == table.code[i]) k = table.next[k];
    }
    return table;
}

bool span_contains(std::string_view span, const MatchTable& table) {
    if (table.length <= 0) return false;
    const char* p = span.data();
    const char* const end = p + span.size();
    std::int32_t j = 0;  // byte offset reached in the search text
    while (p < end) {
        const ComparisonCode code = read_code(p, end, table.conditions);
        // The span's code is compared until it is matched or the search text
        // has fallen back to its start.
        while (j > 0 && table.code[j] != code)
            j = table.fallback[j];
        if (table.code[j] == code) {
            j = table.next[j];
            if (j == table.length) return true;
        }
    }
    return false;
}

bool span_contains(const char* start, int length, const MatchTable& table) {
    if (!start || length <= 0) return false;
    return span_contains(std::string_view(start, static_cast<std::size_t>(length)), table);
}

// ---------------------------------------------------------------------------
// Lines

// The fields are found at the commas where question_text_field,
// answer_text_field and check_question_line find them, in one pass over
// the line instead of one per accessor.
bool fields_contain(const char* text, const MatchTable& table) {
    const SearchConditions conditions = table.conditions;
    if (!text || !(conditions & (SEARCH_QUESTION | SEARCH_ANSWER | SEARCH_COMMENT))) return false;
    // The question: up to the first unescaped comma (image references are
    // single units). Without that comma the line has none of the fields.
    const int question = field_length(text, true);
    if (question < 0 || text[question] != ',') return false;
    if ((conditions & SEARCH_QUESTION) && span_contains(text, question, table)) return true;
    if (!(conditions & (SEARCH_ANSWER | SEARCH_COMMENT))) return false;

    // The answer: up to the second unescaped comma.
    const char* const answer = text + question + 1;
    const int answer_length = field_length(answer, true);
    if (answer_length < 0 || answer[answer_length] != ',') return false;
    if ((conditions & SEARCH_ANSWER) && span_contains(answer, answer_length, table)) return true;
    if (!(conditions & SEARCH_COMMENT)) return false;

    // The comment of a valid question line: history byte, group and
    // answer-number digits, then "'" and the comment to the end of the line.
    const char* const fixed = answer + answer_length + 1;
    if (fixed[0] < kHistoryFirst || fixed[0] > kHistoryLast) return false;
    if (!is_digit(fixed[1]) || !is_digit(fixed[2])) return false;
    const char* comment = nullptr;
    const int comment_length = trailing_comment(fixed + 3, &comment);
    return span_contains(comment, comment_length, table);
}

bool title_contains(const char* title_text, const MatchTable& table) {
    const char* start = nullptr;
    const int length = title_text_field(title_text, &start);
    return span_contains(start, length, table);
}

bool line_contains(const char* text, const char* title, const MatchTable& table) {
    if (fields_contain(text, table)) return true;
    return (table.conditions & SEARCH_TITLE) && title_contains(title, table);
}

bool line_contains(const DataLine& line, const DataLine* title, const MatchTable& table) {
    return line_contains(line.c_str(), title ? title->c_str() : nullptr, table);
}

// ---------------------------------------------------------------------------
// Walking a document

const DataLine* LineMatcher::governing_title(int index, const DataLine* line) {
    const bool is_title = line->kind() == LINE_TITLE;
    const DataLine* title;
    if (is_title) {
        title = line;
    } else if (index == last_index_ + 1) {
        // Going forwards the title carries over (the line above may be it).
        title = last_title_;
    } else if (index == last_index_ - 1 && !last_was_title_) {
        // Going backwards it carries over until a title line is passed.
        title = last_title_;
    } else {
        title = doc_.enclosing_title(line);
    }
    last_index_ = index;
    last_was_title_ = is_title;
    last_title_ = title;
    return title;
}

bool LineMatcher::holds_required(const DataLine& line) const {
    const std::string_view text = line.text();
    const char* const end = text.data() + text.size();
    return table_.required.empty() || find_bytes(text.data(), end, table_.required) != end;
}

bool LineMatcher::matches(int index) {
    const DataLine* line = doc_.line_at(index);
    if (!line) return false;
    if (table_.conditions & SEARCH_TITLE) {
        // Every line under a matching title matches; the title is searched
        // once however many lines it governs.
        const DataLine* title = governing_title(index, line);
        if (title != searched_title_) {
            searched_title_ = title;
            title_hit_ = title && holds_required(*title) && title_contains(title->c_str(), table_);
        }
        if (title_hit_) return true;
    }
    return holds_required(*line) && fields_contain(line->c_str(), table_);
}

int find_matching_line(const CardDocument& doc, const MatchTable& table, int from, int direction) {
    LineMatcher matcher(doc, table);
    const int count = doc.count();
    if (from < -1) from = -1;
    if (direction >= 0) {
        for (int index = from + 1; index < count; ++index)
            if (matcher.matches(index)) return index;
    } else {
        for (int index = std::min(from, count) - 1; index >= 0; --index)
            if (matcher.matches(index)) return index;
    }
    return -1;
}

int find_matching_line(const CardDocument& doc, const std::string& text, unsigned conditions,
                       int from, int direction) {
    const std::optional<MatchTable> table =
        build_match_table(text, static_cast<SearchConditions>(conditions));
    return table ? find_matching_line(doc, *table, from, direction) : -1;
}

}  // namespace qz
