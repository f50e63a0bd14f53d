// Input: one byte choosing the fields to search (its high four bits), then
// the search text up to the first LF, then the line text. For each of the
// eight combinations of the comparison bits the Knuth-Morris-Pratt search
// must agree with a plain search over the comparison codes, on the whole
// line and on every shorter span of it, and the line matching must find the
// fields where the field accessors find them; nothing may be read outside
// the line. A span that contains the search text holds the table's
// required bytes.
#include <algorithm>
#include <optional>
#include <vector>

#include "core/operations/matching.h"
#include "core/syntax/fields.h"
#include "fuzz_require.h"

namespace {

// Longest line whose every prefix is searched as well.
constexpr std::size_t kPrefixLimit = 64;

std::vector<qz::ComparisonCode> codes_of(const std::vector<char>& bytes, std::size_t length,
                                         qz::SearchConditions conditions) {
    std::vector<qz::ComparisonCode> codes;
    const char* const end = bytes.data() + length;
    for (const char* p = bytes.data(); p < end;) {
        const char* before = p;
        codes.push_back(qz::read_comparison_code(p, end, conditions));
        require(p > before && p <= end && p - before <= 2);
    }
    return codes;
}

bool naive_contains(const std::vector<qz::ComparisonCode>& span,
                    const std::vector<qz::ComparisonCode>& search) {
    return std::search(span.begin(), span.end(), search.begin(), search.end()) != span.end();
}

// The fields as the accessors divide the line.
bool fields_by_accessors(const char* text, const qz::MatchTable& table) {
    const unsigned conditions = table.conditions;
    const char* start = nullptr;
    if ((conditions & qz::SEARCH_QUESTION) &&
        qz::span_contains(text, qz::question_text_field(text), table))
        return true;
    int length = qz::answer_text_field(text, &start);
    if ((conditions & qz::SEARCH_ANSWER) && qz::span_contains(start, length, table)) return true;
    length = qz::check_question_line(text, &start);
    return (conditions & qz::SEARCH_COMMENT) && qz::span_contains(start, length, table);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const unsigned fields = data[0] & 0xF0u;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t split = rest.find('\n');
    if (split == std::string_view::npos) return 0;
    // Exact-size copies: a read beyond either one is caught.
    const std::vector<char> search(rest.begin(), rest.begin() + split);
    const std::vector<char> line(rest.begin() + split + 1, rest.end());
    const std::string line_text(line.begin(), line.end());  // NUL-terminated for the accessors

    for (unsigned bits = 0; bits < 8; ++bits) {
        const auto conditions = static_cast<qz::SearchConditions>(fields | bits);
        const std::optional<qz::MatchTable> table =
            qz::build_match_table(std::string_view(search.data(), search.size()), conditions);
        require(table.has_value() == !search.empty());
        if (!table) continue;
        require(table->length == static_cast<std::int32_t>(search.size()));

        const std::vector<qz::ComparisonCode> needle = codes_of(search, search.size(), conditions);
        const std::size_t shortest = line.size() > kPrefixLimit ? line.size() : 0;
        for (std::size_t length = line.size() + 1; length-- > shortest;) {
            const std::vector<char> span(line.begin(), line.begin() + length);
            const bool found =
                qz::span_contains(std::string_view(span.data(), span.size()), *table);
            require(found == naive_contains(codes_of(span, span.size(), conditions), needle));
            // What a match holds for sure stands in the span as written.
            require(!found || std::search(span.begin(), span.end(), table->required.begin(),
                                          table->required.end()) != span.end());
        }

        const char* text = line_text.c_str();
        require(qz::fields_contain(text, *table) == fields_by_accessors(text, *table));
        // The line as its own title, and under no title.
        const bool with_title = qz::line_contains(text, text, *table);
        const bool without = qz::line_contains(text, nullptr, *table);
        require(with_title >= without);
        require(with_title ==
                (without || ((conditions & qz::SEARCH_TITLE) && qz::title_contains(text, *table))));
    }
    return 0;
}
