#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "document/line_list_win.h"
#include "editor_fixture.h"
#include "resources/resource.h"

namespace qz::test {
namespace {

// Actions to run on dialogs once they are up (inside their modal loops),
// by caption; each runs once.
std::map<std::string, std::function<void(HWND)>> dialog_actions;
std::map<std::string, bool> dialogs_seen;

void CALLBACK act_on_dialogs(HWND, UINT, UINT_PTR, DWORD) {
    for (auto it = dialog_actions.begin(); it != dialog_actions.end(); ++it) {
        HWND dialog = FindWindowA(nullptr, it->first.c_str());
        if (!dialog || !IsWindowEnabled(dialog)) continue;
        auto act = std::move(it->second);
        dialogs_seen[it->first] = true;
        dialog_actions.erase(it);
        act(dialog);
        return;
    }
}

void when_dialog(const char* caption, std::function<void(HWND)> act) {
    dialog_actions[caption] = std::move(act);
    dialogs_seen[caption] = false;
    static UINT_PTR timer = 0;
    if (!timer) timer = SetTimer(nullptr, 0, 50, act_on_dialogs);
}

using FindTest = EditorTest;

const char kLines[] =
    "#東京の問題,000000\r\n"    // 0
    "首都は？,とうきょう,<00\r\n"  // 1
    "'コメント\r\n"                // 2
    "山は？,フジサン,<00\r\n"      // 3
    "#大阪の問題,000000\r\n"    // 4
    "城は？,おおさかじょう,<00\r\n";  // 5

TEST_F(FindTest, F3WithoutASearchOpensTheDialogAndThenFindsBelow) {
    open(kLines);
    focus_line(1);
    when_dialog("検索", [](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, 1026), BST_CHECKED);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
        SetDlgItemTextA(dialog, 1024, "ふじさん");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_FIND_NEXT);
    EXPECT_TRUE(dialogs_seen["検索"]);
    ASSERT_TRUE(app().search_text);
    EXPECT_EQ(*app().search_text, "ふじさん");
    // Kana and width are ignored by default: フジサン matches.
    EXPECT_EQ(doc().current, 3);
    EXPECT_EQ(focused_item(), 3);
    // Earlier selections stay.
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 1, 3}));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(FindTest, RepeatedF3StepsThroughMatchesWithoutWrapping) {
    open(kLines);
    app().search_text = "は？";
    focus_line(0);
    command(CMD_FIND_NEXT);
    EXPECT_EQ(doc().current, 1);
    command(CMD_FIND_NEXT);
    EXPECT_EQ(doc().current, 3);
    command(CMD_FIND_NEXT);
    EXPECT_EQ(doc().current, 5);
    command(CMD_FIND_NEXT);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "検索文字列が見つかりません。");
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(doc().current, 5);
    command(CMD_FIND_PREVIOUS);
    EXPECT_EQ(doc().current, 3);
}

TEST_F(FindTest, TitleSearchMatchesEveryLineUnderTheTitle) {
    open(kLines);
    app().prefs.search_conditions = 0x17;  // titles only
    app().search_text = "大阪";
    focus_line(0);
    command(CMD_FIND_NEXT);
    EXPECT_EQ(doc().current, 4);
    command(CMD_FIND_NEXT);
    EXPECT_EQ(doc().current, 5);
}

TEST_F(FindTest, ReopenedDialogShowsTheLastTextAndNext) {
    open(kLines);
    app().search_text = "城";
    focus_line(5);
    when_dialog("検索", [](HWND dialog) {
        char text[64] = {};
        GetDlgItemTextA(dialog, 1024, text, sizeof text);
        EXPECT_STREQ(text, "城");
        EXPECT_EQ(IsDlgButtonChecked(dialog, 1026), BST_CHECKED);
        CheckRadioButton(dialog, 1025, 1026, 1025);
        SetDlgItemTextA(dialog, 1024, "首都");
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_FIND);
    EXPECT_TRUE(dialogs_seen["検索"]);
    EXPECT_EQ(doc().current, 1);  // found going up
}

TEST_F(FindTest, ConditionsDialogRefusesNoField) {
    open(kLines);
    when_dialog("検索", [](HWND dialog) { SendMessageA(dialog, WM_COMMAND, 1027, 0); });
    when_dialog("検索条件", [this](HWND dialog) {
        for (int id : {1027, 1028, 1029, 1030}) CheckDlgButton(dialog, id, BST_UNCHECKED);
        CheckDlgButton(dialog, 1024, BST_CHECKED);  // distinguish case
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        // The warning was shown and the dialog is still open.
        EXPECT_EQ(messages_.size(), 1u);
        EXPECT_TRUE(IsWindow(dialog));
        CheckDlgButton(dialog, 1029, BST_CHECKED);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        // Back in the find dialog: close it.
        when_dialog("検索", [](HWND find) { SendMessageA(find, WM_COMMAND, IDCANCEL, 0); });
    });
    command(CMD_FIND);
    EXPECT_TRUE(dialogs_seen["検索条件"]);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "「以下の中から検索」のうち少なくとも１つにチェックしてください。");
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    // Case distinguished, answers only, width and kana ignored.
    EXPECT_EQ(app().prefs.search_conditions, 0x46u);
}

}  // namespace
}  // namespace qz::test
