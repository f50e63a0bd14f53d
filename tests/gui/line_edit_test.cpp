#include "editor_fixture.h"
#include "resources/group_change_ids.h"
#include "resources/question_pane_ids.h"
#include "resources/resource.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/view/line_list_win.h"

namespace qz::test {
namespace {

class LineEditTest : public EditorTest {
protected:
    int focus_control_id() const { return GetDlgCtrlID(GetFocus()); }
    void expect_list_mirrors_model() {
        EXPECT_EQ(line_list_count(), doc().count());
        EXPECT_EQ(selected_items(), app().editor.selected());
        EXPECT_EQ(focused_item(), app().editor.focus());
    }
};

const char kFive[] = "a,1,<00\r\nb,2,<00\r\nc,3,<00\r\nd,4,<00\r\ne,5,<00\r\n";

TEST_F(LineEditTest, InsertedLinesGetTheFocusAndTheirLabelsAndOnlyOneGroupLine) {
    open(kFive);
    command(CMD_INSERT_TITLE);  // before the first line: it heads the questions
    EXPECT_EQ(joined_lines(), "#,000000|a,1,<00|b,2,<00|c,3,<00|d,4,<00|e,5,<00|");
    // The list relabels the lines after it (the labels are the core's).
    EXPECT_EQ(item_text(0, 1) + item_text(1, 0) + item_text(1, 2), "タイトル13a,1,<00");
    EXPECT_EQ(selected_items(), std::vector<int>{0});
    EXPECT_EQ(focus_control_id(), 1055);

    focus_line(3);
    command(CMD_INSERT_QUESTION);  // before the current line
    EXPECT_EQ(joined_lines(), "#,000000|a,1,<00|b,2,<00|_|c,3,<00|d,4,<00|e,5,<00|");
    EXPECT_EQ(app().editor.current(), 3);

    command(CMD_ADD_QUESTION);  // at the end, a blank line until typed
    ASSERT_EQ(doc().count(), 8);
    EXPECT_EQ(app().editor.current(), 7);
    // The line that was current loses its selection; item 0 keeps the one it had.
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 7}));
    ASSERT_EQ(focus_control_id(), 1026);
    SendMessageW(GetFocus(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"f"));
    leave_pane();
    EXPECT_EQ(doc().line_at(7)->text(), "f,,<00");
    EXPECT_EQ(item_text(7, 1), "問題6");

    // Settings lines: one group line only.
    restart();
    open("a,1,<00\r\nb,2,<00\r\n'c\r\n$Group=x\r\ne,5,<00\r\n");
    focus_line(1);
    command(CMD_INSERT_GROUP);
    ASSERT_EQ(message_texts(), std::vector<std::string>{"すでに5行目にグループ設定があります。"});
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(doc().count(), 5);
    command(CMD_INSERT_FONT_ANSWER);
    EXPECT_EQ(item_text(1, 1) + item_text(1, 2), "設定$FontAnswer=");
    EXPECT_EQ(focus_control_id(), 1025);
}

// Deleting every line keeps the last; behind the refusal the list and the
// pane already show what is left.
TEST_F(LineEditTest, RefusedDeleteShowsWhatIsLeftBeforeItsMessage) {
    open("#Chapter,000000\r\nq,a,<00\r\n");
    focus_line(0);
    ASSERT_EQ(field(1055), "Chapter");
    SetFocus(list());
    command(CMD_SELECT_ALL);
    std::vector<std::string> seen;
    set_message_box_hook([&](HWND, const char* text, UINT) {
        seen = {text, std::to_string(line_list_count()), field(1055), field(1026)};
        return IDOK;
    });
    command(CMD_DELETE);
    EXPECT_EQ(seen, (std::vector<std::string>{"これ以上削除することはできません。", "1", "", "q"}));
}

// Moving is the model's (tested natively); the list follows it.
TEST_F(LineEditTest, MovedLinesTakeTheirSelectionAndFocusAlong) {
    open(kFive);
    focus_line(2);
    select_only({1, 2, 3});
    SetFocus(list());
    command(CMD_MOVE_UP);
    EXPECT_EQ(joined_lines(), "b,2,<00|c,3,<00|d,4,<00|a,1,<00|e,5,<00|");
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(focused_item(), 1);
    EXPECT_EQ(status_text(1), "\t3/6");
    for (int i = 0; i < doc().count(); ++i) EXPECT_EQ(item_text(i, 2), doc().line_at(i)->text());
}

TEST_F(LineEditTest, DeleteKeyInTheListCtrlZUndoesItAndCtrlYRedoesIt) {
    open(kFive);
    set_item_state(-1, 0, LVIS_SELECTED);
    focus_line(1);
    set_item_state(3, LVIS_SELECTED, LVIS_SELECTED);
    SetFocus(list());
    NMLVKEYDOWN key{{list(), IDC_LINE_LIST, LVN_KEYDOWN}, VK_DELETE, 0};
    SendMessageW(main_window(), WM_NOTIFY, IDC_LINE_LIST, reinterpret_cast<LPARAM>(&key));
    pump();
    EXPECT_TRUE(messages_.empty());
    ASSERT_EQ(joined_lines(), "a,1,<00|c,3,<00|e,5,<00|");
    EXPECT_EQ(item_text(2, 0) + item_text(2, 1), "4問題3");
    EXPECT_TRUE(modified());
    EXPECT_EQ(menu_state(CMD_REDO) & MFS_GRAYED, static_cast<UINT>(MFS_GRAYED));

    press_key('Z', VK_CONTROL);
    EXPECT_EQ(joined_lines(), "a,1,<00|b,2,<00|c,3,<00|d,4,<00|e,5,<00|");
    EXPECT_EQ(field(1026), "b");
    EXPECT_FALSE(modified());
    expect_list_mirrors_model();

    SendMessageW(main_window(), WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(main_window())), 0);
    EXPECT_EQ(menu_state(CMD_REDO) & MFS_GRAYED, 0u);
    press_key('Y', VK_CONTROL);
    EXPECT_EQ(joined_lines(), "a,1,<00|c,3,<00|e,5,<00|");
    EXPECT_EQ(selected_items(), std::vector<int>{1});
    EXPECT_TRUE(modified());
    expect_list_mirrors_model();
}

TEST_F(LineEditTest, PaneEditUndoesTypingAndTheListUndoesTheCommit) {
    open(kFive);
    focus_line(2);
    type(1026, "x");
    // In the edit control, Undo takes back the typing only.
    command(CMD_UNDO);
    EXPECT_EQ(field(1026), "c");
    EXPECT_FALSE(app().editor.can_undo());

    type(1026, "x");
    leave_pane();
    ASSERT_EQ(doc().line_at(2)->text(), "x,3,<00");
    EXPECT_TRUE(modified());
    focus_line(4);
    command(CMD_UNDO);
    EXPECT_EQ(doc().line_at(2)->text(), "c,3,<00");
    EXPECT_EQ(selected_items(), std::vector<int>{2});
    EXPECT_EQ(field(1026), "c");
    // Back at the state opened: closing asks nothing.
    EXPECT_FALSE(modified());
    command(CMD_NEW);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(LineEditTest, InvertAndSelectAllAreMirroredKeepTheScrollAndAreNoSteps) {
    std::string body;
    for (int i = 0; i < 300; ++i) body += "q" + std::to_string(i) + ",a,<00\r\n";
    open(body);
    set_item_state(-1, 0, LVIS_SELECTED);
    focus_line(1);
    set_item_state(2, LVIS_SELECTED, LVIS_SELECTED);
    SendMessageW(list(), LVM_ENSUREVISIBLE, 299, FALSE);
    const LRESULT top = SendMessageW(list(), LVM_GETTOPINDEX, 0, 0);
    ASSERT_GT(top, 0);
    SetFocus(list());
    command(CMD_INVERT_SELECTION);
    ASSERT_EQ(selected_items().size(), 298u);
    EXPECT_EQ(selected_items()[1], 3);
    EXPECT_EQ(focused_item(), 1);
    EXPECT_EQ(SendMessageW(list(), LVM_GETTOPINDEX, 0, 0), top);
    expect_list_mirrors_model();
    command(CMD_INVERT_SELECTION);
    EXPECT_EQ(selected_items(), (std::vector<int>{1, 2}));
    command(CMD_SELECT_ALL);
    EXPECT_EQ(selected_items().size(), 300u);
    EXPECT_EQ(SendMessageW(list(), LVM_GETTOPINDEX, 0, 0), top);
    expect_list_mirrors_model();
    EXPECT_FALSE(app().editor.can_undo());
}

// Ctrl+A selects every line in the list and the whole text in a pane box.
TEST_F(LineEditTest, CtrlASelectsAllLinesInTheListAndAllTextInAPaneBox) {
    open("q1,a,<00\r\nq2,b,<00\r\nq3,c,<00\r\n");
    focus_line(1);
    SetFocus(list());
    press_key('A', VK_CONTROL);
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 1, 2}));
    expect_list_mirrors_model();
    set_item_state(-1, 0, LVIS_SELECTED);
    focus_line(1);
    SetFocus(control(1026));
    SendMessageW(control(1026), EM_SETSEL, 1, 1);
    press_key('A', VK_CONTROL);
    DWORD start = 9, end = 9;
    SendMessageW(control(1026), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(std::pair(start, end), std::pair(DWORD{0}, DWORD{2}));  // "q2"
    EXPECT_EQ(selected_items(), std::vector<int>{1});
    wchar_t text[64] = {};
    GetMenuStringW(GetMenu(main_window()), CMD_SELECT_ALL, text, static_cast<int>(std::size(text)), MF_BYCOMMAND);
    EXPECT_EQ(narrow(text), "すべて選択(&A)\tCtrl+A");
}

std::string clipboard_text() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

using BulkEditTest = EditorTest;

const char kBody[] = "#t,000000\r\n\r\nq,a,?20'c\r\nr,b,<00\r\n";
const char kOpened[] = "#t,000000|_|q,a,?20'c|r,b,<00|";

TEST_F(BulkEditTest, CopyCutAndPasteAreOneStepEachUnicodeTextArrivesAndSwapSaysHowMany) {
    open(kBody);
    focus_line(0);
    select_only({0, 1, 2});
    SetFocus(list());
    command(CMD_COPY);
    EXPECT_EQ(clipboard_text(), "#t,000000\r\n\r\nq,a,?20'c\r\n");

    focus_line(3);
    command(CMD_PASTE);
    EXPECT_EQ(line_list_count(), 7);
    command(CMD_UNDO);
    EXPECT_EQ(joined_lines(), kOpened);

    select_only({1, 3});
    SetFocus(list());
    command(CMD_CUT);
    EXPECT_EQ(clipboard_text(), "\r\nr,b,<00\r\n");
    EXPECT_EQ(joined_lines(), "#t,000000|q,a,?20'c|");
    command(CMD_UNDO);
    EXPECT_EQ(joined_lines(), kOpened);
    EXPECT_FALSE(modified());
    EXPECT_TRUE(messages_.empty());

    // Unicode text arrives converted and never fails (U+00E9 and U+4E02
    // have no code page 932 form).
    focus_line(0);
    SetFocus(list());
    const wchar_t text[] = L"\u554f\u984c,\u7b54\u3048,<00\r\n\u00e9\u4e02,x,<00";
    set_clipboard(text, sizeof text, CF_UNICODETEXT);
    command(CMD_PASTE);
    EXPECT_TRUE(messages_.empty());
    ASSERT_EQ(doc().count(), 6);
    EXPECT_EQ(doc().line_at(1)->text(), "問題,答え,<00");

    // Swapping says how many questions it turned round.
    command(CMD_UNDO);
    select_only({0, 2, 3});
    command(CMD_SWAP_QUESTION_ANSWER);
    EXPECT_EQ(line_list_count(), 6);
    select_only({0, 1});
    command(CMD_SWAP_QUESTION_ANSWER);
    ASSERT_EQ(message_texts(), (std::vector<std::string>{"2個入れ替えしました。", "入れ替える問題はありません。"}));
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(doc().count(), 6);
}

TEST_F(BulkEditTest, GroupChangeDialogSetsTheGroupAndThePaneShowsIt) {
    open("$Group=全般,歴史,地理\r\n" + std::string(kBody));
    select_only({1, 3});
    focus_line(4);  // the pane shows r,b,<00
    DWORD topic = 0;
    set_help_hook([&](UINT, DWORD t) { topic = t; });
    when_dialog("グループ一括変更", [](HWND dialog) {
        HWND combo = GetDlgItem(dialog, IDC_GROUP_CHANGE_GROUP);
        EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 10);
        EXPECT_EQ(window_text(combo), "全般");
        SendMessageW(dialog, WM_COMMAND, IDC_HELP_BUTTON, 0);
        SendMessageW(combo, CB_SETCURSEL, 2, 0);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_GROUP_CHANGE);
    set_help_hook({});
    EXPECT_EQ(topic, 2015u);
    EXPECT_EQ(message_texts(), std::vector<std::string>{"2問変更しました。"});
    EXPECT_EQ(joined_lines(), "$Group=全般,歴史,地理|#t,000000|_|q,a,?20'c|r,b,<20|");
    EXPECT_EQ(selection(IDC_QUESTION_GROUP), 2);

    // Cancelled: nothing; no question selected: said, and still unmodified.
    command(CMD_UNDO);
    when_dialog("グループ一括変更", [](HWND d) { SendMessageW(d, WM_COMMAND, IDCANCEL, 0); });
    command(CMD_GROUP_CHANGE);
    EXPECT_EQ(messages_.size(), 1u);
    select_only({1, 2});
    when_dialog("グループ一括変更", [](HWND d) { SendMessageW(d, WM_COMMAND, IDOK, 0); });
    command(CMD_GROUP_CHANGE);
    EXPECT_EQ(messages_.back().text, "問題が選択されていません。");
    EXPECT_FALSE(modified());
}

}  // namespace
}  // namespace qz::test
