#include "core/print/page_layout.h"
#include "core/print/page_setup_values.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

TEST(NumberText, ExpandsPlaceholdersAndDropsStrayPercentSigns) {
    const struct {
        const char* format;
        const char* text;
    } cases[] = {
        {"%t ", "2 "}, {"(%q) ", "(3) "}, {"No.%Q%", "No.5"}, {"100%%", "100%"},
        {"%x%t", "x2"}, {"第%t章", "第2章"}, {nullptr, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(format_number_text(c.format, 2, 5, 3), c.text) << c.text;
}

TEST(PageFrame, ComesFromPaperMarginsAndOrientation) {
    const struct {
        PaperSetup paper;
        PageRect frame;
    } cases[] = {
        {{2100, 2970, 9, 1, {}}, {0, 0, 2100, -2970}},
        {{2100, 2970, 9, 2, {1005, 2000, 500, 999}}, {100, -200, 2920, -2001}},
        {{0, 0, 13, 1, {}}, {0, 0, 1820, -2570}},  // size from the code: B5
        {{0, 0, 9999, 1, {}}, {0, 0, 2100, -2970}},
    };
    for (const auto& c : cases) EXPECT_EQ(frame_in_lometric(c.paper), c.frame);
}

TEST(PageColumns, KeepLineSpaceAroundEachColumn) {
    // A4 at 360 dpi; L = 3 points = 15 dots.
    const PageRect frame{0, 0, 2976, 4209};
    ASSERT_EQ(line_space_units(3, 360), 15);
    const struct {
        int flags, rate, item_position;
        Columns columns;
    } cases[] = {
        {0x27, 50, 0, {15, 1458, 1503, 1458, 1488}},
        {0x27, 30, 0, {15, 862, 907, 2054, 892}},
        {0x27, 30, 1, {2099, 862, 15, 2054, 2084}},
        {0x44, 50, 0, {15, 0, 15, 2946, 30}},
    };
    for (const auto& c : cases) {
        PrintSettings s;
        s.PrintFlags = c.flags;
        s.QuestionRate = c.rate;
        s.ItemPosition = c.item_position;
        EXPECT_EQ(column_layout(frame, s, 15), c.columns) << c.rate << " " << c.item_position;
    }
}

// Every text 20 high and 10 wide a byte, wrapped; "TALL" is taller than any page.
class FakeMeasurer : public PrintMeasurer {
public:
    TextSize number_size(bool, const std::string& text) override { return {10 * int(text.size()), 20}; }
    TextSize title_size(const std::string& text, const FontSpec&, int width) override {
        return {std::min(width, 10 * int(text.size())), height(text, width)};
    }
    int text_height(int, const std::string& text, const FontSpec&, int width, int) override {
        return height(text, width);
    }
    int font_height(const FontSpec&) override { return 30; }
    bool keep_going() override { return --lines_left >= 0; }
    int lines_left = 1 << 30;

private:
    static int height(const std::string& text, int width) {
        if (text == "TALL") return 100000;
        return 20 * std::max(1, (10 * int(text.size()) + width - 1) / std::max(width, 1));
    }
};

class Pagination : public testing::Test {
protected:
    // Frame 0-200 high, L = 5: a one-line block takes 30, six fit on a page.
    void lay_out(std::initializer_list<const char*> lines, int flags = 0x27) {
        doc.clear();
        for (const char* text : lines)
            doc.append(DataLine(text[0] == '#' ? LINE_TITLE : text[0] == '$' ? LINE_FONT_QUESTION : LINE_TEXT, text));
        PrintSettings s;
        s.PrintFlags = flags;
        layout = make_print_layout(s, {0, 0, 1000, 200}, 120, {}, true);
        pages.clear();
        PageStart start = first_page_start(layout);
        for (;;) {
            pages.push_back(lay_out_page(doc, layout, measurer, start, true));
            if (pages.back().status != PageStatus::Placed || pages.back().at_end) break;
            start = pages.back().next;
        }
    }
    std::vector<std::string> numbers(int page) const {
        std::vector<std::string> out;
        for (const PlacedBlock& b : pages[page].blocks) out.push_back(b.number);
        return out;
    }
    CardDocument doc;
    PrintLayout layout;
    FakeMeasurer measurer;
    std::vector<LaidOutPage> pages;
};

TEST_F(Pagination, CountsOnlyPrintedItemsAndStartsPagesWhereTheyStopped) {
    lay_out({"#A,000000", "q,a,<00", "'comment", "", "$FontQuestion=20", "q,a,<00", "q,a,<00", "#B,000000",
             "q,a,<00", "q,a,<00", "q,a,<00"});
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(numbers(0), (std::vector<std::string>{"1 ", "(1) ", "(2) ", "(3) ", "2 ", "(1) "}));
    EXPECT_EQ(pages[0].bottom, 180);
    EXPECT_EQ(pages[1].blocks[0].line, 9);
    EXPECT_EQ(numbers(1), (std::vector<std::string>{"(2) ", "(3) "}));
    EXPECT_EQ(pages[0].next.question_count, 5);
    EXPECT_EQ(pages[1].blocks[0].font[0].size, 20);  // the font line carries over the page break
    EXPECT_EQ(pages[0].blocks[1].font[0].size, 0);

    lay_out({"q,a,<00", "q,a,<00", "q,a,<00", "q,a,<00", "q,a,<00", "#T,000000", "q,a,<00"});
    EXPECT_EQ(pages[0].blocks.back().kind, BlockKind::Title);
    EXPECT_EQ(pages[1].blocks[0].line, 6);
    EXPECT_EQ(pages[1].blocks[0].number, "(1) ");
}

TEST_F(Pagination, TitlesOffDoNotCountAndNumbersUseTheFormats) {
    lay_out({"#A,000000", "q,a,<00", "#B,000000", "q,a,<00"}, 0x06 | 0x20);
    EXPECT_EQ(numbers(0), (std::vector<std::string>{"(1) ", "(2) "}));  // sections reset only by printed titles
}

TEST_F(Pagination, PlacesColumnsAndCentresNumbersOnTheItemFont) {
    lay_out({"question,answer,<00"}, 0x66);
    const PlacedBlock& b = pages[0].blocks[0];
    const Columns& c = layout.columns;
    EXPECT_EQ(b.number_rect[0], (PageRect{c.question_x, 10, c.question_x + 40, 30}));
    EXPECT_EQ(b.text_rect[0], (PageRect{c.question_x + 40, 5, c.question_x + c.question_width, 25}));
    EXPECT_EQ(b.text_rect[1], (PageRect{c.answer_x + 40, 5, c.answer_x + c.answer_width, 25}));
    lay_out({"question,answer,<00"}, 0x44);  // only answers: no question column
    EXPECT_EQ(pages[0].blocks[0].text_rect[0], PageRect{});
    EXPECT_EQ(pages[0].blocks[0].number_rect[1].left, layout.frame.left + layout.line_space);
}

TEST_F(Pagination, ReportsTooTallRowsEmptyDocumentsAndCancelling) {
    lay_out({"q,a,<00", "'c", "TALL,a,<00"});
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1].status, PageStatus::TooTall);
    EXPECT_EQ(page_error_text(doc, pages[1]), "4行目のデータを1ページ内に印刷できません。");

    lay_out({"'only", "", "#t,000000"}, 0x26);
    EXPECT_EQ(pages[0].status, PageStatus::NoData);
    EXPECT_EQ(page_error_text(doc, pages[0]), "印刷するデータがありません。");

    measurer.lines_left = 2;
    EXPECT_EQ(lay_out_page(doc, layout, measurer, first_page_start(layout), false).status, PageStatus::Cancelled);
}

TEST(CopyPlan, RunsTheRangeOncePerCopyWhenCollatedElseRepeatsEachPage) {
    const auto plan = [](int copies, bool collated) {
        const CopyPlan p = copy_plan(copies, collated);
        return std::pair{p.passes, p.per_page};
    };
    EXPECT_EQ(plan(2, true), std::pair(2, 1));
    EXPECT_EQ(plan(2, false), std::pair(1, 2));
    EXPECT_EQ(plan(0, false), std::pair(1, 1));
}

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
