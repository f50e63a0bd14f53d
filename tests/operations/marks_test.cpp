#include "core/operations/marks.h"

#include <gtest/gtest.h>

#include <string>

#include "core/document/data_file.h"
#include "core/document/editor_model.h"
#include "core/operations/bulk_edit.h"
#include "core/operations/select.h"

namespace qz {
namespace {

// One question before any title (no right mark), title A with one
// question of every history value 0-31 (groups alternating 0 and 1),
// a comment, and title B with two of group 5.
std::string fixture() {
    std::string body = "lone,a,<00\r\n#A,000000\r\n";
    for (int h = 0; h < 32; ++h)
        body += "q" + std::to_string(h) + ",a," + char('<' + h) + char('0' + h % 2) + "0\r\n";
    body += "'comment\r\n#B\\,b,000000\r\nb1,a,[50\r\nb2,a,=50\r\n";
    return "QUIZODATA V1.4\r\n" + body;
}

struct Expected {
    const char* name;
    int questions;
    std::array<int, kBandCount> bands;
    long long right;
};

void expect_sections(const MarkCounts& s, const std::vector<Expected>& expected) {
    ASSERT_EQ(s.sections.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(s.sections[i].name, expected[i].name);
        EXPECT_EQ(s.sections[i].questions, expected[i].questions);
        EXPECT_EQ(s.sections[i].bands, expected[i].bands);
        EXPECT_EQ(s.sections[i].right, expected[i].right);
    }
}

TEST(MarkCounts, CountsPerTitleAndPerGroupAgainstHandCounts) {
    CardDocument doc;
    read_data_file(fixture(), doc);
    // 0..31 hold k right marks C(5, k) times: 1, 5, 10, 10, 5, 1.
    const MarkCounts by_title = count_marks(doc);
    expect_sections(by_title, {{"（タイトルなし）", 1, {0, 0, 0, 1}, 0},
                               {"A", 32, {1, 15, 15, 1}, 80},
                               {"B,b", 2, {1, 0, 1, 0}, 6}});  // '[' 31 and '=' 1
    EXPECT_EQ(by_title.questions.size(), 35u);
    EXPECT_EQ(by_title.no_right, 2);
    EXPECT_EQ(by_title.right, 86);
    EXPECT_DOUBLE_EQ(by_title.right_rate(), 86.0 / 175);
    EXPECT_EQ(by_title.questions[1].index, 2);  // q0, after the lone one and title A
    EXPECT_EQ(by_title.questions[1].section, 1);

    // Groups 0-9 in order, whatever order the questions come in.
    const MarkCounts by_group = count_marks(doc, StatsBy::group);
    ASSERT_EQ(by_group.sections.size(), 3u);
    EXPECT_EQ(by_group.sections[0].key, 0);
    EXPECT_EQ(by_group.sections[0].questions, 17);  // lone and the even histories
    EXPECT_EQ(by_group.sections[1].questions, 16);
    EXPECT_EQ(by_group.sections[2].key, 5);
    EXPECT_EQ(by_group.questions.back().section, 2);
    EXPECT_EQ(by_group.right, by_title.right);
}

TEST(MarkCounts, BandsAndMarksText) {
    const std::pair<int, MarkBand> rows[] = {{5, BAND_ALL_RIGHT},    {4, BAND_MOSTLY_RIGHT},
                                             {3, BAND_MOSTLY_RIGHT}, {2, BAND_MOSTLY_WRONG},
                                             {1, BAND_MOSTLY_WRONG}, {0, BAND_ALL_WRONG}};
    for (auto [right, band] : rows) EXPECT_EQ(mark_band(right), band) << right;
    EXPECT_EQ(marks_text(0b00101), "○×○××");
    EXPECT_EQ(right_marks(31), 5);
    EXPECT_EQ(right_marks(0), 0);
}

TEST(SelectByMarks, AtMostAndAtLeastBesideTheirNearMisses) {
    CardDocument loaded;
    read_data_file(fixture(), loaded);
    EditorModel model(loaded);
    const CardDocument& doc = model.doc();
    struct Row {
        int marks;
        bool at_most;
        int selected;
    };
    // Among the 35 questions: 2 with none, 6 with one, 6 with four, 2 with five.
    const Row rows[] = {{0, true, 2}, {1, true, 8}, {5, false, 2}, {4, false, 7}, {5, true, 35},
                        {0, false, 35}};
    for (const Row& r : rows) {
        SelectRequest request;
        request.first = 2;
        request.last = doc.count() + 1;
        request.by_marks = true;
        request.right_marks = r.marks;
        request.at_most = r.at_most;
        const SelectOutcome out = select_lines(model, request);
        EXPECT_EQ(out.selected, r.selected) << r.marks << (r.at_most ? " at most" : " at least");
    }
    SelectRequest request;
    request.first = 2;
    request.last = 40;
    request.by_marks = true;
    request.right_marks = 2;
    request.at_most = false;
    EXPECT_EQ(select_description(request, ""), "行番号2～40で，正答数2以上の行を新規選択");
}

TEST(ResetHistories, SelectedQuestionsOnlyAsOneUndoableStep) {
    CardDocument loaded;
    read_data_file(fixture(), loaded);
    EditorModel model(loaded);
    const CardDocument& doc = model.doc();
    const std::string before = write_data_file(doc);
    // The lone question, title A, q0 and the comment: two questions.
    model.set_selection({0, 1, 2, 34}, 0);
    EXPECT_EQ(reset_selected_histories(model, true), 2);
    EXPECT_EQ(doc.line_at(0)->text(), "lone,a,[00");
    EXPECT_EQ(doc.line_at(2)->text(), "q0,a,[00");
    EXPECT_EQ(doc.line_at(1)->text(), "#A,000000");
    EXPECT_EQ(reset_selected_histories(model, false), 2);
    EXPECT_EQ(doc.line_at(2)->text(), "q0,a,<00");
    model.undo();
    model.undo();
    EXPECT_EQ(write_data_file(doc), before);
    EXPECT_FALSE(model.modified());
    model.clear_selection();
    EXPECT_EQ(reset_selected_histories(model, true), 0);
    EXPECT_TRUE(model.can_redo());  // no step recorded over the undone ones
}

}  // namespace
}  // namespace qz
