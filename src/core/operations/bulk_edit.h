// Changes to every selected question at once: reversed copies (question and
// answer swapped) and a new group.
#pragma once

#include <string>

#include "core/document/editor_model.h"

namespace qz {

// The reversed copy of a question line: its answer as the question, its
// question as the answer, history 0, group 0, answer number 0, no comment;
// "" when the text has no answer field. The copy reads back as a question
// line and each side keeps the meaning it had: a question beginning with
// '#', '$' or '\'' gets its protecting backslash, the marks ( ) [ ] | of
// the former question are escaped so that the answer takes them literally,
// and the escaped marks of the former answer become plain characters
// (unescaped marks, the answer's alternatives, stay as written).
std::string reversed_question(const char* text);

// Appends a reversed copy of each selected question at the end of the
// document, in selection order, as one step; returns how many.
int swap_selected_questions(EditorModel& model);

// Sets the group digit (0-9) of every selected question as one step;
// returns how many questions it set (no step when none).
int change_selected_groups(EditorModel& model, int group);

// Sets the five right/wrong marks of every selected question to right
// (history 31) or wrong (0) as one step; returns how many questions it
// set (no step when none).
int reset_selected_histories(EditorModel& model, bool right);

}  // namespace qz
