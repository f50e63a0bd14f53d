#include "panes/pane_layout.h"

#include <gtest/gtest.h>

#include <map>

namespace qz {
namespace {

std::map<int, Box> by_id(const std::vector<Placed>& placed) {
    std::map<int, Box> boxes;
    for (const Placed& p : placed) boxes[p.id] = p.box;
    return boxes;
}

struct SplitCase {
    int height, answer_top, history_top;
    int expected_answer_top, expected_history_top;
};

TEST(QuestionPaneLayout, SplitsAreClampedInOrder) {
    const SplitCase cases[] = {
        {400, 180, 240, 180, 240},  // as saved
        {150, 180, 240, 110, 130},  // history row at most 20 above the bottom
        {60, 180, 240, 30, 50},     // but at least 50 from the top
        {30, 180, 240, 30, 50},     // the lower bound wins over the upper one
        {400, 300, 240, 220, 240},  // answer row dragged below the history row
        {400, 5, 240, 20, 240},     // answer row at least 20
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.height);
        QuestionSplits s{c.answer_top, c.history_top};
        question_pane_layout(300, c.height, 16, 16, 2, 1, s);
        EXPECT_EQ(s.answer_top, c.expected_answer_top);
        EXPECT_EQ(s.history_top, c.expected_history_top);
    }
}

TEST(QuestionPaneLayout, RowsFollowTheSplits) {
    QuestionSplits s{180, 240};
    // L = 16, R = 2*2 + 2*1 + 18 = 24, W = 80, F = 220.
    auto boxes = by_id(question_pane_layout(300, 400, 16, 18, 2, 1, s));
    EXPECT_EQ(boxes[1024], (Box{2, 0, 76, 24}));
    EXPECT_EQ(boxes[1055], (Box{80, 0, 220, 47}));
    EXPECT_EQ(boxes[1025], (Box{0, 56, 80, 16}));
    EXPECT_EQ(boxes[1026], (Box{80, 48, 220, 125}));
    EXPECT_EQ(boxes[1027], (Box{0, 174, 300, 6}));
    EXPECT_EQ(boxes[1029], (Box{80, 180, 220, 53}));
    EXPECT_EQ(boxes[1030], (Box{0, 234, 300, 6}));
    EXPECT_EQ(boxes[1032], (Box{80, 240, 120, 23}));
    EXPECT_EQ(boxes[1056], (Box{80, 264, 120, 240}));
    EXPECT_EQ(boxes[1036], (Box{80, 288, 220, 240}));
    EXPECT_EQ(boxes[1058], (Box{80, 312, 220, 88}));
    EXPECT_EQ(boxes.size(), 16u);
}

TEST(MessagePaneLayout, MessageFieldIsNeverShorterThan20) {
    const struct {
        int height, message, expected;
    } cases[] = {{400, 180, 180}, {150, 180, 130}, {30, 180, 20}, {400, 5, 20}};
    for (const auto& c : cases) {
        int m = c.message;
        auto boxes = by_id(message_pane_layout(300, c.height, 16, 2, m));
        EXPECT_EQ(m, c.expected) << c.height;
        EXPECT_EQ(boxes[1025].height, c.expected);
        EXPECT_EQ(boxes[1026].y, c.expected);
        EXPECT_EQ(boxes[1058].y, c.expected + 6);
    }
}

TEST(SettingsPaneLayouts, PlaceEveryControlOnce) {
    const struct {
        const char* name;
        std::vector<Placed> placed;
        std::size_t controls;
    } panes[] = {
        {"title", title_pane_layout(300, 400, 16, 16, 2, 1), 11},
        {"font", font_pane_layout(300, 400, 16, 18, 2), 9},
        {"group", group_pane_layout(300, 400, 16, 18, 2), 22},
        {"time_limit", time_limit_pane_layout(300, 400, 16, 2), 5},
    };
    for (const auto& p : panes) {
        auto boxes = by_id(p.placed);
        EXPECT_EQ(boxes.size(), p.controls) << p.name;
        // The comment field fills the rest of the pane.
        EXPECT_EQ(boxes[1058].y + boxes[1058].height, 400) << p.name;
        EXPECT_EQ(boxes[1058].x + boxes[1058].width, 300) << p.name;
    }
}

TEST(SettingsPaneLayouts, FontNameFieldIsAtMostTenRowsWide) {
    // Y = 18 + 4 = 22; W = 80.
    EXPECT_EQ(by_id(font_pane_layout(1000, 400, 16, 18, 2))[1030].width, 220);
    EXPECT_EQ(by_id(font_pane_layout(200, 400, 16, 18, 2))[1030].width, 120);
}

}  // namespace
}  // namespace qz
