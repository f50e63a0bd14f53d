#include "core/exchange/gift.h"

#include <algorithm>

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
        if (first.titled) {
            out += "$CATEGORY: " + category_name(u8(first.title.title)) + "\r\n";
            if (!first.title.comment.empty()) comment_lines(out, u8(first.title.comment));
            out += "\r\n";
        }
        for (std::size_t k = begin; k < end; ++k) {
            const ExchangeCard& card = cards[k];
            const std::string& right = shown_alternative(card);
            if (right.empty()) {
                ++result.left_out;
                continue;
            }
            if (!card.fields.comment.empty()) comment_lines(out, u8(card.fields.comment));
            // A question that would read as a comment, a category, a name or
            // a format mark is marked plain text.
            std::string question = escape(u8(card.fields.question));
            const std::string_view start = trim(question);
            if (start.starts_with("//") || start.starts_with('$') || start.starts_with("::") || start.starts_with('['))
                out += "[plain]";
            out += question;
            out += " {";
            if (choices == 0) {
                const std::vector<std::string> single{card.fields.answer};
                const std::vector<std::string>& alternatives = card.alternatives.empty() ? single : card.alternatives;
                for (std::size_t a = 0; a < alternatives.size(); ++a) {
                    out += a ? " =" : "=";
                    out += escape(u8(alternatives[a]));
                }
            } else {
                out += '=' + escape(u8(right));
                for (const std::string* wrong : wrong_choices(cards, begin, end, k, choices - 1))
                    out += " ~" + escape(u8(*wrong));
            }
            out += "}\r\n\r\n";
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
        if (body.starts_with('%')) {
            const std::size_t close = body.find('%', 1);
            if (close != std::string_view::npos) {
                int w = 0;
                bool negative = false;
                for (char c : body.substr(1, close - 1)) {
                    if (c == '-') negative = true;
                    else if (c >= '0' && c <= '9') w = std::min(w * 10 + (c - '0'), 1000);
                }
                e.weight = negative ? -w : w;
                body.remove_prefix(close + 1);
            }
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
    std::size_t begin = 0, end = 0;  // span in the text
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
            } else if (bare.starts_with("//") && block_.text.empty()) {
                // One space after "//" belongs to the mark; the rest is the comment's.
                std::string_view rest = line.substr(line.find("//") + 2);
                if (rest.starts_with(' ')) rest.remove_prefix(1);
                std::string comment(rest);
                if (after_category) {
                    if (!title_comment_.empty()) title_comment_ += "\r\n";
                    title_comment_ += comment;
                } else {
                    block_.comments.push_back(std::move(comment));
                }
            } else if (bare.starts_with("$CATEGORY:")) {
                flush();
                category_ = category_of(bare.substr(10));
                has_category_ = true;
                title_comment_.clear();
                after_category = true;
            } else {
                after_category = false;
                if (block_.text.empty()) {
                    block_.row = row;
                    block_.begin = pos;
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
        if (block.text.find("\xEF\xBB\xBF") != std::string::npos) {
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
        if (text.starts_with('[')) {
            const std::size_t close = text.find(']');
            const std::string mark = close == std::string_view::npos ? "" : lower(text.substr(0, close + 1));
            if (mark == "[html]" || mark == "[moodle]" || mark == "[plain]" || mark == "[markdown]")
                text = trim(text.substr(close + 1));
        }
        const std::size_t open = find_unescaped(text, '{');
        if (open == std::string_view::npos) {
            refuse(row, "答えのない問題（説明）には対応していません。");
            return;
        }
        const std::size_t close = find_unescaped(text, '}', open + 1);
        if (close == std::string_view::npos) {
            refuse(row, "「{」に対応する「}」がありません。");
            return;
        }
        const std::string_view answer = trim(text.substr(open + 1, close - open - 1));
        std::string question = unescape(trim(text.substr(0, open)));
        const std::string after = unescape(trim(text.substr(close + 1)));
        if (!after.empty()) question += "\xEF\xBC\x88\xE3\x80\x80\xEF\xBC\x89" + after;  // "（　）"
        if (answer.empty()) {
            refuse(row, "記述式（エッセイ）の問題には対応していません。");
            return;
        }
        if (answer.starts_with('#')) {
            refuse(row, "数値問題には対応していません。");
            return;
        }
        if (find_unescaped(answer, "->") != std::string_view::npos) {
            refuse(row, "組み合わせ問題には対応していません。");
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
            const std::vector<Entry> entries = entries_of(answer);
            const bool any_wrong = std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return !e.right; });
            if (entries.empty()) {
                refuse(row, "答えの書き方が読めません。");
                return;
            }
            if (std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return e.feedback; }))
                notice(row, "フィードバックは読み込みません。");
            if (any_wrong) {
                if (std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return !e.right && e.weight > 0; })) {
                    refuse(row, "正解が複数ある選択問題には対応していません。");
                    return;
                }
                const auto right = std::find_if(entries.begin(), entries.end(), [](const Entry& e) { return e.right; });
                if (right == entries.end()) {
                    refuse(row, "正解（=）の選択肢がありません。");
                    return;
                }
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
        if (ok && has_category_) ok = field_to_cp932(category_, row, 0, card.title.title, problems);
        if (ok) ok = field_to_cp932(title_comment_, row, 0, card.title.comment, problems);
        if (!ok) {
            // Only the refusal is told of a card that is not taken.
            problems.erase(std::remove_if(problems.begin() + static_cast<std::ptrdiff_t>(told), problems.end(),
                                          [](const ImportProblem& p) { return p.kind != ImportProblem::refused; }),
                           problems.end());
            return;
        }
        card.fields.answer = answer_from_alternatives(card.alternatives);
        card.titled = has_category_ || choices > 0;
        card.title.choice_count = choices;
        result_.cards.push_back(std::move(card));
    }

    const DecodedText& decoded_;
    ImportResult& result_;
    Block block_;
    std::string category_;       // UTF-8
    bool has_category_ = false;
    std::string title_comment_;  // UTF-8
};

}  // namespace

ImportResult read_gift(std::string_view bytes, TextEncoding encoding) {
    ImportResult result;
    result.encoding = encoding;
    const DecodedText decoded = decode_text(bytes, encoding);
    GiftReader(decoded, result).read();
    return result;
}

}  // namespace qz
