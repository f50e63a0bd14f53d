// Selecting many lines at once: the lines of a range of file line numbers,
// of question numbers or of one title's questions, restricted to one group
// or to the lines that contain a text, as a new selection or added to the
// one there is.
#pragma once

#include <string>

#include "core/document/editor_model.h"

namespace qz {

enum class SelectRange { lines, questions, title };

struct SelectRequest {
    SelectRange range = SelectRange::lines;
    // File line numbers (lines) or 1-based question numbers (questions).
    int first = 0;
    int last = 0;
    // 1-based title number (title).
    int title = 0;
    // Text mode: the lines that contain `text` under `conditions`; else the
    // question lines of `group` (-1: every line of the range).
    bool by_text = false;
    // Marks mode (when not text mode): the question lines with at most
    // (at_most) or at least `right_marks` right marks (0-5).
    bool by_marks = false;
    int right_marks = 0;
    bool at_most = true;
    int group = -1;
    std::string text{};
    unsigned conditions = 0;
    // Added to the selection rather than replacing it.
    bool add = false;
};

// The sentence that says what the request will do, e.g.
// "行番号2～31の全ての行を新規選択"; `group_name` is the chosen group's name.
std::string select_description(const SelectRequest& request, const std::string& group_name);

// What selecting did: the message for the user ("" for none), whether it
// is a warning (else information), and the number of lines selected (-1
// when the request was refused before selecting anything).
struct SelectOutcome {
    std::string message;
    bool warning = false;
    int selected = -1;
};

// Selects the lines of the request in the model. The focus, the anchor and
// the current line do not change; a refused request leaves the selection
// as it was. Throws std::bad_alloc when the match table cannot be made.
SelectOutcome select_lines(EditorModel& model, const SelectRequest& request);

}  // namespace qz
