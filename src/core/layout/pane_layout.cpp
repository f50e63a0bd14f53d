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
        {1024, {2, 0, W - 4, R}},
        {1055, {W, 0, F, 2 * R - 1}},
        {1025, {0, 2 * R + R - L, W, L}},
        {1026, {W, 2 * R, F, S1 - 2 * R - 7}},
        {1027, {0, S1 - 6, CW, 6}},
        {1028, {0, S1 + R - L, W, L}},
        {1029, {W, S1, F, S2 - S1 - 7}},
        {1030, {0, S2 - 6, CW, 6}},
        {1031, {0, S2 + R - L, W, L}},
        {1032, {W, S2, 5 * R, R - 1}},
        {1033, {0, S2 + R + R - L, W, L}},
        {1056, {W, S2 + R, 5 * R, 10 * R}},
        {1035, {0, S2 + 2 * R + R - L, W, L}},
        {1036, {W, S2 + 2 * R, F, 10 * R}},
        {1057, {0, S2 + 3 * R + R - L, W, L}},
        {1058, {W, S2 + 3 * R, F, CH - S2 - 3 * R}},
    };
}

std::vector<Placed> title_pane_layout(int CW, int CH, int L, int c, int edge, int border) {
    const int R = c + 2 * edge + 2 * border;
    const int W = 5 * L;
    const int F = CW - W;
    return {
        {1054, {0, R - L, W, L}},
        {1055, {W, 0, F, 2 * R - 1}},
        {1024, {0, 3 * R - L, W, L}},
        {1025, {W, 2 * R, 4 * R, 10 * R}},
        {1026, {W, 3 * R, F, R}},
        {1027, {W, 4 * R, F, R}},
        {1028, {W, 5 * R, F, R}},
        {1029, {W, 6 * R, F, R}},
        {1030, {W, 7 * R, F, R}},
        {1057, {0, 9 * R - L, W, L}},
        {1058, {W, 8 * R, F, CH - 8 * R}},
    };
}

std::vector<Placed> font_pane_layout(int CW, int CH, int L, int field_cell, int edge) {
    const int Y = field_cell + 2 * edge;
    const int D = Y - L;
    const int W = 5 * L;
    return {
        {1024, {0, D, W, L}},
        {1025, {W, 0, 2 * Y, Y - 1}},
        {1027, {0, Y + D, W, L}},
        {1028, {W, Y, 4 * Y, Y - 1}},
        {1029, {0, 2 * Y + D, W, L}},
        {1030, {W, 2 * Y, std::min(10 * Y, CW - W), Y - 1}},
        {1031, {W, 3 * Y, 90, Y - 1}},
        {1057, {0, 4 * Y + D, W, CH - 4 * Y - D}},
        {1058, {W, 4 * Y, CW - W, CH - 4 * Y}},
    };
}

std::vector<Placed> group_pane_layout(int CW, int CH, int L, int field_cell, int edge) {
    const int A = field_cell + 2 * edge;
    const int W = 6 * L;
    std::vector<Placed> placed;
    for (int i = 0; i < 10; ++i) {
        placed.push_back({1024 + i, {0, (i + 1) * A - L, W, L}});
        placed.push_back({1034 + i, {W, i * A, CW - W, A - 1}});
    }
    placed.push_back({1057, {0, 11 * A - L, W, L}});
    placed.push_back({1058, {W, 10 * A, CW - W, CH - 10 * A}});
    return placed;
}

std::vector<Placed> message_pane_layout(int CW, int CH, int L, int edge, int& M) {
    M = std::max(std::min(M, CH - 20), 20);
    const int E = 2 * edge;
    const int W = 5 * L;
    const int F = CW - W;
    return {
        {1024, {0, E, W, L}},
        {1025, {W, 0, F, M}},
        {1026, {0, M, CW, 6}},
        {1057, {0, M + E + 6, W, L}},
        {1058, {W, M + 6, F, CH - M - 6}},
    };
}

std::vector<Placed> time_limit_pane_layout(int CW, int CH, int L, int edge) {
    const int E = 2 * edge;
    const int W = 5 * L;
    return {
        {1024, {0, E, W, L}},
        {1025, {W, 0, 3 * L + E, L + E}},
        {1026, {8 * L + E, E, L, L}},
        {1057, {0, L + 2 * E, W, L}},
        {1058, {W, L + E, CW - W, CH - L - E}},
    };
}

}  // namespace qz
