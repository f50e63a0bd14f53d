#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/commands.h"
#include "app/separator.h"
#include "document/line_list_win.h"
#include "editor_fixture.h"
#include "panes/history_control.h"
#include "panes/pane_common.h"
#include "panes/pane_host.h"
#include "resources/resource.h"

namespace qz::test {
namespace {

class QuestionPaneTest : public EditorTest {
protected:
    int history() const {
        return static_cast<int>(SendMessageA(control(1032), kHistoryGetValue, 0, 0));
    }
};

const char kChapter[] =
    "#Chapter 1,311000'first part\r\n"
    "Capital?,[東京|とうきょう],?20'geo\r\n"
    "a\\,b,c,<00\r\n"
    "'just a comment\r\n"
    "\r\n";

TEST_F(QuestionPaneTest, ShowsTheFieldsOfAQuestionLine) {
    open(kChapter);
    focus_line(1);
    ASSERT_NE(app().pane, nullptr);
    EXPECT_EQ(field(1055), "Chapter 1");
    EXPECT_EQ(field(1026), "Capital?");
    EXPECT_EQ(field(1029), "[東京|とうきょう]");
    EXPECT_EQ(history(), 3);
    EXPECT_EQ(selection(1056), 2);
    EXPECT_EQ(selection(1036), 0);
    EXPECT_EQ(SendMessageA(control(1036), CB_GETCOUNT, 0, 0), 2);
    char entry[64] = {};
    SendMessageA(control(1036), CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(entry, "1. とうきょう");
    EXPECT_EQ(field(1058), "geo");
    EXPECT_EQ(status_text(1), "\t3/6");

    focus_line(2);
    EXPECT_EQ(field(1026), "a,b");
    EXPECT_EQ(history(), 0);
    EXPECT_EQ(field(1058), "");

    focus_line(3);  // a comment line: only the comment field
    EXPECT_EQ(field(1026), "");
    EXPECT_EQ(field(1055), "");
    EXPECT_EQ(field(1058), "just a comment");
    EXPECT_EQ(history(), 0);
    EXPECT_FALSE(doc().modified);
}

struct Edit {
    const char* name;
    int line;
    int field;
    const char* typed;
    const char* stored;
    const char* label;  // the kind label after the commit
};

class QuestionPaneEdits : public QuestionPaneTest, public testing::WithParamInterface<Edit> {};

TEST_P(QuestionPaneEdits, CommitTheComposedLine) {
    const Edit& e = GetParam();
    open(kChapter);
    focus_line(e.line);
    type(e.field, e.typed);
    EXPECT_TRUE(doc().modified);
    leave_pane();
    EXPECT_EQ(doc().line_at(e.line)->text(), e.stored);
    EXPECT_EQ(item_text(e.line, 2), e.stored);
    EXPECT_EQ(item_text(e.line, 1), e.label);
    EXPECT_EQ(doc().line_at(e.line)->kind(), LINE_TEXT);
}

INSTANTIATE_TEST_SUITE_P(
    QuestionPane, QuestionPaneEdits,
    testing::Values(
        Edit{"answer", 1, 1029, "東京", "Capital?,東京,?20'geo", "問題1"},
        Edit{"question_with_comma", 1, 1026, "x,y", "x\\,y,[東京|とうきょう],?20'geo", "問題1"},
        Edit{"two_line_comment", 2, 1058, "one\r\ntwo", "a\\,b,c,<00'one\\ntwo", "問題2"},
        Edit{"question_starting_with_sharp", 2, 1026, "#1", "\\#1,c,<00", "問題2"},
        Edit{"blank_line_gets_a_question", 4, 1026, "new", "new,,<00", "問題3"},
        Edit{"comment_line_edited", 3, 1058, "changed", "'changed", "コメント"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QuestionPaneTest, EmptiedQuestionBecomesACommentOrABlankLine) {
    open(kChapter);
    focus_line(1);
    type(1026, "");
    type(1029, "");
    leave_pane();
    EXPECT_EQ(doc().line_at(1)->text(), "'geo");
    EXPECT_EQ(item_text(1, 1), "コメント");
    // The question below loses its number.
    EXPECT_EQ(item_text(2, 1), "問題1");

    focus_line(1);
    type(1058, "");
    leave_pane();
    EXPECT_FALSE(doc().line_at(1)->has_text());
    EXPECT_EQ(item_text(1, 1), "空行");
}

TEST_F(QuestionPaneTest, ProtectedQuestionShowsAndStoresTheSameWayEveryTime) {
    for (const char* version : {"1.2", "1.3", "1.4"}) {
        SCOPED_TRACE(version);
        open("\\#1,x,<00\r\n", version);
        focus_line(0);
        EXPECT_EQ(field(1026), "#1");
        for (int round = 0; round < 3; ++round) {
            type(1029, round % 2 ? "x" : "y");
            leave_pane();
            focus_line(0);
            EXPECT_EQ(field(1026), "#1");
        }
        EXPECT_EQ(doc().line_at(0)->text(), "\\#1,y,<00");
        shut_down();
        TearDown();
        SetUp();
    }
}

// Format 1.3 shows the stored answer a\\|b (two alternatives) as a\|b;
// editing the comment keeps the answer's bytes, and an edited answer reads
// back as typed.
TEST_F(QuestionPaneTest, FieldsLeftAloneKeepTheirBytes) {
    open("q,a\\\\|b,<00'c\r\n", "1.3");
    focus_line(0);
    EXPECT_EQ(field(1029), "a\\|b");
    type(1058, "cx");
    leave_pane();
    EXPECT_EQ(doc().line_at(0)->text(), "q,a\\\\|b,<00'cx");
    focus_line(0);
    type(1029, "a\\|bx");
    leave_pane();
    EXPECT_EQ(doc().line_at(0)->text(), "q,a\\\\|bx,<00'cx");
    focus_line(0);
    EXPECT_EQ(field(1029), "a\\|bx");
}

TEST_F(QuestionPaneTest, PaneIsReusedForTheSameKindAndReplacedForAnother) {
    open(kChapter);
    focus_line(1);
    HWND pane = app().pane;
    focus_line(2);
    EXPECT_EQ(app().pane, pane);
    focus_line(4);
    EXPECT_EQ(app().pane, pane);
    EXPECT_EQ(field(1026), "");
    focus_line(0);
    EXPECT_NE(app().pane, pane);
    EXPECT_FALSE(IsWindow(pane));
    EXPECT_EQ(doc().current_kind, LINE_TITLE);
}

TEST_F(QuestionPaneTest, HistoryTogglesByKeyAndCommitsAtOnce) {
    open(kChapter);
    focus_line(2);
    HWND strip = control(1032);
    SetFocus(strip);
    struct Key {
        WPARAM key;
        int value;
    } keys[] = {{'3', 4}, {VK_NUMPAD3, 0}, {'1', 1}, {VK_NUMPAD5, 17}, {'6', 17}, {VK_NUMPAD6, 17}};
    for (const Key& k : keys) {
        SendMessageA(strip, WM_KEYDOWN, k.key, 0);
        EXPECT_EQ(history(), k.value) << k.key;
        EXPECT_EQ(doc().line_at(2)->text(), "a\\,b,c," + std::string(1, static_cast<char>(0x3C + k.value)) + "00");
    }
    EXPECT_TRUE(doc().modified);
}

TEST_F(QuestionPaneTest, HistoryTogglesTheMarkUnderTheMouse) {
    open(kChapter);
    focus_line(2);
    HWND strip = control(1032);
    RECT r;
    GetClientRect(strip, &r);
    int cell = cell_height(app().pane, 1032);
    int left = (r.right - 5 * cell) / 2;
    int y = r.bottom / 2;
    // Mark 2, then the left of the strip (nothing), then mark 5.
    struct Click {
        int x, value;
    } clicks[] = {{left + cell + cell / 2, 2}, {left - 1, 2}, {left + 4 * cell + 1, 18}};
    for (const Click& c : clicks) {
        SendMessageA(strip, WM_MOUSEMOVE, 0, MAKELPARAM(c.x, y));
        SendMessageA(strip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, y));
        EXPECT_EQ(history(), c.value) << c.x;
    }
    EXPECT_EQ(GetFocus(), strip);
    EXPECT_EQ(doc().line_at(2)->text(), "a\\,b,c,N00");
}

TEST_F(QuestionPaneTest, CommentAndBlankLinesShowFiveWrongMarks) {
    open(kChapter);
    focus_line(1);
    EXPECT_EQ(history(), 3);
    focus_line(3);
    EXPECT_EQ(history(), 0);
    focus_line(4);
    EXPECT_EQ(history(), 0);
}

TEST_F(QuestionPaneTest, SplitsAreClampedToThePane) {
    open(kChapter);
    focus_line(1);
    auto top_of = [&](int id) {
        RECT r;
        GetWindowRect(control(id), &r);
        MapWindowPoints(nullptr, app().pane, reinterpret_cast<POINT*>(&r), 2);
        return static_cast<int>(r.top);
    };
    // Dragging the answer separator below the history separator.
    SendMessageA(app().pane, kSeparatorMoved, 1027, 400);
    EXPECT_EQ(app().prefs.AnswerTop, app().prefs.HistoryTop - 20);
    EXPECT_EQ(top_of(1029), app().prefs.AnswerTop);
    SendMessageA(app().pane, kSeparatorMoved, 1030, 200);
    EXPECT_EQ(app().prefs.HistoryTop, 200);
    EXPECT_EQ(top_of(1032), 200);

    // A pane 150 pixels high.
    RECT window;
    GetWindowRect(main_window(), &window);
    RECT pane;
    GetClientRect(app().pane, &pane);
    SetWindowPos(main_window(), nullptr, 0, 0, window.right - window.left,
                 (window.bottom - window.top) - (pane.bottom - 150), SWP_NOMOVE | SWP_NOZORDER);
    pump();
    GetClientRect(app().pane, &pane);
    ASSERT_EQ(pane.bottom, 150);
    EXPECT_EQ(app().prefs.HistoryTop, 130);
    SendMessageA(app().pane, kSeparatorMoved, 1030, 10);
    EXPECT_EQ(app().prefs.HistoryTop, 50);
    EXPECT_EQ(app().prefs.AnswerTop, 30);
    SendMessageA(app().pane, kSeparatorMoved, 1027, 5);
    EXPECT_EQ(app().prefs.AnswerTop, 20);
}

TEST_F(QuestionPaneTest, AnswerNumbersAreHiddenInFormat12) {
    open("q,[a|b],<01\r\n", "1.2");
    focus_line(0);
    EXPECT_FALSE(IsWindowVisible(control(1036)));
    EXPECT_EQ(SendMessageA(control(1036), CB_GETCOUNT, 0, 0), 0);
    // Editing keeps the stored answer number, which the list does not offer.
    type(1026, "Q");
    leave_pane();
    EXPECT_EQ(doc().line_at(0)->text(), "Q,[a|b],<01");
}

TEST_F(QuestionPaneTest, AnswerSyntaxErrorShowsInTheStatusBar) {
    open("q,[a|b,<00\r\nq,a|b,<01\r\n");
    focus_line(1);
    focus_line(0);
    EXPECT_EQ(status_text(0), "構文エラーです。");
    EXPECT_EQ(SendMessageA(control(1036), CB_GETCOUNT, 0, 0), 1);
    focus_line(1);
    EXPECT_EQ(status_text(0), "ヘルプを見るにはF1キーを押してください。");
    EXPECT_EQ(selection(1036), 1);
    type(1029, "(x");
    leave_pane();
    EXPECT_EQ(status_text(0), "構文エラーです。");
}

TEST_F(QuestionPaneTest, TitleButtonSelectsTheGoverningTitle) {
    open(kChapter);
    focus_line(2);
    SendMessageA(app().pane, WM_COMMAND, MAKEWPARAM(1024, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control(1024)));
    pump();
    EXPECT_EQ(doc().current, 0);
    EXPECT_EQ(selected_items(), std::vector<int>{0});
    EXPECT_EQ(doc().current_kind, LINE_TITLE);
}

TEST_F(QuestionPaneTest, TitleBoxAllowsOnlyCopy) {
    open(kChapter);
    focus_line(1);
    SetFocus(control(1055));
    SendMessageA(control(1055), EM_SETSEL, 0, 3);
    unsigned state = edit_state();
    EXPECT_EQ(state & (EDIT_CUT | EDIT_PASTE | EDIT_DELETE), 0u);
    EXPECT_TRUE(state & EDIT_COPY);
    SetFocus(control(1026));
    SendMessageA(control(1026), EM_SETSEL, 0, 0);
    state = edit_state();
    EXPECT_TRUE(state & EDIT_DELETE);
    EXPECT_TRUE(state & EDIT_SELECT_ALL);
    EXPECT_FALSE(state & EDIT_COPY);
}

TEST_F(QuestionPaneTest, EditCommandsGoToTheFocusedField) {
    open(kChapter);
    focus_line(1);
    HWND question = control(1026);
    SetFocus(question);
    SendMessageA(question, EM_SETSEL, 0, 0);
    command(CMD_DELETE);
    EXPECT_EQ(field(1026), "apital?");
    EXPECT_EQ(doc().count(), 5);  // no line was deleted
    command(CMD_SELECT_ALL);
    DWORD start = 1, end = 0;
    SendMessageA(question, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 7u);
    command(CMD_UNDO);
    EXPECT_EQ(field(1026), "Capital?");
    leave_pane();
    EXPECT_EQ(doc().line_at(1)->text(), "Capital?,[東京|とうきょう],?20'geo");
}

void press(WORD key, bool shift) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, DWORD flags) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = flags;
        inputs.push_back(in);
    };
    if (shift) add(VK_SHIFT, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (shift) add(VK_SHIFT, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    for (int i = 0; i < 5; ++i) {
        pump();
        Sleep(20);
    }
}

TEST_F(QuestionPaneTest, TabCyclesBetweenTheListAndThePane) {
    open(kChapter);
    SetForegroundWindow(main_window());
    focus_line(1);
    SetFocus(list());
    press(VK_TAB, false);
    EXPECT_EQ(GetFocus(), control(1024));
    SetFocus(control(1058));
    press(VK_TAB, false);
    EXPECT_EQ(GetFocus(), list());
    press(VK_TAB, true);
    EXPECT_EQ(GetFocus(), control(1058));
    SetFocus(control(1024));
    press(VK_TAB, true);
    EXPECT_EQ(GetFocus(), list());
}

// Showing a line and committing it again changes nothing, for every kind of
// line of the sample.
TEST_F(QuestionPaneTest, RecommittingEverySampleLineKeepsItsText) {
    start("\"" + source_path("samples/sample.qzf") + "\"");
    for (int i = 0; i < doc().count(); ++i) {
        SCOPED_TRACE(i);
        std::string before = doc().line_at(i)->text();
        focus_line(i);
        mark_pane_changed();
        commit_pane();
        EXPECT_EQ(doc().line_at(i)->text(), before);
    }
}

}  // namespace
}  // namespace qz::test
