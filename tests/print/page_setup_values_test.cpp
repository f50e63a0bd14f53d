#include "core/print/page_setup_values.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

TEST(PageSetupValues, UnknownStylesShowAsNoneAndStoreAsNullPen) {
    const int cases[][3] = {{PEN_SOLID, 1, PEN_SOLID}, {PEN_DASH, 2, PEN_DASH}, {PEN_DOT, 3, PEN_DOT},
                            {PEN_NULL, 0, PEN_NULL},   {3, 0, PEN_NULL},        {-1, 0, PEN_NULL}};
    for (const auto& c : cases) {
        EXPECT_EQ(style_to_index(c[0]), c[1]) << c[0];
        EXPECT_EQ(index_to_style(c[1]), c[2]) << c[0];
    }
    EXPECT_EQ(index_to_style(-1), PEN_NULL);  // no entry chosen
}

TEST(PageSetupValues, UnreadableFormatKeepsTheOldOneAndOnlyShownFlagsAreStored) {
    PrintSettings s;
    s.PrintFlags = 0x1FF;
    s.AnswerPosition = -1;
    PageSetupValues v = page_setup_values(s);
    v.title_format.reset();
    v.question_format = "";
    store_page_setup_values(v, s);
    EXPECT_EQ(s.PrintFlags, 0xF7);
    EXPECT_EQ(s.AnswerPosition, 2);
    EXPECT_EQ(s.NumTitle, "%t ");
    EXPECT_EQ(s.NumQuestion, "");
}

TEST(PageSetupValues, NumberBoxes) {
    const struct {
        const char *width, *margin;
        PageSetupBox bad;
        int rate, space;
    } cases[] = {
        {"", "", PageSetupBox::none, 0, 0},
        {"100", " 999 ", PageSetupBox::none, 100, 999},
        {"101", "3", PageSetupBox::width, 0, 0},
        {"101", "1000", PageSetupBox::margin, 0, 0},
        {"-1", "3", PageSetupBox::width, 0, 0},
        {"5x", "3", PageSetupBox::width, 0, 0},
        {"50", "99999999999", PageSetupBox::margin, 0, 0},
    };
    for (const auto& c : cases) {
        PageSetupNumbers n = read_page_setup_numbers(c.width, c.margin);
        EXPECT_EQ(n.bad, c.bad) << c.width << "/" << c.margin;
        EXPECT_EQ(n.question_rate, c.rate) << c.width;
        EXPECT_EQ(n.line_space, c.space) << c.margin;
    }
}

}  // namespace
}  // namespace qz
