// The editing panes driven as the user drives them: focus a line, type into
// a field, leave the pane.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "editor_fixture.h"
#include "resources/font_pane_ids.h"
#include "resources/group_pane_ids.h"
#include "resources/message_pane_ids.h"
#include "resources/pane_ids.h"
#include "resources/question_pane_ids.h"
#include "resources/resource.h"
#include "resources/title_pane_ids.h"
#include "win/app/commands.h"
#include "win/view/command_state.h"
#include "win/base/font_spec_win.h"
#include "win/base/separator.h"
#include "win/view/font_pane.h"
#include "win/view/history_control.h"
#include "win/view/line_list_win.h"
#include "win/view/pane_common.h"
#include "win/view/pane_host.h"

namespace qz::test {
namespace {


class PaneTest : public EditorTest {
protected:
    void TearDown() override {
        set_font_dialog_hook(nullptr);
        EditorTest::TearDown();
    }
    // A click on a check box or button (the focus moves to it).
    void click(int id) {
        SendMessageA(control(id), BM_CLICK, 0, 0);
        pump();
    }
    bool checked(int id) const { return SendMessageA(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // Picks an entry of a drop-down list, as the user would.
    void choose(int id, int entry) {
        SetFocus(control(id));
        SendMessageA(control(id), CB_SETCURSEL, entry, 0);
        SendMessageA(app().pane, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control(id)));
    }
    std::string line(int index) const { return doc().line_at(index)->text(); }
    // The texts of some fields, joined by '|'.
    std::string fields(std::initializer_list<int> ids) const {
        std::string out;
        for (int id : ids) out += field(id) + "|";
        return out.substr(0, out.size() - 1);
    }
    // The line's text, in the document and in the list's data column.
    void expect_line(int index, const std::string& text) const {
        EXPECT_EQ(line(index), text);
        EXPECT_EQ(item_text(index, 2), text);
    }
    RECT placed(int id) const { return test::placed(control(id)); }
    int pane_height() const { return test::placed(app().pane).bottom - test::placed(app().pane).top; }
    HFONT font_of(int id) const { return reinterpret_cast<HFONT>(SendMessageA(control(id), WM_GETFONT, 0, 0)); }
    int history() const { return static_cast<int>(SendMessageA(control(IDC_QUESTION_HISTORY), kHistoryGetValue, 0, 0)); }
    // Resizes the main window so that the pane is `height` pixels high.
    void set_pane_height(int height) {
        const RECT window = test::placed(main_window());
        SetWindowPos(main_window(), nullptr, 0, 0, window.right - window.left,
                     (window.bottom - window.top) - (pane_height() - height), SWP_NOMOVE | SWP_NOZORDER);
        pump();
    }
};

using QuestionPaneTest = PaneTest;

class SettingsPanesTest : public PaneTest {
protected:
    // Opens a format 1.4 file made of `lines`.
    void open(const std::vector<std::string>& lines) {
        std::string body;
        for (const std::string& line : lines) body += line + "\r\n";
        EditorTest::open(body);
    }
};

// ---- Question pane

const char kChapter[] =
    "#Chapter 1,311000'first part\r\n"
    "Capital?,[東京|とうきょう],?20'geo\r\n"
    "a\\,b,c,<00\r\n"
    "'just a comment\r\n"
    "\r\n";

TEST_F(QuestionPaneTest, ShowsTheFieldsOfEachLineInOnePane) {
    open(kChapter);
    focus_line(1);
    HWND pane = app().pane;
    EXPECT_EQ(fields({IDC_PANE_TITLE, IDC_QUESTION, IDC_QUESTION_ANSWER, IDC_PANE_COMMENT}), "Chapter 1|Capital?|[東京|とうきょう]|geo");
    EXPECT_EQ(history(), 3);
    EXPECT_EQ(selection(IDC_QUESTION_GROUP), 2);
    EXPECT_EQ(selection(IDC_QUESTION_ANSWER_NUMBER), 0);
    ASSERT_EQ(SendMessageA(control(IDC_QUESTION_ANSWER_NUMBER), CB_GETCOUNT, 0, 0), 2);
    char entry[64] = {};
    SendMessageA(control(IDC_QUESTION_ANSWER_NUMBER), CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(entry, "1. とうきょう");
    EXPECT_EQ(status_text(1), "\t3/6");
    focus_line(2);
    EXPECT_EQ(fields({IDC_QUESTION, IDC_PANE_COMMENT}), "a,b|");
    EXPECT_EQ(history(), 0);
    focus_line(1);
    focus_line(3);  // a comment line: only the comment field, five wrong marks
    EXPECT_EQ(fields({IDC_PANE_TITLE, IDC_QUESTION, IDC_PANE_COMMENT}), "||just a comment");
    EXPECT_EQ(history(), 0);
    focus_line(1);
    focus_line(4);
    EXPECT_EQ(fields({IDC_QUESTION, IDC_PANE_COMMENT}), "|");
    EXPECT_EQ(history(), 0);
    EXPECT_EQ(app().pane, pane);
    EXPECT_FALSE(modified());
    // The title button selects the governing title, in a pane of its own.
    SendMessageA(pane, WM_COMMAND, MAKEWPARAM(IDC_QUESTION_TITLE_BUTTON, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control(IDC_QUESTION_TITLE_BUTTON)));
    pump();
    EXPECT_EQ(doc().current, 0);
    EXPECT_EQ(selected_items(), std::vector<int>{0});
    EXPECT_EQ(doc().current_kind, LINE_TITLE);
    EXPECT_FALSE(IsWindow(pane));
}

TEST_F(QuestionPaneTest, EditsCommitTheComposedLine) {
    struct Edit {
        int line;
        std::vector<std::pair<int, const char*>> typed;
        const char* stored;
        const char* labels;  // of the edited line and of line 2 after the commit
    };
    const Edit edits[] = {
        {1, {{IDC_QUESTION_ANSWER, "東京"}}, "Capital?,東京,?20'geo", "問題1問題2"},
        {1, {{IDC_QUESTION, "x,y"}}, "x\\,y,[東京|とうきょう],?20'geo", "問題1問題2"},
        {2, {{IDC_PANE_COMMENT, "one\r\ntwo"}}, "a\\,b,c,<00'one\\ntwo", "問題2問題2"},
        {2, {{IDC_QUESTION, "#1"}}, "\\#1,c,<00", "問題2問題2"},
        {4, {{IDC_QUESTION, "new"}}, "new,,<00", "問題3問題2"},
        {3, {{IDC_PANE_COMMENT, "changed"}}, "'changed", "コメント問題2"},
        {3, {{IDC_PANE_COMMENT, ""}}, "", "空行問題2"},
        // An emptied question keeps its comment as a comment line; the question below moves up.
        {1, {{IDC_QUESTION, ""}, {IDC_QUESTION_ANSWER, ""}}, "'geo", "コメント問題1"},
    };
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.stored);
        restart();
        open(kChapter);
        focus_line(e.line);
        for (const auto& [id, text] : e.typed) type(id, text);
        EXPECT_TRUE(modified());
        leave_pane();
        expect_line(e.line, e.stored);
        EXPECT_EQ(item_text(e.line, 1) + item_text(2, 1), e.labels);
        EXPECT_EQ(doc().line_at(e.line)->kind(), LINE_TEXT);
    }
}

TEST_F(QuestionPaneTest, ProtectedQuestionShowsAndStoresTheSameWayEveryTime) {
    for (const char* version : {"1.2", "1.3", "1.4"}) {
        SCOPED_TRACE(version);
        restart();
        open("\\#1,x,<00\r\n", version);
        for (const char* answer : {"y", "x", "y"}) {
            focus_line(0);
            EXPECT_EQ(field(IDC_QUESTION), "#1");
            type(IDC_QUESTION_ANSWER, answer);
            leave_pane();
        }
        EXPECT_EQ(line(0), "\\#1,y,<00");
    }
}

TEST_F(QuestionPaneTest, HistoryTogglesByKeyAndMouseAndCommitsAtOnce) {
    open(kChapter);
    focus_line(2);
    HWND strip = control(IDC_QUESTION_HISTORY);
    SetFocus(strip);
    const int keys[][2] = {{'3', 4}, {VK_NUMPAD3, 0}, {'1', 1}, {VK_NUMPAD5, 17}, {'6', 17}, {VK_NUMPAD6, 17}};
    for (const auto& [key, value] : keys) {
        SendMessageA(strip, WM_KEYDOWN, key, 0);
        EXPECT_EQ(history(), value) << key;
        EXPECT_EQ(line(2), "a\\,b,c," + std::string(1, static_cast<char>(0x3C + value)) + "00");
    }
    EXPECT_TRUE(modified());

    SendMessageA(strip, WM_KEYDOWN, '1', 0);
    SendMessageA(strip, WM_KEYDOWN, '5', 0);
    ASSERT_EQ(history(), 0);
    RECT r;
    GetClientRect(strip, &r);
    const int cell = cell_height(app().pane, IDC_QUESTION_HISTORY), left = (r.right - 5 * cell) / 2, y = r.bottom / 2;
    // Mark 2, then the left of the strip (nothing), then mark 5.
    const int clicks[][2] = {{left + cell + cell / 2, 2}, {left - 1, 2}, {left + 4 * cell + 1, 18}};
    for (const auto& [x, value] : clicks) {
        SendMessageA(strip, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        SendMessageA(strip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        EXPECT_EQ(history(), value) << x;
    }
    EXPECT_EQ(GetFocus(), strip);
    EXPECT_EQ(line(2), "a\\,b,c,N00");
}

TEST_F(QuestionPaneTest, SplitsAreClampedToThePane) {
    open(kChapter);
    focus_line(1);
    SendMessageA(app().pane, kSeparatorMoved, IDC_QUESTION_ANSWER_SEPARATOR, 400);  // answer split below the history split
    EXPECT_EQ(app().prefs.AnswerTop, app().prefs.HistoryTop - 20);
    EXPECT_EQ(placed(IDC_QUESTION_ANSWER).top, app().prefs.AnswerTop);
    SendMessageA(app().pane, kSeparatorMoved, IDC_QUESTION_HISTORY_SEPARATOR, 200);
    EXPECT_EQ(app().prefs.HistoryTop, 200);
    EXPECT_EQ(placed(IDC_QUESTION_HISTORY).top, 200);
    set_pane_height(150);
    ASSERT_EQ(pane_height(), 150);
    EXPECT_EQ(app().prefs.HistoryTop, 130);
    SendMessageA(app().pane, kSeparatorMoved, IDC_QUESTION_HISTORY_SEPARATOR, 10);
    EXPECT_EQ(app().prefs.HistoryTop, 50);
    EXPECT_EQ(app().prefs.AnswerTop, 30);
}

TEST_F(QuestionPaneTest, AnswerNumbersAreHiddenInFormat12) {
    open("q,[a|b],<01\r\n", "1.2");
    focus_line(0);
    EXPECT_FALSE(IsWindowVisible(control(IDC_QUESTION_ANSWER_NUMBER)));
    EXPECT_EQ(SendMessageA(control(IDC_QUESTION_ANSWER_NUMBER), CB_GETCOUNT, 0, 0), 0);
    type(IDC_QUESTION, "Q");  // keeps the stored answer number, which the list does not offer
    leave_pane();
    EXPECT_EQ(line(0), "Q,[a|b],<01");
}

TEST_F(QuestionPaneTest, AnswerSyntaxErrorShowsInTheStatusBar) {
    open("q,[a|b,<00\r\nq,a|b,<01\r\n");
    focus_line(1);
    focus_line(0);
    EXPECT_EQ(status_text(0), "構文エラーです。");
    EXPECT_EQ(SendMessageA(control(IDC_QUESTION_ANSWER_NUMBER), CB_GETCOUNT, 0, 0), 1);
    focus_line(1);
    EXPECT_EQ(status_text(0), kF1Hint);
    EXPECT_EQ(selection(IDC_QUESTION_ANSWER_NUMBER), 1);
    type(IDC_QUESTION_ANSWER, "(x");
    leave_pane();
    EXPECT_EQ(status_text(0), "構文エラーです。");
}

TEST_F(QuestionPaneTest, EditCommandsGoToTheFocusedField) {
    open(kChapter);
    focus_line(1);
    SetFocus(control(IDC_PANE_TITLE));  // the title box only allows copying
    SendMessageA(control(IDC_PANE_TITLE), EM_SETSEL, 0, 3);
    EXPECT_EQ(edit_state() & (EDIT_CUT | EDIT_PASTE | EDIT_DELETE | EDIT_COPY), unsigned{EDIT_COPY});
    HWND question = control(IDC_QUESTION);
    SetFocus(question);
    SendMessageA(question, EM_SETSEL, 0, 0);
    EXPECT_EQ(edit_state() & (EDIT_DELETE | EDIT_SELECT_ALL | EDIT_COPY), unsigned{EDIT_DELETE | EDIT_SELECT_ALL});
    command(CMD_DELETE);
    EXPECT_EQ(field(IDC_QUESTION), "apital?");
    EXPECT_EQ(doc().count(), 5);  // no line was deleted
    command(CMD_SELECT_ALL);
    DWORD start = 1, end = 0;
    SendMessageA(question, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end - start, 7u);
    command(CMD_UNDO);
    EXPECT_EQ(field(IDC_QUESTION), "Capital?");
    leave_pane();
    EXPECT_EQ(line(1), "Capital?,[東京|とうきょう],?20'geo");
}

void press_tab(bool shift) {
    std::vector<std::pair<WORD, DWORD>> keys = {{VK_TAB, 0}, {VK_TAB, KEYEVENTF_KEYUP}};
    if (shift) keys = {{VK_SHIFT, 0}, {VK_TAB, 0}, {VK_TAB, KEYEVENTF_KEYUP}, {VK_SHIFT, KEYEVENTF_KEYUP}};
    std::vector<INPUT> inputs(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i].first;
        inputs[i].ki.dwFlags = keys[i].second;
    }
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
    const struct {
        HWND from;
        bool shift;
        HWND to;
    } steps[] = {{list(), false, control(IDC_QUESTION_TITLE_BUTTON)}, {control(IDC_PANE_COMMENT), false, list()},
                 {list(), true, control(IDC_PANE_COMMENT)}, {control(IDC_QUESTION_TITLE_BUTTON), true, list()}};
    for (const auto& s : steps) {
        SetFocus(s.from);
        press_tab(s.shift);
        EXPECT_EQ(GetFocus(), s.to);
    }
}

// Format 1.3 shows the stored answer a\\|b (two alternatives) as a\|b;
// editing the comment keeps the answer's bytes, and an edited answer reads
// back as typed.
TEST_F(QuestionPaneTest, FieldsLeftAloneKeepTheirBytes) {
    open("q,a\\\\|b,<00'c\r\n", "1.3");
    focus_line(0);
    EXPECT_EQ(field(IDC_QUESTION_ANSWER), "a\\|b");
    type(IDC_PANE_COMMENT, "cx");
    leave_pane();
    EXPECT_EQ(doc().line_at(0)->text(), "q,a\\\\|b,<00'cx");
    focus_line(0);
    type(IDC_QUESTION_ANSWER, "a\\|bx");
    leave_pane();
    EXPECT_EQ(doc().line_at(0)->text(), "q,a\\\\|bx,<00'cx");
    focus_line(0);
    EXPECT_EQ(field(IDC_QUESTION_ANSWER), "a\\|bx");
}

// A field holding a paragraph too long to wrap quickly is shown whole and
// unwrapped, and stays whole when another field of the line is committed;
// a short field wraps again.
TEST_F(QuestionPaneTest, LongParagraphsAreShownUnwrappedAndKeptWhole) {
    const std::string question(20000, 'q');
    open(question + ",a,<00\r\nshort,b,<00\r\n");
    const auto wraps = [this](int id) {
        return !(GetWindowLongA(control(id), GWL_STYLE) & ES_AUTOHSCROLL);
    };
    focus_line(0);
    EXPECT_FALSE(wraps(IDC_QUESTION));
    EXPECT_TRUE(wraps(IDC_QUESTION_ANSWER));
    EXPECT_EQ(window_text(control(IDC_QUESTION)), question);
    type(IDC_QUESTION_ANSWER, "x");
    leave_pane();
    EXPECT_EQ(doc().line_at(0)->text(), question + ",x,<00");
    focus_line(1);
    EXPECT_TRUE(wraps(IDC_QUESTION));
    EXPECT_EQ(field(IDC_QUESTION), "short");
}

// A font size from the file is brought within reach when the font is made;
// the font line keeps its text.
TEST_F(QuestionPaneTest, HugeFontSizesAreBounded) {
    open("$FontQuestion=30000,128,Arial\r\nq,a,<00\r\n");
    focus_line(1);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control(IDC_QUESTION), WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_LE(std::abs(font.lfHeight), MulDiv(kMaxFontPoints, screen_pixels_per_inch(main_window()), 72));
    EXPECT_EQ(doc().line_at(0)->text(), "$FontQuestion=30000,128,Arial");
}

// Showing a line and committing it again changes nothing, for every line of the sample.
TEST_F(QuestionPaneTest, RecommittingEverySampleLineKeepsItsText) {
    start("\"" + source_path("samples/sample.qzf") + "\"");
    for (int i = 0; i < doc().count(); ++i) {
        SCOPED_TRACE(i);
        const std::string before = line(i);
        focus_line(i);
        mark_pane_changed();
        commit_pane();
        EXPECT_EQ(line(i), before);
    }
}

// ---- Title pane

TEST_F(SettingsPanesTest, TitlePaneShowsTheFieldsOfATitleLine) {
    open({"#Chapter 1,311000'first part", "#t,123456", "#a\\,b,000000"});
    EXPECT_EQ(SendMessageA(control(IDC_TITLE_CHOICES), CB_GETCOUNT, 0, 0), 10);
    EXPECT_EQ(field(IDC_PANE_TITLE), "Chapter 1");
    EXPECT_EQ(selection(IDC_TITLE_CHOICES), 3);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(checked(IDC_TITLE_FIRST_FLAG + i), i < 2) << i;
    EXPECT_EQ(field(IDC_PANE_COMMENT), "first part");
    // Only the digit 1 turns a flag on; no comment leaves the field empty.
    HWND pane = app().pane;
    focus_line(1);
    EXPECT_EQ(app().pane, pane);
    EXPECT_EQ(field(IDC_PANE_TITLE), "t");
    EXPECT_EQ(selection(IDC_TITLE_CHOICES), 1);
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(checked(IDC_TITLE_FIRST_FLAG + i)) << i;
    EXPECT_EQ(field(IDC_PANE_COMMENT), "");
    focus_line(2);
    EXPECT_EQ(field(IDC_PANE_TITLE), "a,b");
    EXPECT_FALSE(modified());
}

TEST_F(SettingsPanesTest, TitleChoicesAndFlagsCommitWhenTheFocusLeaves) {
    open({"#Quiz,511110'keep", "#t,000000"});
    choose(IDC_TITLE_CHOICES, 0);
    for (int i = 0; i < 5; ++i) click(IDC_TITLE_FIRST_FLAG + i);  // a written answer allows only fuzzy comparison
    for (int i = 0; i < 5; ++i) EXPECT_EQ(checked(IDC_TITLE_FIRST_FLAG + i), i == 4) << i;
    EXPECT_TRUE(modified());
    leave_pane();
    expect_line(0, "#Quiz,000001'keep");
    focus_line(1);
    click(IDC_TITLE_FIRST_FLAG + 1);
    EXPECT_EQ(GetFocus(), control(IDC_TITLE_FIRST_FLAG + 1));
    EXPECT_EQ(line(1), "#t,000000");  // not before the focus leaves
    leave_pane();
    expect_line(1, "#t,001000");
}

TEST_F(SettingsPanesTest, TitleIsStoredAsTheLineScannersReadItWhateverTheFont) {
    // "表" (95 5C) is one character under a Shift-JIS title font and under
    // an ANSI one alike: its second byte is no backslash to double.
    open({"#a,000000", "$FontTitle=12,ANSI,Arial", "#b,000000", "'c"});
    type(IDC_PANE_TITLE, "表x,y\\");
    leave_pane();
    expect_line(0, "#\x95\x5C" "x\\,y\\\\,000000");
    focus_line(2);
    type(IDC_PANE_TITLE, "表x");
    leave_pane();
    expect_line(2, "#\x95\x5C" "x,000000");
    focus_line(3);
    focus_line(2);
    EXPECT_EQ(field(IDC_PANE_TITLE), "表x");
}

TEST_F(SettingsPanesTest, TitleEditHasTheTitleColoursAndFonts) {
    open({"#t,000000'c"});
    auto brush_for = [&](int id, COLORREF* back, COLORREF* text) {
        HDC dc = GetDC(control(id));
        const INT_PTR brush = SendMessageA(app().pane, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(control(id)));
        *back = GetBkColor(dc), *text = GetTextColor(dc);
        ReleaseDC(control(id), dc);
        return reinterpret_cast<HBRUSH>(brush);
    };
    COLORREF back, text;
    EXPECT_EQ(brush_for(IDC_PANE_TITLE, &back, &text), pane_brush(FONT_TITLE));
    EXPECT_EQ(back, app().prefs.Title.back_color);
    EXPECT_EQ(text, app().prefs.Title.text_color);
    const HBRUSH comment = brush_for(IDC_PANE_COMMENT, &back, &text);  // the system colours
    for (int f = 0; f < FONT_COUNT; ++f) EXPECT_NE(comment, pane_brush(static_cast<PaneFont>(f)));
    EXPECT_EQ(font_of(IDC_PANE_TITLE), pane_font(FONT_TITLE));
    EXPECT_EQ(font_of(IDC_PANE_COMMENT), pane_font(FONT_COMMENT));
    for (int id = IDC_TITLE_CHOICES; id <= IDC_TITLE_FIRST_FLAG + 4; ++id) EXPECT_EQ(font_of(id), pane_control_font()) << id;
}

// ---- Group names and message panes

TEST_F(SettingsPanesTest, GroupPaneWritesAllTenNamesEscaped) {
    open({"$Group=a,b,c,d,e,f,g,h,i,j'first", "$Group=k,l'm", "$Group=,,,,,,,,,"});
    HWND pane = app().pane;
    EXPECT_EQ(field(IDC_GROUP_FIRST_NAME + 9), "j");
    EXPECT_EQ(field(IDC_PANE_COMMENT), "first");
    focus_line(1);
    EXPECT_EQ(app().pane, pane);
    EXPECT_EQ(field(IDC_GROUP_FIRST_NAME), "k");
    EXPECT_EQ(field(IDC_GROUP_FIRST_NAME + 1), "l'm");  // without ten names there is no comment
    for (int i = 2; i < 10; ++i) EXPECT_EQ(field(IDC_GROUP_FIRST_NAME + i), "") << i;
    EXPECT_EQ(field(IDC_PANE_COMMENT), "");
    EXPECT_FALSE(modified());
    type(IDC_GROUP_FIRST_NAME + 3, "n");
    leave_pane();
    expect_line(1, "$Group=k,l'm,,n,,,,,,");

    focus_line(2);
    type(IDC_GROUP_FIRST_NAME, "a,b\\c");
    type(IDC_GROUP_FIRST_NAME + 1, "ソ表");
    type(IDC_GROUP_FIRST_NAME + 9, "x,y'z");
    type(IDC_PANE_COMMENT, "c,d");
    leave_pane();
    expect_line(2, "$Group=a\\,b\\\\c,ソ表,,,,,,,,x\\,y\\'z'c\\,d");
}

TEST_F(SettingsPanesTest, MessagePaneWritesOneLineAndKeepsItsSplit) {
    open({"$Message=old'c"});
    type(IDC_MESSAGE, "line 1\r\nit's");
    leave_pane();
    expect_line(0, "$Message=line 1\\nit\\'s'c");

    Preferences& prefs = app().prefs;
    SendMessageA(app().pane, kSeparatorMoved, IDC_MESSAGE_SEPARATOR, 106);
    EXPECT_EQ(prefs.MessageHeight, 100);
    EXPECT_EQ(placed(IDC_MESSAGE).bottom, 100);
    EXPECT_EQ(placed(IDC_MESSAGE_SEPARATOR).top, 100);
    EXPECT_EQ(placed(IDC_PANE_COMMENT).top, 106);
    EXPECT_EQ(placed(IDC_PANE_COMMENT).bottom, pane_height());
    SendMessageA(app().pane, kSeparatorMoved, IDC_QUESTION_ANSWER_SEPARATOR, 50);  // another separator's message
    EXPECT_EQ(prefs.MessageHeight, 100);
    SendMessageA(app().pane, kSeparatorMoved, IDC_MESSAGE_SEPARATOR, pane_height() - 30);
    // Shrinking the pane below the message height pulls the split up.
    set_pane_height(pane_height() - 100);
    EXPECT_EQ(prefs.MessageHeight, pane_height() - 20);
    EXPECT_EQ(placed(IDC_MESSAGE_SEPARATOR).top, placed(IDC_MESSAGE).bottom);
    set_pane_height(pane_height() + 200);
    EXPECT_EQ(placed(IDC_MESSAGE).bottom, prefs.MessageHeight);
    EXPECT_EQ(placed(IDC_MESSAGE_SEPARATOR).top, prefs.MessageHeight);
    EXPECT_EQ(placed(IDC_PANE_COMMENT).bottom, pane_height());
}

// ---- Font pane

TEST_F(SettingsPanesTest, FontPaneShowsTheValuesOfAFontLine) {
    open({"$FontAnswer=-16,shiftjis,ＭＳ ゴシック'big", "$FontTitle=12", "$FontHint=x,ANSI,a\\,b"});
    auto fields = [&] {
        return field(IDC_FONT_SIZE) + "|" + field(IDC_FONT_CHARSET) + "|" + field(IDC_FONT_FACE) + "|" + field(IDC_PANE_COMMENT);
    };
    EXPECT_EQ(fields(), "-16|shiftjis|ＭＳ ゴシック|big");
    HWND pane = app().pane;
    focus_line(1);  // the same pane, emptied first
    EXPECT_EQ(app().pane, pane);
    EXPECT_EQ(fields(), "12|||");
    focus_line(2);  // a size that is no number is not shown
    EXPECT_EQ(fields(), "|ANSI|a,b|");
    EXPECT_FALSE(modified());
    for (int id : {IDC_FONT_SIZE_LABEL, IDC_FONT_SIZE, IDC_FONT_CHARSET_LABEL, IDC_FONT_CHARSET,
                   IDC_FONT_FACE_LABEL, IDC_FONT_FACE, IDC_FONT_CHANGE})
        EXPECT_EQ(font_of(id), pane_control_font()) << id;
}

TEST_F(SettingsPanesTest, FontLineValuesAreWrittenAsTyped) {
    open({"$FontQuestion=12,128,Arial'c"});
    auto repeat = [](const std::string& text, int n) {
        std::string out;
        while (n--) out += text;
        return out;
    };
    // The charset keeps 15 bytes, the face name 31, never half a character.
    type(IDC_FONT_CHARSET, "ABCDEFGHIJKLMNOPQRST");
    type(IDC_FONT_FACE, "ab" + repeat("表", 20));
    leave_pane();
    expect_line(0, "$FontQuestion=12,ABCDEFGHIJKLMNO,ab" + repeat("表", 14) + "'c");
    type(IDC_FONT_SIZE, "");
    type(IDC_FONT_FACE, "x,y");
    type(IDC_PANE_COMMENT, "");
    leave_pane();
    expect_line(0, "$FontQuestion=,ABCDEFGHIJKLMNO,x\\,y");
}

TEST_F(SettingsPanesTest, FontDialogStartsFromTheLineAndWritesItsChoice) {
    open({"$FontTitle=14,SHIFTJIS,ＭＳ ゴシック", "$FontGroup=x,FOO,"});
    const int dpi = screen_pixels_per_inch(app().pane);
    LOGFONTA offered{};
    bool choose = true;
    set_font_dialog_hook([&](LOGFONTA& font) {
        offered = font;
        font.lfHeight = -MulDiv(12, dpi, 72);
        font.lfCharSet = ANSI_CHARSET;
        font.lfWeight = FW_BOLD;  // the style is not stored
        lstrcpyA(font.lfFaceName, "Arial");
        return choose;
    });
    auto expect_offered = [&](int height, int charset, const char* face) {
        EXPECT_EQ(offered.lfHeight, height);
        EXPECT_EQ(offered.lfCharSet, charset);
        EXPECT_STREQ(offered.lfFaceName, face);
    };
    click(IDC_FONT_CHANGE);
    expect_offered(-MulDiv(14, dpi, 72), SHIFTJIS_CHARSET, "ＭＳ ゴシック");
    // Committed already: the charset field lost the focus to the size field.
    expect_line(0, "$FontTitle=12,ANSI,Arial");
    EXPECT_EQ(GetFocus(), control(IDC_FONT_SIZE));
    EXPECT_TRUE(messages_.empty());

    app().editor.mark_saved();
    choose = false;
    focus_line(1);
    click(IDC_FONT_CHANGE);  // FontGroup starts from the comment default; Cancel changes nothing
    const LOGFONTA expected = font_spec_to_logfont(app().prefs.Comment, dpi);
    expect_offered(expected.lfHeight, expected.lfCharSet, expected.lfFaceName);
    leave_pane();
    expect_line(1, "$FontGroup=x,FOO,");
    EXPECT_FALSE(modified());
    type(IDC_FONT_SIZE, "20");  // a typed size and charset number reach the dialog
    type(IDC_FONT_CHARSET, "300");
    type(IDC_FONT_FACE, "Courier");
    click(IDC_FONT_CHANGE);
    expect_offered(-MulDiv(20, dpi, 72), 300 % 256, "Courier");
}

// ---- All panes

TEST_F(SettingsPanesTest, FillingIsNoEditAndUnchangedPanesLeaveOddLinesAlone) {
    // Lines the composers would write differently stay as they are while nothing is typed.
    const std::vector<std::string> lines = {"#t,123456'", "$Group=a'b", "$Message=a\\x'", "$FontTitle=12",
                                            "$FontHint=x,FOO,a'"};
    const int first_fields[] = {IDC_PANE_TITLE, IDC_GROUP_FIRST_NAME, IDC_MESSAGE, IDC_FONT_SIZE, IDC_FONT_SIZE};
    open(lines);
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        focus_line(i);
        SetFocus(control(first_fields[i]));
        SetFocus(control(IDC_PANE_COMMENT));
        leave_pane();
        EXPECT_EQ(line(i), lines[i]);
    }
    EXPECT_FALSE(modified());
    type(IDC_PANE_COMMENT, "c2");
    EXPECT_TRUE(modified());
}

// Every label shows on one line inside its box, and no field overlaps a label.
TEST_F(SettingsPanesTest, LabelsFitBesideTheirFields) {
    const std::vector<int> labels[] = {
        {IDC_TITLE_LABEL, IDC_TITLE_CHOICES_LABEL, IDC_PANE_COMMENT_LABEL},
        {IDC_FONT_SIZE_LABEL, IDC_FONT_CHARSET_LABEL, IDC_FONT_FACE_LABEL, IDC_PANE_COMMENT_LABEL},
        {IDC_GROUP_FIRST_LABEL, IDC_GROUP_FIRST_LABEL + 1, IDC_GROUP_FIRST_LABEL + 2, IDC_GROUP_FIRST_LABEL + 3,
         IDC_GROUP_FIRST_LABEL + 4, IDC_GROUP_FIRST_LABEL + 5, IDC_GROUP_FIRST_LABEL + 6, IDC_GROUP_FIRST_LABEL + 7,
         IDC_GROUP_FIRST_LABEL + 8, IDC_GROUP_FIRST_LABEL + 9, IDC_PANE_COMMENT_LABEL},
        {IDC_MESSAGE_LABEL, IDC_PANE_COMMENT_LABEL}};
    open({"#t,000000", "$FontTitle=1,2,3", "$Group=", "$Message="});
    for (int i = 0; i < 4; ++i) {
        focus_line(i);
        for (int id : labels[i]) {
            SCOPED_TRACE(testing::Message() << "line " << i << ", label " << id);
            HDC dc = GetDC(control(id));
            SelectObject(dc, font_of(id));
            RECT extent{};
            DrawTextA(dc, field(id).c_str(), -1, &extent, DT_CALCRECT | DT_SINGLELINE);
            ReleaseDC(control(id), dc);
            const RECT box = placed(id);
            EXPECT_LE(extent.right, box.right - box.left);
            for (HWND child = GetWindow(app().pane, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                const int other = GetDlgCtrlID(child);
                RECT r = test::placed(child), overlap;
                // Only the message pane's full-width separator crosses the label column.
                if (other != id && IsWindowVisible(child) && IntersectRect(&overlap, &r, &box)) {
                    EXPECT_EQ(other, IDC_MESSAGE_SEPARATOR) << "overlaps " << other;
                }
            }
        }
    }
}

// Retyping every line's first field and comment with what they show and
// committing keeps the text byte for byte.
TEST_F(SettingsPanesTest, RetypedWellFormedLinesStayTheSame) {
    open({
        "#Chapter 1,311000'first part", "#,000000", "#a\\,b\\\\c\\nd,910101'x\\,y", "#ソ表,000000'表\\\\",
        "$Group=全般,地理,歴史,漢字,国旗,首都,県庁,人物,年号,雑問'グループ",
        "$Group=a\\,b,,c\\\\d,ソ,,,,,,it\\'s\\nx'note", "$Group=,,,,,,,,,",
        "$Message=一行目\\n二行目 Let\\'s go!'開始時", "$Message=a\\,b\\\\c表", "$Message=",
        "$TimeLimit=30'c", "$FontTitle=14,SHIFTJIS,ＭＳ ゴシック", "$FontAnswer=-16,shiftjis,Arial'big",
        "$FontHint=10,300,Ｆａｃｅ\\,x'c", "$FontQuestion=9,,",
        // From here on titles and comments are escaped byte by byte.
        "$FontTitle=12,ANSI,Arial", "$FontComment=9,ANSI,Arial'c", "#\x95\x5C\x5C" "x,000000'\x95\x5C\x5C" "x",
    });
    for (int i = 0; i < doc().count(); ++i) {
        const int kind = doc().line_at(i)->kind();
        const int first = kind == LINE_TITLE ? IDC_PANE_TITLE : kind == LINE_GROUP ? IDC_GROUP_FIRST_NAME + 9 : IDC_FONT_SIZE;
        SCOPED_TRACE(testing::Message() << "line " << i << ": " << line(i));
        const std::string before = line(i);
        focus_line(i);
        const std::string shown = field(first), comment = field(IDC_PANE_COMMENT);
        app().editor.mark_saved();
        type(first, shown + "x");
        type(first, shown);
        type(IDC_PANE_COMMENT, comment);
        leave_pane();
        expect_line(i, before);
        EXPECT_FALSE(modified());  // the same text again is no change
    }
}

}  // namespace
}  // namespace qz::test
