#include "document/card_document.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace qz {
namespace {

// Builds a document from (kind, text) pairs.
void fill(CardDocument& doc, const std::vector<std::pair<int, std::string>>& lines) {
    doc.clear();
    for (const auto& [kind, text] : lines) doc.append(DataLine(kind, text));
}

const std::vector<std::pair<int, std::string>> kSample = {
    {LINE_TEXT, "q0,a,<00"},     // 0  question before any title
    {LINE_TITLE, "#T1,000000"},  // 1
    {LINE_TEXT, "q1,a,<00"},     // 2
    {LINE_TEXT, "'comment"},     // 3
    {LINE_TEXT, ""},             // 4  blank
    {LINE_GROUP, "$Group=a"},    // 5  settings: never a question
    {LINE_TEXT, "q2,a,<00"},     // 6
    {LINE_TITLE, "#T2,000000"},  // 7
    {LINE_TITLE, "#T3,000000"},  // 8
    {LINE_TEXT, "q3,a,<00"},     // 9
    {LINE_GROUP, "$Group=b"},    // 10
};

TEST(CardDocument, NumberingOfSample) {
    CardDocument doc;
    fill(doc, kSample);
    ASSERT_EQ(doc.count(), 11);
    EXPECT_EQ(doc.count_titles(), 3);
    EXPECT_EQ(doc.count_questions(), 4);

    struct Row {
        int index, title_number, question_number, enclosing, in_section;
    };
    const Row rows[] = {
        {0, -1, 0, -1, 0},  {1, 0, 0, 1, 2},    {2, 0, 1, 1, 1},   {3, 0, 1, 1, 1},
        {4, 0, 1, 1, 1},    {5, 0, 1, 1, 1},    {6, 0, 2, 1, 0},   {7, 1, 2, 7, 0},
        {8, 2, 2, 8, 1},    {9, 2, 3, 8, 0},    {10, 2, 3, 8, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.index);
        const DataLine* line = doc.line_at(r.index);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(doc.line_index(line), r.index);
        EXPECT_EQ(doc.title_number(line), r.title_number);
        EXPECT_EQ(doc.question_number(line), r.question_number);
        EXPECT_EQ(doc.line_index(doc.enclosing_title(line)), r.enclosing);
        EXPECT_EQ(doc.questions_in_section(line), r.in_section);
    }
    EXPECT_EQ(doc.line_index(doc.next_question(doc.line_at(2))), 6);
    EXPECT_EQ(doc.next_question(doc.line_at(9)), nullptr);
    EXPECT_EQ(doc.line_index(doc.question_by_number(0)), 0);
    EXPECT_EQ(doc.line_index(doc.title_by_number(2)), 8);
    EXPECT_EQ(doc.title_by_number(3), nullptr);
    EXPECT_EQ(doc.question_by_number(-1), nullptr);

    int file_line = 0;
    EXPECT_EQ(doc.find_group_settings(&file_line), doc.line_at(5));
    EXPECT_EQ(file_line, 7);
}

TEST(CardDocument, NoneResults) {
    CardDocument doc;
    fill(doc, {{LINE_TEXT, "a,b,<00"}, {LINE_TEXT, ""}});
    EXPECT_EQ(doc.line_at(-1), nullptr);
    EXPECT_EQ(doc.line_at(doc.count()), nullptr);
    EXPECT_EQ(doc.line_index(nullptr), -1);
    EXPECT_EQ(doc.title_number(nullptr), -1);
    EXPECT_EQ(doc.question_number(nullptr), -1);
    EXPECT_EQ(doc.enclosing_title(doc.line_at(1)), nullptr);
    EXPECT_EQ(doc.next_question(nullptr), nullptr);
    int file_line = 0;
    EXPECT_EQ(doc.find_group_settings(&file_line), nullptr);
    EXPECT_EQ(file_line, doc.count() + 2);
    EXPECT_EQ(CardDocument::file_line_number(0), 2);
}

TEST(CardDocument, LastTitleAndAdjacentTitlesHaveNoQuestions) {
    CardDocument doc;
    fill(doc, {{LINE_TITLE, "#a,000000"}, {LINE_TITLE, "#b,000000"}});
    EXPECT_EQ(doc.questions_in_section(doc.line_at(0)), 0);
    EXPECT_EQ(doc.questions_in_section(doc.line_at(1)), 0);
}

TEST(CardDocument, LinesKeepTheirAddressAcrossEdits) {
    CardDocument doc;
    fill(doc, kSample);
    DataLine* q2 = doc.line_at(6);
    doc.erase(0);
    doc.insert(3, DataLine(LINE_TITLE, "#new,000000"));
    doc.swap_with_next(0);
    EXPECT_EQ(doc.line_at(doc.line_index(q2)), q2);
    EXPECT_EQ(q2->text(), "q2,a,<00");
    EXPECT_EQ(doc.line_index(q2), 6);
}

TEST(CardDocument, SetTextChangesCountsFromThatLine) {
    CardDocument doc;
    fill(doc, kSample);
    ASSERT_EQ(doc.question_number(doc.line_at(9)), 3);
    doc.set_text(doc.line_at(2), "'now a comment");
    EXPECT_EQ(doc.question_number(doc.line_at(9)), 2);
    EXPECT_EQ(doc.count_questions(), 3);
    doc.set_text(doc.line_at(4), "new,q,<00");
    EXPECT_EQ(doc.question_number(doc.line_at(4)), 1);
    EXPECT_EQ(doc.question_number(doc.line_at(9)), 3);
}

TEST(CardDocument, EraseIfRemovesInOnePass) {
    CardDocument doc;
    fill(doc, kSample);
    int removed = doc.erase_if([](int index, const DataLine&) { return index % 2 == 0; });
    EXPECT_EQ(removed, 6);
    ASSERT_EQ(doc.count(), 5);
    EXPECT_EQ(doc.line_at(0)->text(), "#T1,000000");
    EXPECT_EQ(doc.line_at(4)->text(), "q3,a,<00");
    EXPECT_EQ(doc.count_titles(), 2);
}

struct MoveCase {
    const char* name;
    std::vector<int> selected;
    int delta;
    bool moved;
    const char* expected;  // one letter per line
};

class MoveLines : public testing::TestWithParam<MoveCase> {};

TEST_P(MoveLines, BlocksKeepTheirShape) {
    const MoveCase& c = GetParam();
    CardDocument doc;
    for (char ch : std::string("abcdefg")) doc.append(DataLine(LINE_TEXT, std::string(1, ch)));
    EXPECT_EQ(doc.move_lines(c.selected, c.delta), c.moved);
    std::string order;
    for (const DataLine& line : doc) order += line.text();
    EXPECT_EQ(order, c.expected);
    for (int i = 0; i < doc.count(); ++i) EXPECT_EQ(doc.line_index(doc.line_at(i)), i);
}

INSTANTIATE_TEST_SUITE_P(
    CardDocument, MoveLines,
    testing::Values(MoveCase{"up_single", {3}, -1, true, "abdcefg"},
                    MoveCase{"up_block", {2, 3, 4}, -1, true, "acdebfg"},
                    MoveCase{"up_two_blocks", {1, 2, 5}, -1, true, "bcadfeg"},
                    MoveCase{"up_first_selected", {0, 3}, -1, false, "abcdefg"},
                    MoveCase{"down_single", {3}, 1, true, "abcedfg"},
                    MoveCase{"down_block", {1, 2}, 1, true, "adbcefg"},
                    MoveCase{"down_two_blocks", {0, 4, 5}, 1, true, "bacdgef"},
                    MoveCase{"down_last_selected", {2, 6}, 1, false, "abcdefg"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every query of a random edit sequence against a plain vector model.
TEST(CardDocument, AgreesWithNaiveModelUnderRandomEdits) {
    std::mt19937 rng(12345);
    const std::pair<int, std::string> kinds[] = {
        {LINE_TITLE, "#t,000000"}, {LINE_TEXT, "q,a,<00"}, {LINE_TEXT, "'c"},
        {LINE_TEXT, ""},           {LINE_GROUP, "$Group="}, {LINE_MESSAGE, "$Message=m"},
    };
    CardDocument doc;
    std::vector<std::pair<int, std::string>> model;
    auto random_line = [&] { return kinds[rng() % std::size(kinds)]; };

    for (int step = 0; step < 3000; ++step) {
        int n = static_cast<int>(model.size());
        switch (rng() % 7) {
        case 0:
        case 1: {
            int pos = n ? static_cast<int>(rng() % (n + 1)) : 0;
            auto l = random_line();
            doc.insert(pos, DataLine(l.first, l.second));
            model.insert(model.begin() + pos, l);
            break;
        }
        case 2:
            if (n) {
                int pos = static_cast<int>(rng() % n);
                doc.erase(pos);
                model.erase(model.begin() + pos);
            }
            break;
        case 3:
            if (n) {
                int pos = static_cast<int>(rng() % n);
                auto l = random_line();
                doc.set_line(doc.line_at(pos), l.first, l.second);
                model[pos] = l;
            }
            break;
        case 4:
            if (n > 1) {
                int pos = static_cast<int>(rng() % (n - 1));
                doc.swap_with_next(pos);
                std::swap(model[pos], model[pos + 1]);
            }
            break;
        case 5: {
            auto l = random_line();
            doc.append(DataLine(l.first, l.second));
            model.push_back(l);
            break;
        }
        case 6:
            break;  // query only
        }

        // Spot-check a few lines, as interleaved lookups would.
        ASSERT_EQ(doc.count(), static_cast<int>(model.size()));
        if (model.empty()) continue;
        int probe = static_cast<int>(rng() % model.size());
        int titles = 0, questions = 0, enclosing = -1;
        for (int i = 0; i <= probe; ++i) {
            const auto& [kind, text] = model[i];
            if (kind == LINE_TITLE) ++titles, enclosing = i;
            if (kind == LINE_TEXT && !text.empty() && text[0] != '\'') ++questions;
        }
        const DataLine* line = doc.line_at(probe);
        ASSERT_EQ(line->text(), model[probe].second);
        ASSERT_EQ(doc.line_index(line), probe);
        ASSERT_EQ(doc.title_number(line), titles - 1);
        ASSERT_EQ(doc.question_number(line), questions - 1);
        ASSERT_EQ(doc.line_index(doc.enclosing_title(line)), enclosing);
        int group = -1;
        for (int i = 0; i < static_cast<int>(model.size()) && group < 0; ++i)
            if (model[i].first == LINE_GROUP) group = i;
        ASSERT_EQ(doc.line_index(doc.find_group_settings()), group);
    }
}

}  // namespace
}  // namespace qz
