#include "core/syntax/answer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "core/syntax/byte_search.h"
#include "core/syntax/fields.h"
#include "core/syntax/scan.h"

namespace qz {
namespace {

// Limits of the expansion. The number of alternatives grows exponentially
// with the number of groups ("[a|b]" thirty times stands for 2^30 answers),
// so the expansion stops once the text it holds would exceed
// kMaxExpandedBytes, or once its steps have gone over kMaxExpansionWork
// bytes in all (each step counts the alternative it expands, the pieces it
// makes and kStepCost). The result is then the alternatives completed so
// far: the first part of the full list, in the same order (an empty string
// when not even the first one was complete). Ordinary answers stay far
// below both limits; only the first ten alternatives are ever shown.
constexpr std::size_t kMaxExpandedBytes = 64 * 1024;
constexpr std::size_t kMaxExpansionWork = 2 * 1024 * 1024;
constexpr std::size_t kStepCost = 64;

constexpr std::size_t kNone = std::string_view::npos;

// How many strings done with an expansion keeps for its next pieces.
constexpr std::size_t kSpareStrings = 64;
// The alternatives an expansion first has room for.
constexpr std::size_t kFirstRoom = 8;

// How much of an alternative an answer-number entry shows.
constexpr std::size_t kAnswerEntryBytes = 200;

bool is_open(char c) {
    return c == kTokenOpenGroup || c == kTokenOpenOptional;
}
bool is_close(char c) {
    return c == kTokenCloseGroup || c == kTokenCloseOptional;
}

// Where the first group or optional part opens (kNone when none does). Two
// memchr calls, the second only up to the first's find: each step of an
// expansion asks this of its alternatives, which can be long.
std::size_t first_open(std::string_view alternative) {
    const char* begin = alternative.data();
    std::size_t size = alternative.size();
    std::size_t found = kNone;
    for (const char mark : {kTokenOpenGroup, kTokenOpenOptional}) {
        if (const void* at = size ? std::memchr(begin, mark, size) : nullptr) {
            found = static_cast<std::size_t>(static_cast<const char*>(at) - begin);
            size = found;
        }
    }
    return found;
}

// The token form of a stored answer: syntax marks become control bytes and
// escaped characters become literal ones.
std::string tokenize(std::string_view answer) {
    std::string tokens;
    tokens.reserve(answer.size());
    for (std::size_t i = 0; i < answer.size();) {
        // What is no mark and no backslash is copied whole.
        if (const std::size_t run = ordinary_run_end(answer, i, "()[]|\\"); run > i) {
            tokens.append(answer, i, run - i);
            i = run;
            if (i == answer.size()) break;
        }
        const char c = answer[i];
        if (i + 1 < answer.size() && is_double_byte_char(answer.data() + i)) {
            tokens.append(answer.substr(i, 2));
            i += 2;
            continue;
        }
        switch (c) {
            case '(':
                tokens += kTokenOpenOptional;
                break;
            case ')':
                tokens += kTokenCloseOptional;
                break;
            case '[':
                tokens += kTokenOpenGroup;
                break;
            case ']':
                tokens += kTokenCloseGroup;
                break;
            case '|':
                tokens += kTokenBar;
                break;
            case '\\':
                if (i + 1 >= answer.size()) {
                    tokens += c;  // a backslash at the very end stands for itself
                    break;
                }
                if (const std::size_t end = image_reference_end(answer, i); end != kNone) {
                    // A picture reference stays one, as the quiz shows it:
                    // its path is no answer syntax.
                    tokens.append(answer.substr(i, end - i));
                    i = end;
                    continue;
                }
                ++i;
                if (i + 1 < answer.size() && is_double_byte_char(answer.data() + i)) {
                    tokens.append(answer.substr(i, 2));
                    ++i;
                } else {
                    tokens += answer[i] == 'n' ? '\n' : answer[i];
                }
                break;
            default:
                tokens += c;
                break;
        }
        ++i;
    }
    return tokens;
}

// Every closing bracket must close the innermost open group of its kind,
// and every group must be closed.
bool brackets_balanced(std::string_view tokens) {
    std::string stack;
    const char* const end = tokens.data() + tokens.size();
    for (const char* p = tokens.data(); (p = find_byte_in_range(p, end, kTokenOpenGroup, kTokenCloseOptional)) != end;
         ++p) {
        const char c = *p;
        if (is_open(c)) {
            stack += c;
        } else if (is_close(c)) {
            const char opening = c == kTokenCloseGroup ? kTokenOpenGroup : kTokenOpenOptional;
            if (stack.empty() || stack.back() != opening) return false;
            stack.pop_back();
        }
    }
    return stack.empty();
}

// group_span on a view: 1 for an ordinary byte, the whole group for an
// opening bracket (up to the end when it is never closed), 0 at the end.
// Only the brackets are looked at, found many bytes at a time.
std::size_t span_at(std::string_view s, std::size_t at) {
    if (at >= s.size()) return 0;
    if (!is_open(s[at])) return 1;
    const char* const start = s.data() + at;
    const char* const end = s.data() + s.size();
    int depth = 0;
    for (const char* p = start; (p = find_byte_in_range(p, end, kTokenOpenGroup, kTokenCloseOptional)) != end; ++p) {
        if (is_open(*p)) {
            ++depth;
        } else if (--depth == 0) {
            return static_cast<std::size_t>(p - start) + 1;
        }
    }
    return s.size() - at;
}

// The first top-level bar at or after `from` (groups are stepped over whole).
std::size_t next_top_level_bar(std::string_view s, std::size_t from) {
    const char* const begin = s.data();
    const char* const end = begin + s.size();
    // Bars and brackets are the bytes from kTokenBar to kTokenCloseOptional.
    for (const char* p = begin + std::min(from, s.size());
         (p = find_byte_in_range(p, end, kTokenBar, kTokenCloseOptional)) != end;) {
        if (*p == kTokenBar) return static_cast<std::size_t>(p - begin);
        p += span_at(s, static_cast<std::size_t>(p - begin));
    }
    return kNone;
}

// The alternatives of a token text, split at its top-level bars, into `parts`.
void split_alternatives(std::string_view s, std::vector<std::string_view>& parts) {
    parts.clear();
    std::size_t from = 0;
    for (std::size_t bar; (bar = next_top_level_bar(s, from)) != kNone; from = bar + 1)
        parts.push_back(s.substr(from, bar - from));
    parts.push_back(s.substr(from));
}

// Expands the groups of a bracket-balanced token string, always the first
// opening bracket first, until none is left.
//
// One step rewrites "head|prefix[x|y]suffix|rest" as
// "head|prefix x suffix|prefix y suffix|rest" (an optional group adds
// "prefix suffix" after its alternatives), where the head holds the
// alternatives that have no group left; a bar goes between two pieces only
// when the text built so far is not empty, so while nothing non-empty is
// built, empty pieces vanish.
//
// The finished head is kept in `done_`; the alternatives still to look at
// wait on a stack (`pending_`, the next one last), so that a step touches
// only the alternative it expands, never the rest. The strings of the
// alternatives done with are kept for the pieces of later steps: an
// expansion takes thousands of steps, and an allocation for each piece was
// much of its time.
class Expansion {
  public:
    explicit Expansion(std::string_view tokens) {
        // Room for the few alternatives of most answers at once.
        pending_.reserve(kFirstRoom);
        spare_.reserve(kFirstRoom);
        // Most answers have no bar at the top: no list of parts for them.
        if (next_top_level_bar(tokens, 0) == kNone) {
            push(std::string(tokens));
            return;
        }
        std::vector<std::string_view> parts;
        split_alternatives(tokens, parts);
        for (auto it = parts.rbegin(); it != parts.rend(); ++it)
            push(std::string(*it));
    }

    // The alternatives; *cut_short tells whether a limit stopped it.
    std::string run(bool* cut_short) {
        for (;;) {
            take_finished();
            if (pending_.empty()) break;
            if (!step()) {
                if (cut_short) *cut_short = true;
                break;
            }
        }
        return std::move(done_);
    }

  private:
    static bool has_group(std::string_view alternative) {
        return first_open(alternative) != kNone;
    }

    void push(std::string alternative) {
        pending_bytes_ += alternative.size();
        pending_.push_back(std::move(alternative));
    }

    std::string pop() {
        std::string alternative = std::move(pending_.back());
        pending_.pop_back();
        pending_bytes_ -= alternative.size();
        return alternative;
    }

    // An empty string, with the room of one done with when there is one.
    std::string spare() {
        if (spare_.empty()) return {};
        std::string s = std::move(spare_.back());
        spare_.pop_back();
        s.clear();
        return s;
    }

    void recycle(std::string&& s) {
        if (spare_.size() < kSpareStrings) spare_.push_back(std::move(s));
    }

    // Moves the finished alternatives on top of the stack to `done_`. Joined
    // they form the head; an empty head adds nothing, so no bar follows it.
    void take_finished() {
        bool any = false;
        while (!pending_.empty() && !has_group(pending_.back())) {
            std::string alternative = pop();
            if (any || !done_.empty()) done_ += kTokenBar;
            done_ += alternative;
            recycle(std::move(alternative));
            any = true;
        }
    }

    // Drops the brackets of the groups that a run of steps would expand one
    // after another into a single piece each: "[x]" with one alternative x
    // that is not empty, first in the alternative or first inside another
    // such group. The groups are looked at in the order they open, each
    // closing bracket searched only as far as the group being looked at
    // needs, so a step that drops nothing reads just its first group. The
    // tables live in the expansion and are reused by every step: a long
    // answer takes thousands of steps.
    void drop_single_groups(std::string& alternative) {
        // Nothing is dropped when no group opens first: the pass below
        // stops at the first bracket that opens.
        const std::size_t first = first_open(alternative);
        if (first == kNone || alternative[first] != kTokenOpenGroup) return;
        char* const data = alternative.data();
        const char* const end = data + alternative.size();
        // The groups by where they open, with their closing bracket and
        // whether they hold a top-level bar once known; the open ones.
        std::vector<Group>& groups = groups_;
        std::vector<std::size_t>& open = open_;
        groups.clear();
        open.clear();
        const char* scan = data + first;
        // Reads bars and brackets up to the next opening one (included).
        const auto read_on = [&] {
            for (; (scan = find_byte_in_range(scan, end, kTokenBar, kTokenCloseOptional)) != end; ++scan) {
                const char c = *scan;
                if (is_open(c)) {
                    open.push_back(groups.size());
                    groups.push_back({static_cast<std::size_t>(scan - data), kNone, false});
                    ++scan;
                    return;
                }
                if (open.empty()) continue;
                if (c == kTokenBar) {
                    groups[open.back()].has_bar = true;
                } else {
                    groups[open.back()].close = static_cast<std::size_t>(scan - data);
                    open.pop_back();
                }
            }
        };
        std::vector<std::size_t>& dropped = dropped_;
        dropped.clear();
        for (std::size_t k = 0;; ++k) {
            if (k == groups.size()) read_on();
            if (k == groups.size()) break;
            // Its closing bracket: read until the group is no longer open.
            while (groups[k].close == kNone && scan != end) read_on();
            const Group g = groups[k];
            if (data[g.open] != kTokenOpenGroup || g.has_bar || g.close == kNone || g.close == g.open + 1) break;
            dropped.push_back(g.open);
            dropped.push_back(g.close);
        }
        if (dropped.empty()) return;
        std::sort(dropped.begin(), dropped.end());
        // The runs between the dropped brackets move up.
        char* out = data + dropped.front();
        for (std::size_t d = 0; d < dropped.size(); ++d) {
            const std::size_t from = dropped[d] + 1;
            const std::size_t to = d + 1 < dropped.size() ? dropped[d + 1] : alternative.size();
            std::memmove(out, data + from, to - from);
            out += to - from;
        }
        alternative.resize(static_cast<std::size_t>(out - data));
    }

    // Expands the first group of the alternative on top of the stack; false
    // when a limit stops the expansion.
    bool step() {
        work_ += pending_.back().size() + kStepCost;
        if (work_ > kMaxExpansionWork) return false;
        std::string alternative = pop();
        drop_single_groups(alternative);
        if (!has_group(alternative)) {
            push(std::move(alternative));
            return true;
        }
        const std::string_view a = alternative;
        const std::size_t open = first_open(a);
        const std::size_t close = open + span_at(a, open) - 1;
        const std::string_view prefix = a.substr(0, open);
        const std::string_view suffix = a.substr(close + 1);

        std::vector<std::string_view>& inner = inner_;
        split_alternatives(a.substr(open + 1, close - open - 1), inner);
        if (a[open] == kTokenOpenOptional) inner.emplace_back();  // the choice "without"
        std::size_t first = 0;
        if (done_.empty()) {
            // Nothing is built yet: empty pieces at the front vanish. When
            // all vanish and nothing follows, one empty alternative remains.
            const bool empty_pieces = prefix.empty() && suffix.empty();
            while (empty_pieces && first < inner.size() && inner[first].empty())
                ++first;
            if (first == inner.size()) {
                if (pending_.empty()) push(std::string());
                recycle(std::move(alternative));
                return true;
            }
        }

        std::size_t bytes = done_.size() + pending_bytes_ + pending_.size();
        for (std::size_t i = first; i < inner.size(); ++i)
            bytes += prefix.size() + inner[i].size() + suffix.size() + 1;
        if (bytes > kMaxExpandedBytes) return false;
        for (std::size_t i = inner.size(); i-- > first;) {
            std::string piece = spare();
            piece.reserve(prefix.size() + inner[i].size() + suffix.size());
            piece.append(prefix).append(inner[i]).append(suffix);
            work_ += piece.size();
            push(std::move(piece));
        }
        recycle(std::move(alternative));
        return true;
    }

    std::string done_;
    std::vector<std::string> pending_;
    std::vector<std::string> spare_;  // strings done with, for new pieces
    std::vector<std::string_view> inner_;  // the alternatives of the group a step expands
    std::size_t pending_bytes_ = 0;
    std::size_t work_ = 0;
    // drop_single_groups' tables.
    struct Group {
        std::size_t open;
        std::size_t close;  // kNone while not found
        bool has_bar;
    };
    std::vector<Group> groups_;
    std::vector<std::size_t> open_;
    std::vector<std::size_t> dropped_;
};

}  // namespace

std::optional<std::string> expand_answer(const char* line_text, bool* cut_short) {
    if (cut_short) *cut_short = false;
    const char* start = nullptr;
    const int length = answer_text_field(line_text, &start);
    // A line without an answer field has an empty answer.
    const std::string_view answer =
        length > 0 ? std::string_view(start, static_cast<std::size_t>(length)) : std::string_view();
    std::string tokens = tokenize(answer);
    if (!brackets_balanced(tokens)) return std::nullopt;
    // Without a group the alternatives are already as the answer has them.
    if (first_open(tokens) == kNone) return tokens;
    return Expansion(tokens).run(cut_short);
}

int group_span(const char* p) {
    if (!p) return 0;
    return static_cast<int>(span_at(p, 0));
}

const char* nth_alternative(const char* expanded, int n) {
    if (!expanded || n < 0) return nullptr;
    const char* p = expanded;
    for (int i = 0; i < n; ++i) {
        p += plain_value_length(p);
        if (*p != kAlternativeSeparator && *p != ',') return nullptr;
        ++p;
    }
    return p;
}

std::vector<std::string> answer_number_entries(const char* line_text, bool is_question_line,
                                               int version, bool* syntax_error) {
    if (syntax_error) *syntax_error = false;
    // Format 1.2 has no answer numbers.
    if (version <= 12) return {};
    if (!is_question_line) return {"0"};
    bool cut_short = false;
    const std::optional<std::string> expanded = expand_answer(line_text, &cut_short);
    if (!expanded) {
        if (syntax_error) *syntax_error = true;
        return {"0"};
    }
    return answer_number_entries_of(*expanded, cut_short);
}

std::vector<std::string> answer_number_entries_of(const std::string& expanded, bool cut_short) {
    std::vector<std::string> entries;
    const auto numbered = [&entries](std::string_view text) {
        std::string entry = "0. ";
        entry[0] = static_cast<char>('0' + entries.size());
        // A list entry shows the start of a very long alternative.
        std::size_t shown = 0;
        while (shown < text.size() && shown < kAnswerEntryBytes)
            shown += shown + 1 < text.size() && is_double_byte_char(text.data() + shown) ? 2 : 1;
        entry.append(text.substr(0, shown));
        if (shown < text.size()) entry += "…";
        entries.push_back(std::move(entry));
    };
    for (int n = 0; n <= 9; ++n) {
        const char* alternative = nth_alternative(expanded.c_str(), n);
        if (!alternative || (cut_short && expanded.empty())) break;
        numbered({alternative, static_cast<std::size_t>(plain_value_length(alternative))});
    }
    if (cut_short && entries.size() < 10) numbered(kAnswerCutShort);
    return entries;
}

}  // namespace qz
