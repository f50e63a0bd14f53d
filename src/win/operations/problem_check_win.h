// The problem check window (622): a modeless list of what would go wrong
// when the quiz is played, one row per problem, leading to its line.
#pragma once

#include <windows.h>

#include <string>

#include "core/document/data_file.h"

namespace qz {

// The "問題チェック(&K)..." command: checks the document and shows the
// window (brought forward, checked again, when it is already open).
void show_problem_check(HWND owner);

// The window, or null while it is closed.
HWND problem_check_window();

// Remembers which lines reading the file rewrote, for the check; called
// after the document was loaded. An open window checks
// the new document.
void note_loaded_file(const LoadResult& result);

// Focuses row `row` of the window's list and goes to its line, as a
// double-click does.
void activate_problem_row(int row);

}  // namespace qz
