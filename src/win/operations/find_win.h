// Find: the find dialog (614), the search conditions dialog (615), and
// finding the next or previous matching line.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace qz {

// What the find dialog shows: the last text and the search conditions.
struct FindRequest {
    std::string text;
    unsigned conditions = 0;
};

// What the user chose: the text and direction when the dialog was
// confirmed (no text when cancelled), and the search conditions, which the
// conditions button can change even when the dialog is then cancelled.
struct FindResult {
    std::optional<std::string> text;
    bool next = true;
    unsigned conditions = 0;
};

FindResult run_find_dialog(HWND owner, const FindRequest& request);
// The conditions chosen; nothing when cancelled.
std::optional<unsigned> run_search_conditions_dialog(HWND owner, unsigned conditions);

// The Find command: the dialog over the last text and the preferences'
// conditions; stores what comes back and, when confirmed, posts find next
// or find previous to `owner`.
void show_find_dialog(HWND owner);
// Edits the preferences' search conditions; true when they were stored.
bool show_search_conditions_dialog(HWND owner);
void find_next(HWND owner);
// The comparison and field boxes of a dialog that has the conditions
// dialog's (search_conditions_ids.h): checks them for `conditions`, and
// reads them back.
void check_condition_boxes(HWND dialog, unsigned conditions);
unsigned checked_conditions(HWND dialog);
// True when the conditions name a field; else says so over `owner`.
bool conditions_name_a_field(HWND owner, unsigned conditions);
void find_previous(HWND owner);

}  // namespace qz
