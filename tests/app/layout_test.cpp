#include "core/layout/layout.h"

#include <gtest/gtest.h>

#include <map>

#include "core/layout/pane_layout.h"

namespace qz {
namespace {

TEST(CenterOver, ClampsToWorkArea) {
    const struct { int width, height; Bounds owner, work; Box expected; } rows[] = {
        {100, 50, {100, 100, 500, 400}, {0, 0, 1024, 768}, {250, 225, 100, 50}},
        {100, 50, {0, 0, 301, 51}, {0, 0, 1024, 768}, {100, 0, 100, 50}},  // (301 - 100) / 2
        {300, 200, {-50, -40, 50, 40}, {0, 0, 1024, 768}, {0, 0, 300, 200}},
        // Wider than the work area: its right edge lies on the work area's right.
        {1200, 900, {0, 0, 400, 300}, {0, 0, 1024, 768}, {-176, -132, 1200, 900}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(center_over(r.width, r.height, r.owner, r.work), r.expected) << r.owner.left;
}

TEST(MainWindowLayout, ClampsTheListAndSplitsTheWorkArea) {
    const struct { int width, height, toolbar, status, list_width, expected_list_width; } cases[] = {
        {560, 400, 28, 20, 5, 30},     // far left: at least 30
        {560, 400, 28, 20, 600, 530},  // far right: 30 short of the width
        {100, 400, 0, 0, 90, 70},      // a narrower window clamps too
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list_width);
        MainLayout l = main_window_layout(c.width, c.height, c.toolbar, c.status, c.list_width);
        EXPECT_EQ(l.list_width, c.expected_list_width);
        int work = c.height - c.toolbar - c.status;
        EXPECT_EQ(l.list, (Box{0, c.toolbar, c.expected_list_width, work}));
        EXPECT_EQ(l.separator, (Box{c.expected_list_width, c.toolbar, 6, work}));
        EXPECT_EQ(l.pane, (Box{c.expected_list_width + 6, c.toolbar,
                               c.width - c.expected_list_width - 6, work}));
    }
}

TEST(MainWindowLayout, ScalesTheSeparatorAndTheLeastListWidthWithTheDpi) {
    // 144 dpi (150 %): a 9-pixel separator, a list at least 45 wide.
    MainLayout l = main_window_layout(840, 600, 42, 30, 5, 144);
    EXPECT_EQ(l.list, (Box{0, 42, 45, 528}));
    EXPECT_EQ(l.separator, (Box{45, 42, 9, 528}));
    EXPECT_EQ(l.pane, (Box{54, 42, 786, 528}));
    EXPECT_EQ(main_window_layout(840, 600, 0, 0, 900, 192).list_width, 840 - 60);
}

TEST(DpiScale, RoundsToTheNearestPixelAndBackToTheSameDesignSize) {
    const struct { int design, dpi, pixels; } rows[] = {
        {550, 96, 550}, {550, 144, 825}, {410, 144, 615}, {201, 144, 302},  // 301.5 rounds up
        {38, 120, 48}, {550, 192, 1100}, {-7, 144, -11}, {0, 144, 0},
        {16, 0, 16},  // no dpi known: left as it is
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.design);
        EXPECT_EQ(scale_for_dpi(r.design, r.dpi), r.pixels);
        EXPECT_EQ(unscale_for_dpi(r.pixels, r.dpi), r.design);
    }
    // Far out of range saturates instead of wrapping.
    EXPECT_EQ(scale_for_dpi(2000000000, 192), 2147483647);
    // The toolbar's pictures: 125 % keeps the small ones, 175 % the middle.
    const int pictures[][2] = {{0, 16}, {96, 16}, {120, 16}, {144, 24}, {168, 24}, {192, 32}, {288, 32}};
    for (const auto& [dpi, size] : pictures) EXPECT_EQ(toolbar_image_size(dpi), size) << dpi;
}

TEST(UsableWindowPlace, FallsBackWhenTheSavedPlaceCannotBeReached) {
    constexpr int kDefault = static_cast<int>(0x80000000u);
    constexpr int kMax = 2147483647;
    const WindowPlace fallback{kDefault, kDefault, 560, 450};
    const Bounds work{0, 0, 1280, 1000};
    const struct { const char* name; WindowPlace saved, expected; } cases[] = {
        {"as saved", {100, 50, 600, 400}, {100, 50, 600, 400}},
        {"partly off the left", {-500, 0, 600, 400}, {-500, 0, 600, 400}},
        {"default position keeps its size", {kDefault, kDefault, 700, 500}, {kDefault, kDefault, 700, 500}},
        {"only x default", {kDefault, 20, 700, 500}, {kDefault, kDefault, 700, 500}},
        {"size wraps past the edge", {100, 100, kMax, kMax}, fallback},
        {"negative size", {100, 100, -600, -400}, fallback},
        {"too narrow", {100, 100, kMinWindowWidth - 1, 400}, fallback},
        {"far right", {1270, 100, 600, 400}, fallback}, {"far above", {100, -kMax, 600, 400}, fallback},
        {"just visible", {1280 - kMinWindowVisible, 1000 - kMinWindowVisible, 600, 400},
         {1280 - kMinWindowVisible, 1000 - kMinWindowVisible, 600, 400}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(usable_window_place(c.saved, fallback, kDefault, work), c.expected) << c.name;
}

TEST(StatusBarParts, LeaveRoomForTheGrip) {
    const StatusParts p = status_bar_parts(600, 20);
    EXPECT_EQ(std::pair(p.first, p.second), std::pair(500, 580));
}

std::map<int, Box> by_slot(const std::vector<Placed>& placed) {
    std::map<int, Box> boxes;
    for (const Placed& p : placed) boxes[p.slot] = p.box;
    return boxes;
}

TEST(QuestionPaneLayout, SplitsAreClampedInOrder) {
    const struct { int height, answer_top, history_top, expected_answer, expected_history; } cases[] = {
        {400, 180, 240, 180, 240},  // as saved
        {150, 180, 240, 110, 130},  // history row at most 20 above the bottom
        {30, 180, 240, 30, 50},     // but at least 50 from the top, whatever the height
        {400, 300, 240, 220, 240},  // answer row dragged below the history row
        {400, 5, 240, 20, 240},     // answer row at least 20
    };
    for (const auto& c : cases) {
        QuestionSplits s{c.answer_top, c.history_top};
        question_pane_layout(300, c.height, 16, 16, 2, 1, s);
        EXPECT_EQ(std::pair(s.answer_top, s.history_top), std::pair(c.expected_answer, c.expected_history))
            << c.height;
    }
}

TEST(QuestionPaneLayout, RowsFollowTheSplits) {
    QuestionSplits s{180, 240};
    // L = 16, R = 2*2 + 2*1 + 18 = 24, W = 80, F = 220.
    auto boxes = by_slot(question_pane_layout(300, 400, 16, 18, 2, 1, s));
    EXPECT_EQ(boxes[slot::question_title_button], (Box{2, 0, 76, 24}));
    EXPECT_EQ(boxes[slot::question_title], (Box{80, 0, 220, 47}));
    EXPECT_EQ(boxes[slot::question], (Box{80, 48, 220, 125}));
    EXPECT_EQ(boxes[slot::answer_separator], (Box{0, 174, 300, 6}));
    EXPECT_EQ(boxes[slot::answer], (Box{80, 180, 220, 53}));
    EXPECT_EQ(boxes[slot::history], (Box{80, 240, 120, 23}));
    EXPECT_EQ(boxes[slot::answer_number], (Box{80, 288, 220, 240}));
    EXPECT_EQ(boxes[slot::question_comment], (Box{80, 312, 220, 88}));
    EXPECT_EQ(boxes.size(), std::size_t{slot::question_slots});
}

TEST(MessagePaneLayout, MessageFieldIsNeverShorterThan20) {
    const struct { int height, message, expected; } cases[] = {
        {150, 180, 130}, {30, 180, 20}, {400, 5, 20}};
    for (const auto& c : cases) {
        int m = c.message;
        auto boxes = by_slot(message_pane_layout(300, c.height, 16, 2, m));
        EXPECT_EQ(m, c.expected) << c.height;
        EXPECT_EQ(boxes[slot::message].height, c.expected);
        EXPECT_EQ(boxes[slot::message_separator].y, c.expected);
        EXPECT_EQ(boxes[slot::message_comment].y, c.expected + 6);
    }
}

TEST(SettingsPaneLayouts, PlaceEveryControlOnce) {
    const struct { const char* name; std::vector<Placed> placed; int slots; } panes[] = {
        {"title", title_pane_layout(300, 400, 16, 16, 2, 1), slot::title_slots},
        {"font", font_pane_layout(300, 400, 16, 18, 2), slot::font_slots},
        {"group", group_pane_layout(300, 400, 16, 18, 2), slot::group_slots},
        {"time_limit", time_limit_pane_layout(300, 400, 16, 2), slot::time_limit_slots},
    };
    for (const auto& p : panes) {
        auto boxes = by_slot(p.placed);
        EXPECT_EQ(boxes.size(), static_cast<std::size_t>(p.slots)) << p.name;
        EXPECT_EQ(p.placed.size(), static_cast<std::size_t>(p.slots)) << p.name;
        // The comment field (the last slot) fills the rest of the pane.
        const Box comment = boxes[p.slots - 1];
        EXPECT_EQ(comment.y + comment.height, 400) << p.name;
        EXPECT_EQ(comment.x + comment.width, 300) << p.name;
    }
}

TEST(SettingsPaneLayouts, FontNameFieldIsAtMostTenRowsWide) {
    // Y = 18 + 4 = 22; W = 80.
    EXPECT_EQ(by_slot(font_pane_layout(1000, 400, 16, 18, 2))[slot::face].width, 220);
    EXPECT_EQ(by_slot(font_pane_layout(200, 400, 16, 18, 2))[slot::face].width, 120);
}

}  // namespace
}  // namespace qz
