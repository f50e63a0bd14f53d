// Swap question and answer, and changing the group or the marks of the
// selection.
#pragma once

#include <windows.h>

namespace qz {

// Appends a reversed copy of each selected question and says how many.
void swap_question_answer(HWND owner);

// Asks for a group and gives it to every selected question.
void change_group_of_selection(HWND owner);
// Gives the group (0-9) to every selected question, says how many and
// shows the current line again.
void set_group_of_selection(HWND owner, int group);

// Asks whether the selected questions' marks become all right or all
// wrong, sets them, says how many and shows the current line again.
void reset_history_of_selection(HWND owner);

}  // namespace qz
