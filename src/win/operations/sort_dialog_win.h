// The sort dialog (616) and sorting the selected question lines.
#pragma once

#include <windows.h>

namespace qz {

// Command 81: the line list takes the focus (committing the pane), then
// the dialog opens; its OK sorts.
void show_sort_dialog(HWND owner);

// Sorts the selected question lines (key 0-3, direction +1 / -1) as one
// undoable step, comparing texts as the platform's locale does, and shows
// the result; "問題が選択されていません。" over `owner` when there are none.
void sort_questions(HWND owner, int key, int direction);

}  // namespace qz
