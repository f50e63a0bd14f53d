// The marks window (628): a modeless, resizable window with the marks
// chart of each title section above and the list of questions below
// (line, title, question, right marks, history), sortable by each column,
// filtered by the section chosen in the chart; a row leads to its line.
#pragma once

#include <windows.h>

namespace qz {

// The "成績(&R)..." command: counts the document and shows the window
// (brought forward, counted again, when it is already open).
void show_marks(HWND owner);

// The window, or null while it is closed.
HWND marks_window();

// Goes to the line of row `row` of the list, as a double-click does.
void activate_marks_row(int row);

}  // namespace qz
