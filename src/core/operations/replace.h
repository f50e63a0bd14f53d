// Replacing text in the fields of data lines.
//
// Replacement works on what the panes show, never on the stored syntax: a
// field is unescaped, every match of the search text in it (compared as
// find compares, under the same conditions) is replaced by the literal
// replacement, and the line is composed again by the panes' composers, so
// that a comma, a bracket or a leading '#', '$' or '\'' in the replacement
// is stored as typing it into the pane would store it. Only the fields a
// line really has are replaced: the title text of a title line (the title
// field) and the question, answer and comment of a question line; no other
// kind of line is touched, and no replacement changes a line's kind.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/document/editor_model.h"
#include "core/operations/matching.h"

namespace qz {

// What replacing did, or would do, to one line.
struct LineReplacement {
    std::string text;  // the line composed again (empty when refused)
    int matches = 0;   // matches in its fields (at least 1)
    // The composed line would not read back as the fields replaced (an
    // answer whose brackets no longer pair up, a line no longer a question
    // line): the line is left as it is.
    bool refused = false;
};

// Counts of a replacement over lines.
struct ReplaceCounts {
    int lines = 0;          // lines changed
    int matches = 0;        // matches replaced in them
    int refused_lines = 0;  // lines with matches left alone
    int refused_matches = 0;
};

class Replacer {
public:
    // The search text, the replacement and the conditions (comparison bits
    // and fields); none when the search text is empty. Throws std::bad_alloc.
    static std::optional<Replacer> make(std::string_view find, std::string replacement,
                                        SearchConditions conditions);

    // What replacing does to the line in a document of that format
    // version; none when no field of the line holds a match.
    std::optional<LineReplacement> replace_in(const DataLine& line, int version) const;

    // The matches in one unescaped field value, each replaced; `out` gets
    // the result. Returns how many.
    int replace_value(std::string_view value, std::string& out) const;

    SearchConditions conditions() const { return table_.conditions; }

private:
    Replacer(MatchTable table, std::string replacement, std::string prefilter)
        : table_(std::move(table)), replacement_(std::move(replacement)),
          prefilter_(std::move(prefilter)) {}
    // The end of the match that starts at p, or null.
    const char* match_at(const char* p, const char* end) const;
    // False when the line surely holds no match in any field.
    bool may_match(std::string_view text, int version) const;
    template <typename Shown>
    std::optional<std::string> replaced_field(std::string_view stored, int& count,
                                              Shown shown) const;

    MatchTable table_;
    std::string replacement_;
    // Bytes every match shows in the stored line as well (empty: none known).
    std::string prefilter_;
};

// Replaces in every line (selected_only: every selected line) as one step
// of the model; nothing is recorded when nothing changes. Selection, focus
// and current line stay as they were.
ReplaceCounts replace_all(EditorModel& model, const Replacer& replacer, bool selected_only);

// Replaces in the line at `index` as one step; counts of that line alone.
ReplaceCounts replace_line(EditorModel& model, const Replacer& replacer, int index);

// The next line after `from` (direction >= 0; -1: from the start) or before
// it (direction < 0) that holds a match, refused or not, among every line
// or the selected ones; -1 when none. No wrap-around.
int find_replaceable_line(const EditorModel& model, const Replacer& replacer, bool selected_only,
                          int from, int direction);

// "n 行で m 箇所を置換しました。", with the lines left alone when any were.
std::string replace_summary(const ReplaceCounts& counts);

}  // namespace qz
