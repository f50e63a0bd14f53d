#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_fixture.h"
#include "resources/resource.h"
#include "resources/select_ids.h"
#include "resources/sort_ids.h"
#include "win/view/line_list_win.h"

namespace qz::test {
namespace {

using SelectSortTest = EditorTest;

std::string questions(int n) {
    std::string body;
    for (int i = 1; i <= n; ++i) body += "問" + std::to_string(i) + ",答,<00\r\n";
    return body;
}

std::vector<std::string> texts(const CardDocument& doc) {
    std::vector<std::string> out;
    for (const DataLine& line : doc) out.emplace_back(line.text());
    return out;
}

TEST_F(SelectSortTest, SelectOffersEveryLineKeepsTheFocusAndRefusesBadNumbers) {
    open(questions(30));
    focus_line(4);
    when_dialog("選択", [](HWND dialog) {
        EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_SELECT_FIRST_TEXT)), "問1,答,<00");
        EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_SELECT_LAST_TEXT)), "問30,答,<00");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SELECT_BY_TITLE)));
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_SELECT);
    EXPECT_EQ(selected_items().size(), 30u);
    EXPECT_EQ(focused_item(), 4);
    EXPECT_EQ(doc().current, 4);
    select_only({4});
    when_dialog("選択", [](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_SELECT_FIRST, "1");
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_SELECT);
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0].text, "30行選択しました。");
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(messages_[1].text, "数値が正しくありません。");
    EXPECT_EQ(messages_[1].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(selected_items(), std::vector<int>{4});
}

TEST_F(SelectSortTest, SelectTitleAndTextAddedToTheSelection) {
    open("#東京,000000\r\n首都は？,東京,<00\r\n#京都,000000\r\n寺は？,京都,<00\r\n川は？,鴨川,<00\r\n");
    focus_line(0);
    app().prefs.search_conditions = 0xE7;  // not the titles
    bool conditions_shown = false;
    when_dialog("選択", [&](HWND dialog) {
        SendMessageA(GetDlgItem(dialog, IDC_SELECT_BY_TITLE), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dialog, IDC_SELECT_TEXT_MODE), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dialog, IDC_SELECT_ADD), BM_CLICK, 0, 0);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SELECT_FIRST)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SELECT_GROUP)));
        SetDlgItemTextA(dialog, IDC_SELECT_TITLE, "2");
        SetDlgItemTextA(dialog, IDC_SELECT_TEXT, "京都");
        EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_SELECT_TITLE_TEXT)), "#京都,000000");
        EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_SELECT_DESCRIPTION)),
                  "タイトル番号2内で，「京都」を含む行を追加選択");
        when_dialog("検索条件", [&](HWND conditions) {
            conditions_shown = true;
            SendMessageA(conditions, WM_COMMAND, IDCANCEL, 0);
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        SendMessageA(dialog, WM_COMMAND, IDC_SELECT_CONDITIONS, 0);
    });
    command(CMD_SELECT);
    EXPECT_TRUE(conditions_shown);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "1行選択しました。");
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 3}));
}

TEST_F(SelectSortTest, SortUsesTheLocaleOrderUndoesInOneStepAndNeedsQuestions) {
    open("b,1,<00\r\n#t,000000\r\nB,2,<00\r\na,3,<00\r\n");
    select_only({0, 1, 2, 3});
    SetFocus(list());
    when_dialog("並べ替え", [](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SORT_KEY, CB_GETCOUNT, 0, 0), 4);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SORT_KEY, CB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SORT_ORDER, CB_GETCURSEL, 0, 0), 0);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_SORT);
    // Letters compare as the locale does, not by their bytes ('B' < 'a').
    EXPECT_EQ(texts(doc()), (std::vector<std::string>{"a,3,<00", "#t,000000", "b,1,<00", "B,2,<00"}));
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(modified());
    command(CMD_UNDO);
    EXPECT_EQ(texts(doc()), (std::vector<std::string>{"b,1,<00", "#t,000000", "B,2,<00", "a,3,<00"}));
    EXPECT_FALSE(modified());
    select_only({1});
    when_dialog("並べ替え", [](HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDOK, 0); });
    command(CMD_SORT);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "問題が選択されていません。");
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
}

}  // namespace
}  // namespace qz::test
