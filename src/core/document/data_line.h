// One line of a data file: its bytes and its kind.
#pragma once

#include <cstdint>
#include <cstring>
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
//
// A document holds a great many lines, so one takes 16 bytes: the text's
// address, one word of size, kind and ownership, and one word the document
// keeps (the line's place while it is in the document, the id it had there
// once it has left).
class DataLine {
public:
    DataLine() = default;
    // A kind LineKind does not name becomes LINE_UNKNOWN.
    DataLine(int kind, std::string_view text) : bits_(kind_code(kind)) { own(text); }
    DataLine(const DataLine& other) : bits_(other.bits_ & kCodeMask) { own(other.text()); }
    // A line moved out of the document and back (undo, redo) stays the
    // same line; a copy is a new one.
    DataLine(DataLine&& other) noexcept : text_(other.text_), bits_(other.bits_), word_(other.word_) {
        other.text_ = "";
        other.bits_ &= kCodeMask;
        other.word_ = 0;
    }
    DataLine& operator=(DataLine other) noexcept {
        swap(other);
        return *this;
    }
    ~DataLine() { release(); }

    int kind() const { return kKinds[bits_ & kCodeMask]; }
    std::string_view text() const { return {text_, size()}; }
    // The text as a NUL-terminated string ("" for a blank line).
    const char* c_str() const { return text_; }
    bool has_text() const { return (bits_ >> kSizeShift) != 0; }
    // Whether the text lies in its document's file buffer.
    bool in_file_buffer() const { return has_text() && !(bits_ & kOwned); }

private:
    friend class CardDocument;

    // bits_: the kind's code in the low four bits, then whether the text
    // has a block of its own, then the size. A text of kLongSize bytes or
    // more always has a block of its own, with its size in the 8 bytes
    // before it.
    static constexpr std::uint32_t kCodeMask = 0xF;
    static constexpr std::uint32_t kOwned = 0x10;
    static constexpr int kSizeShift = 5;
    static constexpr std::uint32_t kLongSize = UINT32_MAX >> kSizeShift;
    // The code of a place in a document's blocks that a line has left.
    static constexpr std::uint32_t kLeftCode = 15;
    static constexpr int kKinds[16] = {
        LINE_UNKNOWN,    LINE_TITLE,         LINE_TEXT,          LINE_SETTINGS,
        LINE_TIME_LIMIT, LINE_GROUP,         LINE_MESSAGE,       LINE_FONT,
        LINE_FONT_TITLE, LINE_FONT_QUESTION, LINE_FONT_HINT,     LINE_FONT_ANSWER,
        LINE_FONT_GROUP, LINE_FONT_COMMENT,  LINE_UNKNOWN,       LINE_UNKNOWN};
    static std::uint32_t kind_code(int kind);

    std::size_t size() const {
        const std::uint32_t size = bits_ >> kSizeShift;
        if (size != kLongSize) return size;
        std::uint64_t long_size;
        std::memcpy(&long_size, text_ - sizeof long_size, sizeof long_size);
        return static_cast<std::size_t>(long_size);
    }
    // A line whose text stays in a file buffer (text[size] is NUL).
    static DataLine in_buffer(int kind, const char* text, std::size_t size);
    void own(std::string_view text);
    void release() noexcept;
    void swap(DataLine& other) noexcept {
        std::swap(text_, other.text_);
        std::swap(bits_, other.bits_);
    }

    const char* text_ = "";
    std::uint32_t bits_ = LINE_TEXT;  // code 2: LINE_TEXT
    // Kept by the document; not exchanged with the text: the line's index
    // while it is in the document, its id (marked) once it has left.
    mutable std::uint32_t word_ = 0;
};

static_assert(sizeof(void*) != 8 || sizeof(DataLine) == 16);

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
