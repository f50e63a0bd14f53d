#include "core/document/card_document.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/document/line_labels.h"

namespace qz {
namespace {

using Line = std::pair<int, std::string>;

void fill(CardDocument& doc, const std::vector<Line>& lines) {
    doc.clear();
    for (const auto& [kind, text] : lines) doc.append(DataLine(kind, text));
}

const std::vector<Line> kSample = {
    {LINE_TEXT, "q0,a,<00"},     // 0  question before any title
    {LINE_TITLE, "#T1,000000"},  // 1
    {LINE_TEXT, "q1,a,<00"},     // 2
    {LINE_TEXT, "'comment"},     // 3
    {LINE_TEXT, ""},             // 4
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
    EXPECT_EQ(doc.count_titles(), 3);
    EXPECT_EQ(doc.count_questions(), 4);
    struct Row {
        int title_number, question_number, enclosing, in_section;
    };
    const Row rows[] = {{-1, 0, -1, 0}, {0, 0, 1, 2}, {0, 1, 1, 1}, {0, 1, 1, 1},
                        {0, 1, 1, 1},   {0, 1, 1, 1}, {0, 2, 1, 0}, {1, 2, 7, 0},
                        {2, 2, 8, 1},   {2, 3, 8, 0}, {2, 3, 8, 0}};
    ASSERT_EQ(doc.count(), static_cast<int>(std::size(rows)));
    for (int i = 0; i < doc.count(); ++i) {
        SCOPED_TRACE(i);
        const DataLine* line = doc.line_at(i);
        EXPECT_EQ(doc.line_index(line), i);
        EXPECT_EQ(doc.title_number(line), rows[i].title_number);
        EXPECT_EQ(doc.question_number(line), rows[i].question_number);
        EXPECT_EQ(doc.line_index(doc.enclosing_title(line)), rows[i].enclosing);
        EXPECT_EQ(doc.questions_in_section(line), rows[i].in_section);
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
    fill(doc, {{LINE_TITLE, "#a,000000"}, {LINE_TITLE, "#b,000000"}});
    EXPECT_EQ(doc.questions_in_section(doc.line_at(0)), 0);
    EXPECT_EQ(doc.questions_in_section(doc.line_at(1)), 0);
}

TEST(CardDocument, EditsKeepAddressesAndRecount) {
    CardDocument doc;
    fill(doc, kSample);
    DataLine* q2 = doc.line_at(6);
    doc.erase(0);
    doc.insert(3, DataLine(LINE_TITLE, "#new,000000"));
    doc.swap_with_next(0);
    EXPECT_EQ(doc.line_at(6), q2);
    EXPECT_EQ(q2->text(), "q2,a,<00");

    fill(doc, kSample);
    doc.set_text(doc.line_at(2), "'now a comment");
    EXPECT_EQ(doc.question_number(doc.line_at(9)), 2);
    EXPECT_EQ(doc.count_questions(), 3);
    doc.set_text(doc.line_at(4), "new,q,<00");
    EXPECT_EQ(doc.question_number(doc.line_at(4)), 1);
    EXPECT_EQ(doc.question_number(doc.line_at(9)), 3);

    fill(doc, kSample);
    EXPECT_EQ(doc.erase_if([](int index, const DataLine&) { return index % 2 == 0; }), 6);
    ASSERT_EQ(doc.count(), 5);
    EXPECT_EQ(doc.line_at(0)->text(), "#T1,000000");
    EXPECT_EQ(doc.line_at(4)->text(), "q3,a,<00");
    EXPECT_EQ(doc.count_titles(), 2);
}

TEST(CardDocument, MoveLinesKeepsBlocksTogether) {
    struct Case {
        std::vector<int> selected;
        int delta;
        bool moved;
        const char* expected;  // one letter per line
    };
    const Case cases[] = {
        {{3}, -1, true, "abdcefg"},         {{2, 3, 4}, -1, true, "acdebfg"},
        {{1, 2, 5}, -1, true, "bcadfeg"},   {{0, 3}, -1, false, "abcdefg"},
        {{3}, 1, true, "abcedfg"},          {{1, 2}, 1, true, "adbcefg"},
        {{0, 4, 5}, 1, true, "bacdgef"},    {{2, 6}, 1, false, "abcdefg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        CardDocument doc;
        for (char ch : std::string("abcdefg")) doc.append(DataLine(LINE_TEXT, std::string(1, ch)));
        EXPECT_EQ(doc.move_lines(c.selected, c.delta), c.moved);
        std::string order;
        for (const DataLine& line : doc) order += line.text();
        EXPECT_EQ(order, c.expected);
        for (int i = 0; i < doc.count(); ++i) EXPECT_EQ(doc.line_index(doc.line_at(i)), i);
    }
}

TEST(LineLabel, EveryKind) {
    const std::vector<std::pair<Line, const char*>> rows = {
        {{LINE_TEXT, "q0,a,<00"}, "問題1"},  // a question before any title
        {{LINE_TITLE, "#T1,000000"}, "タイトル1"},
        {{LINE_TEXT, "'"}, "コメント"},
        {{LINE_TEXT, ""}, "空行"},
        {{LINE_GROUP, "$Group=a"}, "設定"},
        {{LINE_FONT_COMMENT, "$FontComment=9"}, "設定"},
        {{LINE_SETTINGS, "$"}, "設定"},  // any kind with the settings bit
        {{LINE_UNKNOWN, "x"}, "不明"},
        {{7, "q,a,<00"}, "不明"},
        {{LINE_TEXT, "not checked here"}, "問題2"},  // labels follow the kind and first byte
    };
    CardDocument doc;
    EXPECT_EQ(line_label(doc, 0), "");
    for (const auto& [line, label] : rows) doc.append(DataLine(line.first, line.second));
    for (int i = 0; i < doc.count(); ++i) EXPECT_EQ(line_label(doc, i), rows[i].second) << i;
    EXPECT_EQ(line_label(doc, -1), "");
    EXPECT_EQ(line_label(doc, doc.count()), "");
}

// Every query of a random edit sequence against a plain vector model.
TEST(CardDocument, AgreesWithNaiveModelUnderRandomEdits) {
    std::mt19937 rng(12345);
    const Line kinds[] = {{LINE_TITLE, "#t,000000"}, {LINE_TEXT, "q,a,<00"},  {LINE_TEXT, "'c"},
                          {LINE_TEXT, ""},           {LINE_GROUP, "$Group="}, {LINE_MESSAGE, "$Message=m"}};
    CardDocument doc;
    std::vector<Line> model;
    auto pick = [&](int n) { return n > 0 ? static_cast<int>(rng() % n) : 0; };
    for (int step = 0; step < 3000; ++step) {
        const int n = static_cast<int>(model.size());
        const Line l = kinds[pick(std::size(kinds))];
        const int op = pick(6);  // 5: queries only
        if (op <= 1 || (op >= 2 && op <= 4 && n < 2)) {
            const int pos = op == 1 ? n : pick(n + 1);
            if (op == 1) doc.append(DataLine(l.first, l.second));
            else doc.insert(pos, DataLine(l.first, l.second));
            model.insert(model.begin() + pos, l);
        } else if (op == 2) {
            const int pos = pick(n);
            doc.erase(pos);
            model.erase(model.begin() + pos);
        } else if (op == 3) {
            const int pos = pick(n);
            doc.set_line(doc.line_at(pos), l.first, l.second);
            model[pos] = l;
        } else if (op == 4) {
            const int pos = pick(n - 1);
            doc.swap_with_next(pos);
            std::swap(model[pos], model[pos + 1]);
        }

        ASSERT_EQ(doc.count(), static_cast<int>(model.size()));
        if (model.empty()) continue;
        const int probe = pick(model.size());
        int titles = 0, questions = 0, enclosing = -1, group = -1;
        for (int i = 0; i < static_cast<int>(model.size()); ++i) {
            const auto& [kind, text] = model[i];
            if (kind == LINE_GROUP && group < 0) group = i;
            if (i > probe) continue;
            if (kind == LINE_TITLE) ++titles, enclosing = i;
            if (kind == LINE_TEXT && !text.empty() && text[0] != '\'') ++questions;
        }
        const DataLine* line = doc.line_at(probe);
        ASSERT_EQ(line->text(), model[probe].second);
        ASSERT_EQ(doc.line_index(line), probe);
        ASSERT_EQ(doc.title_number(line), titles - 1);
        ASSERT_EQ(doc.question_number(line), questions - 1);
        ASSERT_EQ(doc.titles_through(probe), titles);
        ASSERT_EQ(doc.questions_through(probe), questions);
        ASSERT_EQ(doc.line_index(doc.enclosing_title(line)), enclosing);
        ASSERT_EQ(doc.line_index(doc.find_group_settings()), group);
    }
}

}  // namespace
}  // namespace qz
