#include "core/print/page_setup_values.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

TEST(PageSetupValues, StylesRoundTripAndUnknownOnesBecomeNone) {
    const struct {
        int style, index, back;
    } cases[] = {{PEN_SOLID, 1, PEN_SOLID}, {PEN_DASH, 2, PEN_DASH}, {PEN_DOT, 3, PEN_DOT},
                 {PEN_NULL, 0, PEN_NULL},   {3, 0, PEN_NULL},        {7, 0, PEN_NULL},
                 {-1, 0, PEN_NULL}};
    for (const auto& c : cases) {
        EXPECT_EQ(style_to_index(c.style), c.index) << c.style;
        EXPECT_EQ(index_to_style(style_to_index(c.style)), c.back) << c.style;
    }
    EXPECT_EQ(index_to_style(-1), PEN_NULL);  // no entry chosen
    EXPECT_EQ(index_to_style(4), PEN_NULL);
}

TEST(PageSetupValues, StoringWhatWasShownNormalisesOutOfRangeValuesOnly) {
    PrintSettings s;
    s.PrintFlags = 0x1FF;
    s.TitlePosition = 7;
    s.AnswerPosition = -1;
    s.QQStyle = 4;
    s.QAColor = 0xFFFFFF;
    s.ItemPosition = 1;
    PrintSettings stored = s;
    store_page_setup_values(page_setup_values(s), stored);
    EXPECT_EQ(stored.PrintFlags, 0xF7);
    EXPECT_EQ(stored.TitlePosition, 2);
    EXPECT_EQ(stored.AnswerPosition, 2);
    EXPECT_EQ(stored.QQStyle, PEN_NULL);
    EXPECT_EQ(stored.QTStyle, PEN_SOLID);
    EXPECT_EQ(stored.QAColor, 0xFFFFFFu);
    EXPECT_EQ(stored.ItemPosition, 1);
    EXPECT_EQ(stored.NumQuestion, "(%q) ");
}

TEST(PageSetupValues, AFormatThatCouldNotBeReadKeepsTheOldOne) {
    PrintSettings s;
    PageSetupValues v = page_setup_values(s);
    v.title_format.reset();
    v.question_format = "";
    store_page_setup_values(v, s);
    EXPECT_EQ(s.NumTitle, "%t ");
    EXPECT_EQ(s.NumQuestion, "");
}

TEST(PageSetupValues, EnablingFollowsTheChecks) {
    const struct {
        int flags;
        PageSetupEnabled e;
    } cases[] = {
        {0, {}},
        {PRINT_TITLE_NUMBERS, {}},  // title numbers on, titles off: format disabled
        {PRINT_TITLES, {true, false, false, false, false}},
        {PRINT_TITLES | PRINT_TITLE_NUMBERS, {true, true, false, false, false}},
        {PRINT_QUESTION_NUMBERS, {false, false, false, true, false}},
        {PRINT_ANSWER_NUMBERS, {false, false, false, true, false}},
        {PRINT_QUESTIONS | PRINT_ANSWERS, {false, false, true, false, true}},
    };
    for (const auto& c : cases) {
        PageSetupEnabled e = page_setup_enabled(c.flags);
        EXPECT_EQ(e.title_options, c.e.title_options) << c.flags;
        EXPECT_EQ(e.title_format, c.e.title_format) << c.flags;
        EXPECT_EQ(e.question_numbers, c.e.question_numbers) << c.flags;
        EXPECT_EQ(e.question_format, c.e.question_format) << c.flags;
        EXPECT_EQ(e.answer_options, c.e.answer_options) << c.flags;
    }
}

TEST(PageSetupValues, NumberBoxes) {
    const struct {
        const char *width, *margin;
        PageSetupBox bad;
        int rate, space;
    } cases[] = {
        {"", "", PageSetupBox::none, 0, 0},
        {"100", "999", PageSetupBox::none, 100, 999},
        {" 7 ", "0", PageSetupBox::none, 7, 0},
        {"101", "3", PageSetupBox::width, 0, 0},
        {"50", "1000", PageSetupBox::margin, 0, 0},
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
