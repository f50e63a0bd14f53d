// Find: the find dialog (614), the search conditions dialog (615), and
// finding the next or previous matching line.
#pragma once

#include <windows.h>

namespace qz {

// Opens the find dialog; confirming it posts find next or find previous.
void show_find_dialog(HWND owner);
// Edits the search conditions; true when they were stored.
bool show_search_conditions_dialog(HWND owner);
void find_next(HWND owner);
void find_previous(HWND owner);

}  // namespace qz
