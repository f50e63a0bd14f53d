#include "core/exchange/gift.h"

#include <algorithm>
#include <string_view>

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

// The length of the "%n%" weight a GIFT answer starts with ("%100%",
// "%-33.3%"), 0 for none.
std::size_t weight_length(std::string_view s) {
    if (!s.starts_with('%')) return 0;
    std::size_t i = 1;
    if (i < s.size() && s[i] == '-') ++i;
    const std::size_t digits = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    if (i == digits) return 0;
    if (i < s.size() && s[i] == '.') {
        const std::size_t fraction = ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
        if (i == fraction) return 0;
    }
    return i < s.size() && s[i] == '%' ? i + 1 : 0;
}

// Shown text (UTF-8) as GIFT text: the special characters escaped, a line
// break as "\n".
std::string escape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            continue;
        }
        if (gift_special(c)) out += '\\';
        out += c;
    }
    return out;
}

// An answer as GIFT text; one that starts with what reads as a weight
// gets `weight` in front.
std::string answer_text(std::string_view text, const char* weight) {
    std::string out = escape(text);
    return weight_length(out) ? weight + out : out;
}

// A category name: a '/' of the title doubled (a single one separates
// categories), line breaks as spaces.
std::string category_name(std::string_view title) {
    std::string out;
    for (char c : title) {
        if (c == '/') out += "//";
        else if (c == '\r') continue;
        else out += c == '\n' ? ' ' : c;
    }
    return out;
}

// "// " lines, one per line of the text.
void comment_lines(std::string& out, std::string_view text) {
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        out += "// ";
        out += line;
        out += "\r\n";
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
}

}  // namespace

ExportResult write_gift(const std::vector<ExchangeCard>& cards, const ExportOptions& options) {
    ExportResult result;
    std::string out;
    out.reserve(cards.size() * 64);
    auto u8 = [&](const std::string& cp932) { return cp932_to_utf8(cp932, &result.undecodable); };
    for (auto [begin, end] : title_runs(cards)) {
        const ExchangeCard& first = cards[begin];
        const int choices = first.titled ? first.title.choice_count : 0;
        const int distinct = choices > 1 ? distinct_answers(cards, begin, end) : 0;
        if (first.titled) {
            out += "$CATEGORY: " + category_name(u8(first.title.title)) + "\r\n";
            if (!first.title.comment.empty()) comment_lines(out, u8(first.title.comment));
            out += "\r\n";
        }
        for (std::size_t k = begin; k < end; ++k) {
            const ExchangeCard& card = cards[k];
            const std::string& right = shown_alternative(card);
            std::string answers;
            if (choices <= 1) {
                // Every alternative but an empty one (an empty answer is no
                // short answer); "->" would make it a matching question.
                const std::vector<std::string> single{card.fields.answer};
                const std::vector<std::string>& alternatives = card.alternatives.empty() ? single : card.alternatives;
                for (const std::string& alternative : alternatives) {
                    if (alternative.empty()) continue;
                    const std::string text = u8(alternative);
                    if (text.find("->") != std::string::npos) {
                        answers.clear();
                        break;
                    }
                    answers += answers.empty() ? "=" : " =";
                    answers += answer_text(text, "%100%");
                }
                if (answers.empty()) {
                    ++result.left_out;
                    continue;
                }
            } else if (choices == 2 && (right == kTrueAnswer || right == kFalseAnswer)) {
                // ○ or × of two choices: a true/false question.
                answers.push_back(right == kTrueAnswer ? 'T' : 'F');
            } else {
                if (right.empty()) {
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
                answers = '=' + answer_text(u8(right), "%100%");
                for (const std::string* w : wrong) answers += " ~" + answer_text(u8(*w), "%0%");
            }
            // A question that would read as a comment, a category, a name or
            // a format mark is marked plain text.
            const std::string question = escape(u8(card.fields.question));
            const std::string_view start = trim(question);
            if (start.empty()) {
                ++result.left_out;
                continue;
            }
            if (!card.fields.comment.empty()) comment_lines(out, u8(card.fields.comment));
            if (start.starts_with("//") || start.starts_with('$') || start.starts_with("::") || start.starts_with('['))
                out += "[plain]";
            out += question;
            out += " {" + answers + "}\r\n\r\n";
            ++result.cards;
        }
    }
    result.bytes = encode_text(out, options.encoding);
    return result;
}

namespace {

// Where the first unescaped `c` is at or after `from`, npos for none.
std::size_t find_unescaped(std::string_view s, char c, std::size_t from = 0) {
    for (std::size_t i = from; i < s.size(); ++i) {
        if (s[i] == '\\') {
            ++i;
            continue;
        }
        if (s[i] == c) return i;
    }
    return std::string_view::npos;
}

std::size_t find_unescaped(std::string_view s, std::string_view pair) {
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        if (s[i] == '\\') {
            ++i;
            continue;
        }
        if (s.substr(i, pair.size()) == pair) return i;
    }
    return std::string_view::npos;
}

// GIFT text as shown text: escapes undone, "\n" a line break, a line break
// of the file a space.
std::string unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
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
    return out;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The text of an "[html]" question (Moodle writes its own questions so):
// <br> and the end of a paragraph a line break, other tags dropped, the
// usual character references undone.
std::string html_text(std::string_view html) {
    static constexpr std::pair<std::string_view, char32_t> kEntities[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", ' '}};
    std::string out;
    out.reserve(html.size());
    for (std::size_t i = 0; i < html.size();) {
        const char c = html[i];
        const std::size_t close = html.find(c == '<' ? '>' : ';', i);
        if (c == '<' && close != std::string_view::npos) {
            const std::string tag = lower(html.substr(i + 1, close - i - 1));
            if (tag.starts_with("br") || tag == "/p" || tag == "/div") out += "\r\n";
            i = close + 1;
            continue;
        }
        if (c == '&' && close != std::string_view::npos && close - i <= 10) {
            const std::string_view name = html.substr(i + 1, close - i - 1);
            char32_t u = 0;
            if (name.size() > 1 && name[0] == '#') {
                const bool hex = name[1] == 'x' || name[1] == 'X';
                for (char d : name.substr(hex ? 2 : 1)) {
                    const int v = d >= '0' && d <= '9' ? d - '0'
                                  : hex && (d | 0x20) >= 'a' && (d | 0x20) <= 'f' ? (d | 0x20) - 'a' + 10
                                                                                  : -1;
                    if (v < 0 || u > 0x10FFFF) {
                        u = 0;
                        break;
                    }
                    u = u * (hex ? 16 : 10) + static_cast<char32_t>(v);
                }
                if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) u = 0;
            }
            for (auto [entity, value] : kEntities)
                if (name == entity) u = value;
            if (u) {
                append_utf8(out, u);
                i = close + 1;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return std::string(trim(out));
}

// The last element of a category path ("$course$/top/Name"), "//" a '/'.
std::string category_of(std::string_view path) {
    path = trim(path);
    std::string last;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '/') {
            if (i + 1 < path.size() && path[i + 1] == '/') {
                last += '/';
                ++i;
            } else {
                last.clear();
            }
            continue;
        }
        last += path[i];
    }
    return std::string(trim(last));
}

struct Entry {
    bool right = false;
    int weight = 100;  // of a '=' entry; of a '~' entry 0 unless said
    std::string text;  // unescaped
    bool feedback = false;
};

// The entries of an answer block: "=a", "~b", each with an optional "%n%"
// weight and "#feedback".
std::vector<Entry> entries_of(std::string_view block) {
    std::vector<Entry> entries;
    std::size_t i = 0;
    while (i < block.size()) {
        while (i < block.size() && block[i] != '=' && block[i] != '~') {
            if (block[i] == '\\') ++i;
            ++i;
        }
        if (i >= block.size()) break;
        Entry e;
        e.right = block[i] == '=';
        e.weight = e.right ? 100 : 0;
        std::size_t j = i + 1;
        while (j < block.size() && block[j] != '=' && block[j] != '~') {
            if (block[j] == '\\') ++j;
            ++j;
        }
        std::string_view body = trim(block.substr(i + 1, std::min(j, block.size()) - i - 1));
        if (const std::size_t length = weight_length(body)) {
            // Whole percents are enough to tell full marks from the rest.
            int w = 0;
            for (char c : body.substr(1, length - 2)) {
                if (c == '.') break;
                if (c >= '0' && c <= '9') w = std::min(w * 10 + (c - '0'), 1000);
            }
            e.weight = body[1] == '-' ? -w : w;
            body.remove_prefix(length);
        }
        const std::size_t hash = find_unescaped(body, '#');
        if (hash != std::string_view::npos) {
            e.feedback = true;
            body = body.substr(0, hash);
        }
        e.text = unescape(trim(body));
        entries.push_back(std::move(e));
        i = j;
    }
    return entries;
}

struct Block {
    int row = 0;
    std::size_t begin = 0, end = 0;  // span in the text, comments included
    std::string text;                // the question's lines, joined by '\n'
    std::vector<std::string> comments;
};

class GiftReader {
public:
    GiftReader(const DecodedText& decoded, ImportResult& result) : decoded_(decoded), result_(result) {}

    void read() {
        const std::string_view text = decoded_.text;
        std::size_t pos = 0;
        int row = 0;
        bool after_category = false;
        while (pos <= text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string_view::npos) end = text.size();
            ++row;
            std::string_view line = text.substr(pos, end - pos);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
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
                    if (!title_comment_.empty()) title_comment_ += "\r\n";
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
                title_converted_ = false;
                after_category = true;
            } else {
                after_category = false;
                if (block_.text.empty()) {
                    block_.row = row;
                    if (block_.comments.empty()) block_.begin = pos;
                } else {
                    block_.text += '\n';
                }
                block_.text.append(line);
                block_.end = end;
            }
            if (end >= text.size()) break;
            pos = end + 1;
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
        Block block = std::move(block_);
        block_ = Block{};
        if (block.text.empty()) return;
        const auto bad = std::lower_bound(decoded_.bad.begin(), decoded_.bad.end(), block.begin);
        if (bad != decoded_.bad.end() && *bad < block.end) {
            refuse(block.row, "文字コードとして読めないバイトがあります。");
            return;
        }
        if (decoded_.text.substr(block.begin, block.end - block.begin).find("\xEF\xBB\xBF") != std::string::npos) {
            refuse(block.row, "途中にバイトオーダーマーク (U+FEFF) があります。");
            return;
        }
        question(block);
    }

    void question(const Block& block) {
        std::string_view text = trim(block.text);
        const int row = block.row;
        bool html = false;
        // "::name::" goes.
        if (text.starts_with("::")) {
            const std::size_t close = find_unescaped(text.substr(2), "::");
            if (close != std::string_view::npos) text = trim(text.substr(close + 4));
        }
        if (text.starts_with('[')) {
            const std::size_t close = text.find(']');
            const std::string mark = close == std::string_view::npos ? "" : lower(text.substr(0, close + 1));
            html = mark == "[html]";
            if (html || mark == "[moodle]" || mark == "[plain]" || mark == "[markdown]")
                text = trim(text.substr(close + 1));
        }
        auto shown = [html](std::string_view gift) { return html ? html_text(unescape(gift)) : unescape(gift); };
        const std::size_t open = find_unescaped(text, '{');
        if (open == std::string_view::npos) {
            refuse(row, "GIFT の説明（答えのない問題）には対応していません。");
            return;
        }
        const std::size_t close = find_unescaped(text, '}', open + 1);
        if (close == std::string_view::npos) {
            refuse(row, "「{」に対応する「}」がありません。");
            return;
        }
        const std::string_view answer = trim(text.substr(open + 1, close - open - 1));
        if (find_unescaped(text, '{', close + 1) != std::string_view::npos) {
            refuse(row, "答えの「{ }」が 2 つ以上ある問題には対応していません。");
            return;
        }
        std::string question = shown(trim(text.substr(0, open)));
        const std::string after = shown(trim(text.substr(close + 1)));
        if (!after.empty()) question += "\xEF\xBC\x88\xE3\x80\x80\xEF\xBC\x89" + after;  // "（　）"
        if (answer.empty()) {
            refuse(row, "GIFT の記述式（エッセイ）の問題には対応していません。");
            return;
        }
        if (answer.starts_with('#')) {
            refuse(row, "GIFT の数値問題には対応していません。");
            return;
        }
        // As Moodle reads it: with a '~' a multiple-choice question, else "->" pairs.
        if (find_unescaped(answer, '~') == std::string_view::npos &&
            find_unescaped(answer, "->") != std::string_view::npos) {
            refuse(row, "GIFT の組み合わせ問題には対応していません。");
            return;
        }

        ExchangeCard card;
        card.row = row;
        std::vector<std::string> alternatives;  // UTF-8
        int choices = 0;
        const std::string word = lower(trim(answer.substr(0, find_unescaped(answer, '#'))));
        if (word == "t" || word == "true" || word == "f" || word == "false") {
            alternatives.push_back(cp932_to_utf8(word[0] == 't' ? kTrueAnswer : kFalseAnswer));
            choices = 2;
            if (find_unescaped(answer, '#') != std::string_view::npos) notice(row, "フィードバックは読み込みません。");
        } else {
            std::vector<Entry> entries = entries_of(answer);
            if (html)
                for (Entry& e : entries) e.text = html_text(e.text);
            const bool any_wrong = std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return !e.right; });
            if (entries.empty()) {
                refuse(row, "答えの書き方が読めません。");
                return;
            }
            if (std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return e.feedback; }))
                notice(row, "フィードバックは読み込みません。");
            if (any_wrong) {
                // The right choice is one with full marks ("=", or "~%100%").
                auto full = [](const Entry& e) { return e.weight >= 100; };
                const auto right = std::find_if(entries.begin(), entries.end(), full);
                if (right == entries.end()) {
                    refuse(row, "正解（=）の選択肢がありません。");
                    return;
                }
                if (std::count_if(entries.begin(), entries.end(), full) > 1)
                    notice(row, "正解が複数あります。最初の正解を答えにします。");
                if (std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return e.weight > 0 && e.weight < 100; }))
                    notice(row, "部分点の選択肢は誤りの選択肢として読み込みます。");
                choices = static_cast<int>(entries.size());
                if (choices > 9) {
                    refuse(row, "選択肢が 10 個以上ある問題には対応していません。");
                    return;
                }
                alternatives.push_back(right->text);
            } else {
                for (const Entry& e : entries) {
                    if (e.weight < 100) continue;
                    alternatives.push_back(e.text);
                }
                if (alternatives.size() < entries.size())
                    notice(row, "部分点の答えは読み込みません。");
                if (alternatives.empty()) {
                    refuse(row, "満点の答えがありません。");
                    return;
                }
            }
        }
        if (question.empty()) {
            refuse(row, "問題が空です。");
            return;
        }
        if (std::any_of(alternatives.begin(), alternatives.end(), [](const std::string& a) { return a.empty(); })) {
            refuse(row, "空の答えがあります。");
            return;
        }

        std::vector<ImportProblem>& problems = result_.problems;
        const std::size_t told = problems.size();
        bool ok = field_to_cp932(question, row, 0, card.fields.question, problems);
        std::string comment;
        for (const std::string& line : block.comments) comment += (comment.empty() ? "" : "\r\n") + line;
        ok = ok && field_to_cp932(comment, row, 0, card.fields.comment, problems);
        for (const std::string& a : alternatives) {
            std::string cp932;
            ok = ok && field_to_cp932(a, row, 0, cp932, problems);
            card.alternatives.push_back(std::move(cp932));
        }
        // The title's texts are converted (and their characters told) once.
        if (ok && !title_converted_) {
            ok = (!has_category_ || field_to_cp932(category_, row, 0, title_cp932_, problems)) &&
                 field_to_cp932(title_comment_, row, 0, title_comment_cp932_, problems);
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
        card.titled = has_category_ || choices > 0 || titled_;
        titled_ = card.titled;
        card.title.choice_count = choices;
        result_.cards.push_back(std::move(card));
    }

    const DecodedText& decoded_;
    ImportResult& result_;
    Block block_;
    std::string category_;       // UTF-8
    bool has_category_ = false;
    bool titled_ = false;        // a titled card was read
    std::string title_comment_;  // UTF-8
    bool title_converted_ = false;
    std::string title_cp932_, title_comment_cp932_;
};

}  // namespace

ImportResult read_gift(std::string_view bytes, TextEncoding encoding) {
    ImportResult result;
    result.encoding = encoding;
    const DecodedText decoded = decode_text(bytes, encoding);
    result.cards.reserve(static_cast<std::size_t>(std::count(decoded.text.begin(), decoded.text.end(), '\n')) / 2 + 1);
    GiftReader(decoded, result).read();
    return result;
}

}  // namespace qz
