#include "app/layout.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

struct CenterCase {
    const char* name;
    int width, height;
    Bounds owner, work;
    Box expected;
};

class CenterOver : public testing::TestWithParam<CenterCase> {};

TEST_P(CenterOver, ClampsToWorkArea) {
    const CenterCase& c = GetParam();
    EXPECT_EQ(center_over(c.width, c.height, c.owner, c.work), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layout, CenterOver,
    testing::Values(
        CenterCase{"centred", 100, 50, {100, 100, 500, 400}, {0, 0, 1024, 768}, {250, 225, 100, 50}},
        // Halving truncates toward zero: (301 - 100) / 2 = 100.
        CenterCase{"odd_owner", 100, 50, {0, 0, 301, 51}, {0, 0, 1024, 768}, {100, 0, 100, 50}},
        CenterCase{"past_left_top", 300, 200, {-50, -40, 50, 40}, {0, 0, 1024, 768}, {0, 0, 300, 200}},
        CenterCase{"past_right_bottom", 300, 200, {900, 700, 1100, 800}, {0, 0, 1024, 768},
                   {724, 568, 300, 200}},
        // Wider than the work area: its right edge lies on the work area's right.
        CenterCase{"wider_than_work_area", 1200, 900, {0, 0, 400, 300}, {0, 0, 1024, 768},
                   {-176, -132, 1200, 900}}),
    [](const auto& info) { return std::string(info.param.name); });

struct MainCase {
    int width, height, toolbar, status, list_width;
    int expected_list_width;
};

TEST(MainWindowLayout, ClampsTheListAndSplitsTheWorkArea) {
    const MainCase cases[] = {
        {560, 400, 28, 20, 200, 200},  // as saved
        {560, 400, 28, 20, 5, 30},     // far left: at least 30
        {560, 400, 28, 20, 600, 530},  // far right: 30 short of the width
        {100, 400, 0, 0, 90, 70},      // a narrower window clamps too
    };
    for (const MainCase& c : cases) {
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

TEST(StatusBarParts, LeaveRoomForTheGrip) {
    StatusParts p = status_bar_parts(600, 20);
    EXPECT_EQ(p.first, 500);
    EXPECT_EQ(p.second, 580);
}

}  // namespace
}  // namespace qz
