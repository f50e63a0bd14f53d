#include <sstream>

#include "editor_fixture.h"
#include "resources/reset_history_ids.h"
#include "resources/resource.h"
#include "resources/select_ids.h"
#include "resources/marks_ids.h"
#include "tool/qzotool.h"
#include "win/operations/marks_win.h"
#include "win/view/line_list_win.h"
#include "win/view/marks_chart_win.h"

namespace qz::test {
namespace {

using MarksTest = EditorTest;

HWND marks_list() { return GetDlgItem(marks_window(), IDC_MARKS_LIST); }
int marks_rows() { return static_cast<int>(SendMessageW(marks_list(), LVM_GETITEMCOUNT, 0, 0)); }
std::string marks_window_text(int id) { return window_text(GetDlgItem(marks_window(), id)); }

// The figures are counted natively (MarkCounts); here the window shows
// qzotool's figures, a click on a bar filters the list, a row leads to its
// line after earlier lines went.
// qzotool's totals line "合計\t30\t正答なし 1\t49.3%" as the window shows
// it: "問題 30　正答なし 1　正答率 49.3%".
std::string window_totals(const std::string& tool_output) {
    std::string totals = tool_output.substr(tool_output.find("合計"));
    totals = totals.substr(0, totals.find('\n'));
    const std::size_t no_right = totals.find("正答なし");
    return "問題 " + totals.substr(5, totals.find('\t', 5) - 5) + "　" +
           totals.substr(no_right, totals.rfind('\t') - no_right) + "　正答率 " +
           totals.substr(totals.rfind('\t') + 1);
}

TEST_F(MarksTest, TheWindowShowsQzotoolsFiguresOnAGeneratedFile) {
    std::string body;
    for (int i = 0; i < 400; ++i) {
        if (i % 37 == 0) body += "#t" + std::to_string(i) + ",000000\r\n";
        body += "q" + std::to_string(i) + ",a," + char('<' + (i * 7) % 32) + "00\r\n";
    }
    open(body);
    command(CMD_MARKS);
    std::ostringstream out, err;
    ASSERT_EQ(tool::run({"stats", dir_ + "\\data.qzf"}, out, err), 0);
    EXPECT_EQ(marks_window_text(IDC_MARKS_TOTALS), window_totals(out.str()));
    EXPECT_EQ(marks_rows(), 400);
}

TEST_F(MarksTest, TheWindowShowsQzotoolsFiguresBarsFilterRowsLeadToTheirLines) {
    const std::string path = copy_to_temp("samples/sample.qzf", "sample.qzf");
    start("\"" + path + "\"");
    command(CMD_MARKS);
    ASSERT_TRUE(marks_window());
    std::ostringstream out, err;
    ASSERT_EQ(tool::run({"stats", path}, out, err), 0);
    EXPECT_EQ(marks_window_text(IDC_MARKS_TOTALS), window_totals(out.str()));
    const std::string totals = out.str().substr(out.str().find("合計"));
    const std::string questions = totals.substr(5, totals.find('\t', 5) - 5);
    EXPECT_EQ(std::to_string(marks_rows()), questions);

    // The second bar: its title's questions only.
    HWND chart = GetDlgItem(marks_window(), IDC_MARKS_CHART);
    const RECT bar = chart_bar_rect(chart, 1);
    ASSERT_LT(bar.left, bar.right);
    SendMessageW(chart, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bar.left + 2, (bar.top + bar.bottom) / 2));
    pump();
    const std::string second = out.str().substr(out.str().find('\n', out.str().find('\n') + 1) + 1);
    const std::string name = second.substr(0, second.find('\t'));
    const std::string count = second.substr(name.size() + 1, second.find('\t', name.size() + 1) - name.size() - 1);
    EXPECT_EQ(marks_window_text(IDC_MARKS_SHOWN), "表示：「" + name + "」の問題（" + count + " 問）");
    EXPECT_EQ(std::to_string(marks_rows()), count);
    EXPECT_EQ(item_text(0, 1, marks_list()), name);

    // Sorted by right marks, the first row has the fewest.
    NMLISTVIEW header{};
    header.hdr = {marks_list(), IDC_MARKS_LIST, LVN_COLUMNCLICK};
    header.iSubItem = 3;
    SendMessageW(marks_window(), WM_NOTIFY, IDC_MARKS_LIST, reinterpret_cast<LPARAM>(&header));
    const std::string first_row_line = item_text(0, 0, marks_list());
    EXPECT_EQ(item_text(0, 3, marks_list()).substr(0, 1), "1");

    // Two lines deleted above it: the row still leads to its question.
    const std::string question_line = doc().line_at(std::stoi(first_row_line) - 2)->text().data();
    select_only({0, 1});
    SetFocus(list());
    command(CMD_DELETE);
    activate_marks_row(0);
    EXPECT_EQ(doc().line_at(app().editor.current())->text(), question_line);
    EXPECT_EQ(app().editor.current(), std::stoi(first_row_line) - 4);

    // "すべて表示" and the refresh count the edited document.
    click(marks_window(), IDC_MARKS_ALL);
    EXPECT_EQ(std::to_string(marks_rows()), questions);
    click(marks_window(), IDC_MARKS_REFRESH);
    EXPECT_EQ(std::to_string(marks_rows()), questions);
    click(marks_window(), IDCANCEL);
    EXPECT_EQ(marks_window(), nullptr);
}

TEST_F(MarksTest, SelectByMarksThenResetTheirHistoryInOneUndoableStep) {
    open("q1,a,<00\r\nq2,a,[00\r\nq3,a,=00\r\n");
    when_dialog("選択", [](HWND dialog) {
        click(dialog, IDC_SELECT_MARKS_MODE);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SELECT_GROUP)));
        SendDlgItemMessageW(dialog, IDC_SELECT_MARKS, CB_SETCURSEL, 1, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SELECT_MARKS, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_SELECT_MARKS)));
        EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_SELECT_DESCRIPTION)),
                  "行番号2～4で，正答数1以下の行を新規選択");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_SELECT);
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 2}));
    const std::string before = joined_lines();
    when_dialog("履歴をリセット", [](HWND dialog) {
        CheckRadioButton(dialog, IDC_RESET_RIGHT, IDC_RESET_WRONG, IDC_RESET_RIGHT);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_RESET_HISTORY);
    EXPECT_EQ(joined_lines(), "q1,a,[00|q2,a,[00|q3,a,[00|");
    EXPECT_EQ(message_texts().back(), "2問の履歴をリセットしました。");
    SetFocus(list());
    command(CMD_UNDO);
    EXPECT_EQ(joined_lines(), before);
}

}  // namespace
}  // namespace qz::test
