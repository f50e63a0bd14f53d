// The line operations as the user meets them: the editor model changes the
// document and the selection, the list and the pane then follow it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/document/data_line.h"

namespace qz {

// Inserts the lines before the line at `position` (appends when position >=
// count); selection and focus stay with their lines.
void insert_lines(int position, std::vector<DataLine> lines);
void insert_line(int position, DataLine line);

// New title "#,000000" / new blank question line at the end of the document
// (at_end) or before the current line; the new line gets the focus and the
// pane's first field the keyboard focus.
bool add_title_line(HWND owner, bool at_end);
bool add_question_line(HWND owner, bool at_end);
// A new "$Keyword=" line before the current line; a second group names
// line is refused with a message.
bool add_settings_line(HWND owner, int kind);

// Deletes every selected line; the last line of the document is never
// deleted ("これ以上削除することはできません。"). Item 0 then gets the focus.
void delete_selected_lines(HWND owner);

// Moves the selected lines one place up (-1) or down (+1); selection and
// focus travel with their lines. Nothing moves when the first (last) line
// is selected.
void move_selected_lines(int delta);

// Toggles the selected state of every item; the focus stays.
void invert_selection();

// Undoes / redoes the last change of the document; the lines it touched
// are selected and the first of them is focused and shown in the pane.
void undo_change();
void redo_change();

// Goes to the line at `index`: it alone is selected (or, keeping the
// selection, only focused), scrolled into view and shown in the pane.
void go_to_line(int index, bool keep_selection = false);

// A row of a report window leads to its line: the line `line_id` names,
// while the document named `file_name` is still the one open, is gone to
// and the main window made active; a line no longer there is said by
// `gone` over `window`, and false returned.
bool go_to_line_by_id(HWND window, const std::string& file_name, std::uint32_t line_id, const char* gone);

}  // namespace qz
