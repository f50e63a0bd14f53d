#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_fixture.h"
#include "resources/find_ids.h"
#include "resources/resource.h"
#include "resources/search_conditions_ids.h"
#include "win/view/line_list_win.h"

namespace qz::test {
namespace {

using FindTest = EditorTest;

const char kLines[] =
    "#東京の問題,000000\r\n"          // 0
    "首都は？,とうきょう,<00\r\n"     // 1
    "'コメント\r\n"                   // 2
    "山は？,フジサン,<00\r\n"         // 3
    "#大阪の問題,000000\r\n"          // 4
    "城は？,おおさかじょう,<00\r\n";  // 5

TEST_F(FindTest, F3WithoutASearchOpensTheDialogAndThenFindsBelow) {
    open(kLines);
    focus_line(1);
    when_dialog("検索", [](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FIND_NEXT), BST_CHECKED);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
        SetDlgItemTextA(dialog, IDC_FIND_TEXT, "ふじさん");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_FIND_NEXT);
    ASSERT_TRUE(app().search_text);
    EXPECT_EQ(*app().search_text, "ふじさん");
    EXPECT_EQ(doc().current, 3);  // kana and width are ignored by default
    EXPECT_EQ(focused_item(), 3);
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 1, 3}));  // earlier selections stay
    EXPECT_TRUE(messages_.empty());
}

TEST_F(FindTest, RepeatedF3StepsThroughMatchesWithoutWrappingAndTheDialogReopensWithTheText) {
    open(kLines);
    app().search_text = "は？";
    focus_line(0);
    for (int expected : {1, 3, 5, 5}) {
        command(CMD_FIND_NEXT);
        EXPECT_EQ(doc().current, expected);
    }
    ASSERT_EQ(message_texts(), std::vector<std::string>{"検索文字列が見つかりません。"});
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    command(CMD_FIND_PREVIOUS);
    EXPECT_EQ(doc().current, 3);
    // Searching titles only matches every line under a matching title.
    app().prefs.search_conditions = 0x17;
    app().search_text = "大阪";
    for (int expected : {4, 5}) {
        command(CMD_FIND_NEXT);
        EXPECT_EQ(doc().current, expected);
    }
    // The dialog opened again shows the last text and finds upwards.
    app().prefs.search_conditions = 0xF7;
    app().search_text = "城";
    when_dialog("検索", [](HWND dialog) {
        EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_FIND_TEXT)), "城");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FIND_NEXT), BST_CHECKED);
        CheckRadioButton(dialog, IDC_FIND_PREVIOUS, IDC_FIND_NEXT, IDC_FIND_PREVIOUS);
        SetDlgItemTextA(dialog, IDC_FIND_TEXT, "首都");
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_FIND);
    EXPECT_EQ(doc().current, 1);
}

TEST_F(FindTest, ConditionsDialogRefusesNoField) {
    open(kLines);
    when_dialog("検索", [](HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDC_FIND_CONDITIONS, 0); });
    when_dialog("検索条件", [this](HWND dialog) {
        for (int id : {IDC_CONDITION_TITLE, IDC_CONDITION_QUESTION, IDC_CONDITION_ANSWER,
                       IDC_CONDITION_COMMENT})
            CheckDlgButton(dialog, id, BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_CONDITION_CASE, BST_CHECKED);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(messages_.size(), 1u);  // warned, and still open
        EXPECT_TRUE(IsWindow(dialog));
        CheckDlgButton(dialog, IDC_CONDITION_ANSWER, BST_CHECKED);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        when_dialog("検索", [](HWND find) { SendMessageA(find, WM_COMMAND, IDCANCEL, 0); });
    });
    command(CMD_FIND);
    ASSERT_EQ(message_texts(), std::vector<std::string>{"「以下の中から検索」のうち少なくとも１つにチェックしてください。"});
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    // Case distinguished, answers only, width and kana ignored.
    EXPECT_EQ(app().prefs.search_conditions, 0x46u);
}

}  // namespace
}  // namespace qz::test
