// Sorting the selected question lines by question, answer, right/wrong
// history or group. Only the selected question lines take part; they are
// rearranged among the places they occupy and every other line stays put.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/document/editor_model.h"

namespace qz {

enum SortKey { SORT_QUESTION = 0, SORT_ANSWER = 1, SORT_HISTORY = 2, SORT_GROUP = 3 };

// Turns a text into a key whose byte order is the order of the texts (the
// platform's locale-aware order); an empty function compares the bytes.
using CollationKey = std::function<std::string(std::string_view text)>;

// Sorts the selected question lines by `key`, ascending (direction +1) or
// descending (-1), as one undoable step (none when nothing moves). The
// sort is stable. Texts compare by their common part, then the shorter
// first; a line whose question (answer) is empty compares equal to every
// other and keeps its place. Refused with a message when no question line
// is selected. The selection, focus and current line stay where they are.
EditOutcome sort_selected_questions(EditorModel& model, int key, int direction,
                                    const CollationKey& collate = {});

}  // namespace qz
