#include "core/syntax/answer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace qz {
namespace {

const std::string kSo = "\x83\x5C";   // "ソ": trail byte '\'
const std::string kHyo = "\x95\x5C";  // "表": trail byte '\'
const std::string kPo = "\x83\x7C";   // "ポ": trail byte '|'

using Alternatives = std::vector<std::string>;

// The alternatives of an expanded string, split at 0x03 only.
Alternatives split(const std::string& expanded) {
    Alternatives parts(1);
    for (char c : expanded) {
        if (c == kTokenBar) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

// A question line around a stored answer.
std::string line_with(const std::string& answer) {
    return "q," + answer + ",<00";
}

std::optional<Alternatives> expand(const std::string& answer) {
    const std::optional<std::string> expanded = expand_answer(line_with(answer).c_str());
    if (!expanded) return std::nullopt;
    return split(*expanded);
}

const struct ExpandCase {
    std::string answer;                  // as stored in the line
    std::optional<Alternatives> result;  // nullopt: syntax error
} kExpandCases[] = {
    // Bracket structure: see EveryShortAnswer below.
    {"[A|B]C(D)", Alternatives{"ACD", "AC", "BCD", "BC"}}, {"東京(都)", Alternatives{"東京都", "東京"}},
    // Escaped marks are literal characters.
    {"\\[a\\|b\\]", Alternatives{"[a|b]"}}, {"[a\\]|b]", Alternatives{"a]", "b"}},
    {"\\\\(a)", Alternatives{"\\a", "\\"}}, {"a\\nb", Alternatives{"a\nb"}},
    {"a\\,b|c", Alternatives{"a,b", "c"}},
    // Trail bytes '\' and '|' belong to their characters.
    {"[" + kSo + "|" + kHyo + "]", Alternatives{kSo, kHyo}},
    {"[" + kPo + "|a]", Alternatives{kPo, "a"}},
    {"\\" + kSo + "|b", Alternatives{kSo, "b"}},
    // 0x83 followed by '[' or ']' is one double-byte character, no bracket.
    {"\x83[", Alternatives{"\x83["}}, {"\x83]|a", Alternatives{"\x83]", "a"}},
};

TEST(ExpandAnswer, Table) {
    for (const ExpandCase& c : kExpandCases) EXPECT_EQ(expand(c.answer), c.result) << c.answer;
    const std::pair<const char*, std::string> lines[] = {
        // A missing answer field reads as an empty answer.
        {nullptr, ""}, {"no comma", ""}, {"q,a", ""},
        // The answer ends at the line end as well.
        {"q,[a|b],<00\001q,(,<00", "a\003b"},
        // Image references are single units of the field, commas included,
        // and stay references in the alternatives, marks in the path
        // included.
        {"q,\\i\"a,b.bmp\"|c,<00", "\\i\"a,b.bmp\"\003c"},
        {"q,[\\i\"f(1).png\"|x],<00", "\\i\"f(1).png\"\003x"},
    };
    for (const auto& [line, expanded] : lines) EXPECT_EQ(expand_answer(line), expanded);
}

// ---------------------------------------------------------------------------
// A literal rendering of the expansion rule, rebuilding the whole string at
// every step, to compare the editor's expansion with.

bool is_open(char c) { return c == kTokenOpenGroup || c == kTokenOpenOptional; }
bool is_close(char c) { return c == kTokenCloseGroup || c == kTokenCloseOptional; }

std::string reference_expand(std::string s) {
    for (;;) {
        const std::size_t i = s.find_first_of("\004\006");
        if (i == std::string::npos) return s;
        const std::size_t j = s.rfind(kTokenBar, i);
        const bool has_head = j != std::string::npos;
        const std::size_t prefix_start = has_head ? j + 1 : 0;
        const std::string prefix = s.substr(prefix_start, i - prefix_start);
        std::size_t k = i;
        for (int depth = 0;; ++k) {
            if (is_open(s[k])) ++depth;
            if (is_close(s[k]) && --depth == 0) break;
        }
        std::size_t m = k + 1;
        for (int depth = 0; m < s.size(); ++m) {
            if (is_open(s[m])) ++depth;
            if (is_close(s[m])) --depth;
            if (s[m] == kTokenBar && depth == 0) break;
        }
        const std::string suffix = s.substr(k + 1, m - k - 1);
        std::vector<std::string> inner(1);
        int depth = 0;
        for (std::size_t p = i + 1; p < k; ++p) {
            if (is_open(s[p])) ++depth;
            if (is_close(s[p])) --depth;
            if (s[p] == kTokenBar && depth == 0) {
                inner.emplace_back();
            } else {
                inner.back() += s[p];
            }
        }
        std::string out;
        auto append = [&out](const std::string& piece) {
            if (!out.empty()) out += kTokenBar;
            out += piece;
        };
        if (has_head) append(s.substr(0, j));
        for (const std::string& alternative : inner) append(prefix + alternative + suffix);
        if (s[i] == kTokenOpenOptional) append(prefix + suffix);
        if (m < s.size()) append(s.substr(m + 1));
        s = out;
    }
}

std::string to_tokens(std::string answer) {
    static const std::string marks = "[]()|";
    const std::string tokens = {kTokenOpenGroup, kTokenCloseGroup, kTokenOpenOptional,
                                kTokenCloseOptional, kTokenBar};
    for (char& c : answer)
        if (std::size_t at = marks.find(c); at != std::string::npos) c = tokens[at];
    return answer;
}

// Every answer of up to six marks: balanced ones expand as the literal rule
// says, all others are syntax errors.
TEST(ExpandAnswer, EveryShortAnswer) {
    const char marks[] = "a|[]()";
    int errors = 0, expanded_count = 0;
    std::string answer;
    for (int length = 0, total = 1; length <= 6; ++length, total *= 6) {
        for (int code = 0; code < total; ++code) {
            answer.clear();
            for (int i = 0, rest = code; i < length; ++i, rest /= 6) answer += marks[rest % 6];
            std::string stack;
            bool balanced = true;
            for (char c : answer) {
                if (c == '[' || c == '(') stack += c;
                if (c == ']' || c == ')') {
                    balanced = balanced && !stack.empty() && stack.back() == (c == ']' ? '[' : '(');
                    if (!stack.empty()) stack.pop_back();
                }
            }
            balanced = balanced && stack.empty();
            const std::optional<std::string> expanded = expand_answer(line_with(answer).c_str());
            ASSERT_EQ(expanded.has_value(), balanced) << answer;
            if (balanced) ASSERT_EQ(*expanded, reference_expand(to_tokens(answer))) << answer;
            ++(balanced ? expanded_count : errors);
        }
    }
    EXPECT_GT(errors, 40000);
    EXPECT_GT(expanded_count, 1000);
}

std::string repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// Hostile answers stop at the size limit with the first alternatives,
// complete and in order, and say that they were cut short.
TEST(ExpandAnswer, SizeLimit) {
    bool cut_short = false;
    const Alternatives binary = split(*expand_answer(line_with(repeat("[a|b]", 30)).c_str(), &cut_short));
    EXPECT_TRUE(cut_short);
    ASSERT_GE(binary.size(), 1000u);
    for (std::size_t n = 0; n < binary.size(); ++n) {
        std::string expected;
        for (int bit = 29; bit >= 0; --bit) expected += (n >> bit) & 1 ? 'b' : 'a';
        ASSERT_EQ(binary[n], expected) << n;
    }
    // A first step bigger than the limit completes nothing.
    EXPECT_EQ(expand_answer(line_with("[" + repeat("a|", 2000) + "a]" + repeat("[b|c]", 600)).c_str()),
              std::optional<std::string>(""));
}

TEST(ExpandAnswer, DeepNesting) {
    struct Case { std::string answer, expanded; bool cut_short; };
    const auto nested = [](const char* marks, int depth, const std::string& inside) {
        return repeat(std::string(1, marks[0]), depth) + inside + repeat(std::string(1, marks[1]), depth);
    };
    const Case cases[] = {
        // (((a))) stands for "a" and one empty alternative per group.
        {nested("()", 200, "a"), "a" + std::string(200, kTokenBar), false},
        // Groups of one alternative stand for that alternative, however deep.
        {nested("[]", 10000, "a"), "a", false},
        {"x" + nested("[]", 10000, "a[b|c]") + "y", "xaby\x03xacy", false},
        // Every step rewrites the whole unfinished text: far deeper optional
        // groups stop at the work limit before anything is complete.
        {nested("()", 5000, "a"), "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer.substr(0, 40));
        bool cut_short = !c.cut_short;
        EXPECT_EQ(expand_answer(line_with(c.answer).c_str(), &cut_short), c.expanded);
        EXPECT_EQ(cut_short, c.cut_short);
    }
}

// Inside the expansion groups are always closed; alone, an unclosed one
// reaches the end.
TEST(GroupSpan, UnclosedAndNull) {
    EXPECT_EQ(group_span("\004a\006\007b"), 5);
    EXPECT_EQ(group_span(nullptr), 0);
}

TEST(AnswerNumbers, Table) {
    const struct {
        std::string line;
        bool question;
        int version;
        std::vector<std::string> entries;
        bool syntax_error;
    } cases[] = {
        {"q,A|B,<00", true, 13, {"0. A", "1. B"}, false}, {"q,A|B,<00", true, 12, {}, false},
        {"q,,<00", true, 13, {"0. "}, false},
        {"q,(A,<00", true, 13, {"0"}, true}, {"'comment", false, 14, {"0"}, false},
        {"q,[a|b]\\,x,<00", true, 14, {"0. a", "1. x", "2. b", "3. x"}, false},
        {"q,0|1|2|3|4|5|6|7|8|9|10|11,<00", true, 14,
         {"0. 0", "1. 1", "2. 2", "3. 3", "4. 4", "5. 5", "6. 6", "7. 7", "8. 8", "9. 9"}, false},
        {"q,[" + kSo + "|" + kPo + "],<00", true, 14, {"0. " + kSo, "1. " + kPo}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        bool syntax_error = !c.syntax_error;
        EXPECT_EQ(answer_number_entries(c.line.c_str(), c.question, c.version, &syntax_error),
                  c.entries);
        EXPECT_EQ(syntax_error, c.syntax_error);
    }
    // An expansion that stops early says so in the entry after the last
    // complete alternative.
    const std::string deep = "q," + repeat("(", 5000) + "a" + repeat(")", 5000) + ",<00";
    EXPECT_EQ(answer_number_entries(deep.c_str(), true, 14, nullptr),
              std::vector<std::string>{std::string("0. ") + kAnswerCutShort});
    // A long alternative shows its first 200 bytes, whole characters only.
    const std::string long_answer = "q,x" + repeat(kSo, 150) + "|b,<00";
    EXPECT_EQ(answer_number_entries(long_answer.c_str(), true, 14, nullptr),
              (std::vector<std::string>{"0. x" + repeat(kSo, 100) + "…", "1. b"}));
}

}  // namespace
}  // namespace qz
