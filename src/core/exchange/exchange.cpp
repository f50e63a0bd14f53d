#include "core/exchange/exchange.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "core/document/line_queries.h"
#include "core/syntax/answer.h"
#include "core/syntax/byte_search.h"
#include "core/syntax/scan.h"
#include "core/syntax/settings_line.h"

namespace qz {
namespace {

// Charsets do not change how fields are escaped; the panes' defaults.
const FieldCharsets kCharsets{};

// The alternatives of an expanded answer, their line breaks (a lone LF
// there) as CR LF, as a shown text holds them.
std::vector<std::string> split_alternatives(const std::string& expanded) {
    std::vector<std::string> out;
    out.reserve(1 + static_cast<std::size_t>(std::count(expanded.begin(), expanded.end(), kAlternativeSeparator)));
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = expanded.find(kAlternativeSeparator, start);
        out.push_back(expanded.substr(start, end == std::string::npos ? std::string::npos : end - start));
        for (std::size_t i = out.back().find('\n'); i != std::string::npos; i = out.back().find('\n', i + 1))
            if (i == 0 || out.back()[i - 1] != '\r') out.back().insert(i++, 1, '\r');
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out;
}

// Whether split_alternatives(expanded) is `alternatives`, without making
// the list.
bool same_alternatives(const std::string& expanded, const std::vector<std::string>& alternatives) {
    // Line breaks are rare in an answer: those are compared the long way.
    if (expanded.find('\n') != std::string::npos) return split_alternatives(expanded) == alternatives;
    const std::string_view text = expanded;
    std::size_t k = 0;
    for (std::size_t start = 0;; ++k) {
        const std::size_t end = text.find(kAlternativeSeparator, start);
        if (k == alternatives.size() || text.substr(start, end - start) != alternatives[k]) return false;
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return k + 1 == alternatives.size();
}

}  // namespace

std::string group_tag(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c == ' ' || c == '\t') {
            out += '_';
        } else if (c == 0x81 && i + 1 < name.size() && name[i + 1] == '\x40') {  // "　"
            out += '_';
            ++i;
        } else {
            out += name[i];
            if (((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < name.size())
                out += name[++i];
        }
    }
    return out;
}

namespace {

// An answer field without syntax, escapes or token bytes stands for itself
// alone (a trail byte that looks like syntax counts as syntax here).
bool plain_answer_text(std::string_view answer) {
    // No mark, no backslash, no byte below 0x08, each looked for many bytes at a time.
    const char* const begin = answer.data();
    const char* const end = begin + answer.size();
    return find_any_byte(begin, end, "[]()|\\") == end && find_byte_in_range(begin, end, 0x00, 0x07) == end;
}

bool plain_answer(const char* text) {
    const char* start = nullptr;
    const int length = answer_text_field(text, &start);
    if (length <= 0) return length == 0;
    return plain_answer_text(std::string_view(start, static_cast<std::size_t>(length)));
}

// A field no escape changes and no scanner reads as more than text (a
// trail byte that looks like a mark counts as one here).
bool plain_field(std::string_view text) {
    // No ',', backslash, apostrophe or control byte, each looked for many bytes at a time.
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    return find_any_byte(begin, end, ",\\'") == end && find_byte_in_range(begin, end, 0x00, 0x1F) == end;
}

bool same_title(const ExchangeCard& a, const ExchangeCard& b) {
    if (a.titled != b.titled) return false;
    if (!a.titled) return true;
    return a.title.title == b.title.title && a.title.choice_count == b.title.choice_count &&
           std::equal(a.title.flags, a.title.flags + 5, b.title.flags) &&
           a.title.comment == b.title.comment;
}

}  // namespace

const char* format_key(ExchangeFormat format) {
    switch (format) {
    case ExchangeFormat::tsv: return "tsv";
    case ExchangeFormat::csv: return "csv";
    case ExchangeFormat::gift: return "gift";
    case ExchangeFormat::aiken: return "aiken";
    case ExchangeFormat::moodle_xml: return "moodle-xml";
    }
    return "";
}

bool format_from_key(std::string_view key, ExchangeFormat* format) {
    for (ExchangeFormat f : {ExchangeFormat::tsv, ExchangeFormat::csv, ExchangeFormat::gift,
                             ExchangeFormat::aiken, ExchangeFormat::moodle_xml}) {
        if (key == format_key(f)) {
            *format = f;
            return true;
        }
    }
    return false;
}

const std::string& shown_alternative(const ExchangeCard& card) {
    static const std::string kNone;
    if (card.alternatives.empty()) return card.fields.answer.empty() ? kNone : card.fields.answer;
    const int n = card.fields.answer_number;
    return n >= 0 && n < static_cast<int>(card.alternatives.size()) ? card.alternatives[n]
                                                                    : card.alternatives.front();
}

std::vector<ExchangeCard> cards_from_document(const CardDocument& doc, const std::vector<int>* indexes,
                                              int* skipped, bool alternatives) {
    std::vector<ExchangeCard> cards;
    cards.reserve(indexes ? indexes->size() : static_cast<std::size_t>(doc.count()));
    const GroupNames groups = document_group_names(doc);
    std::array<std::string, 10> tags;
    for (int g = 1; g < 10; ++g) tags[g] = group_tag(groups[g]);
    const DataLine* title = nullptr;
    TitleFields title_fields;
    std::size_t next = 0;  // in *indexes
    for (int index = 0; index < doc.count(); ++index) {
        const DataLine* line = doc.line_at(index);
        // The title in effect at the line, also when the scope leaves it out.
        if (line->kind() == LINE_TITLE) {
            title = line;
            title_fields = title_display_fields(line->c_str(), kCharsets, doc.version);
        }
        if (indexes) {
            if (next >= indexes->size()) break;
            if ((*indexes)[next] != index) continue;
            ++next;
        }
        if (!is_question(line)) {
            if (skipped && line->kind() != LINE_TITLE) ++*skipped;
            continue;
        }
        ExchangeCard card;
        card.row = CardDocument::file_line_number(index);
        card.titled = title != nullptr;
        if (title) card.title = title_fields;
        card.fields = question_display_fields(line->c_str(), kCharsets, doc.version);
        if (!alternatives) {
        } else if (plain_answer(line->c_str())) {
            card.alternatives.push_back(card.fields.answer);
        } else if (std::optional<std::string> expanded = expand_answer(line->c_str(), &card.alternatives_cut_short)) {
            card.alternatives = split_alternatives(*expanded);
        } else {
            card.alternatives.push_back(card.fields.answer);
        }
        const int g = card.fields.group;
        if (g > 0 && g < 10) card.group_tag = tags[g];
        cards.push_back(std::move(card));
    }
    return cards;
}

int ImportResult::count(ImportProblem::Kind kind) const {
    return static_cast<int>(std::count_if(problems.begin(), problems.end(),
                                          [kind](const ImportProblem& p) { return p.kind == kind; }));
}

GroupNames builtin_group_names() {
    GroupNames names;
    for (int g = 0; g < 10; ++g) names[g] = builtin_group_name(g);
    return names;
}

GroupNames document_group_names(const CardDocument& doc) {
    GroupNames names;
    for (int g = 0; g < 10; ++g) names[g] = group_name(doc, g);
    return names;
}

std::vector<DataLine> lines_from_cards(const std::vector<ExchangeCard>& cards, int version,
                                       std::vector<ImportProblem>* problems) {
    std::vector<DataLine> lines;
    lines.reserve(cards.size() + cards.size() / 8 + 1);
    const ExchangeCard* last_title = nullptr;
    auto refuse = [&](const ExchangeCard& card, const char* reason) {
        if (problems) problems->push_back({ImportProblem::refused, card.row, 0, reason});
    };
    for (const ExchangeCard& card : cards) {
        QuestionEdit edit;
        edit.question = card.fields.question;
        edit.answer = card.fields.answer;
        edit.history = card.fields.history;
        edit.group = card.fields.group;
        edit.answer_number = card.fields.answer_number;
        edit.comment = card.fields.comment;
        std::string text = compose_question_line(nullptr, edit, kCharsets, version);
        const char* const again = text.c_str();
        // Plain fields read back as they are; any other line is read back.
        const std::string& q = card.fields.question;
        const bool plain = !q.empty() && q[0] != '#' && q[0] != '$' && plain_field(q) &&
                           plain_field(card.fields.answer) && plain_field(card.fields.comment);
        if (!plain) {
            const QuestionFields back = question_display_fields(again, kCharsets, version);
            if (text.empty() || classify_text(again, version) != LINE_TEXT || again[0] == '\'' ||
                check_question_line(again, nullptr) < 0 || back.question != card.fields.question ||
                back.answer != card.fields.answer || back.comment != card.fields.comment) {
                refuse(card, "データの行に直せません。");
                continue;
            }
        }
        // A given list of alternatives must be what the answer stands for.
        // Plain alternatives stand for themselves in "a" or "[a|b]".
        const bool itself =
            !card.alternatives.empty() &&
            std::all_of(card.alternatives.begin(), card.alternatives.end(),
                        [](const std::string& a) { return plain_field(a) && plain_answer_text(a); }) &&
            card.fields.answer == answer_from_alternatives(card.alternatives);
        const std::optional<std::string> expanded =
            card.alternatives.empty() || itself ? std::nullopt : expand_answer(again);
        if (!card.alternatives.empty() && !itself &&
            (expanded ? !same_alternatives(*expanded, card.alternatives)
                      : card.alternatives.size() > 1 || card.alternatives[0] != card.fields.answer)) {
            refuse(card, "答えの候補を答えの書式に直せません。");
            continue;
        }
        if (card.titled && (!last_title || !same_title(*last_title, card))) {
            TitleEdit title;
            title.title = card.title.title;
            title.choice_count = card.title.choice_count;
            std::copy(card.title.flags, card.title.flags + 5, title.flags);
            title.comment = card.title.comment;
            std::string title_text = compose_title_line(nullptr, title, kCharsets, version);
            const TitleFields shown = title_display_fields(title_text.c_str(), kCharsets, version);
            if (classify_text(title_text.c_str(), version) != LINE_TITLE ||
                check_title_line(title_text.c_str(), nullptr) < 0 || shown.title != card.title.title ||
                shown.comment != card.title.comment) {
                refuse(card, "タイトルをデータの行に直せません。");
                continue;
            }
            lines.emplace_back(LINE_TITLE, title_text);
            last_title = &card;
        }
        lines.emplace_back(LINE_TEXT, text);
    }
    return lines;
}

bool field_to_cp932(std::string_view utf8, int row, int column, std::string& out,
                    std::vector<ImportProblem>& problems) {
    std::vector<std::string> lost;
    out = utf8_to_cp932(utf8, &lost);
    if (out.size() > kMaxImportFieldBytes) {
        problems.push_back({ImportProblem::refused, row, column,
                            "長すぎるため読み込めません（" + format_decimal(static_cast<int>(out.size())) +
                                " バイト、最大 65536 バイト）。"});
        out.clear();
        return false;
    }
    if (!lost.empty()) {
        std::string shown;
        for (const std::string& c : lost) {
            std::size_t length = 0;
            const char32_t u = next_code_point(c, 0, &length);
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(u));
            if (!shown.empty()) shown += ' ';
            shown += code;
        }
        problems.push_back({ImportProblem::substituted, row, column,
                            "Shift-JIS にない文字 " + shown + " を「〓」にします。"});
    }
    return true;
}

namespace {

bool answer_mark(char c) { return c == '[' || c == ']' || c == '(' || c == ')' || c == '|'; }

// A text as answer syntax that stands for itself: each mark escaped, and a
// run of backslashes before a mark (or, when `mark_follows`, at the end)
// doubled, since such a run is read as escapes. Picture references stay.
void append_literal(std::string& out, std::string_view text, bool mark_follows) {
    const char* const begin = text.data();
    for (std::size_t i = 0; i < text.size();) {
        // ASCII other than marks and backslashes stands for itself, copied at once.
        if (const std::size_t run =
                static_cast<std::size_t>(find_any_byte(begin + i, begin + text.size(), "\\[]()|", true) - begin);
            run > i) {
            out.append(text, i, run - i);
            i = run;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        if (((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < text.size()) {
            out.append(text.substr(i, 2));
            i += 2;
            continue;
        }
        if (c == '\\') {
            // A picture's path is no answer syntax: "\i"写真 (2).png"" stays as it is.
            if (const std::size_t end = image_reference_end(text, i); end != std::string_view::npos) {
                out.append(text, i, end - i);
                i = end;
                continue;
            }
            std::size_t run = i;
            while (run < text.size() && text[run] == '\\') ++run;
            const bool doubled = run < text.size() ? answer_mark(text[run]) : mark_follows;
            out.append((run - i) * (doubled ? 2 : 1), '\\');
            i = run;
            continue;
        }
        if (answer_mark(text[i])) out += '\\';
        out += text[i++];
    }
}

}  // namespace

std::string answer_from_text(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 4);
    append_literal(out, text, false);
    return out;
}

std::string answer_from_alternatives(const std::vector<std::string>& alternatives) {
    if (alternatives.empty()) return {};
    if (alternatives.size() == 1) return answer_from_text(alternatives.front());
    std::string out = "[";
    for (std::size_t i = 0; i < alternatives.size(); ++i) {
        if (i) out += '|';
        append_literal(out, alternatives[i], true);
    }
    return out + "]";
}

namespace {

// Empty, or blanks and line breaks alone: no choice in any format.
bool blank(std::string_view text) { return text.find_first_not_of(" \t\r\n") == std::string_view::npos; }

}  // namespace

// How many different texts (none blank) the shown alternatives of the run
// [begin, end) hold, counted up to 10: a card finds one less at most as its
// wrong choices, and looking for more would go round the whole run.
int distinct_answers(const std::vector<ExchangeCard>& cards, std::size_t begin, std::size_t end) {
    std::string_view texts[10];
    std::size_t count = 0;
    for (std::size_t k = begin; k < end && count < std::size(texts); ++k) {
        const std::string& text = shown_alternative(cards[k]);
        if (!blank(text) && std::find(texts, texts + count, text) == texts + count) texts[count++] = text;
    }
    return static_cast<int>(count);
}

// The wrong choices of card k of a run: the shown alternatives of the next
// cards of the run (from k on, round), none blank, equal to the right one
// or taken before; at most `wanted`.
std::vector<const std::string*> wrong_choices(const std::vector<ExchangeCard>& cards, std::size_t begin,
                                              std::size_t end, std::size_t k, int wanted) {
    std::vector<const std::string*> out;
    const std::string& right = shown_alternative(cards[k]);
    const std::size_t n = end - begin;
    if (wanted > 0 && n > 1) out.reserve(std::min(static_cast<std::size_t>(wanted), n - 1));
    for (std::size_t step = 1; step < n && static_cast<int>(out.size()) < wanted; ++step) {
        const std::string& other = shown_alternative(cards[begin + (k - begin + step) % n]);
        if (blank(other) || other == right) continue;
        if (std::any_of(out.begin(), out.end(), [&](const std::string* s) { return *s == other; })) continue;
        out.push_back(&other);
    }
    return out;
}

// Runs of cards under one title, [begin, end).
std::vector<std::pair<std::size_t, std::size_t>> title_runs(const std::vector<ExchangeCard>& cards) {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t i = 0; i < cards.size();) {
        std::size_t j = i + 1;
        while (j < cards.size() && same_title(cards[i], cards[j])) ++j;
        runs.emplace_back(i, j);
        i = j;
    }
    return runs;
}

std::string problem_text(const ImportProblem& problem) {
    std::string text;
    if (problem.row > 0) text += format_decimal(problem.row) + " 行目";
    if (problem.column > 0) text += (text.empty() ? "" : "、") + format_decimal(problem.column) + " 列目";
    if (!text.empty()) text += ": ";
    return text + problem.reason;
}

std::string text_to_html(std::string_view text, const std::function<std::string(std::string_view)>& picture_source) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Text that needs no entity, tag or reference is copied whole.
        if (const char* const stop = find_any_byte(begin + i, end, "\\&<>\r\n"); stop != begin + i) {
            out.append(begin + i, stop);
            i = static_cast<std::size_t>(stop - begin);
            if (stop == end) break;
        }
        const char c = text[i];
        if (c == '\\') {
            // Pairs of a run of backslashes are backslashes: only an odd run
            // ends in a reference.
            std::size_t run = i;
            while (run < text.size() && text[run] == '\\') ++run;
            if ((run - i) % 2 == 0 || text.substr(run - 1, 3) != "\\i\"") {
                out.append(text.substr(i, run - i));
                i = run - 1;
                continue;
            }
            if (run - i > 1) out.append(text.substr(i, run - i - 1));
            i = run - 1;
        }
        if (c == '\\' && text.substr(i, 3) == "\\i\"") {
            // A reference is one only when closed on its line.
            const std::size_t close = text.find('"', i + 3);
            if (close != std::string_view::npos &&
                text.substr(i + 3, close - i - 3).find_first_of("\r\n") == std::string_view::npos) {
                out += "<img src=\"";
                const std::string_view path = text.substr(i + 3, close - i - 3);
                out += text_to_html(picture_source ? std::string_view(picture_source(path)) : path);
                out += "\">";
                i = close;
                continue;
            }
        }
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') { out += "<br>"; ++i; }
        else if (c == '\r' || c == '\n') out += "<br>";
        else out += c;
    }
    return out;
}

}  // namespace qz
