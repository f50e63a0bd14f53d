#include "core/print/card_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/document/data_file.h"

namespace qz {
namespace {

// A text is as many units high as it has bytes at full size, less at a
// smaller font.
class FakeMeasurer : public CardMeasurer {
public:
    int text_height(const std::string& text, bool, int percent, int width) override {
        widths.push_back(width);
        return static_cast<int>(text.size()) * percent / 100;
    }
    int corner_height() override { return 20; }
    std::vector<int> widths;
};

CardSettings grid(int columns, int rows) {
    CardSettings s;
    s.columns = columns;
    s.rows = rows;
    return s;
}

TEST(CardCell, EachGridTilesTheFrameAndTheBackIsItsMirror) {
    const PageRect frame{100, 50, 1101, 1450};  // widths that do not divide evenly
    const std::pair<int, int> grids[] = {{1, 1}, {2, 5}, {3, 3}, {4, 8}, {3, 7}};
    for (auto [columns, rows] : grids) {
        SCOPED_TRACE(std::to_string(columns) + "x" + std::to_string(rows));
        const CardSettings s = grid(columns, rows);
        long long area = 0;
        for (int slot = 0; slot < columns * rows; ++slot) {
            const PageRect front = card_cell(frame, s, slot, false);
            const PageRect back = card_cell(frame, s, slot, true);
            area += static_cast<long long>(front.right - front.left) * (front.bottom - front.top);
            // Behind: the same row, the columns mirrored about the middle.
            EXPECT_EQ(back.left - frame.left, frame.right - front.right);
            EXPECT_EQ(back.right - back.left, front.right - front.left);
            EXPECT_EQ(back.top, front.top);
            if (slot % columns == 0) {
                EXPECT_EQ(front.left, frame.left);
            }
            if (slot % columns == columns - 1) {
                EXPECT_EQ(front.right, frame.right);
            }
        }
        EXPECT_EQ(area, 1001LL * 1400);
    }
    CardSettings unmirrored = grid(3, 2);
    unmirrored.mirror_backs = false;
    EXPECT_EQ(card_cell(frame, unmirrored, 0, true), card_cell(frame, unmirrored, 0, false));
}

TEST(LayOutCards, SheetsInPairsTheLastOneNotFullAndTheBacksMirrored) {
    std::vector<CardFaces> faces(8);
    for (int i = 0; i < 8; ++i) {
        faces[static_cast<std::size_t>(i)].question = "Q" + std::to_string(i);
        faces[static_cast<std::size_t>(i)].answer = "A" + std::to_string(i);
    }
    FakeMeasurer measurer;
    const PageRect frame{0, 0, 900, 600};
    const CardPlan plan = lay_out_cards(faces, frame, grid(3, 2), 10, measurer);
    ASSERT_EQ(plan.sheets.size(), 4u);
    std::vector<std::string> labels;
    for (const CardSheet& sheet : plan.sheets) labels.push_back(card_sheet_label(sheet));
    EXPECT_EQ(labels, (std::vector<std::string>{"表 1", "裏 1", "表 2", "裏 2"}));
    EXPECT_EQ(plan.sheets[0].cards.size(), 6u);
    EXPECT_EQ(plan.sheets[3].cards.size(), 2u);
    // Card 6 is at the top left of front 2 and at the top right of back 2.
    const PlacedCard& front = plan.sheets[2].cards[0];
    const PlacedCard& back = plan.sheets[3].cards[0];
    EXPECT_EQ(front.text, "Q6");
    EXPECT_EQ(back.text, "A6");
    EXPECT_EQ(front.cell, (PageRect{0, 0, 300, 300}));
    EXPECT_EQ(back.cell, (PageRect{600, 0, 900, 300}));
    // The back row reads right to left: answers 3, 4, 5 at x 600, 300, 0.
    EXPECT_EQ(plan.sheets[1].cards[3].cell.left, 600);
    EXPECT_EQ(plan.sheets[1].cards[5].cell.left, 0);
    EXPECT_EQ(plan.sheets[1].cards[5].text, "A5");
}

TEST(LayOutCards, TextShrinksStepByStepThenIsCutOffAndCounted) {
    // A card 300 x 120 with margins of 10 leaves 100 of height.
    struct Row {
        std::size_t length;  // units high at 100 %
        int percent;
        bool cut_off;
    };
    const Row rows[] = {{100, 100, false}, {101, 90, false}, {125, 80, false}, {142, 70, false},
                        {166, 60, false},  {170, 60, true}};
    for (const Row& r : rows) {
        std::vector<CardFaces> faces(1);
        faces[0].question = std::string(r.length, 'x');
        faces[0].answer = "a";
        FakeMeasurer measurer;
        const CardPlan plan = lay_out_cards(faces, PageRect{0, 0, 300, 120}, grid(1, 1), 10, measurer);
        const PlacedCard& card = plan.sheets[0].cards[0];
        EXPECT_EQ(card.percent, r.percent) << r.length;
        EXPECT_EQ(card.cut_off, r.cut_off) << r.length;
        EXPECT_EQ(plan.cut_off, r.cut_off ? 1 : 0);
        // Whatever the text holds (a picture wider than the card too), it is
        // measured and placed in the card's width.
        for (int width : measurer.widths) EXPECT_EQ(width, 280);
        EXPECT_EQ(card.text_rect, (PageRect{10, 10, 290, 110}));
    }
}

TEST(CardFaces, SelectedQuestionsWithCornerAndTheNumberedOrEveryAlternative) {
    CardDocument doc;
    read_data_file("QUIZODATA V1.4\r\n#首都,000000\r\n日本は？,[東京|江戸],<01\r\n'c\r\n"
                   "仏は？,パリ,<00\r\n#川,000000\r\n長い？,[信濃川|しなの],<00\r\n",
                   doc);
    CardSettings s;
    std::vector<CardFaces> faces = card_faces(doc, s, nullptr);
    ASSERT_EQ(faces.size(), 3u);
    EXPECT_EQ(faces[0].corner, "首都  1");
    EXPECT_EQ(faces[0].answer, "江戸");  // answer number 1
    EXPECT_EQ(faces[1].corner, "首都  2");
    EXPECT_EQ(faces[2].corner, "川  1");
    s.all_alternatives = true;
    s.corner = false;
    const std::vector<char> selected = {0, 1, 0, 0, 0, 1};
    faces = card_faces(doc, s, &selected);
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(faces[0].line, 1);
    EXPECT_EQ(faces[0].answer, "東京\r\n江戸");
    EXPECT_EQ(faces[0].corner, "");
    EXPECT_EQ(faces[1].question, "長い？");
}

}  // namespace
}  // namespace qz
