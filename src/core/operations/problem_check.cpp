#include "core/operations/problem_check.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "core/document/data_file.h"
#include "core/document/line_queries.h"
#include "core/operations/matching.h"
#include "core/syntax/answer.h"
#include "core/syntax/fields.h"
#include "core/syntax/scan.h"
#include "core/syntax/settings_line.h"
#include "core/image/image_path.h"

namespace qz {
namespace {

// Answer numbers are one digit, so at most ten alternatives count.
constexpr int kMaxAlternatives = 10;
// A duplicate's detail names at most this many lines of its group.
constexpr std::size_t kListedDuplicates = 10;

// Title flags 0-3 as comparison conditions, and whether symbols are ignored.
struct Comparison {
    SearchConditions conditions = 0;
    bool ignore_symbols = false;
};

Comparison title_comparison(const char* title) {
    Comparison c;
    if (!title) return c;
    if (title_flag(title, 0) == 1) c.conditions |= SEARCH_IGNORE_CASE;
    if (title_flag(title, 1) == 1) c.conditions |= SEARCH_IGNORE_KANA;
    if (title_flag(title, 2) == 1) c.conditions |= SEARCH_IGNORE_WIDTH;
    c.ignore_symbols = title_flag(title, 3) == 1;
    return c;
}

// Punctuation, spaces and signs: single-byte ones other than letters and
// digits, half-width punctuation, and the symbol rows of code page 932
// except the iteration and prolonged-sound marks, which belong to words.
bool is_symbol(ComparisonCode c) {
    if (c < 0x80) return !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
    if (c >= 0xA1 && c <= 0xA5) return true;
    if (c >= 0x8140 && c <= 0x81FC) return c < 0x8152 || c > 0x815B;
    return c >= 0x849F && c <= 0x84BE;  // box drawing
}

// The question's comparison codes, two bytes each, as one hashable key.
void comparison_key(std::string_view question, const Comparison& comparison, std::string& key) {
    key.clear();
    const char* p = question.data();
    const char* end = p + question.size();
    while (p < end) {
        const ComparisonCode code = read_comparison_code(p, end, comparison.conditions);
        if (comparison.ignore_symbols && is_symbol(code)) continue;
        key.push_back(static_cast<char>(code >> 8));
        key.push_back(static_cast<char>(code & 0xFF));
    }
}

std::string line_number_text(int index) {
    return std::to_string(CardDocument::file_line_number(index));
}

// Collects the duplicates of one title's questions in one pass: each
// question's comparison codes are hashed, and a question joins the group of
// the first one with the same codes. Keys live in one buffer, so a question
// costs no allocation of its own.
class DuplicateFinder {
  public:
    void add(int index, std::uint32_t line_id, std::string_view question, const Comparison& c) {
        comparison_key(question, c, key_);
        const std::size_t hash = std::hash<std::string_view>{}(key_);
        auto [it, added] = by_hash_.try_emplace(hash, -1);
        int* slot = &it->second;
        while (*slot >= 0 && key_of(groups_[static_cast<std::size_t>(*slot)]) != key_)
            slot = &groups_[static_cast<std::size_t>(*slot)].next_same_hash;
        if (*slot < 0) {
            *slot = static_cast<int>(groups_.size());
            groups_.push_back({keys_.size(), key_.size()});
            keys_ += key_;
        }
        const int group = *slot;
        ++groups_[static_cast<std::size_t>(group)].members;
        members_.push_back({index, line_id, group});
    }

    // Reports the groups of more than one line and starts over.
    void flush(std::vector<Problem>& out) {
        std::vector<std::vector<const Member*>> repeated(groups_.size());
        for (const Member& m : members_)
            if (groups_[static_cast<std::size_t>(m.group)].members > 1)
                repeated[static_cast<std::size_t>(m.group)].push_back(&m);
        for (const auto& group : repeated) {
            if (group.empty()) continue;
            std::string detail = "行 ";
            for (std::size_t i = 0; i < group.size() && i < kListedDuplicates; ++i) {
                if (i > 0) detail += ", ";
                detail += line_number_text(group[i]->index);
            }
            if (group.size() > kListedDuplicates)
                detail += " ほか " + std::to_string(group.size() - kListedDuplicates) + " 行";
            detail += " が同じ問題です";
            for (const Member* m : group)
                out.push_back({detail, m->index, m->line_id, ProblemKind::duplicate_question});
        }
        by_hash_.clear();
        groups_.clear();
        members_.clear();
        keys_.clear();
    }

  private:
    struct Group {
        std::size_t key_start, key_length;
        int members = 0;
        int next_same_hash = -1;
    };
    struct Member {
        int index;
        std::uint32_t line_id;
        int group;
    };
    std::string_view key_of(const Group& g) const {
        return std::string_view(keys_).substr(g.key_start, g.key_length);
    }
    std::string key_;
    std::string keys_;
    std::unordered_map<std::size_t, int> by_hash_;
    std::vector<Group> groups_;
    std::vector<Member> members_;
};

// Whether groups 0-9 have a name of their own; all do without a group line.
std::vector<bool> named_groups(const CardDocument& doc) {
    std::vector<bool> named(10, true);
    if (!doc.find_group_settings()) return named;
    for (int g = 1; g < 10; ++g) named[static_cast<std::size_t>(g)] = group_name(doc, g) != builtin_group_name(g);
    return named;
}

// The bytes that may change how an answer expands; an answer without any of
// them (not even as a trail byte) is one plain alternative.
bool may_hold_syntax(std::string_view answer) {
    return answer.find_first_of("[]()|\\") != std::string_view::npos;
}

void check_question(const CardDocument& doc, int index, const DataLine& line,
                    const std::vector<bool>& named, std::string_view question, std::vector<Problem>& out) {
    const char* text = line.c_str();
    auto found = [&](ProblemKind kind, std::string detail) {
        out.push_back({detail, index, doc.line_id_at(index), kind});
    };
    auto found_fixed = [&](ProblemKind kind, const char* text) {
        out.push_back({text, index, doc.line_id_at(index), kind});
    };
    const char* answer_start = nullptr;
    const int answer_length = answer_text_field(text, &answer_start);
    if (question.empty()) found_fixed(ProblemKind::empty_question, "問題が空です");
    if (answer_length == 0) found_fixed(ProblemKind::empty_answer, "答えが空です");
    // History, group and answer number follow the answer's comma.
    const char* tail = answer_length >= 0 ? answer_start + answer_length + 1 : "";
    auto digit = [&](int at) {
        for (int i = 0; i < at; ++i)
            if (is_line_end(tail[i])) return -1;
        return tail[at] >= '0' && tail[at] <= '9' ? tail[at] - '0' : -1;
    };
    const int group = digit(1);
    const int number = digit(2);

    int alternatives = 1;
    bool syntax_ok = true;
    const std::string_view answer =
        answer_length > 0 ? std::string_view(answer_start, static_cast<std::size_t>(answer_length))
                          : std::string_view();
    if (may_hold_syntax(answer)) {
        bool cut_short = false;
        const std::optional<std::string> expanded = expand_answer(text, &cut_short);
        syntax_ok = expanded.has_value();
        if (syntax_ok) {
            alternatives = 0;
            while (alternatives < kMaxAlternatives &&
                   nth_alternative(expanded->c_str(), alternatives))
                ++alternatives;
            // An expansion cut short offers at least one more than it completed.
            if (cut_short && alternatives < kMaxAlternatives) ++alternatives;
        }
    }
    if (!syntax_ok) {
        found_fixed(ProblemKind::answer_syntax, "構文エラーです。");
    } else {
        // Whatever the title's kind, the answer number picks the
        // alternative the answer pane shows, so it must be one of them. A
        // title asking for more choices than the answer offers is not a
        // fault: the quiz takes the other choices from other questions.
        if (doc.version >= 13 && number >= alternatives)
            found(ProblemKind::answer_number_range,
                  "答え番号 " + std::to_string(number) + "、答えの候補は 0～" +
                      std::to_string(alternatives - 1) + " です");
    }
    if (group >= 0 && !named[static_cast<std::size_t>(group)])
        found(ProblemKind::unnamed_group,
              "グループ " + std::to_string(group) + " に名前がありません");
}

// One problem for each reference of the line whose picture would not show.
void check_pictures(int index, std::uint32_t line_id, const DataLine& line, const PictureCheck& pictures,
                    std::vector<Problem>& out) {
    for (const ImageReference& reference : find_image_references(line.text())) {
        const PictureProbeResult result =
            pictures.probe(resolve_image_path(
                pictures.base, pictures.to_utf8 ? pictures.to_utf8(reference.path) : reference.path));
        const std::string named = "画像 \"" + reference.path + "\" ";
        std::string detail;
        switch (result.state) {
            case PictureState::ok: continue;
            case PictureState::missing: detail = named + "が見つかりません"; break;
            case PictureState::not_a_picture: detail = named + "は BMP でも PNG でもありません"; break;
            case PictureState::unreadable: detail = named + "を読めません: " + result.reason; break;
        }
        out.push_back({detail, index, line_id, ProblemKind::picture});
    }
}

// FNV-1a over the text.
std::uint64_t text_hash(std::string_view text) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    return hash;
}

}  // namespace

const char* problem_kind_label(ProblemKind kind) {
    switch (kind) {
        case ProblemKind::rewritten_line: return "読み込みで変換";
        case ProblemKind::answer_syntax: return "答えの構文エラー";
        case ProblemKind::empty_question: return "空の問題";
        case ProblemKind::empty_answer: return "空の答え";
        case ProblemKind::answer_number_range: return "答え番号が範囲外";
        case ProblemKind::unnamed_group: return "名前のないグループ";
        case ProblemKind::picture: return "画像";
        case ProblemKind::duplicate_question: return "問題の重複";
    }
    return "";
}

const char* rewrite_reason_text(RewriteReason reason) {
    switch (reason) {
        case RewriteReason::lone_hash: return "lone #; kept as a blank line";
        case RewriteReason::lone_apostrophe: return "lone apostrophe; kept as a blank line";
        case RewriteReason::lone_dollar: return "lone $; kept as a blank line";
        case RewriteReason::invalid_title: return "invalid title line; kept as a comment";
        case RewriteReason::unknown_settings: return "unknown settings line; kept as a comment";
        case RewriteReason::invalid_question: break;
    }
    return "invalid question line; kept as a comment";
}

const char* rewrite_reason_label(RewriteReason reason) {
    switch (reason) {
        case RewriteReason::lone_hash:
        case RewriteReason::lone_apostrophe:
        case RewriteReason::lone_dollar: return "記号だけの行を空行にしました";
        case RewriteReason::invalid_title: return "形式の違うタイトル行をコメントにしました";
        case RewriteReason::unknown_settings: return "不明な設定行をコメントにしました";
        case RewriteReason::invalid_question: break;
    }
    return "形式の違う問題行をコメントにしました";
}

std::vector<RewriteNote> rewrite_notes(const std::vector<RewrittenLine>& rewritten,
                                       const CardDocument& doc) {
    std::vector<RewriteNote> notes;
    notes.reserve(rewritten.size());
    for (const RewrittenLine& r : rewritten) {
        const DataLine* line = doc.line_at(r.index);
        notes.push_back({doc.line_id_at(r.index), text_hash(line->text()), static_cast<std::uint32_t>(line->text().size()),
                         r.reason});
    }
    return notes;
}

int find_line_by_id(const CardDocument& doc, std::uint32_t line_id) {
    return doc.find_line(line_id);
}

namespace {

// Every problem of the document; `rewrite_of(index, line)` gives the reason
// a line was rewritten by reading, or null.
template <class RewriteOf>
std::vector<Problem> check_all(const CardDocument& doc, const RewriteOf& rewrite_of,
                               const PictureCheck& pictures) {
    std::vector<Problem> out;
    const std::vector<bool> named = named_groups(doc);
    DuplicateFinder duplicates;
    Comparison comparison;
    int index = 0;
    for (const DataLine& line : doc) {
        const std::uint32_t line_id = doc.line_id_at(index);
        if (const RewriteReason* reason = rewrite_of(index, line))
            out.push_back({rewrite_reason_label(*reason), index, line_id, ProblemKind::rewritten_line});
        if (line.kind() == LINE_TITLE) {
            duplicates.flush(out);
            comparison = title_comparison(line.c_str());
        } else if (is_question(&line)) {
            const int length = question_text_field(line.c_str());
            const std::string_view question(line.c_str(),
                                            static_cast<std::size_t>(std::max(length, 0)));
            check_question(doc, index, line, named, question, out);
            if (pictures.probe) check_pictures(index, line_id, line, pictures, out);
            if (!question.empty()) duplicates.add(index, line_id, question, comparison);
        }
        ++index;
    }
    duplicates.flush(out);
    const auto in_order = [](const Problem& a, const Problem& b) {
        return a.index != b.index ? a.index < b.index : a.kind < b.kind;
    };
    // Only duplicates come out of order; sorting needs a second copy.
    if (!std::is_sorted(out.begin(), out.end(), in_order)) std::stable_sort(out.begin(), out.end(), in_order);
    return out;
}

}  // namespace

std::vector<Problem> check_problems(const CardDocument& doc,
                                    const std::vector<RewriteNote>& rewrites,
                                    const PictureCheck& pictures) {
    // The notes by line id, found by binary search (rewrite_notes makes
    // them in that order: a document read anew numbers its lines in order).
    const auto by_id = [](const RewriteNote& a, const RewriteNote& b) { return a.line_id < b.line_id; };
    std::vector<RewriteNote> sorted;
    const std::vector<RewriteNote>* notes = &rewrites;
    if (!std::is_sorted(rewrites.begin(), rewrites.end(), by_id)) {
        sorted = rewrites;
        std::sort(sorted.begin(), sorted.end(), by_id);
        notes = &sorted;
    }
    return check_all(
        doc,
        [&](int index, const DataLine& line) -> const RewriteReason* {
            if (notes->empty()) return nullptr;
            const std::uint32_t line_id = doc.line_id_at(index);
            const RewriteNote key{line_id};
            auto note = std::lower_bound(notes->begin(), notes->end(), key, by_id);
            if (note == notes->end() || note->line_id != line_id || note->text_size != line.text().size() ||
                note->text_hash != text_hash(line.text()))
                return nullptr;
            return &note->reason;
        },
        pictures);
}

std::vector<Problem> check_problems_as_read(const CardDocument& doc,
                                            const std::vector<RewrittenLine>& rewritten,
                                            const PictureCheck& pictures) {
    auto next = rewritten.begin();
    return check_all(
        doc,
        [&](int index, const DataLine&) -> const RewriteReason* {
            while (next != rewritten.end() && next->index < index) ++next;
            return next != rewritten.end() && next->index == index ? &next->reason : nullptr;
        },
        pictures);
}

}  // namespace qz
