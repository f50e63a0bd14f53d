// The card document: the ordered list of data lines of the open file.
//
// The lines live in blocks of many lines each, so a line keeps its address
// for as long as it is in the document, and their order is one array of
// pointers. The texts of the lines read from a file stay in the file's
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
        explicit const_iterator(DataLine* const* at) : at_(at) {}
        reference operator*() const { return **at_; }
        pointer operator->() const { return *at_; }
        reference operator[](difference_type n) const { return *at_[n]; }
        const_iterator& operator++() { ++at_; return *this; }
        const_iterator operator++(int) { return const_iterator(at_++); }
        const_iterator& operator--() { --at_; return *this; }
        const_iterator operator--(int) { return const_iterator(at_--); }
        const_iterator& operator+=(difference_type n) { at_ += n; return *this; }
        const_iterator& operator-=(difference_type n) { at_ -= n; return *this; }
        friend const_iterator operator+(const_iterator i, difference_type n) { return i += n; }
        friend const_iterator operator+(difference_type n, const_iterator i) { return i += n; }
        friend const_iterator operator-(const_iterator i, difference_type n) { return i -= n; }
        friend difference_type operator-(const_iterator a, const_iterator b) { return a.at_ - b.at_; }
        friend auto operator<=>(const_iterator a, const_iterator b) = default;

    private:
        DataLine* const* at_ = nullptr;
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

    const_iterator begin() const { return const_iterator(order_.data()); }
    const_iterator end() const { return const_iterator(order_.data() + order_.size()); }

    // ---- Navigation and counting. A null line gives the "none" result.
    const DataLine* line_at(int index) const;
    DataLine* line_at(int index);
    int line_index(const DataLine* line) const;
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
    void reserve(std::size_t lines) { order_.reserve(lines); }
    // Gives back the room that appending line by line left spare.
    void shrink_to_fit();

private:
    void invalidate_positions_from(int index) const;
    void invalidate_ordinals_at(const DataLine* line) const;
    void ensure_positions() const;
    void ensure_ordinals() const;
    // A place for a line, and giving one back.
    DataLine* new_line(DataLine line);
    void free_line(DataLine* line);
    // A line id no line of this document has had.
    std::uint32_t take_id();
    // The line's text in a block of its own.
    static void own_text(DataLine& line);

    // The lines in order; each lives in one of the blocks.
    std::vector<DataLine*> order_;
    std::vector<std::unique_ptr<DataLine[]>> blocks_;
    std::size_t used_in_last_block_ = 0;
    std::vector<DataLine*> free_;
    // The id the next new line gets; never reset, so that no id names two
    // lines of this document, even across files.
    std::uint32_t next_id_ = 1;
    // File buffers that lines' texts lie in.
    std::vector<std::unique_ptr<std::string>> buffers_;
    // Each line's cached index is exact below pos_dirty_from_.
    mutable std::size_t pos_dirty_from_ = 0;
    // Ordinals, exact below ord_dirty_from_ (never above pos_dirty_from_):
    // the indexes of the title lines and of the question lines, ascending.
    mutable std::vector<int> title_lines_;
    mutable std::vector<int> question_lines_;
    mutable int first_group_ = -1;
    mutable std::size_t ord_dirty_from_ = 0;
};

}  // namespace qz
