// Invertible edits of the card document and the bounded list of them that
// undo and redo walk.
//
// Applying an edit turns the record into its own inverse (the lines a
// removal takes are kept in it, a replacement keeps the old kind and text),
// so undoing is applying again, in reverse order, and redoing is applying
// once more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "core/document/card_document.h"

namespace qz {

// What applying edits did to the list of lines, for the views to refresh.
struct ChangeReport {
    // Lines before `first` kept their place and content; -1 when no line
    // changed (a version change alone).
    int first = -1;
    int count_before = 0;
    int count_after = 0;
    // Indexes, afterwards and ascending, of the lines inserted, replaced or
    // moved; where lines were only removed, the index they were removed at.
    std::vector<int> touched;
    bool version_changed = false;

    bool any() const { return first >= 0 || version_changed; }
};

// One primitive change.
struct LineEdit {
    enum Kind { insert, remove, replace, move, version };
    Kind kind = insert;
    // insert: the new lines' indexes afterwards; remove: the indexes taken;
    // replace: the lines whose kind and text change; move: the lines moved.
    // Ascending and distinct.
    std::vector<int> indexes;
    // insert: the lines; remove: filled when applied; replace: the new kind
    // and text of each line.
    std::vector<DataLine> lines;
    int delta = 0;    // move: -1 up, +1 down
    int number = 0;   // version: the version to set

    static LineEdit insert_lines(int position, std::vector<DataLine> lines);
    static LineEdit remove_lines(std::vector<int> indexes);
    static LineEdit replace_lines(std::vector<int> indexes, std::vector<DataLine> lines);
    static LineEdit move_lines(std::vector<int> indexes, int delta);
    static LineEdit set_version(int version);

    // Bytes of text held (what the history's bound counts).
    std::size_t bytes() const;
};

// One user action: its edits, applied in order.
using EditStep = std::vector<LineEdit>;

// Applies the step to the document and turns it into its inverse (to be
// applied as is). A move that cannot be made changes nothing.
ChangeReport apply_step(CardDocument& doc, EditStep& step);

// The steps done and undone since the document was opened, oldest first,
// bounded by a number of steps and by the bytes of text they hold; the
// oldest go first.
class EditHistory {
public:
    explicit EditHistory(std::size_t max_steps = 1000, std::size_t max_bytes = 256u << 20)
        : max_steps_(max_steps), max_bytes_(max_bytes) {}

    // Drops every step; the present state counts as saved.
    void clear();
    // Records a step already applied (and so inverted); the undone steps
    // are dropped.
    void record(EditStep inverse);
    bool can_undo() const { return position_ > 0; }
    bool can_redo() const { return position_ < steps_.size(); }
    ChangeReport undo(CardDocument& doc);
    ChangeReport redo(CardDocument& doc);

    void mark_saved() { saved_ = static_cast<long>(position_); }
    // The file on disk matches no state of the history (the reader had to
    // change what it read).
    void mark_unsaved() { saved_ = -1; }
    // The present state is the one last saved or opened.
    bool at_saved() const { return saved_ == static_cast<long>(position_); }
    std::size_t size() const { return steps_.size(); }
    // Steps done (the rest can be redone).
    std::size_t position() const { return position_; }
    std::size_t bytes() const { return bytes_; }
    // Steps recorded, undone or redone and clearings so far: a count that
    // only grows, so that equal counts mean no change in between.
    std::uint64_t changes() const { return changes_; }

private:
    void drop_oldest();
    ChangeReport apply_at(CardDocument& doc, std::size_t at);

    std::deque<EditStep> steps_;
    std::deque<std::size_t> step_bytes_;
    std::size_t position_ = 0;  // steps_[0, position_) are done
    long saved_ = 0;            // -1: the saved state is out of reach
    std::size_t bytes_ = 0;
    std::uint64_t changes_ = 0;
    std::size_t max_steps_;
    std::size_t max_bytes_;
};

}  // namespace qz
