// Lists of the question pane that other windows fill too.
#pragma once

#include <windows.h>

namespace qz {

// The ten group names of the document, in order, into a drop-down list.
void fill_group_names(HWND dialog, int id);

// Rebuilds the answer-number list for the current line ("0. alternative",
// at most ten); true when the list came from the line's answer. A syntax
// error in the answer shows "構文エラーです。" in the status bar.
bool fill_answer_numbers(HWND combo);

}  // namespace qz
