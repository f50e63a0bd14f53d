#include "core/layout/pane_layout.h"

#include <algorithm>

namespace qz {

std::vector<Placed> question_pane_layout(int CW, int CH, int L, int history_cell, int edge,
                                         int border, QuestionSplits& s) {
    const int R = 2 * edge + 2 * border + history_cell;
    const int W = 5 * L;
    const int F = CW - W;
    s.history_top = std::max(std::min(s.history_top, CH - 20), 50);
    s.answer_top = std::max(std::min(s.answer_top, s.history_top - 20), 20);
    const int S1 = s.answer_top, S2 = s.history_top;
    return {
        {slot::question_title_button, {2, 0, W - 4, R}},
        {slot::question_title, {W, 0, F, 2 * R - 1}},
        {slot::question_label, {0, 2 * R + R - L, W, L}},
        {slot::question, {W, 2 * R, F, S1 - 2 * R - 7}},
        {slot::answer_separator, {0, S1 - 6, CW, 6}},
        {slot::answer_label, {0, S1 + R - L, W, L}},
        {slot::answer, {W, S1, F, S2 - S1 - 7}},
        {slot::history_separator, {0, S2 - 6, CW, 6}},
        {slot::history_label, {0, S2 + R - L, W, L}},
        {slot::history, {W, S2, 5 * R, R - 1}},
        {slot::group_label, {0, S2 + R + R - L, W, L}},
        {slot::group, {W, S2 + R, 5 * R, 10 * R}},
        {slot::answer_number_label, {0, S2 + 2 * R + R - L, W, L}},
        {slot::answer_number, {W, S2 + 2 * R, F, 10 * R}},
        {slot::question_comment_label, {0, S2 + 3 * R + R - L, W, L}},
        {slot::question_comment, {W, S2 + 3 * R, F, CH - S2 - 3 * R}},
    };
}

std::vector<Placed> title_pane_layout(int CW, int CH, int L, int c, int edge, int border) {
    const int R = c + 2 * edge + 2 * border;
    const int W = 5 * L;
    const int F = CW - W;
    return {
        {slot::title_label, {0, R - L, W, L}},
        {slot::title, {W, 0, F, 2 * R - 1}},
        {slot::choices_label, {0, 3 * R - L, W, L}},
        {slot::choices, {W, 2 * R, 4 * R, 10 * R}},
        {slot::first_flag, {W, 3 * R, F, R}},
        {slot::first_flag + 1, {W, 4 * R, F, R}},
        {slot::first_flag + 2, {W, 5 * R, F, R}},
        {slot::first_flag + 3, {W, 6 * R, F, R}},
        {slot::first_flag + 4, {W, 7 * R, F, R}},
        {slot::title_comment_label, {0, 9 * R - L, W, L}},
        {slot::title_comment, {W, 8 * R, F, CH - 8 * R}},
    };
}

std::vector<Placed> font_pane_layout(int CW, int CH, int L, int field_cell, int edge) {
    const int Y = field_cell + 2 * edge;
    const int D = Y - L;
    const int W = 5 * L;
    return {
        {slot::size_label, {0, D, W, L}},
        {slot::size, {W, 0, 2 * Y, Y - 1}},
        {slot::charset_label, {0, Y + D, W, L}},
        {slot::charset, {W, Y, 4 * Y, Y - 1}},
        {slot::face_label, {0, 2 * Y + D, W, L}},
        {slot::face, {W, 2 * Y, std::min(10 * Y, CW - W), Y - 1}},
        {slot::change_font, {W, 3 * Y, 90, Y - 1}},
        {slot::font_comment_label, {0, 4 * Y + D, W, CH - 4 * Y - D}},
        {slot::font_comment, {W, 4 * Y, CW - W, CH - 4 * Y}},
    };
}

std::vector<Placed> group_pane_layout(int CW, int CH, int L, int field_cell, int edge) {
    const int A = field_cell + 2 * edge;
    const int W = 6 * L;
    std::vector<Placed> placed;
    for (int i = 0; i < 10; ++i) {
        placed.push_back({slot::first_group_label + i, {0, (i + 1) * A - L, W, L}});
        placed.push_back({slot::first_group_name + i, {W, i * A, CW - W, A - 1}});
    }
    placed.push_back({slot::group_comment_label, {0, 11 * A - L, W, L}});
    placed.push_back({slot::group_comment, {W, 10 * A, CW - W, CH - 10 * A}});
    return placed;
}

std::vector<Placed> message_pane_layout(int CW, int CH, int L, int edge, int& M) {
    M = std::max(std::min(M, CH - 20), 20);
    const int E = 2 * edge;
    const int W = 5 * L;
    const int F = CW - W;
    return {
        {slot::message_label, {0, E, W, L}},
        {slot::message, {W, 0, F, M}},
        {slot::message_separator, {0, M, CW, 6}},
        {slot::message_comment_label, {0, M + E + 6, W, L}},
        {slot::message_comment, {W, M + 6, F, CH - M - 6}},
    };
}

std::vector<Placed> time_limit_pane_layout(int CW, int CH, int L, int edge) {
    const int E = 2 * edge;
    const int W = 5 * L;
    return {
        {slot::time_limit_label, {0, E, W, L}},
        {slot::time_limit, {W, 0, 3 * L + E, L + E}},
        {slot::time_limit_unit, {8 * L + E, E, L, L}},
        {slot::time_limit_comment_label, {0, L + 2 * E, W, L}},
        {slot::time_limit_comment, {W, L + E, CW - W, CH - L - E}},
    };
}

}  // namespace qz
