// The card document: the ordered list of data lines of the open file.
//
// Lines live in a linked list, so a line keeps its address for as long as
// it is in the document and inserting or removing at a known line is O(1).
// Positions and the title/question ordinals are kept in an index that is
// brought up to date lazily, from the first changed position onwards, the
// next time a lookup needs it; a whole-document operation therefore costs
// one pass however many lines it touches, as long as it does its lookups
// before or after its changes rather than between them.
#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "core/document/data_line.h"

namespace qz {

// The name of a document that was never saved ("新規.qzf").
extern const char* const UNTITLED_NAME;

class CardDocument {
public:
    using LineList = std::list<DataLine>;
    using const_iterator = LineList::const_iterator;

    CardDocument();
    CardDocument(const CardDocument&) = delete;
    CardDocument& operator=(const CardDocument&) = delete;

    // Format version as two digits: 12, 13 or 14.
    int version = 14;
    // Index of the line shown in the editing pane; -1 for none.
    int current = -1;
    // Kind of the current line when its pane was opened.
    int current_kind = 0;
    // Full path of the data file, or UNTITLED_NAME.
    std::string file_name;

    int count() const { return static_cast<int>(lines_.size()); }
    bool empty() const { return lines_.empty(); }

    // Lines in list order.
    const_iterator begin() const { return lines_.begin(); }
    const_iterator end() const { return lines_.end(); }

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
    // Inserts the lines, in order, before the line at `position`.
    void insert(int position, std::vector<DataLine> lines);
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

private:
    void invalidate_positions_from(int index) const;
    void invalidate_ordinals_at(const DataLine* line) const;
    void ensure_positions() const;
    void ensure_ordinals() const;
    LineList::iterator iterator_at(int index);

    LineList lines_;
    // Positions (order_ and each line's cached index), exact below
    // pos_dirty_from_.
    mutable std::vector<DataLine*> order_;
    mutable std::size_t pos_dirty_from_ = 0;
    // Ordinals, exact below ord_dirty_from_ (never above pos_dirty_from_).
    mutable std::vector<int> titles_through_;
    mutable std::vector<int> questions_through_;
    mutable std::vector<int> title_lines_;
    mutable std::vector<int> question_lines_;
    mutable int first_group_ = -1;
    mutable std::size_t ord_dirty_from_ = 0;
};

}  // namespace qz
