// The card document: the ordered list of data lines of the open file.
//
// The lines live in blocks of many lines each, so a line keeps its address
// for as long as it is in the document, and their order is one array of
// their places in the blocks (4 bytes a line). A place a line has left is
// not given to another line until the document is cleared, so the place
// names the line: its id is the place plus the document's id base, which
// grows past every id given out each time the document is cleared. A line
// that leaves takes its id along, and gets its place back when it
// returns (undo, redo). The texts of the lines read from a file stay in the file's
// buffer, which the document holds. Positions and the title/question
// ordinals are kept in an index that is brought up to date lazily, from the
// first changed position onwards, the next time a lookup needs it; a
// whole-document operation therefore costs one pass however many lines it
// touches, as long as it does its lookups before or after its changes
// rather than between them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/document/data_line.h"

namespace qz {

// The name of a document that was never saved ("新規.qzf").
extern const char* const UNTITLED_NAME;

class CardDocument {
public:
    // Lines in list order.
    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = DataLine;
        using difference_type = std::ptrdiff_t;
        using pointer = const DataLine*;
        using reference = const DataLine&;

        const_iterator() = default;
        const_iterator(const CardDocument* doc, const std::uint32_t* at) : doc_(doc), at_(at) {}
        reference operator*() const { return *doc_->line_in(*at_); }
        pointer operator->() const { return doc_->line_in(*at_); }
        reference operator[](difference_type n) const { return *doc_->line_in(at_[n]); }
        const_iterator& operator++() { ++at_; return *this; }
        const_iterator operator++(int) { return {doc_, at_++}; }
        const_iterator& operator--() { --at_; return *this; }
        const_iterator operator--(int) { return {doc_, at_--}; }
        const_iterator& operator+=(difference_type n) { at_ += n; return *this; }
        const_iterator& operator-=(difference_type n) { at_ -= n; return *this; }
        friend const_iterator operator+(const_iterator i, difference_type n) { return i += n; }
        friend const_iterator operator+(difference_type n, const_iterator i) { return i += n; }
        friend const_iterator operator-(const_iterator i, difference_type n) { return i -= n; }
        friend difference_type operator-(const_iterator a, const_iterator b) { return a.at_ - b.at_; }
        friend auto operator<=>(const_iterator a, const_iterator b) = default;

    private:
        const CardDocument* doc_ = nullptr;
        const std::uint32_t* at_ = nullptr;
    };

    CardDocument();
    CardDocument(const CardDocument&) = delete;
    CardDocument& operator=(const CardDocument&) = delete;

    // Format version as two digits: 12, 13 or 14.
    int version = 14;
    // Full path of the data file, or UNTITLED_NAME.
    std::string file_name;

    int count() const { return static_cast<int>(order_.size()); }
    bool empty() const { return order_.empty(); }

    const_iterator begin() const { return {this, order_.data()}; }
    const_iterator end() const { return {this, order_.data() + order_.size()}; }

    // ---- Navigation and counting. A null line gives the "none" result.
    const DataLine* line_at(int index) const;
    DataLine* line_at(int index);
    int line_index(const DataLine* line) const;
    // Names the line while it is in the document and never another line of
    // it, also once the line has left (0: none, for a line not in it).
    std::uint32_t line_id(const DataLine* line) const;
    std::uint32_t line_id_at(int index) const;
    // The index of the line `id` names, or -1 when it is not in the document.
    int find_line(std::uint32_t id) const;
    static int file_line_number(int index) { return index + 2; }
    const DataLine* enclosing_title(const DataLine* line) const;
    const DataLine* title_by_number(int n) const;
    int title_number(const DataLine* line) const;
    const DataLine* next_question(const DataLine* line) const;
    const DataLine* question_by_number(int n) const;
    int question_number(const DataLine* line) const;
    int questions_in_section(const DataLine* line) const;
    int count_titles() const;
    int count_questions() const;
    // The first group names line, or null; *file_line gets its file line
    // number (count() + 2 when there is none).
    const DataLine* find_group_settings(int* file_line = nullptr) const;

    // Number of titles / questions among the lines [0, index].
    int titles_through(int index) const;
    int questions_through(int index) const;

    // ---- Changes. They keep the index in step. Edits the user can undo go
    // through the editor model (editor_model.h), which calls these.
    // Inserts before the line at `position` (appends when position >= count).
    DataLine* insert(int position, DataLine line);
    void append(DataLine line);
    // Removes the line at `index`; false when there is none.
    bool erase(int index);
    // Removes, in one pass, every line for which remove(index, line) holds
    // (index = the line's position before the call); returns how many.
    int erase_if(const std::function<bool(int index, const DataLine&)>& remove);
    void set_text(DataLine* line, std::string text);
    void set_line(DataLine* line, int kind, std::string text);
    // Exchanges the lines at index and index + 1; false when either is missing.
    bool swap_with_next(int index);
    // Moves the lines at the given indexes (ascending, distinct) one place
    // up (delta -1) or down (+1); each run of adjacent lines moves as a block
    // and the line it passes takes the place at the block's other end.
    // Nothing moves, and the result is false, when the first index is 0
    // (moving up) or the last is the last line (moving down).
    bool move_lines(const std::vector<int>& indexes, int delta);
    // Inserts the lines so that they end up at the given indexes (ascending,
    // one per line); returns them in the same order.
    std::vector<DataLine*> insert_at(const std::vector<int>& indexes, std::vector<DataLine> lines);
    // Removes the lines at the given indexes (ascending, distinct, valid) in
    // one pass and hands them back in the same order.
    std::vector<DataLine> extract(const std::vector<int>& indexes);
    // Exchanges the kind and text of the line with those of `other`.
    void swap_line(DataLine* line, DataLine& other);
    // Removes every line (free_lines); `count` becomes 0.
    void clear();
    // Takes the lines, file buffers, version and file name of `other` (a
    // document just read), leaving it empty, with ids of this document's
    // own: none names a line this document held before.
    void adopt(CardDocument& other);

    // ---- Reading a file. The document takes over the file's buffer;
    // lines appended from it keep their texts there (each followed by a
    // NUL), until they are changed or leave the document.
    std::string& hold_buffer(std::string bytes);
    void append_from_buffer(int kind, const char* text, std::size_t size);
    // Room for `lines` lines in the order, so that reading a file of that
    // many does not grow it step by step (each step held the old order and
    // the new one at once).
    // The blocks made while the document has fewer lines hold no more
    // places than are still to come.
    void reserve(std::size_t lines) {
        order_.reserve(lines);
        question_bits_.reserve(lines / 64 + 1);
        questions_before_word_.reserve(lines / 64 + 1);
        expected_lines_ = lines;
    }
    // Gives back the room that appending line by line left spare.
    void shrink_to_fit();

private:
    // A place: the block's number times kPlacesPerBlock plus the line's
    // number in it.
    static constexpr int kBlockShift = 12;
    static constexpr std::uint32_t kPlacesPerBlock = 1u << kBlockShift;

    DataLine* line_in(std::uint32_t place) const {
        return blocks_[place >> kBlockShift].get() + (place & (kPlacesPerBlock - 1));
    }
    // The line at `place` when the place has been given out (to a line of
    // the document or to one that left it), else null.
    DataLine* given_place(std::uint32_t place) const;
    // The line at `place` when a line of the document is there, else null.
    DataLine* line_at_place(std::uint32_t place) const;
    // The next place of the last block, in a new block when it is full.
    std::uint32_t fresh_place();
    void invalidate_positions_from(int index) const;
    void invalidate_ordinals_at(const DataLine* line) const;
    void ensure_positions() const;
    void ensure_ordinals() const;
    // Takes the line just appended at `n` into the ordinals when they were
    // exact before it; else they are out of date from it on.
    void extend_ordinals(std::size_t n, const DataLine* line);
    // Takes line `i` into the titles, the question bits (its word is there
    // already) and the first group; true for a question.
    bool note_ordinal(std::size_t i, const DataLine* line) const;
    // A place for a line (the one it left, when it returns), and leaving one.
    std::uint32_t new_line(DataLine line);
    void free_line(std::uint32_t place);
    // The line's text in a block of its own.
    static void own_text(DataLine& line);
    // Question ordinals: how many questions lie before `index`, and the
    // index of the question numbered `n` (-1 when there is none).
    int questions_before(int index) const;
    int question_line(int n) const;

    // The places of the lines, in order.
    std::vector<std::uint32_t> order_;
    std::vector<std::unique_ptr<DataLine[]>> blocks_;
    // The places each block has; every block but the last is full.
    std::vector<std::uint32_t> block_places_;
    std::uint32_t used_in_last_block_ = 0;
    std::size_t places_ = 0;  // in all blocks
    std::size_t expected_lines_ = 0;
    // The id of place 0; grows past every id given out when the document is
    // cleared, so that no id names two lines of this document, even across
    // files.
    std::uint32_t id_base_ = 1;
    // File buffers that lines' texts lie in.
    std::vector<std::unique_ptr<std::string>> buffers_;
    // Each line's cached index is exact below pos_dirty_from_.
    mutable std::size_t pos_dirty_from_ = 0;
    // Ordinals, exact below ord_dirty_from_ (never above pos_dirty_from_):
    // the indexes of the title lines, ascending; a bit for each line that
    // is a question, 64 lines a word, and the questions before each word.
    mutable std::vector<int> title_lines_;
    mutable std::vector<std::uint64_t> question_bits_;
    mutable std::vector<std::uint32_t> questions_before_word_;
    mutable int questions_ = 0;
    mutable int first_group_ = -1;
    mutable std::size_t ord_dirty_from_ = 0;
};

}  // namespace qz
