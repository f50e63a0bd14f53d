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

TEST(UsableWindowPlace, FallsBackWhenTheSavedPlaceCannotBeReached) {
    constexpr int kDefault = static_cast<int>(0x80000000u);
    constexpr int kMax = 2147483647;
    const WindowPlace fallback{kDefault, kDefault, 560, 450};
    const Bounds work{0, 0, 1280, 1000};
    struct Case {
        const char* name;
        WindowPlace saved, expected;
    };
    const Case cases[] = {
        {"as saved", {100, 50, 600, 400}, {100, 50, 600, 400}},
        {"partly off the left", {-500, 0, 600, 400}, {-500, 0, 600, 400}},
        {"default position keeps its size", {kDefault, kDefault, 700, 500}, {kDefault, kDefault, 700, 500}},
        {"only x default", {kDefault, 20, 700, 500}, {kDefault, kDefault, 700, 500}},
        {"all maximal", {kMax, kMax, kMax, kMax}, fallback},
        {"size wraps past the edge", {100, 100, kMax, kMax}, fallback},
        {"one pixel", {100, 100, 1, 1}, fallback},
        {"negative size", {100, 100, -600, -400}, fallback},
        {"too narrow", {100, 100, kMinWindowWidth - 1, 400}, fallback},
        {"far right", {1270, 100, 600, 400}, fallback},
        {"below", {100, 1000, 600, 400}, fallback},
        {"far above", {100, -kMax, 600, 400}, fallback},
        {"just visible", {1280 - kMinWindowVisible, 1000 - kMinWindowVisible, 600, 400},
         {1280 - kMinWindowVisible, 1000 - kMinWindowVisible, 600, 400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(usable_window_place(c.saved, fallback, kDefault, work), c.expected);
    }
}

TEST(StatusBarParts, LeaveRoomForTheGrip) {
    StatusParts p = status_bar_parts(600, 20);
    EXPECT_EQ(p.first, 500);
    EXPECT_EQ(p.second, 580);
}

}  // namespace
}  // namespace qz
