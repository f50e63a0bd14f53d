// Keeping the line list in step with the editor model.
//
// The model holds the selection; the list shows it. Operations change the
// model and then mirror it into the list; what the user does in the list
// (clicks, keys) comes back to the model through the list's notifications.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "core/document/editor_model.h"

namespace qz {

// The editor model, its selection brought up to date with the list first.
EditorModel& editor();

// Gives the list the model's item count and selected and focused items,
// keeping the scroll position; the items are drawn again.
void mirror_model();

// A state change the user made in the list (LVN_ITEMCHANGED), and a change
// of many items at once (LVN_ODSTATECHANGED, or an item of -1).
void note_list_state(const NMLISTVIEW& change);
void note_list_states_changed();
// The list was emptied and given the document's count, nothing selected.
void note_list_refilled();

// Shows the document anew, item for item, and focuses item 0 (which opens
// the pane on it); the model has already taken the document.
void fill_line_list();
// Removes every item, quietly, and hides the list until it is filled again
// (the document is about to get other lines).
void empty_line_list();
// Clears / sets the selected state of every line.
void deselect_all_lines();
void select_all_lines();

}  // namespace qz
