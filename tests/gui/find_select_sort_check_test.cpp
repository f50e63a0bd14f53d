#include <sstream>

#include "editor_fixture.h"
#include "resources/find_ids.h"
#include "resources/problem_check_ids.h"
#include "resources/resource.h"
#include "resources/search_conditions_ids.h"
#include "resources/select_ids.h"
#include "resources/sort_ids.h"
#include "tool/qzotool.h"
#include "win/operations/problem_check_win.h"
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

// Where the search goes and what matches is tested natively; here the
// commands, the dialog and the message.
TEST_F(FindTest, F3OpensTheDialogThenStepsWithoutWrappingTheDialogKeepsTheTextAndNeedsAField) {
    open(kLines);
    focus_line(1);
    when_dialog("検索", [](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FIND_NEXT), BST_CHECKED);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
        set_item_text(dialog, IDC_FIND_TEXT, "は？");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_FIND_NEXT);
    EXPECT_EQ(app().editor.current(), 3);
    EXPECT_EQ(focused_item(), 3);
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 1, 3}));  // earlier selections stay
    for (int expected : {5, 5}) {
        command(CMD_FIND_NEXT);
        EXPECT_EQ(app().editor.current(), expected);
    }
    ASSERT_EQ(message_texts(), std::vector<std::string>{"検索文字列が見つかりません。"});
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    command(CMD_FIND_PREVIOUS);
    EXPECT_EQ(app().editor.current(), 3);
    // The dialog opened again shows the last text and finds upwards.
    when_dialog("検索", [](HWND dialog) {
        EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_FIND_TEXT)), "は？");
        CheckRadioButton(dialog, IDC_FIND_PREVIOUS, IDC_FIND_NEXT, IDC_FIND_PREVIOUS);
        set_item_text(dialog, IDC_FIND_TEXT, "首都");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_FIND);
    EXPECT_EQ(app().editor.current(), 1);

    // The conditions dialog refuses a search in no field.
    messages_.clear();
    when_dialog("検索", [](HWND dialog) { SendMessageW(dialog, WM_COMMAND, IDC_FIND_CONDITIONS, 0); });
    when_dialog("検索条件", [this](HWND dialog) {
        for (int id : {IDC_CONDITION_TITLE, IDC_CONDITION_QUESTION, IDC_CONDITION_ANSWER,
                       IDC_CONDITION_COMMENT})
            CheckDlgButton(dialog, id, BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_CONDITION_CASE, BST_CHECKED);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(messages_.size(), 1u);  // warned, and still open
        EXPECT_TRUE(IsWindow(dialog));
        CheckDlgButton(dialog, IDC_CONDITION_ANSWER, BST_CHECKED);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        when_dialog("検索", [](HWND find) { SendMessageW(find, WM_COMMAND, IDCANCEL, 0); });
    });
    command(CMD_FIND);
    ASSERT_EQ(message_texts(), std::vector<std::string>{"「以下の中から検索」のうち少なくとも１つにチェックしてください。"});
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    // Case distinguished, answers only, width and kana ignored.
    EXPECT_EQ(app().prefs.search_conditions, 0x46u);
}

using SelectSortTest = EditorTest;

std::string questions(int n) {
    std::string body;
    for (int i = 1; i <= n; ++i) body += "問" + std::to_string(i) + ",答,<00\r\n";
    return body;
}

TEST_F(SelectSortTest, SelectOffersEveryLineAndKeepsTheFocus) {
    open(questions(30));
    focus_line(4);
    when_dialog("選択", [](HWND dialog) {
        EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_SELECT_FIRST_TEXT)), "問1,答,<00");
        EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_SELECT_LAST_TEXT)), "問30,答,<00");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SELECT_BY_TITLE)));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_SELECT);
    EXPECT_EQ(selected_items().size(), 30u);
    EXPECT_EQ(focused_item(), 4);
    EXPECT_EQ(app().editor.current(), 4);
    // The outcome's message, with the icon of its kind (refusals: see SelectLines).
    ASSERT_EQ(message_texts(), std::vector<std::string>{"30行選択しました。"});
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
}

TEST_F(SelectSortTest, SelectTitleAndTextAddedToTheSelection) {
    open("#東京,000000\r\n首都は？,東京,<00\r\n#京都,000000\r\n寺は？,京都,<00\r\n川は？,鴨川,<00\r\n");
    focus_line(0);
    app().prefs.search_conditions = 0xE7;  // not the titles
    bool conditions_shown = false;
    when_dialog("選択", [&](HWND dialog) {
        click(dialog, IDC_SELECT_BY_TITLE);
        click(dialog, IDC_SELECT_TEXT_MODE);
        click(dialog, IDC_SELECT_ADD);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SELECT_FIRST)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SELECT_GROUP)));
        set_item_text(dialog, IDC_SELECT_TITLE, "2");
        set_item_text(dialog, IDC_SELECT_TEXT, "京都");
        EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_SELECT_TITLE_TEXT)), "#京都,000000");
        EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_SELECT_DESCRIPTION)),
                  "タイトル番号2内で，「京都」を含む行を追加選択");
        when_dialog("検索条件", [&](HWND conditions) {
            conditions_shown = true;
            SendMessageW(conditions, WM_COMMAND, IDCANCEL, 0);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        SendMessageW(dialog, WM_COMMAND, IDC_SELECT_CONDITIONS, 0);
    });
    command(CMD_SELECT);
    EXPECT_TRUE(conditions_shown);
    ASSERT_EQ(message_texts(), std::vector<std::string>{"1行選択しました。"});
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 3}));
}

TEST_F(SelectSortTest, SortUsesTheLocaleOrderUndoesInOneStepAndNeedsQuestions) {
    open("b,1,<00\r\n#t,000000\r\nB,2,<00\r\na,3,<00\r\n");
    select_only({0, 1, 2, 3});
    SetFocus(list());
    when_dialog("並べ替え", [](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_SORT_KEY, CB_GETCOUNT, 0, 0), 4);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_SORT_KEY, CB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_SORT_ORDER, CB_GETCURSEL, 0, 0), 0);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_SORT);
    // Letters compare as the locale does, not by their bytes ('B' < 'a').
    EXPECT_EQ(joined_lines(), "a,3,<00|#t,000000|b,1,<00|B,2,<00|");
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(modified());
    command(CMD_UNDO);
    EXPECT_EQ(joined_lines(), "b,1,<00|#t,000000|B,2,<00|a,3,<00|");
    EXPECT_FALSE(modified());
    select_only({1});
    when_dialog("並べ替え", [](HWND dialog) { SendMessageW(dialog, WM_COMMAND, IDOK, 0); });
    command(CMD_SORT);
    ASSERT_EQ(message_texts(), std::vector<std::string>{"問題が選択されていません。"});
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));

    // Kana too, whatever the system's code page: a katakana sorts beside its
    // hiragana (which first is the locale's), not after every hiragana as
    // its bytes would.
    restart();
    open("い,1,<00\r\nア,2,<00\r\nあ,3,<00\r\n");
    select_only({0, 1, 2});
    SetFocus(list());
    when_dialog("並べ替え", [](HWND dialog) { SendMessageW(dialog, WM_COMMAND, IDOK, 0); });
    command(CMD_SORT);
    EXPECT_EQ(doc().line_at(2)->text(), "い,1,<00");
}

using ProblemCheckTest = EditorTest;

HWND rows() { return GetDlgItem(problem_check_window(), IDC_PROBLEM_LIST); }

int row_count() { return static_cast<int>(SendMessageW(rows(), LVM_GETITEMCOUNT, 0, 0)); }

TEST_F(ProblemCheckTest, RowsAreWhatQzotoolFinds) {
    // The sample holds one problem on purpose; more of other kinds follow it.
    const std::string path = copy_to_temp("samples/sample.qzf", "sample.qzf");
    write_file(path, read_file(path) + "#追加,000000\r\n問,[a|b,<00\r\n,答,<00\r\n問2,,<00\r\n問2,x,<00\r\n");
    start("\"" + path + "\"");
    command(CMD_PROBLEM_CHECK);
    ASSERT_TRUE(problem_check_window());
    std::ostringstream out, err;
    EXPECT_EQ(tool::run({"check", "--problems", path}, out, err), 1);
    EXPECT_EQ(row_count(), 8);  // with the two pictures, not copied
    std::string shown;  // as qzotool prints them
    for (int r = 0; r < row_count(); ++r) {
        shown += path + ":" + item_text(r, 0, rows()) + ": " + item_text(r, 1, rows()) + ": ";
        shown += item_text(r, 2, rows()) + "\n";
    }
    EXPECT_EQ(shown, out.str());
    EXPECT_EQ(window_text(GetDlgItem(problem_check_window(), IDC_PROBLEM_STATUS)),
              std::to_string(row_count()) + " 件の問題が見つかりました。");
}

TEST_F(ProblemCheckTest, NothingFoundRecheckSeesEditsAndRowsLeadToTheirLines) {
    open("#t,200000\r\nq,[a|b],<01\r\n");
    command(CMD_PROBLEM_CHECK);
    HWND window = problem_check_window();
    ASSERT_TRUE(window);
    EXPECT_EQ(row_count(), 0);
    EXPECT_EQ(window_text(GetDlgItem(window, IDC_PROBLEM_STATUS)), "問題は見つかりませんでした。");
    focus_line(1);
    type(1029, "");
    leave_pane();
    click(window, IDC_PROBLEM_RECHECK);
    ASSERT_EQ(row_count(), 2);
    EXPECT_EQ(item_text(0, 1, rows()) + "|" + item_text(1, 1, rows()), "空の答え|答え番号が範囲外");
    EXPECT_EQ(item_text(0, 3, rows()), "q,,<01");

    // Double click and Enter land on the line after earlier lines went.
    restart();
    open("#t,000000\r\na,x,<00\r\nb,y,<00\r\nc,,<00\r\nd,z,<00\r\n,w,<00\r\n");
    command(CMD_PROBLEM_CHECK);
    ASSERT_EQ(row_count(), 2);
    ASSERT_EQ(item_text(0, 0, rows()), "5");
    // Sorting by kind puts the empty question (line 7) first.
    NMLISTVIEW click{{rows(), IDC_PROBLEM_LIST, LVN_COLUMNCLICK}, -1, 1};
    SendMessageW(problem_check_window(), WM_NOTIFY, IDC_PROBLEM_LIST, reinterpret_cast<LPARAM>(&click));
    ASSERT_EQ(item_text(0, 0, rows()), "7");

    select_only({1, 2});
    SetFocus(list());
    command(CMD_DELETE);
    ASSERT_EQ(doc().count(), 4);

    RECT item{LVIR_BOUNDS};
    SendMessageW(rows(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 10, (item.top + item.bottom) / 2);
    SendMessageW(rows(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(rows(), WM_LBUTTONUP, 0, at);
    SendMessageW(rows(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(rows(), WM_LBUTTONUP, 0, at);
    pump();
    EXPECT_EQ(app().editor.current(), 1);  // "c,,<00", file line 5 before the delete
    EXPECT_EQ(field(1026), "c");
    EXPECT_EQ(focused_item(), 1);

    // Enter on the focused row goes to its line as well.
    SetFocus(rows());
    LVITEMW first{};
    first.state = first.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(rows(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
    MSG enter{rows(), WM_KEYDOWN, VK_RETURN, 0};
    if (!preprocess_message(enter)) DispatchMessageW(&enter);
    pump();
    EXPECT_EQ(app().editor.current(), 3);
    EXPECT_TRUE(messages_.empty());

    // A row whose line is gone says so.
    select_only({3});
    SetFocus(list());
    command(CMD_DELETE);
    activate_problem_row(0);
    ASSERT_EQ(message_texts(), std::vector<std::string>{"この行はもうありません。再チェックしてください。"});
}

}  // namespace
}  // namespace qz::test
