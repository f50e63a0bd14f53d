// Where each pane puts its controls, from its client size and the height
// unit of its fonts. Free of any window so it can be tested directly.
#pragma once

#include <vector>

#include "core/layout/layout.h"

namespace qz {

struct Placed {
    int id;
    Box box;
    bool operator==(const Placed&) const = default;
};

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

// Title pane: label_cell = cell height of label 1054, check_cell = of check box 1026.
std::vector<Placed> title_pane_layout(int width, int height, int label_cell, int check_cell,
                                      int edge, int border);

// Font pane: label_cell = cell height of 1024, field_cell = of field 1025.
std::vector<Placed> font_pane_layout(int width, int height, int label_cell, int field_cell, int edge);

// Group names pane: label_cell of 1024, field_cell of 1034.
std::vector<Placed> group_pane_layout(int width, int height, int label_cell, int field_cell, int edge);

// Message pane; `message_height` (M) is clamped in place and must be stored back.
std::vector<Placed> message_pane_layout(int width, int height, int label_cell, int edge,
                                        int& message_height);

// Time-limit pane.
std::vector<Placed> time_limit_pane_layout(int width, int height, int label_cell, int edge);

}  // namespace qz
