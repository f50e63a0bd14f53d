// One line of a data file: its bytes and its kind.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

#include "core/syntax/line_kind.h"

namespace qz {

class CardDocument;

// The bytes of one line (code page 932, without its line break, including
// its leading marker) and its kind. An empty text is a blank line: the
// document never holds a line whose text is present but empty.
//
// A line read from a file keeps its text where the reader found it, in the
// file's buffer, which its document holds; a line made or changed since has
// a block of its own. A copy always has a block of its own, and a line that
// leaves its document gets one, so no line ever outlives the text it shows.
class DataLine {
public:
    DataLine() = default;
    DataLine(int kind, std::string_view text) : kind_(static_cast<std::uint16_t>(kind)) { own(text); }
    DataLine(const DataLine& other) : kind_(other.kind_) { own(other.text()); }
    // A line moved out of the document and back (undo, redo) stays the
    // same line; a copy is a new one.
    DataLine(DataLine&& other) noexcept
        : text_(other.text_), size_(other.size_), id_(other.id_), kind_(other.kind_), owned_(other.owned_) {
        other.text_ = "";
        other.size_ = 0;
        other.id_ = 0;
        other.owned_ = false;
    }
    DataLine& operator=(DataLine other) noexcept {
        swap(other);
        return *this;
    }
    ~DataLine() { release(); }

    int kind() const { return kind_; }
    std::string_view text() const { return {text_, size_}; }
    // The text as a NUL-terminated string ("" for a blank line).
    const char* c_str() const { return text_; }
    bool has_text() const { return size_ != 0; }
    // Whether the text lies in its document's file buffer.
    bool in_file_buffer() const { return size_ != 0 && !owned_; }
    // Names the line while it is in its document and never another line of
    // it, also when the line's place is given to a new line (0: none).
    std::uint32_t id() const { return id_; }

private:
    friend class CardDocument;

    // A line whose text stays in a file buffer (text[size] is NUL).
    static DataLine in_buffer(int kind, const char* text, std::size_t size) {
        DataLine line;
        line.kind_ = static_cast<std::uint16_t>(kind);
        if (size) {
            line.text_ = text;
            line.size_ = static_cast<std::uint32_t>(size);
        }
        return line;
    }
    void own(std::string_view text);
    void release() {
        if (owned_) delete[] text_;
    }
    void swap(DataLine& other) noexcept {
        std::swap(text_, other.text_);
        std::swap(size_, other.size_);
        std::swap(kind_, other.kind_);
        std::swap(owned_, other.owned_);
    }

    const char* text_ = "";
    std::uint32_t size_ = 0;
    // Kept by the owning document; not exchanged with the text.
    mutable int index_ = -1;
    std::uint32_t id_ = 0;
    std::uint16_t kind_ = LINE_TEXT;
    bool owned_ = false;
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
