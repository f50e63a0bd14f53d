#include "core/document/editor_model.h"
#include "core/document/card_document.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/document/data_file.h"
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

// Numbered as appended, and once adopted (by a document that held lines
// of its own) with the numbers the lines came with.
TEST(CardDocument, NumberingOfSample) {
    for (const bool adopted : {false, true}) {
        SCOPED_TRACE(adopted ? "adopted" : "appended");
        CardDocument doc;
        fill(doc, kSample);
        if (adopted) {
            CardDocument taker;
            fill(taker, {{LINE_TITLE, "#old,000000"}, {LINE_TEXT, "old,a,<00"}, {LINE_GROUP, "$Group=c"}});
            EXPECT_EQ(taker.count_questions(), 1);
            taker.adopt(doc);
            EXPECT_EQ(doc.count_questions(), 0);
            doc.adopt(taker);
        }
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
        int titles = 0, questions = 0, enclosing = -1, group = -1, last_question = -1, next = -1, all = 0;
        for (int i = 0; i < static_cast<int>(model.size()); ++i) {
            const auto& [kind, text] = model[i];
            if (kind == LINE_GROUP && group < 0) group = i;
            const bool question = kind == LINE_TEXT && !text.empty() && text[0] != '\'';
            all += question;
            if (question && i > probe && next < 0) next = i;
            if (i > probe) continue;
            if (kind == LINE_TITLE) ++titles, enclosing = i;
            if (question) ++questions, last_question = i;
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
        ASSERT_EQ(doc.count_questions(), all);
        ASSERT_EQ(doc.line_index(doc.question_by_number(questions - 1)), last_question);
        ASSERT_EQ(doc.line_index(doc.next_question(line)), next);
    }
}

// One letter a line: 'q' question, '#' title, '\'' comment, '_' blank,
// 'g' group names line, 'm' message line.
void fill(CardDocument& doc, const std::string& shape) {
    doc.clear();
    int n = 0;
    for (char c : shape) {
        std::string id = std::to_string(n++);
        switch (c) {
        case '#': doc.append(DataLine(LINE_TITLE, "#t" + id + ",000000")); break;
        case '\'': doc.append(DataLine(LINE_TEXT, "'c" + id)); break;
        case '_': doc.append(DataLine(LINE_TEXT, "")); break;
        case 'g': doc.append(DataLine(LINE_GROUP, "$Group=g" + id)); break;
        case 'm': doc.append(DataLine(LINE_MESSAGE, "$Message=m" + id)); break;
        default: doc.append(DataLine(LINE_TEXT, "q" + id + ",a,<00")); break;
        }
    }
}

std::string texts(const CardDocument& doc) {
    std::string joined;
    for (const DataLine& line : doc) joined += std::string(line.has_text() ? line.text() : "_") + "|";
    return joined;
}

// The visible result of each line operation: selection, focus, current line.
TEST(EditorModel, LineOperations) {
    enum Op { ADD_TITLE, INSERT_QUESTION, ADD_GROUP, ADD_MESSAGE, DELETE, MOVE_UP, MOVE_DOWN };
    struct Case {
        const char* name;
        std::string shape;
        std::vector<int> selected;
        int focus, current;
        Op op;
        int count_after;
        std::vector<int> selected_after;
        int focus_after, current_after;
        std::string refusal;
    };
    const Case cases[] = {
        {"add title at the end", "qqqqq", {0, 2}, 2, 2, ADD_TITLE, 6, {0, 5}, 5, 5, ""},
        {"insert question before current", "qqqqq", {0, 2}, 2, 2, INSERT_QUESTION, 6, {0, 2}, 2, 2, ""},
        {"insert question without current", "qqq", {}, -1, -1, INSERT_QUESTION, 4, {0}, 0, 0, ""},
        {"settings line before current", "q#q", {1}, 1, 1, ADD_MESSAGE, 4, {1}, 1, 1, ""},
        {"second group line", "qqqgq", {1}, 1, 1, ADD_GROUP, 5, {1}, 1, 1,
         "すでに5行目にグループ設定があります。"},
        {"delete some", "qqqqq", {1, 3}, 3, 3, DELETE, 3, {0}, 0, 0, ""},
        {"delete every line", "qqqqq", {0, 1, 2, 3, 4}, 4, 4, DELETE, 1, {0}, 0, 0,
         "これ以上削除することはできません。"},
        {"delete the only line", "q", {0}, 0, 0, DELETE, 1, {0}, 0, 0,
         "これ以上削除することはできません。"},
        {"delete nothing selected", "qqq", {}, 1, 1, DELETE, 3, {}, 1, 1, ""},
        {"move blocks up", "qqqqqq", {1, 2, 4}, 4, 2, MOVE_UP, 6, {0, 1, 3}, 3, 1, ""},
        {"move down, focus on a passed line", "qqqq", {1}, 2, 2, MOVE_DOWN, 4, {2}, 1, 1, ""},
        {"move up from the top", "qqqq", {0, 2}, 2, 2, MOVE_UP, 4, {0, 2}, 2, 2, ""},
        {"move down from the bottom", "qqqq", {3}, 3, 3, MOVE_DOWN, 4, {3}, 3, 3, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CardDocument loaded;
        fill(loaded, c.shape);
        EditorModel model(loaded);
        const CardDocument& doc = model.doc();
        model.set_selection(c.selected, c.focus);
        model.set_current(c.current);
        const std::string before = texts(doc);
        EditOutcome out;
        switch (c.op) {
        case ADD_TITLE: out = model.add_line(DataLine(LINE_TITLE, "#,000000"), true); break;
        case INSERT_QUESTION: out = model.add_line(DataLine(LINE_TEXT, ""), false); break;
        case ADD_GROUP: out = model.add_settings_line(LINE_GROUP); break;
        case ADD_MESSAGE: out = model.add_settings_line(LINE_MESSAGE); break;
        case DELETE: out = model.delete_selected(); break;
        case MOVE_UP: out = model.move_selected(-1); break;
        case MOVE_DOWN: out = model.move_selected(1); break;
        }
        EXPECT_EQ(doc.count(), c.count_after);
        EXPECT_EQ(model.selected(), c.selected_after);
        EXPECT_EQ(model.focus(), c.focus_after);
        EXPECT_EQ(model.current(), c.current_after);
        EXPECT_EQ(out.refusal, c.refusal);
        EXPECT_EQ(model.modified(), texts(doc) != before);
        EXPECT_EQ(model.can_undo(), texts(doc) != before);
    }
}

TEST(EditorModel, UndoSelectsTheTouchedLines) {
    CardDocument loaded;
    fill(loaded, "qqqqqq");
    EditorModel model(loaded);
    const CardDocument& doc = model.doc();
    model.set_selection({1, 2, 4}, 4);
    model.delete_selected();
    model.undo();
    EXPECT_EQ(model.selected(), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(model.focus(), 1);
    EXPECT_EQ(model.current(), 1);
    model.redo();
    // Only removed: the line that took the first one's place.
    EXPECT_EQ(model.selected(), std::vector<int>{1});
    EXPECT_EQ(texts(doc), "q0,a,<00|q3,a,<00|q5,a,<00|");
}

TEST(EditorModel, VersionChangeTurnsSettingsIntoComments) {
    CardDocument loaded;
    fill(loaded, "gqm");
    EditorModel model(loaded);
    const CardDocument& doc = model.doc();
    ChangeReport change = model.change_version(13);
    EXPECT_EQ(doc.version, 13);
    EXPECT_EQ(texts(doc), "'Group=g0|q1,a,<00|'Message=m2|");
    EXPECT_EQ(doc.line_at(0)->kind(), LINE_TEXT);
    EXPECT_EQ(change.touched, (std::vector<int>{0, 2}));
    model.undo();
    EXPECT_EQ(doc.version, 14);
    EXPECT_EQ(doc.line_at(2)->kind(), LINE_MESSAGE);
    // Even an unchanged version is a step.
    model.change_version(14);
    EXPECT_TRUE(model.modified());
}

TEST(EditHistory, OldestStepsGoFirstAndTheSavedStateWithThem) {
    CardDocument loaded;
    fill(loaded, "q");
    EditorModel model(loaded);
    const CardDocument& doc = model.doc();
    for (int i = 0; i < 1005; ++i) model.commit_line(0, "q" + std::to_string(i));
    EXPECT_EQ(model.history().size(), 1000u);
    while (model.can_undo()) model.undo();
    EXPECT_EQ(doc.line_at(0)->text(), "q4");
    EXPECT_TRUE(model.modified());

    // Removed lines are held by their steps.
    CardDocument held;
    fill(held, "q");
    for (int i = 0; i < 10; ++i) held.append(DataLine(LINE_TEXT, std::string(1000, 'x')));
    EditHistory small(1000, 4096);
    for (int i = 0; i < 10; ++i) {
        EditStep step;
        step.push_back(LineEdit::remove_lines({1}));
        apply_step(held, step);
        small.record(std::move(step));
    }
    EXPECT_LE(small.bytes(), 4096u);
    EXPECT_EQ(small.size(), 3u);
}

// Random sequences of every kind of edit: undoing everything gives back the
// bytes the document was opened with, redoing everything the last ones, and
// the modified flag follows the state last saved.
TEST(EditorModel, UndoAndRedoRestoreTheBytes) {
    std::mt19937 rng(20261206);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const std::string kinds = "qqqq#'_gm";
    int fresh = 0;
    for (int round = 0; round < 200; ++round) {
        CardDocument loaded;
        std::string shape;
        for (int i = 1 + pick(12); i > 0; --i) shape += kinds[pick(static_cast<int>(kinds.size()))];
        fill(loaded, shape);
        EditorModel model(loaded);
        const CardDocument& doc = model.doc();
        // The bytes at each history position; the saved position (npos
        // once a new step dropped it from reach).
        std::vector<std::string> states{write_data_file(doc)};
        std::size_t saved = 0;
        const std::size_t npos = std::string::npos;
        for (int step = 0; step < 30; ++step) {
            std::vector<int> selection;
            for (int i = 0; i < doc.count(); ++i)
                if (pick(3) == 0) selection.push_back(i);
            model.set_selection(selection, selection.empty() ? -1 : selection.back());
            if (pick(4) == 0) {
                pick(2) ? model.select_all() : model.invert_selection();
                ASSERT_EQ(model.selected_count(), static_cast<int>(model.selected().size()));
            }
            model.set_current(pick(doc.count() + 1) - 1);
            const std::size_t before = model.history().position();
            bool redone = false;
            switch (pick(9)) {
            case 0: model.add_line(DataLine(LINE_TITLE, "#,000000"), pick(2)); break;
            case 1: model.add_settings_line(pick(2) ? LINE_GROUP : LINE_FONT_ANSWER); break;
            case 2: model.delete_selected(); break;
            case 3: model.move_selected(pick(2) ? 1 : -1); break;
            case 4: model.commit_line(pick(doc.count()), "n" + std::to_string(++fresh)); break;
            case 5: model.change_version(12 + pick(3)); break;
            case 6: model.insert_lines(pick(doc.count() + 1), {DataLine(LINE_TEXT, "'i"), DataLine()}); break;
            case 7:
                redone = model.can_redo();
                redone ? model.redo() : model.undo();
                break;
            default:
                if (pick(2)) {
                    model.undo();
                } else {
                    model.mark_saved();
                    saved = before;
                }
                break;
            }
            const std::size_t at = model.history().position();
            const std::string bytes = write_data_file(doc);
            if (!redone && at == before + 1) {
                // A new step: the undone ones are gone.
                if (saved != npos && saved > before) saved = npos;
                states.resize(at);
                states.push_back(bytes);
            }
            ASSERT_EQ(model.history().size() + 1, states.size());
            ASSERT_EQ(bytes, states[at]);
            ASSERT_EQ(model.modified(), at != saved);
        }
        while (model.can_undo()) model.undo();
        EXPECT_EQ(write_data_file(doc), states.front());
        EXPECT_EQ(model.modified(), saved != 0);
        while (model.can_redo()) model.redo();
        EXPECT_EQ(write_data_file(doc), states.back());
        EXPECT_EQ(model.selected_count(), static_cast<int>(model.selected().size()));
        std::vector<int> in_runs;
        for (auto [first, last] : model.selected_runs())
            for (int i = first; i <= last; ++i) in_runs.push_back(i);
        EXPECT_EQ(in_runs, model.selected());
    }
}

}  // namespace
}  // namespace qz
