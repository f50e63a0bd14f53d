// Where each pane puts its controls, from its client size and the height
// unit of its fonts. Free of any window so it can be tested directly.
#pragma once

#include <vector>

#include "core/layout/layout.h"

namespace qz {

// Each pane's places, by name; the Windows side maps them to its
// controls. Every pane ends with the comment's label and field.
struct Placed {
    int slot;  // one of the pane's slots below
    Box box;
    bool operator==(const Placed&) const = default;
};

namespace slot {
enum Question {
    question_title_button, question_title, question_label, question, answer_separator, answer_label,
    answer, history_separator, history_label, history, group_label, group, answer_number_label,
    answer_number, question_comment_label, question_comment, question_slots
};
enum Title {
    title_label, title, choices_label, choices, first_flag, last_flag = first_flag + 4, title_comment_label,
    title_comment, title_slots
};
enum Font {
    size_label, size, charset_label, charset, face_label, face, change_font, font_comment_label,
    font_comment, font_slots
};
// Groups 0-9: label first_group_label + g, field first_group_name + g.
enum Group {
    first_group_label, first_group_name = first_group_label + 10, group_comment_label = first_group_name + 10,
    group_comment, group_slots
};
enum Message { message_label, message, message_separator, message_comment_label, message_comment, message_slots };
enum TimeLimit {
    time_limit_label, time_limit, time_limit_unit, time_limit_comment_label, time_limit_comment,
    time_limit_slots
};
}  // namespace slot

// Question pane. label_cell = cell height of the question label; history_cell
// = cell height of the history strip; edge = SM_CYEDGE, border =
// SM_CYBORDER. The split positions (answer row top, history row top) are
// clamped in place and must be stored back.
struct QuestionSplits {
    int answer_top;   // S1
    int history_top;  // S2
};
std::vector<Placed> question_pane_layout(int width, int height, int label_cell, int history_cell,
                                         int edge, int border, QuestionSplits& splits);

// Title pane: label_cell = cell height of the title label, check_cell = of a flag box.
std::vector<Placed> title_pane_layout(int width, int height, int label_cell, int check_cell,
                                      int edge, int border);

// Font pane: label_cell = cell height of the size label, field_cell = of the size field.
std::vector<Placed> font_pane_layout(int width, int height, int label_cell, int field_cell, int edge);

// Group names pane: label_cell of a group label, field_cell of a name field.
std::vector<Placed> group_pane_layout(int width, int height, int label_cell, int field_cell, int edge);

// Message pane; `message_height` (M) is clamped in place and must be stored back.
std::vector<Placed> message_pane_layout(int width, int height, int label_cell, int edge,
                                        int& message_height);

// Time-limit pane.
std::vector<Placed> time_limit_pane_layout(int width, int height, int label_cell, int edge);

}  // namespace qz
