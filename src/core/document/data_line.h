// One line of a data file: its bytes and its kind.
#pragma once

#include <list>
#include <string>

#include "core/syntax/line_kind.h"

namespace qz {

class CardDocument;

// The bytes of one line (code page 932, without its line break, including
// its leading marker) and its kind. An empty text is a blank line: the
// document never holds a line whose text is present but empty.
class DataLine {
public:
    DataLine() = default;
    DataLine(int kind, std::string text) : kind_(kind), text_(std::move(text)) {}

    int kind() const { return kind_; }
    const std::string& text() const { return text_; }
    // The text as a NUL-terminated string ("" for a blank line).
    const char* c_str() const { return text_.c_str(); }
    bool has_text() const { return !text_.empty(); }

private:
    friend class CardDocument;
    int kind_ = LINE_TEXT;
    std::string text_;
    // Kept by the owning document.
    std::list<DataLine>::iterator self_{};
    mutable int index_ = -1;
};

// A LINE_TEXT line with text that does not begin with an apostrophe.
inline bool is_question(const DataLine* line) {
    return line && line->kind() == LINE_TEXT && line->has_text() && line->text()[0] != '\'';
}
// A LINE_TEXT line whose text begins with an apostrophe.
inline bool is_comment(const DataLine* line) {
    return line && line->kind() == LINE_TEXT && line->has_text() && line->text()[0] == '\'';
}
// A LINE_TEXT line without text.
inline bool is_blank(const DataLine* line) {
    return line && line->kind() == LINE_TEXT && !line->has_text();
}

}  // namespace qz
