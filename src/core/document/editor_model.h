// The editor model: the card document, the selection in the line list, the
// current line and the history of changes.
//
// The model owns the document and hands out only a const view of it: every
// change goes through apply() (the line operations below are built on it),
// which records the step for undo and reports what changed, or through the
// document's life below (new, open, restore, close). The views mirror the
// model and refresh only that. The modified flag follows from the history.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/document/card_document.h"
#include "core/document/edit_history.h"

namespace qz {

// What a line operation did: its change, and the message that refused it
// (whole or in part), or "".
struct EditOutcome {
    ChangeReport change;
    std::string refusal;
    bool done = false;  // the operation was carried out (perhaps changing nothing)
};

class EditorModel {
public:
    // No lines, no file name.
    EditorModel() { reset(); }
    // Takes the lines of `loaded` (left empty), unmodified, as replace() does.
    explicit EditorModel(CardDocument& loaded) { replace(loaded, Opening{}); }
    EditorModel(const EditorModel&) = delete;
    EditorModel& operator=(const EditorModel&) = delete;

    const CardDocument& doc() const { return doc_; }

    // ---- The document's life; each leaves no history, nothing selected,
    // no pending edit and no current line. New, Open, dropping a file, the
    // recent list and a restored recovery file all go through these.
    // No lines at all: while a file is read, nothing of the one before
    // stays (the view shows nothing either).
    void close_document();
    // An untitled document, format 1.4, with one blank line.
    void new_document();
    // How a document read from a file came: `changed_on_reading` when
    // reading changed it (NUL bytes dropped: it is then modified),
    // `read_only` when another editor has its file open.
    struct Opening {
        bool changed_on_reading = false;
        bool read_only = false;
    };
    // The document read into `loaded` (left empty), under the name it got.
    void replace(CardDocument& loaded, Opening opening);
    // A recovery file read into `loaded`, taken as the document named
    // `file_name` (a data file or UNTITLED_NAME) with unsaved changes.
    void restore(CardDocument& loaded, std::string file_name);

    // The document's file name (UNTITLED_NAME for an untitled one).
    const std::string& file_name() const { return doc_.file_name; }
    // Opened while another editor had its file open: it is saved only
    // under another name, and what is typed into it is kept as an
    // untitled document's.
    bool read_only() const { return read_only_; }
    // The name whose recovery file keeps what is typed here.
    const std::string& recovery_name() const;

    // ---- Selection: the selected lines, the focused line, the anchor of a
    // range. It follows the lines when lines are inserted before it.
    bool is_selected(int index) const;
    int selected_count() const { return selected_count_; }
    std::vector<int> selected() const;
    // Runs of selected lines, [first, last], ascending.
    std::vector<std::pair<int, int>> selected_runs() const;
    int focus() const { return focus_; }
    int anchor() const { return anchor_; }
    void set_selected(int index, bool selected);
    void set_focus(int index);
    void set_anchor(int index) { anchor_ = index >= 0 && index < doc_.count() ? index : -1; }
    // Selects `indexes` (ascending) alone; `focus` gets the focus and the anchor.
    void set_selection(const std::vector<int>& indexes, int focus);
    void select_all();
    void clear_selection();
    void invert_selection();

    // The line shown in the editing pane (-1 for none) and the kind it had
    // when its pane was opened. The line operations move it with its line;
    // the pane sets it when it shows a line.
    int current() const { return current_; }
    int current_kind() const { return current_kind_; }
    void set_current(int index, int kind) {
        current_ = index >= 0 && index < doc_.count() ? index : -1;
        current_kind_ = kind;
    }
    void set_current(int index) { current_ = index >= 0 && index < doc_.count() ? index : -1; }

    // ---- The one entry point for changes: applies and records the step.
    ChangeReport apply(EditStep step);

    // ---- Line operations. Afterwards selection, focus and current line
    // are what the user sees.
    // Inserts the lines before `position`; selection, focus and current
    // line stay with their lines.
    ChangeReport insert_lines(int position, std::vector<DataLine> lines);
    // A new line at the end (at_end) or before the current line; the line
    // that was current loses its selection, the new line gets the focus and
    // becomes current.
    EditOutcome add_line(DataLine line, bool at_end);
    // A new "$Keyword=" line before the current line. Nothing happens
    // before format 1.4 or for a kind without keyword; a second group
    // names line is refused.
    EditOutcome add_settings_line(int kind);
    // Deletes the selected lines, but never the last line of the document;
    // line 0 then alone is selected, focused and current.
    EditOutcome delete_selected();
    // Moves the selected lines one place up (-1) or down (+1); selection,
    // focus and current line travel with their lines.
    EditOutcome move_selected(int delta);
    // The editing pane's text for the line (kind unchanged); no step when
    // the text is the same.
    ChangeReport commit_line(int index, std::string text);
    // Sets the format version; below 1.4 every settings line becomes a
    // comment ('$' turned into an apostrophe). Always one step.
    ChangeReport change_version(int version);

    // ---- Undo and redo. The lines touched are then selected, the first of
    // them focused and current.
    bool can_undo() const { return history_.can_undo(); }
    bool can_redo() const { return history_.can_redo(); }
    ChangeReport undo();
    ChangeReport redo();
    const EditHistory& history() const { return history_; }

    // ---- Unsaved changes: the history is not at the state last saved or
    // opened, or the pane holds an edit not yet committed.
    bool modified() const { return !history_.at_saved() || pending_edit_; }
    void mark_saved();
    // Saved under another name, which the document takes.
    // It is no longer read-only.
    void mark_saved_as(std::string file_name) {
        doc_.file_name = std::move(file_name);
        read_only_ = false;
        mark_saved();
    }
    void mark_unsaved() { history_.mark_unsaved(); }
    // The pane's edit of the current line, not yet committed: the one place
    // that knows whether leaving the line must commit it.
    bool pending_edit() const { return pending_edit_; }
    void set_pending_edit(bool pending) {
        if (pending) ++pane_changes_;
        pending_edit_ = pending;
    }
    // Changes of the document and of the pane's pending edit so far: a
    // count that only grows (what a recovery file holds is told by it).
    std::uint64_t changes() const { return history_.changes() + pane_changes_; }

private:
    // The document was replaced as a whole: no history, nothing selected,
    // no pending edit, unmodified.
    void reset();
    void resize_selection();
    void select_touched(const ChangeReport& change);

    CardDocument doc_;
    bool read_only_ = false;
    EditHistory history_;
    std::vector<bool> selected_;  // a bit a line
    int selected_count_ = 0;
    int focus_ = -1;
    int anchor_ = -1;
    bool pending_edit_ = false;
    std::uint64_t pane_changes_ = 0;
    int current_ = -1;
    int current_kind_ = 0;
};

}  // namespace qz
