#include <sstream>

#include "core/exchange/text_encoding.h"
#include "editor_fixture.h"
#include "resources/replace_ids.h"
#include "resources/resource.h"
#include "tool/qzotool.h"
#include "win/operations/replace_win.h"
#include "win/view/line_list_win.h"

namespace qz::test {
namespace {

using ReplaceTest = EditorTest;

const char kLines[] =
    "#地名の問題,000000\r\n"             // 0
    "旧地名は？,旧地名,<00'旧地名\r\n"   // 1
    "'旧地名のコメント行\r\n"            // 2
    "山は？,フジサン,<00\r\n"            // 3
    "旧地名の川は？,[旧地名|川],<00\r\n";  // 4

// What is replaced, and how lines are composed, is tested natively; here
// the dialog's wiring: scope, buttons, counts, undo.
HWND open_dialog(EditorTest& test, const char* find, const char* with) {
    SendMessageW(app().main_window, WM_COMMAND, CMD_REPLACE, 0);
    pump();
    HWND dialog = replace_dialog();
    EXPECT_TRUE(dialog && IsWindowVisible(dialog));
    (void)test;
    if (!dialog) return nullptr;
    set_item_text(dialog, IDC_REPLACE_FIND, find);
    set_item_text(dialog, IDC_REPLACE_WITH, with);
    return dialog;
}

TEST_F(ReplaceTest, ReplaceAllIsOneUndoStepWithTrueCountsAndNothingMarkedWhenNothingMatched) {
    open(kLines);
    focus_line(3);
    select_only({3});
    const std::string before = joined_lines();
    HWND dialog = open_dialog(*this, "旧地名", "新,地名");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_REPLACE_EVERY_LINE), BST_CHECKED);
    click(dialog, IDC_REPLACE_ALL);
    // The comma is escaped as typing it into the pane would; the comment
    // line is not a field and stays.
    EXPECT_EQ(joined_lines(),
              "#地名の問題,000000|新\\,地名は？,新\\,地名,<00'新\\,地名|'旧地名のコメント行|"
              "山は？,フジサン,<00|新\\,地名の川は？,[新\\,地名|川],<00|");
    ASSERT_EQ(message_texts(), std::vector<std::string>{"2 行で 5 箇所を置換しました。"});
    EXPECT_EQ(status_text(0), "2 行で 5 箇所を置換しました。");
    EXPECT_TRUE(modified());
    EXPECT_EQ(app().search_text, "旧地名");
    EXPECT_EQ(app().replacement_text, "新,地名");

    SetFocus(list());
    command(CMD_UNDO);
    EXPECT_EQ(joined_lines(), before);
    EXPECT_FALSE(modified());

    messages_.clear();
    set_item_text(dialog, IDC_REPLACE_FIND, "どこにもない");
    click(dialog, IDC_REPLACE_ALL);
    EXPECT_EQ(message_texts(), std::vector<std::string>{"0 行で 0 箇所を置換しました。"});
    EXPECT_FALSE(modified());
    EXPECT_TRUE(app().editor.can_redo());  // nothing recorded over the undone step
    // An empty search text disables the buttons.
    set_item_text(dialog, IDC_REPLACE_FIND, "");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_REPLACE_ALL)));
    click(dialog, IDCANCEL);
    EXPECT_EQ(replace_dialog(), nullptr);
}

// Texts left as the dialog shows them keep their bytes, though code page
// 932 holds their character twice ("Ⅰ" of the IBM rows is 0xFA4A, its
// usual form 0x8754); a typed text is what was typed.
TEST_F(ReplaceTest, TextsLeftAsShownKeepTheirBytes) {
    open("\xFA\x4A\x96\xE2,a,<00\r\n");
    app().search_text = "\xFA\x4A";
    app().replacement_text = "\xFA\x4A!";
    SendMessageW(app().main_window, WM_COMMAND, CMD_REPLACE, 0);
    pump();
    HWND dialog = replace_dialog();
    ASSERT_TRUE(dialog);
    click(dialog, IDC_REPLACE_ALL);
    EXPECT_EQ(app().search_text, "\xFA\x4A");
    EXPECT_EQ(app().replacement_text, "\xFA\x4A!");
    EXPECT_EQ(joined_lines(), "\xFA\x4A!\x96\xE2,a,<00|");
    set_item_text(dialog, IDC_REPLACE_WITH, qz::item_text(dialog, IDC_REPLACE_WITH) + "?");
    click(dialog, IDC_REPLACE_ALL);
    EXPECT_EQ(app().replacement_text, "\x87\x54!?");
    click(dialog, IDCANCEL);
}

TEST_F(ReplaceTest, ScopeOfSeveralSelectedLinesStaysWhileNextAndReplaceStepThroughIt) {
    open(kLines);
    select_only({0, 3, 4});
    focus_line(0);
    select_only({0, 3, 4});
    HWND dialog = open_dialog(*this, "は？", "は。");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_REPLACE_SELECTED), BST_CHECKED);

    // Next skips line 1 (not selected) and moves only the focus.
    click(dialog, IDC_REPLACE_NEXT);
    EXPECT_EQ(app().editor.current(), 3);
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 3, 4}));
    // Replace changes the current line and goes on to the next.
    click(dialog, IDC_REPLACE_ONE);
    EXPECT_EQ(doc().line_at(3)->text(), "山は。,フジサン,<00");
    EXPECT_EQ(app().editor.current(), 4);
    EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_REPLACE_STATUS)), "1 行で 1 箇所を置換しました。");
    click(dialog, IDC_REPLACE_ALL);
    EXPECT_EQ(doc().line_at(4)->text(), "旧地名の川は。,[旧地名|川],<00");
    EXPECT_EQ(doc().line_at(1)->text(), "旧地名は？,旧地名,<00'旧地名");
    EXPECT_EQ(message_texts(), std::vector<std::string>{"1 行で 1 箇所を置換しました。"});
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 3, 4}));

    // Opened again over one selected line, the scope is every line.
    click(dialog, IDCANCEL);
    focus_line(1);
    select_only({1});
    dialog = open_dialog(*this, "川", "[");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_REPLACE_EVERY_LINE), BST_CHECKED);
    EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_REPLACE_WITH)), "[");
    // A bracket would unbalance the answer of line 4: the line is refused.
    messages_.clear();
    click(dialog, IDC_REPLACE_ALL);
    EXPECT_EQ(message_texts(),
              std::vector<std::string>{"0 行で 0 箇所を置換しました。\n"
                                       "1 行（2 箇所）は書式が崩れるため置換しませんでした。"});
    EXPECT_EQ(doc().line_at(4)->text(), "旧地名の川は。,[旧地名|川],<00");
    click(dialog, IDCANCEL);
}

TEST_F(ReplaceTest, TheSampleSavedAfterReplaceAllIsWhatQzotoolWrites) {
    const std::string path = copy_to_temp("samples/sample.qzf", "sample.qzf");
    const std::string out_path = dir_ + "\\tool.qzf";
    std::ostringstream out, err;
    EXPECT_EQ(tool::run({"replace", cp932_to_utf8("の首都"), cp932_to_utf8("の首都,都市"), path, out_path}, out, err), 0);
    EXPECT_EQ(err.str(), "");
    start("\"" + path + "\"");
    HWND dialog = open_dialog(*this, "の首都", "の首都,都市");
    ASSERT_TRUE(dialog);
    click(dialog, IDC_REPLACE_ALL);
    ASSERT_EQ(message_texts().size(), 1u);
    EXPECT_EQ(message_texts()[0] + "\n", out.str());
    click(dialog, IDCANCEL);
    command(CMD_SAVE);
    EXPECT_EQ(read_file(path), read_file(out_path));
    EXPECT_NE(read_file(path), read_file(source_path("samples/sample.qzf")));
}

TEST_F(ReplaceTest, CtrlHOpensTheDialogAndItsEditBoxesKeepTheirKeys) {
    open(kLines);
    focus_line(1);
    select_only({1});
    SetFocus(list());
    press_key('H', VK_CONTROL);
    HWND dialog = replace_dialog();
    ASSERT_TRUE(dialog);
    HWND find = GetDlgItem(dialog, IDC_REPLACE_FIND);
    EXPECT_EQ(GetFocus(), find);
    set_window_text(find, "abc");
    SendMessageW(find, EM_SETSEL, 0, 0);
    // Ctrl+A selects the box's text, not the document's lines.
    press_key('A', VK_CONTROL);
    DWORD start = 1, end = 0;
    SendMessageW(find, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u);
    EXPECT_EQ(selected_items(), (std::vector<int>{1}));
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    click(dialog, IDCANCEL);
}

}  // namespace
}  // namespace qz::test
