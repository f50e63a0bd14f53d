#include "core/operations/bulk_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/document/data_file.h"
#include "core/operations/clipboard.h"
#include "core/operations/select.h"
#include "core/operations/sort.h"

namespace qz {
namespace {

// A document read from `body`, these lines selected, `current` current.
struct Editor {
    EditorModel model;
    const CardDocument& doc = model.doc();
    Editor(const std::string& body, const std::vector<int>& selected, int current = -1,
           const char* version = "1.4") {
        CardDocument loaded;
        read_data_file(std::string("QUIZODATA V") + version + "\r\n" + body, loaded);
        model.replace(loaded, {});
        model.set_selection(selected, selected.empty() ? -1 : selected.front());
        model.set_current(current);
    }
    std::string texts() const {
        std::string joined;
        for (const DataLine& line : doc) joined += std::string(line.has_text() ? line.text() : "_") + "|";
        return joined;
    }
};

TEST(Clipboard, CopyAndPaste) {
    Editor copy("#t,000000\r\n\r\nq,a,<00\r\n'c\r\n", {0, 1, 2});
    EXPECT_EQ(selected_lines_text(copy.model), "#t,000000\r\n\r\nq,a,<00\r\n");

    const struct { const char* version; int current; std::string text, after; } cases[] = {
        {"1.4", 0, "x,1,<00\r\ny,2,<00\r\n", "a,1,<00|x,1,<00|y,2,<00|b,2,<00|"},
        {"1.4", -1, "x,1,<00\ny,2,<00\n", "x,1,<00|y,2,<00|a,1,<00|b,2,<00|"},
        {"1.4", 1, "x,1,<00\ry,2,<00\r", "a,1,<00|b,2,<00|x,1,<00|y,2,<00|"},
        {"1.4", 1, "\r\nx,1,<00", "a,1,<00|b,2,<00|_|x,1,<00|"},  // unterminated last line
        {"1.3", 1, "$Message=m\r\n", "a,1,<00|b,2,<00|'$Message=m|"},
        {"1.4", 1, "", "a,1,<00|b,2,<00|"},
        {"1.4", 1, std::string("x,1,<00\0y", 9), "a,1,<00|b,2,<00|x,1,<00|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Editor e("a,1,<00\r\nb,2,<00\r\n", {}, c.current, c.version);
        paste_text(e.model, c.text);
        EXPECT_EQ(e.texts(), c.after);
        EXPECT_EQ(e.model.history().position(), c.text.empty() ? 0u : 1u);
    }
}

TEST(BulkEdit, ReversedQuestionReadsBackAsAQuestion) {
    const char* const cases[][2] = {
        {"Q,A,?20'c", "A,Q,<00"}, {"Q,#A,<00", "\\#A,Q,<00"}, {"Q,'A,<00", "\\'A,Q,<00"},
        {"\\#Q,A,<00", "A,#Q,<00"}, {"f(x) [a|b],y,<00", "y,f\\(x\\) \\[a\\|b\\],<00"},
        {"Q,\\(x\\) [A|B],<00", "(x) [A|B],Q,<00"},
        {"\\i\"a(1).png\"表(,A,<00", "A,\\i\"a(1).png\"表\\(,<00"}, {"no answer", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        const std::string reversed = reversed_question(c[0]);
        EXPECT_EQ(reversed, c[1]);
        const DataLine line = classify_data_line(reversed.c_str(), 14);
        EXPECT_EQ(line.text(), reversed);
        EXPECT_EQ(is_question(&line), !reversed.empty());
    }
}

TEST(BulkEdit, SwapAndGroupChangeOfTheSelectedQuestions) {
    Editor e("#t,000000\r\nQ,A,?20'c\r\n'c\r\nQ\\,x,B,<55\r\n", {0, 1, 2, 3});
    EXPECT_EQ(swap_selected_questions(e.model), 2);
    EXPECT_EQ(e.texts(), "#t,000000|Q,A,?20'c|'c|Q\\,x,B,<55|A,Q,<00|B,Q\\,x,<00|");
    e.model.undo();
    e.model.set_selection({0, 1, 2, 3}, 0);  // (undo selected where the copies were)
    EXPECT_EQ(change_selected_groups(e.model, 3), 2);
    EXPECT_EQ(e.texts(), "#t,000000|Q,A,?30'c|'c|Q\\,x,B,<35|");
    e.model.undo();
    EXPECT_FALSE(e.model.modified());

    // Nothing to change: no step, not modified.
    e.model.set_selection({0, 2}, 0);
    EXPECT_EQ(swap_selected_questions(e.model), 0);
    EXPECT_EQ(change_selected_groups(e.model, 3), 0);
    EXPECT_FALSE(e.model.modified());
    EXPECT_EQ(e.model.history().position(), 0u);
}

void fill(CardDocument& doc, const std::vector<std::string>& texts) {
    doc.clear();
    for (const std::string& t : texts) doc.append(DataLine(t.starts_with("#") ? LINE_TITLE : LINE_TEXT, t));
}

std::vector<std::string> texts(const CardDocument& doc) {
    std::vector<std::string> out;
    for (const DataLine& line : doc) out.emplace_back(line.text());
    return out;
}

const std::vector<std::string> kQuiz = {
    "#東京,000000",             // 0  title 1
    "首都は？,東京,<10",        // 1  question 1, group 1
    "#空,000000",               // 2  title 2, no questions
    "#京都,000000",             // 3  title 3
    "'京都のコメント,x,<10",    // 4  a comment that reads like group 1
    "寺は？,京都,<20",          // 5  question 2, group 2
    "",                         // 6
    "川は？,鴨川,<10",          // 7  question 3, group 1
};

TEST(SelectLines, RangesGroupsAndTexts) {
    using R = SelectRange;
    struct Case {
        const char* name;
        SelectRequest request;
        std::string message;
        bool warning;
        std::vector<int> selected_after;
    };
    constexpr unsigned kFieldsOnly = 0xE7;  // question, answer, comment; no title
    const char* bad = "数値が正しくありません。";
    const Case cases[] = {
        {"every line", {.first = 2, .last = 9}, "8行選択しました。", false, {0, 1, 2, 3, 4, 5, 6, 7}},
        {"first below 2", {.first = 1, .last = 9}, bad, true, {0, 2}},
        {"last beyond", {.first = 2, .last = 10}, bad, true, {0, 2}},
        {"questions take in what lies between", {.range = R::questions, .first = 1, .last = 3}, "7行選択しました。", false,
         {1, 2, 3, 4, 5, 6, 7}},
        {"one group, never comments", {.range = R::questions, .first = 1, .last = 3, .group = 1}, "2行選択しました。", false,
         {1, 7}},
        {"question beyond", {.range = R::questions, .first = 1, .last = 4}, bad, true, {0, 2}},
        {"title without questions", {.range = R::title, .title = 2}, "問題がありません。", false, {0, 2}},
        {"title's questions", {.range = R::title, .title = 3}, "3行選択しました。", false, {5, 6, 7}},
        {"no such title", {.range = R::title, .title = 4}, bad, true, {0, 2}},
        {"text", {.range = R::title, .title = 3, .by_text = true, .text = "京都", .conditions = kFieldsOnly}, "1行選択しました。", false, {5}},
        {"text under its title", {.first = 2, .last = 9, .by_text = true, .text = "京都", .conditions = 0xF7}, "5行選択しました。",
         false, {3, 4, 5, 6, 7}},
        {"empty text", {.first = 2, .last = 9, .by_text = true, .conditions = kFieldsOnly}, "", false, {0, 2}},
        {"no match", {.first = 2, .last = 9, .by_text = true, .text = "大阪", .conditions = kFieldsOnly}, "選択する行はありません。",
         false, {}},
        {"added", {.range = R::questions, .first = 3, .last = 3, .add = true}, "1行選択しました。", false,
         {0, 2, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CardDocument loaded;
        fill(loaded, kQuiz);
        EditorModel model(loaded);
        const CardDocument& doc = model.doc();
        model.set_selection({0, 2}, 2);
        model.set_current(2);
        SelectOutcome out = select_lines(model, c.request);
        EXPECT_EQ(out.message, c.message);
        EXPECT_EQ(out.warning, c.warning);
        EXPECT_EQ(model.selected(), c.selected_after);
        EXPECT_EQ(model.focus(), 2);
        EXPECT_EQ(model.current(), 2);
    }
}

TEST(SelectLines, Description) {
    using R = SelectRange;
    const struct { SelectRequest request; const char* group; const char* text; } cases[] = {
        {{.first = 2, .last = 31}, "", "行番号2～31の全ての行を新規選択"},
        {{.range = R::title, .title = 2, .by_text = true, .text = "京都", .add = true}, "", "タイトル番号2内で，「京都」を含む行を追加選択"},
        {{.range = R::questions, .first = -1, .last = 5, .group = 1}, "歴史", "問題番号-1～5で，グループ「歴史」の行を新規選択"},
    };
    for (const auto& c : cases) EXPECT_EQ(select_description(c.request, c.group), c.text);
}

TEST(SortQuestions, Orders) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::vector<int> selected;
        int key, direction;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"only selected questions move, around a title",
         {"x,1,<00", "b,1,<00", "#t,000000", "a,1,<00", "'c"}, {1, 2, 3, 4}, SORT_QUESTION, 1,
         {"x,1,<00", "a,1,<00", "#t,000000", "b,1,<00", "'c"}},
        {"common part, then the shorter", {"abc,1,<00", "ab,1,<00"}, {0, 1}, SORT_QUESTION, 1,
         {"ab,1,<00", "abc,1,<00"}},
        {"empty question keeps its place", {"c,1,<00", ",1,<00", "a,1,<00"}, {0, 1, 2}, SORT_QUESTION, 1,
         {"a,1,<00", ",1,<00", "c,1,<00"}},
        {"by answer", {"1,b,<00", "2,a,<00"}, {0, 1}, SORT_ANSWER, 1, {"2,a,<00", "1,b,<00"}},
        {"by history", {"1,a,[00", "2,a,<00", "3,a,?00"}, {0, 1, 2}, SORT_HISTORY, 1,
         {"2,a,<00", "3,a,?00", "1,a,[00"}},
        {"group descending, ties keep their order", {"1,a,<30", "2,a,<90", "3,a,<10", "4,a,<30"},
         {0, 1, 2, 3}, SORT_GROUP, -1, {"2,a,<90", "1,a,<30", "4,a,<30", "3,a,<10"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CardDocument loaded;
        fill(loaded, c.lines);
        EditorModel model(loaded);
        const CardDocument& doc = model.doc();
        model.set_selection(c.selected, c.selected.front());
        model.set_current(c.selected.front());
        EditOutcome out = sort_selected_questions(model, c.key, c.direction);
        EXPECT_TRUE(out.done);
        EXPECT_EQ(texts(doc), c.after);
        EXPECT_EQ(model.selected(), c.selected);
        EXPECT_EQ(model.focus(), c.selected.front());
        EXPECT_EQ(model.current(), c.selected.front());
        // One step, undone as one.
        ASSERT_TRUE(model.can_undo());
        model.undo();
        EXPECT_EQ(texts(doc), c.lines);
        EXPECT_FALSE(model.can_undo());
    }
}

TEST(SortQuestions, NothingToSortOrNothingMoves) {
    CardDocument loaded;
    fill(loaded, {"#t,000000", "'c", "", "a,1,<00", "b,1,<00"});
    EditorModel model(loaded);
    const CardDocument& doc = model.doc();
    model.set_selection({0, 1, 2}, 0);
    EXPECT_EQ(sort_selected_questions(model, SORT_QUESTION, 1).refusal, "問題が選択されていません。");
    model.set_selection({3, 4}, 3);
    EditOutcome out = sort_selected_questions(model, SORT_QUESTION, 1);
    EXPECT_TRUE(out.done && out.refusal.empty());
    EXPECT_FALSE(model.can_undo());
}

}  // namespace
}  // namespace qz
