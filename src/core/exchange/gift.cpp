#include "core/exchange/gift.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/exchange/moodle_text.h"
#include "core/syntax/byte_search.h"
#include "core/syntax/scan.h"

namespace qz {
namespace {

// ○ and ×, as code page 932 bytes whatever the program's literals are.
constexpr char kTrueAnswer[] = "\x81\x9B";
constexpr char kFalseAnswer[] = "\x81\x7E";

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

bool gift_special(char c) {
    return c == '~' || c == '=' || c == '#' || c == '{' || c == '}' || c == ':' || c == '\\';
}

// The bytes escaping writes otherwise than as they are.
constexpr std::string_view kSpecialsAndBreaks = "~=#{}:\\\r\n";

// The length of the "%n%" weight a GIFT answer starts with ("%100%",
// "%-33.3%"), 0 for none.
std::size_t weight_length(std::string_view s) {
    // As Moodle reads one: '%', any '-', a digit or more, a '.' and more
    // digits if any, '%' ("%-%" and "%.5%" are no weights; "%5.%" is).
    if (!s.starts_with('%')) return 0;
    std::size_t i = 1;
    while (i < s.size() && s[i] == '-') ++i;
    const std::size_t digits = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    if (i == digits) return 0;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    }
    return i < s.size() && s[i] == '%' ? i + 1 : 0;
}

// Shown text (UTF-8) as GIFT text: the special characters escaped, a line
// break as "\n".
void append_escaped(std::string& out, std::string_view text) {
    const char* const begin = text.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        // What needs nothing is copied whole up to the next byte that does.
        const std::size_t run =
            static_cast<std::size_t>(find_any_byte(begin + i, begin + text.size(), kSpecialsAndBreaks) - begin);
        out.append(text, i, run - i);
        i = run;
        if (i == text.size()) break;
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            continue;
        }
        if (gift_special(c)) out += '\\';
        out += c;
    }
}

bool format_mark(std::string_view mark) {
    return equal_ignoring_case(mark, "[html]") || equal_ignoring_case(mark, "[moodle]") ||
           equal_ignoring_case(mark, "[plain]") || equal_ignoring_case(mark, "[markdown]");
}

// The length of the format mark ("[html]", "[plain]", ...) a text starts
// with, 0 for none.
std::size_t format_mark_length(std::string_view s) {
    if (!s.starts_with('[')) return 0;
    const std::size_t close = s.find(']');
    return close != std::string_view::npos && format_mark(s.substr(0, close + 1)) ? close + 1 : 0;
}

// An answer as GIFT text, appended to `out`. One that starts with what
// reads as a format mark gets "[plain]" in front, one that starts (after
// its blanks, which are no part of it) with what reads as a weight
// `weight`, unless that is null (the right choice of a multiple-choice
// question, where Moodle reads no weight after the '='). In a short answer
// (`pattern`), where Moodle matches a '*' with anything, a star is written
// "\*": GIFT's escaped backslash and the star, the star itself to Moodle.
void append_answer(std::string& out, std::string_view text, const char* weight, bool pattern) {
    const std::size_t start = out.size();
    append_escaped(out, text);
    if (pattern) {
        for (std::size_t i = out.find('*', start); i != std::string::npos; i = out.find('*', i + 3))
            out.insert(i, "\\\\");
    }
    const auto written = [&] { return std::string_view(out).substr(start); };
    if (format_mark_length(trim(written()))) out.insert(start, "[plain]");
    if (weight && weight_length(trim(written()))) out.insert(start, weight);
}

// What Moodle shows as markup in its default text format.
bool holds_markup(std::string_view text) { return text.find_first_of("<>&") != std::string_view::npos; }

bool context_element(std::string_view element) {
    return element.size() > 2 && element.front() == '$' && element.back() == '$' &&
           std::all_of(element.begin() + 1, element.end() - 1, [](char c) { return c >= 'a' && c <= 'z'; });
}

}  // namespace

// The category path of a title (UTF-8), empty for a title without a
// name. The title's " / " separate the path's elements (as read_gift
// joins them), a '/' within an element is doubled; a title that would
// not read back so (blanks at an element's ends, an element that is
// empty or starts or ends with '/') is one element. A first element the
// reader would take for Moodle's context or its root "top" is put under
// "$course$/top/".
std::string category_path(std::string title) {
    std::erase(title, '\r');
    std::replace(title.begin(), title.end(), '\n', ' ');
    std::vector<std::string_view> elements;
    const std::string_view whole = title;
    for (std::size_t start = 0;;) {
        const std::size_t end = whole.find(" / ", start);
        elements.push_back(whole.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 3;
    }
    const bool split = std::all_of(elements.begin(), elements.end(), [](std::string_view e) {
        return !e.empty() && trim(e) == e && !e.starts_with('/') && !e.ends_with('/');
    });
    if (!split) elements.assign(1, whole);
    const std::string_view first = trim(elements.front());
    if (first.empty()) return {};
    std::string out = first == "top" || context_element(first) ? "$course$/top/" : "";
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (i) out += '/';
        for (char c : elements[i]) {
            if (c == '/') out += '/';
            out += c;
        }
    }
    return out;
}

namespace {

// "// " lines, one per line of the text.
void comment_lines(std::string& out, std::string_view text) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find_first_of("\r\n", start);
        out += "// ";
        out += text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        out += "\r\n";
        if (end == std::string_view::npos) break;
        start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
}

}  // namespace

ExportResult write_gift(const std::vector<ExchangeCard>& cards, const ExportOptions& options) {
    ExportResult result;
    std::string out;
    std::size_t texts = 0;
    for (const ExchangeCard& card : cards)
        texts += card.fields.question.size() + card.fields.answer.size() + card.fields.comment.size();
    // Code page 932 text is at most half as long again in UTF-8.
    out.reserve(texts + texts / 2 + cards.size() * 32);
    // Each text converted into a buffer of its own kind, used again card
    // after card.
    std::string text, shown, question, answers;
    auto u8 = [&](std::string& into, const std::string& cp932) -> const std::string& {
        into.clear();
        append_cp932_as_utf8(into, cp932, &result.undecodable);
        return into;
    };
    bool categories = false;  // a category line was written
    for (auto [begin, end] : title_runs(cards)) {
        const ExchangeCard& first = cards[begin];
        const int choices = first.titled ? first.title.choice_count : 0;
        const int distinct = choices > 1 ? distinct_answers(cards, begin, end) : 0;
        if (first.titled || categories) {
            // A title without a name (or, after a category, no title) goes
            // to the course's root, which reads as no category.
            const std::string path = first.titled ? category_path(u8(text, first.title.title)) : std::string();
            out += "$CATEGORY: ";
            out += path.empty() ? std::string_view("$course$/top") : std::string_view(path);
            out += "\r\n";
            if (!first.title.comment.empty()) comment_lines(out, u8(text, first.title.comment));
            out += "\r\n";
            categories = true;
        }
        for (std::size_t k = begin; k < end; ++k) {
            const ExchangeCard& card = cards[k];
            const std::string& right = shown_alternative(card);
            answers.clear();
            bool markup = false;  // a choice Moodle would show as markup
            if (choices <= 1) {
                // Every alternative but an empty one (an empty answer is no
                // short answer); "->" would make it a matching question.
                const std::span<const std::string> alternatives =
                    card.alternatives.empty() ? std::span(&card.fields.answer, 1) : std::span(card.alternatives);
                for (const std::string& alternative : alternatives) {
                    // Blanks alone read back as no answer.
                    if (trim(alternative).empty()) continue;
                    if (u8(text, alternative).find("->") != std::string::npos) {
                        answers.clear();
                        break;
                    }
                    answers += answers.empty() ? "=" : " =";
                    append_answer(answers, text, "%100%", true);
                }
                if (answers.empty()) {
                    ++result.left_out;
                    continue;
                }
            } else if (choices == 2 && (right == kTrueAnswer || right == kFalseAnswer)) {
                // ○ or × of two choices: a true/false question.
                answers.push_back(right == kTrueAnswer ? 'T' : 'F');
            } else {
                if (trim(right).empty()) {
                    ++result.left_out;
                    continue;
                }
                const std::vector<const std::string*> wrong =
                    wrong_choices(cards, begin, end, k, std::min(choices - 1, distinct - 1));
                // Without a wrong choice the answer alone reads as a short answer.
                if (wrong.empty() && right.find("->") != std::string::npos) {
                    ++result.left_out;
                    continue;
                }
                answers += '=';
                append_answer(answers, u8(text, right), wrong.empty() ? "%100%" : nullptr, wrong.empty());
                markup = !wrong.empty() && holds_markup(text);
                for (const std::string* w : wrong) {
                    answers += " ~";
                    append_answer(answers, u8(text, *w), "%0%", false);
                    markup = markup || holds_markup(text);
                }
            }
            u8(shown, card.fields.question);
            // Line breaks alone, written "\n", read back as no question.
            if (trim(shown).empty()) {
                ++result.left_out;
                continue;
            }
            question.clear();
            append_escaped(question, shown);
            const std::string_view start = trim(question);
            if (!card.fields.comment.empty()) comment_lines(out, u8(text, card.fields.comment));
            // Plain text: a question that would read as a comment, a
            // category, a name or a format mark, and one whose text or
            // choices (which take the question's format) hold '<', '>' or
            // '&', which Moodle's own format shows as markup.
            if (start.starts_with("//") || start.starts_with('$') || start.starts_with("::") ||
                start.starts_with('[') || markup || holds_markup(shown))
                out += "[plain]";
            out += question;
            out += " {";
            out += answers;
            out += "}\r\n\r\n";
            ++result.cards;
            // A short answer holds every alternative the expansion gave.
            if (choices <= 1 && card.alternatives_cut_short) ++result.cut_short;
        }
    }
    result.bytes = encode_text(out, options.encoding);
    return result;
}

namespace {

// Where the first unescaped `c` is at or after `from`, npos for none. A
// backslash escapes the byte after it; the bytes between are skipped by
// searching many at a time.
std::size_t find_unescaped(std::string_view s, char c, std::size_t from = 0) {
    const char* const begin = s.data();
    const char* const end = begin + s.size();
    for (const char* p = begin + std::min(from, s.size()); p < end;) {
        const char* const q = find_either_byte(p, end, '\\', c);
        if (q == end) break;
        if (*q == '\\') {
            p = q + 2;
            continue;
        }
        return static_cast<std::size_t>(q - begin);
    }
    return std::string_view::npos;
}

// Where the first (or, `last`, the last) unescaped `mark` starts.
std::size_t find_unescaped(std::string_view s, std::string_view mark, bool last = false) {
    std::size_t found = std::string_view::npos;
    const char* const begin = s.data();
    const char* const end = begin + s.size();
    for (const char* p = begin; p < end;) {
        const char* const q = find_either_byte(p, end, '\\', mark[0]);
        if (q == end) break;
        if (*q == '\\') {
            p = q + 2;
            continue;
        }
        if (static_cast<std::size_t>(end - q) < mark.size()) break;
        if (std::memcmp(q, mark.data(), mark.size()) == 0) {
            found = static_cast<std::size_t>(q - begin);
            if (!last) break;
        }
        p = q + 1;
    }
    return found;
}

// GIFT text as shown text: escapes undone, "\n" a line break, a line break
// of the file a space, U+00A0 a space.
std::string unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    const char* const begin = s.data();
    for (std::size_t i = 0; i < s.size(); ++i) {
        // Bytes other than a backslash or a line break are copied whole.
        const std::size_t run = static_cast<std::size_t>(find_any_byte(begin + i, begin + s.size(), "\\\r\n") - begin);
        out.append(s, i, run - i);
        i = run;
        if (i == s.size()) break;
        const char c = s[i];
        if (c == '\\' && i + 1 < s.size()) {
            const char next = s[i + 1];
            if (next == 'n') {
                out += "\r\n";
                ++i;
                continue;
            }
            if (gift_special(next)) {
                out += next;
                ++i;
                continue;
            }
        }
        if (c == '\r') continue;
        out += c == '\n' ? ' ' : c;
    }
    return no_break_spaces_as_spaces(std::move(out));
}

// A short answer as Moodle matches it: "\*" a star; a bare star, which
// matches anything there, is kept as a star and sets *wildcard.
std::string literal_stars(std::string_view s, bool* wildcard) {
    std::string out;
    out.reserve(s.size());
    const char* const begin = s.data();
    for (std::size_t i = 0; i < s.size(); ++i) {
        const std::size_t run = static_cast<std::size_t>(find_either_byte(begin + i, begin + s.size(), '\\', '*') - begin);
        out.append(s, i, run - i);
        i = run;
        if (i == s.size()) break;
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == '*') {
            out += '*';
            ++i;
            continue;
        }
        if (s[i] == '*') *wildcard = true;
        out += s[i];
    }
    return out;
}

// A "$CATEGORY:" path as a title: its elements (split at a single '/',
// "//" a '/' within one) joined by " / ", without Moodle's context
// ("$course$", "$system$", ...) and root category "top" in front; empty
// when nothing is left.
std::string category_of(std::string_view path) {
    std::vector<std::string> elements(1);
    path = trim(path);
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '/') {
            // Up to the next '/' at once.
            const std::size_t slash = std::min(path.find('/', i), path.size());
            elements.back().append(path, i, slash - i);
            i = slash - 1;
        } else if (i + 1 < path.size() && path[i + 1] == '/') {
            elements.back() += '/';
            ++i;
        } else {
            elements.emplace_back();
        }
    }
    std::size_t first = 0;
    if (context_element(trim(elements[first]))) ++first;
    if (first < elements.size() && trim(elements[first]) == "top") ++first;
    std::string out;
    for (std::size_t i = first; i < elements.size(); ++i) {
        const std::string_view e = trim(elements[i]);
        if (e.empty()) continue;
        if (!out.empty()) out += " / ";
        out += e;
    }
    return out;
}

// What the entries and texts of a question told.
struct Findings {
    HtmlPictures pictures;
    bool feedback = false;  // feedback that is not read
    bool wildcard = false;  // a '*' of a short answer
};

// A part of a question (its text, an answer) as shown text: a format mark
// in front taken off, the text as HTML when the mark (or, without one,
// the question's format `html`) says so.
std::string shown_part(std::string_view gift, bool html, Findings& findings, bool marks = true) {
    gift = trim(gift);
    if (const std::size_t mark = marks ? format_mark_length(gift) : 0) {
        html = equal_ignoring_case(gift.substr(0, mark), "[html]");
        gift = trim(gift.substr(mark));
    }
    // Blanks round it are no part of it, no-break spaces (now spaces) too.
    std::string shown = html ? html_shown_text(unescape(gift), &findings.pictures) : unescape(gift);
    // Trimmed in place, without a copy.
    const std::string_view kept = trim(shown);
    const std::size_t front = static_cast<std::size_t>(kept.data() - shown.data());
    shown.resize(front + kept.size());
    shown.erase(0, front);
    return shown;
}

struct Entry {
    bool right = false;
    int weight = 100;  // of a right entry; of a wrong one 0 unless said
    std::string text;  // shown
};

// The entries of an answer block as Moodle reads them: "=a" right, "~b"
// wrong, each with an optional "%n%" weight, "#feedback" and format mark;
// text before the first of them is an entry too (a right answer of a
// short answer, a wrong choice of a multiple-choice one). Entries whose
// text is empty are no entries ("~=a" is a right choice).
std::vector<Entry> entries_of(std::string_view block, bool choices, bool html, Findings& findings) {
    std::vector<Entry> entries;
    entries.reserve(4);
    // Where the next mark is (the end for none): a backslash escapes the
    // byte after it; the bytes between are skipped many at a time.
    auto next_mark = [&](std::size_t i) {
        const char* const begin = block.data();
        const char* const end = begin + block.size();
        const char* p = begin + std::min(i, block.size());
        while ((p = find_any_byte(p, end, "=~\\")) != end && *p == '\\') {
            if (end - p <= 2) return block.size();
            p += 2;
        }
        return static_cast<std::size_t>(p - begin);
    };
    std::size_t i = next_mark(0);
    auto add = [&](bool right, std::string_view body) {
        Entry e;
        e.right = right;
        e.weight = right ? 100 : 0;
        body = trim(body);
        // Moodle reads no weight after the '=' of a multiple-choice answer:
        // "=%50%a" is the right choice "%50%a" there.
        if (const std::size_t length = choices && right ? 0 : weight_length(body)) {
            // Whole percents are enough to tell full marks from the rest.
            int w = 0;
            for (char c : body.substr(1, length - 2)) {
                if (c == '.') break;
                if (c >= '0' && c <= '9') w = std::min(w * 10 + (c - '0'), 1000);
            }
            e.weight = body[1] == '-' ? -w : w;
            body.remove_prefix(length);
        }
        if (const std::size_t hash = find_unescaped(body, '#'); hash != std::string_view::npos) {
            findings.feedback = findings.feedback || !trim(body.substr(hash + 1)).empty();
            body = body.substr(0, hash);
        }
        e.text = shown_part(body, html, findings);
        if (!choices) e.text = literal_stars(e.text, &findings.wildcard);
        if (!e.text.empty()) entries.push_back(std::move(e));
    };
    add(!choices, block.substr(0, i));
    while (i < block.size()) {
        const std::size_t j = next_mark(i + 1);
        add(block[i] == '=', block.substr(i + 1, j - i - 1));
        i = j;
    }
    return entries;
}

struct Block {
    int row = 0;
    std::size_t begin = 0, end = 0;  // span in the text, comments included
    std::string text;                // the question's lines, joined by '\n'
    std::vector<std::string> comments;
    // Emptied for the next question; the text keeps its room.
    void clear() {
        row = 0;
        begin = end = 0;
        text.clear();
        comments.clear();
    }
};

class GiftReader {
public:
    GiftReader(const DecodedText& decoded, const std::string& file_title, ImportResult& result)
        : decoded_(decoded), result_(result), file_title_(file_title) {
        title_cp932_ = file_title;
    }

    void read() {
        const std::string_view text = decoded_.text;
        std::size_t pos = 0;
        int row = 0;
        bool after_category = false;
        while (pos <= text.size()) {
            // Lines end in LF, CR LF or CR alone.
            const std::size_t end =
                static_cast<std::size_t>(find_either_byte(text.data() + pos, text.data() + text.size(), '\r', '\n') - text.data());
            const std::size_t next = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
            ++row;
            const std::string_view line = text.substr(pos, end - pos);
            const std::string_view bare = trim(line);
            if (bare.empty()) {
                flush();
                after_category = false;
            } else if (bare.starts_with("//") && !block_.text.empty()) {
                // A comment among the question's lines is left out of it.
            } else if (bare.starts_with("//")) {
                // One space after "//" belongs to the mark; the rest is the comment's.
                std::string_view rest = line.substr(line.find("//") + 2);
                if (rest.starts_with(' ')) rest.remove_prefix(1);
                std::string comment(rest);
                if (after_category) {
                    // Every line counts, an empty first one too.
                    if (title_comment_lines_++ > 0) title_comment_ += "\r\n";
                    title_comment_ += comment;
                    title_converted_ = false;
                } else {
                    if (block_.comments.empty()) block_.begin = pos;
                    block_.comments.push_back(std::move(comment));
                }
            } else if (bare.starts_with("$CATEGORY:")) {
                flush();
                category_ = category_of(bare.substr(10));
                has_category_ = true;
                title_comment_.clear();
                title_comment_lines_ = 0;
                title_converted_ = false;
                after_category = true;
            } else {
                after_category = false;
                if (block_.text.empty()) {
                    block_.row = row;
                    if (block_.comments.empty()) block_.begin = pos;
                    // Room for a few lines at once.
                    block_.text.reserve(std::max<std::size_t>(256, 2 * line.size()));
                } else {
                    block_.text += '\n';
                }
                block_.text.append(line);
                block_.end = end;
            }
            if (end >= text.size()) break;
            pos = next;
        }
        flush();
    }

private:
    void refuse(int row, std::string reason) {
        result_.problems.push_back({ImportProblem::refused, row, 0, std::move(reason)});
    }
    void notice(int row, std::string reason) {
        result_.problems.push_back({ImportProblem::notice, row, 0, std::move(reason)});
    }

    void flush() {
        if (!block_.text.empty()) read_block(block_);
        block_.clear();
    }

    void read_block(const Block& block) {
        const auto bad = std::lower_bound(decoded_.bad.begin(), decoded_.bad.end(), block.begin);
        if (bad != decoded_.bad.end() && *bad < block.end) {
            refuse(block.row, "文字コードとして読めないバイトがあります。");
            return;
        }
        if (std::string_view(decoded_.text).substr(block.begin, block.end - block.begin).find("\xEF\xBB\xBF") !=
            std::string_view::npos) {
            refuse(block.row, "途中にバイトオーダーマーク (U+FEFF) があります。");
            return;
        }
        question(block);
    }

    void question(const Block& block) {
        std::string_view text = trim(block.text);
        const int row = block.row;
        // "::name::" goes.
        if (text.starts_with("::")) {
            const std::size_t close = find_unescaped(text.substr(2), "::");
            if (close != std::string_view::npos) text = trim(text.substr(close + 4));
        }
        // The question's format mark is also the default of its answers.
        const std::size_t mark = format_mark_length(text);
        const bool html = mark && equal_ignoring_case(text.substr(0, mark), "[html]");
        text = trim(text.substr(mark));
        Findings findings;
        const std::size_t open = find_unescaped(text, '{');
        const std::size_t close = find_unescaped(text, '}', open == std::string_view::npos ? 0 : open + 1);
        if (open == std::string_view::npos && close == std::string_view::npos) {
            refuse(row, "GIFT の説明（答えのない問題）には対応していません。");
            return;
        }
        if (open == std::string_view::npos) {
            refuse(row, "「{」のない「}」があります。");
            return;
        }
        if (close == std::string_view::npos) {
            refuse(row, "「{」に対応する「}」がありません。");
            return;
        }
        if (find_unescaped(text, '{', close + 1) != std::string_view::npos) {
            refuse(row, "答えの「{ }」が 2 つ以上ある問題には対応していません。");
            return;
        }
        if (find_unescaped(text, '}', close + 1) != std::string_view::npos) {
            refuse(row, "「{」のない「}」があります。");
            return;
        }
        std::string_view answer = trim(text.substr(open + 1, close - open - 1));
        std::string question = shown_part(text.substr(0, open), html, findings, false);
        const std::string after = shown_part(text.substr(close + 1), html, findings, false);
        if (!after.empty()) question += "\xEF\xBC\x88\xE3\x80\x80\xEF\xBC\x89" + after;  // "（　）"
        // General feedback ("####…", last in the block) is not read.
        if (const std::size_t general = find_unescaped(answer, "####", true); general != std::string_view::npos) {
            findings.feedback = findings.feedback || !trim(answer.substr(general + 4)).empty();
            answer = trim(answer.substr(0, general));
        }
        if (answer.empty()) {
            refuse(row, "GIFT の記述式（エッセイ）の問題には対応していません。");
            return;
        }
        if (answer.starts_with('#')) {
            refuse(row, "GIFT の数値問題には対応していません。");
            return;
        }
        // As Moodle reads it: with a '~' a multiple-choice question, else "->" pairs.
        const bool multiple_choice = find_unescaped(answer, '~') != std::string_view::npos;
        if (!multiple_choice && find_unescaped(answer, "->") != std::string_view::npos) {
            refuse(row, "GIFT の組み合わせ問題には対応していません。");
            return;
        }

        ExchangeCard card;
        card.row = row;
        std::vector<std::string> alternatives;  // UTF-8
        int choices = 0;
        const std::size_t hash = find_unescaped(answer, '#');
        const std::string_view word = trim(answer.substr(0, hash));
        const bool is_true = equal_ignoring_case(word, "t") || equal_ignoring_case(word, "true");
        if (is_true || equal_ignoring_case(word, "f") || equal_ignoring_case(word, "false")) {
            alternatives.push_back(cp932_to_utf8(is_true ? kTrueAnswer : kFalseAnswer));
            choices = 2;
            if (hash != std::string_view::npos)
                findings.feedback = findings.feedback ||
                                    answer.substr(hash).find_first_not_of("# \t\r\n") != std::string_view::npos;
        } else {
            std::vector<Entry> entries = entries_of(answer, multiple_choice, html, findings);
            if (entries.empty()) {
                refuse(row, "答えがどれも空です。");
                return;
            }
            if (multiple_choice) {
                // The right choice is one with full marks ("=", or "~%100%").
                auto full = [](const Entry& e) { return e.weight >= 100; };
                auto partial = [](const Entry& e) { return e.weight > 0 && e.weight < 100; };
                const auto right = std::find_if(entries.begin(), entries.end(), full);
                if (right == entries.end()) {
                    refuse(row, std::any_of(entries.begin(), entries.end(), partial)
                                    ? "部分点の選択肢をいくつか選ぶ問題（満点の選択肢がない問題）には対応していません。"
                                    : "正解（=）の選択肢がありません。");
                    return;
                }
                if (entries.size() < 2) {
                    refuse(row, "選択肢が 2 つ以上ありません。");
                    return;
                }
                if (std::count_if(entries.begin(), entries.end(), full) > 1)
                    notice(row, "正解が複数あります。最初の正解を答えにします。");
                if (std::any_of(entries.begin(), entries.end(), partial))
                    notice(row, "部分点の選択肢は誤りの選択肢として読み込みます。");
                choices = static_cast<int>(entries.size());
                if (choices > 9) {
                    refuse(row, "選択肢が 10 個以上ある問題には対応していません。");
                    return;
                }
                alternatives.push_back(std::move(right->text));
            } else {
                alternatives.reserve(entries.size());
                for (Entry& e : entries)
                    if (e.weight >= 100) alternatives.push_back(std::move(e.text));
                if (alternatives.empty()) {
                    refuse(row, "満点の答えがありません。");
                    return;
                }
                if (alternatives.size() < entries.size()) notice(row, "部分点の答えは読み込みません。");
            }
        }
        if (question.empty()) {
            refuse(row, "問題が空です。");
            return;
        }
        if (findings.feedback) notice(row, "フィードバックは読み込みません。");
        if (findings.wildcard)
            notice(row,
                   "答えの「*」は Moodle ではどんな答えにも合いますが、"
                   "ここでは文字の「*」として読み込みます。");
        if (findings.pictures.dropped)
            notice(row, "画像 (<img>) のうち src のないものは読み込みません。");
        if (findings.pictures.bank_files)
            notice(row,
                   "問題バンクの画像を絵の参照にします。絵のファイルは GIFT ファイルに含まれないため、"
                   "データファイルと同じフォルダーに置いてください。");

        std::vector<ImportProblem>& problems = result_.problems;
        const std::size_t told = problems.size();
        bool ok = field_to_cp932(question, row, 0, card.fields.question, problems);
        std::string comment;
        for (const std::string& line : block.comments) {
            if (&line != &block.comments.front()) comment += "\r\n";
            comment += line;
        }
        ok = ok && field_to_cp932(no_break_spaces_as_spaces(std::move(comment)), row, 0, card.fields.comment, problems);
        card.alternatives.reserve(alternatives.size());
        for (const std::string& a : alternatives) {
            std::string cp932;
            ok = ok && field_to_cp932(a, row, 0, cp932, problems);
            card.alternatives.push_back(std::move(cp932));
        }
        // The title's texts are converted (and their characters told) once.
        // Without a category the title is named after the file.
        if (ok && !title_converted_) {
            if (category_.empty()) title_cp932_ = file_title_;
            ok = (category_.empty() || field_to_cp932(category_, row, 0, title_cp932_, problems)) &&
                 field_to_cp932(no_break_spaces_as_spaces(title_comment_), row, 0, title_comment_cp932_, problems);
            title_converted_ = ok;
        }
        card.title.title = title_cp932_;
        card.title.comment = title_comment_cp932_;
        if (!ok) {
            // Only the refusal is told of a card that is not taken.
            problems.erase(std::remove_if(problems.begin() + static_cast<std::ptrdiff_t>(told), problems.end(),
                                          [](const ImportProblem& p) { return p.kind != ImportProblem::refused; }),
                           problems.end());
            return;
        }
        card.fields.answer = answer_from_alternatives(card.alternatives);
        // After a titled card every card is: an untitled one would go under
        // the title before it.
        card.titled = has_category_ || !title_cp932_.empty() || choices > 0 || titled_;
        titled_ = card.titled;
        card.title.choice_count = choices;
        result_.cards.push_back(std::move(card));
    }

    const DecodedText& decoded_;
    ImportResult& result_;
    const std::string file_title_;  // code page 932
    Block block_;
    std::string category_;       // UTF-8, empty for none
    bool has_category_ = false;  // a category line was read
    bool titled_ = false;        // a titled card was read
    std::string title_comment_;  // UTF-8
    int title_comment_lines_ = 0;
    bool title_converted_ = false;
    std::string title_cp932_, title_comment_cp932_;
};

}  // namespace

ImportResult read_gift(std::string_view bytes, TextEncoding encoding, const std::string& file_title) {
    ImportResult result;
    result.encoding = encoding;
    const DecodedText decoded = decode_text(bytes, encoding);
    result.cards.reserve(count_byte(decoded.text.data(), decoded.text.data() + decoded.text.size(), '\n') / 2 + 1);
    GiftReader(decoded, file_title, result).read();
    tell_drawn_choices(result);
    return result;
}

}  // namespace qz
