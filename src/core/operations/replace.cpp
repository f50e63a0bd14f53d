#include "core/operations/replace.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "core/syntax/answer.h"
#include "core/syntax/byte_search.h"
#include "core/syntax/fields.h"
#include "core/syntax/scan.h"

namespace qz {
namespace {

// Charsets do not change how fields are escaped; the panes' defaults.
const FieldCharsets kCharsets{};

constexpr bool is_lead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Characters whose stored form differs from the shown one: a backslash is
// put before ',' and '\\', a line break is stored as "\n".
constexpr bool stored_otherwise(char c) {
    return c == ',' || c == '\\' || c == '\r' || c == '\n';
}

// The longest run of `required` without characters stored otherwise: in a
// line of format 1.4 every match of the shown text holds it as it stands.
std::string stored_run(std::string_view required) {
    std::string_view best;
    std::size_t start = 0;
    for (std::size_t i = 0; i < required.size();) {
        const bool wide = is_lead(static_cast<unsigned char>(required[i])) && i + 1 < required.size();
        if (!wide && stored_otherwise(required[i])) {
            if (i - start > best.size()) best = required.substr(start, i - start);
            start = i + 1;
        }
        i += wide ? 2 : 1;
    }
    if (required.size() - start > best.size()) best = required.substr(start);
    return std::string(best);
}

std::string_view stored_span(const char* start, int length) {
    return start && length > 0 ? std::string_view(start, static_cast<std::size_t>(length))
                               : std::string_view();
}

bool has_backslash(std::string_view text) {
    return text.find('\\') != std::string_view::npos;
}

}  // namespace

std::optional<Replacer> Replacer::make(std::string_view find, std::string replacement,
                                       SearchConditions conditions) {
    std::optional<MatchTable> table = build_match_table(find, conditions);
    if (!table) return std::nullopt;
    std::string prefilter = stored_run(table->required);
    return Replacer(std::move(*table), std::move(replacement), std::move(prefilter));
}

const char* Replacer::match_at(const char* p, const char* end) const {
    std::int32_t j = 0;
    while (j < table_.length) {
        if (p >= end) return nullptr;
        if (read_comparison_code(p, end, table_.conditions) != table_.code[j]) return nullptr;
        j = table_.next[j];
    }
    return p;
}

int Replacer::replace_value(std::string_view value, std::string& out) const {
    out.clear();
    if (!span_contains(value, table_)) return 0;
    out.reserve(value.size() + replacement_.size());
    int count = 0;
    const char* p = value.data();
    const char* const end = p + value.size();
    // Matches are taken from the left and do not overlap; the text put in
    // is not searched again.
    while (p < end) {
        if (const char* match_end = match_at(p, end)) {
            out += replacement_;
            p = match_end;
            ++count;
            continue;
        }
        const char* next = p;
        read_comparison_code(next, end, table_.conditions);
        out.append(p, static_cast<std::size_t>(next - p));
        p = next;
    }
    return count;
}

bool Replacer::may_match(std::string_view text, int version) const {
    if (prefilter_.empty() || version < 14) return true;
    const char* const end = text.data() + text.size();
    return find_bytes(text.data(), end, prefilter_) != end;
}

// The field's shown value with its matches replaced, or none; `shown`
// unescapes a field that holds a backslash (without one the stored bytes
// are the shown ones, and most fields have none).
template <typename Shown>
std::optional<std::string> Replacer::replaced_field(std::string_view stored, int& count,
                                                    Shown shown) const {
    if (stored.empty()) return std::nullopt;
    std::string value;
    if (has_backslash(stored)) {
        value = shown();
        stored = value;
    }
    std::string replaced;
    const int n = replace_value(stored, replaced);
    if (n == 0) return std::nullopt;
    count += n;
    return replaced;
}

std::optional<LineReplacement> Replacer::replace_in(const DataLine& line, int version) const {
    const char* const text = line.c_str();
    if (!line.has_text() || !may_match(line.text(), version)) return std::nullopt;
    const SearchConditions c = table_.conditions;
    LineReplacement result;

    if (line.kind() == LINE_TITLE) {
        const char* comment = nullptr;
        if (!(c & SEARCH_TITLE) || check_title_line(text, &comment) < 0) return std::nullopt;
        const char* start = nullptr;
        const int length = title_text_field(text, &start);
        const std::string_view stored = stored_span(start, length);
        std::optional<std::string> title = replaced_field(stored, result.matches, [&] {
            return unescape_text(stored, kCharsets.title, version);
        });
        if (!title) return std::nullopt;
        const TitleFields shown = title_display_fields(text, kCharsets, version);
        TitleEdit edit;
        edit.title = *title;
        edit.choice_count = shown.choice_count;
        for (int i = 0; i < 5; ++i) edit.flags[i] = shown.flags[i];
        result.text = compose_title_line(text, edit, kCharsets, version);
        // It must read back as a title line showing the new title.
        const char* again = result.text.c_str();
        result.refused = classify_text(again, version) != LINE_TITLE ||
                         check_title_line(again, nullptr) < 0 ||
                         title_display_fields(again, kCharsets, version).title != *title;
    } else {
        if (!is_question(&line) || check_question_line(text, nullptr) < 0) return std::nullopt;
        QuestionEdit edit;
        if (c & SEARCH_QUESTION) {
            edit.question = replaced_field(stored_span(text, question_text_field(text)),
                                           result.matches, [&] {
                                               return question_display_text(
                                                   text, kCharsets.question, version);
                                           });
        }
        if (c & SEARCH_ANSWER) {
            const char* start = nullptr;
            const std::string_view stored = stored_span(start, answer_text_field(text, &start));
            edit.answer = replaced_field(stored, result.matches, [&] {
                return unescape_text(stored, kCharsets.answer, version);
            });
        }
        if (c & SEARCH_COMMENT) {
            const char* start = nullptr;
            const std::string_view stored = stored_span(start, check_question_line(text, &start));
            edit.comment = replaced_field(stored, result.matches, [&] {
                return unescape_text(stored, kCharsets.comment, version);
            });
        }
        if (result.matches == 0) return std::nullopt;
        edit.history = question_history(text);
        edit.group = question_group(text);
        edit.answer_number = question_answer_number(text);
        result.text = compose_question_line(text, edit, kCharsets, version);

        // It must read back as a question line showing the new fields, and
        // an answer that expanded must still expand.
        const char* again = result.text.c_str();
        const DataLine composed(LINE_TEXT, result.text);
        bool sound = is_question(&composed) && classify_text(again, version) == LINE_TEXT &&
                     check_question_line(again, nullptr) >= 0;
        if (sound) {
            const QuestionFields now = question_display_fields(again, kCharsets, version);
            sound = (!edit.question || now.question == *edit.question) &&
                    (!edit.answer || now.answer == *edit.answer) &&
                    (!edit.comment || now.comment == *edit.comment);
        }
        if (sound && edit.answer && expand_answer(text) && !expand_answer(again)) sound = false;
        result.refused = !sound;
    }
    if (result.refused) result.text.clear();
    return result;
}

namespace {

void count(ReplaceCounts& counts, const LineReplacement& r) {
    if (r.refused) {
        ++counts.refused_lines;
        counts.refused_matches += r.matches;
    } else {
        ++counts.lines;
        counts.matches += r.matches;
    }
}

}  // namespace

ReplaceCounts replace_all(EditorModel& model, const Replacer& replacer, bool selected_only) {
    ReplaceCounts counts;
    std::vector<int> indexes;
    std::vector<DataLine> lines;
    const CardDocument& doc = model.doc();
    int index = 0;
    for (const DataLine& line : doc) {
        const int at = index++;
        if (selected_only && !model.is_selected(at)) continue;
        std::optional<LineReplacement> r = replacer.replace_in(line, doc.version);
        if (!r) continue;
        count(counts, *r);
        if (r->refused) continue;
        indexes.push_back(at);
        lines.emplace_back(line.kind(), r->text);
    }
    if (!indexes.empty()) {
        EditStep step;
        step.push_back(LineEdit::replace_lines(std::move(indexes), std::move(lines)));
        model.apply(std::move(step));
    }
    return counts;
}

ReplaceCounts replace_line(EditorModel& model, const Replacer& replacer, int index) {
    ReplaceCounts counts;
    const DataLine* line = model.doc().line_at(index);
    if (!line) return counts;
    std::optional<LineReplacement> r = replacer.replace_in(*line, model.doc().version);
    if (!r) return counts;
    count(counts, *r);
    if (!r->refused) model.commit_line(index, std::move(r->text));
    return counts;
}

int find_replaceable_line(const EditorModel& model, const Replacer& replacer, bool selected_only,
                          int from, int direction) {
    const CardDocument& doc = model.doc();
    const int count = doc.count();
    const int step = direction >= 0 ? 1 : -1;
    int index = direction >= 0 ? std::max(from, -1) + 1 : std::min(from, count) - 1;
    for (; index >= 0 && index < count; index += step) {
        if (selected_only && !model.is_selected(index)) continue;
        if (replacer.replace_in(*doc.line_at(index), doc.version)) return index;
    }
    return -1;
}

std::string replace_summary(const ReplaceCounts& counts) {
    char text[160];
    if (counts.refused_lines > 0)
        std::snprintf(text, sizeof text,
                      "%d 行で %d 箇所を置換しました。\n%d 行（%d 箇所）は書式が崩れるため置換しませんでした。",
                      counts.lines, counts.matches, counts.refused_lines, counts.refused_matches);
    else
        std::snprintf(text, sizeof text, "%d 行で %d 箇所を置換しました。", counts.lines,
                      counts.matches);
    return text;
}

}  // namespace qz
