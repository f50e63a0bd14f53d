#include <sstream>

#include "win/view/line_list_win.h"
#include "editor_fixture.h"
#include "win/operations/problem_check_win.h"
#include "resources/problem_check_ids.h"
#include "resources/resource.h"
#include "tool/qzotool.h"

namespace qz::test {
namespace {

using ProblemCheckTest = EditorTest;

HWND rows() { return GetDlgItem(problem_check_window(), IDC_PROBLEM_LIST); }

int row_count() { return static_cast<int>(SendMessageA(rows(), LVM_GETITEMCOUNT, 0, 0)); }

TEST_F(ProblemCheckTest, RowsAreWhatQzotoolFinds) {
    const std::string path = copy_to_temp("samples/sample.qzf", "sample.qzf");
    start("\"" + path + "\"");
    command(CMD_PROBLEM_CHECK);
    ASSERT_TRUE(problem_check_window());
    std::ostringstream out, err;
    EXPECT_EQ(tool::run({"check", "--problems", path}, out, err), 1);
    EXPECT_GT(row_count(), 10);
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
    ASSERT_EQ(row_count(), 3);
    EXPECT_EQ(item_text(0, 1, rows()) + "|" + item_text(1, 1, rows()) + "|" +
                  item_text(2, 1, rows()),
              "空の答え|答え番号が範囲外|選択肢の不足");
    EXPECT_EQ(item_text(0, 3, rows()), "q,,<01");

    // Double click and Enter land on the line after earlier lines went.
    restart();
    open("#t,000000\r\na,x,<00\r\nb,y,<00\r\nc,,<00\r\nd,z,<00\r\n,w,<00\r\n");
    command(CMD_PROBLEM_CHECK);
    ASSERT_EQ(row_count(), 2);
    ASSERT_EQ(item_text(0, 0, rows()), "5");
    // Sorting by kind puts the empty question (line 7) first.
    NMLISTVIEW click{{rows(), IDC_PROBLEM_LIST, LVN_COLUMNCLICK}, -1, 1};
    SendMessageA(problem_check_window(), WM_NOTIFY, IDC_PROBLEM_LIST, reinterpret_cast<LPARAM>(&click));
    ASSERT_EQ(item_text(0, 0, rows()), "7");

    select_only({1, 2});
    SetFocus(list());
    command(CMD_DELETE);
    ASSERT_EQ(doc().count(), 4);

    RECT item{LVIR_BOUNDS};
    SendMessageA(rows(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 10, (item.top + item.bottom) / 2);
    SendMessageA(rows(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(rows(), WM_LBUTTONUP, 0, at);
    SendMessageA(rows(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(rows(), WM_LBUTTONUP, 0, at);
    pump();
    EXPECT_EQ(doc().current, 1);  // "c,,<00", file line 5 before the delete
    EXPECT_EQ(field(1026), "c");
    EXPECT_EQ(focused_item(), 1);

    // Enter on the focused row goes to its line as well.
    SetFocus(rows());
    LVITEMA first{};
    first.state = first.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageA(rows(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
    MSG enter{rows(), WM_KEYDOWN, VK_RETURN, 0};
    if (!preprocess_message(enter)) DispatchMessageA(&enter);
    pump();
    EXPECT_EQ(doc().current, 3);
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
