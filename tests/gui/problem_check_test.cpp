// The problem check window: its rows against qzotool's, going to a row's
// line by double-click and Enter, the empty list.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

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

std::string row_text(int row, int column) {
    char buffer[512] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(rows(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

int row_count() { return static_cast<int>(SendMessageA(rows(), LVM_GETITEMCOUNT, 0, 0)); }

// The rows as qzotool check --problems prints them.
std::string rows_as_tool_output(const std::string& path) {
    std::string out;
    for (int r = 0; r < row_count(); ++r)
        out += path + ":" + row_text(r, 0) + ": " + row_text(r, 1) + ": " + row_text(r, 2) + "\n";
    return out;
}

// With QZ_HOLD_MS set, the window stays up that long for a screenshot.
void hold_for_screenshot() {
    if (const char* ms = std::getenv("QZ_HOLD_MS"))
        for (DWORD end = GetTickCount() + std::atoi(ms); GetTickCount() < end; Sleep(20)) pump();
}

// A quiz with every kind of problem a few times over.
std::string generated_quiz(int lines) {
    std::string text = "QUIZODATA V1.4\r\n$Group=全般,歴史,地理\r\n#章,311110\r\n";
    for (int i = 0; i < lines; ++i) {
        const std::string n = std::to_string(i % 97);
        switch (i % 7) {
            case 0: text += "問題" + n + ",[あ|い|う],?1" + std::to_string(i % 4) + "\r\n"; break;
            case 1: text += "もんだい" + n + ",[か|き],?20\r\n"; break;
            case 2: text += "#章" + n + ",0" + std::to_string(i % 2) + "0000\r\n"; break;
            case 3: text += "Ｑ" + n + ",[a|(b],?01\r\n"; break;
            case 4: text += "q" + n + ",,?33\r\n"; break;
            case 5: text += "壊れた行" + n + "\r\n"; break;
            default: text += ",答え,?02\r\n"; break;
        }
    }
    return text;
}

TEST_F(ProblemCheckTest, RowsAreWhatQzotoolFinds) {
    const struct {
        const char* name;
        std::string path;
    } files[] = {
        {"sample", copy_to_temp("samples/sample.qzf", "sample.qzf")},
        {"generated", dir_ + "\\generated.qzf"},
    };
    write_file(files[1].path, generated_quiz(3000));
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        restart();
        start("\"" + f.path + "\"");
        command(CMD_PROBLEM_CHECK);
        ASSERT_TRUE(problem_check_window());
        hold_for_screenshot();
        std::ostringstream out, err;
        EXPECT_EQ(tool::run({"check", "--problems", f.path}, out, err), 1);
        EXPECT_GT(row_count(), 10);
        EXPECT_EQ(rows_as_tool_output(f.path), out.str());
        EXPECT_EQ(window_text(GetDlgItem(problem_check_window(), IDC_PROBLEM_STATUS)),
                  std::to_string(row_count()) + " 件の問題が見つかりました。");
    }
}

TEST_F(ProblemCheckTest, NothingFoundSaysSoAndRecheckSeesEdits) {
    open("#t,200000\r\nq,[a|b],<01\r\n");
    command(CMD_PROBLEM_CHECK);
    HWND window = problem_check_window();
    ASSERT_TRUE(window);
    hold_for_screenshot();
    EXPECT_EQ(row_count(), 0);
    EXPECT_EQ(window_text(GetDlgItem(window, IDC_PROBLEM_STATUS)), "問題は見つかりませんでした。");
    focus_line(1);
    type(1029, "");
    leave_pane();
    SendMessageA(GetDlgItem(window, IDC_PROBLEM_RECHECK), BM_CLICK, 0, 0);
    pump();
    ASSERT_EQ(row_count(), 3);
    EXPECT_EQ(row_text(0, 1) + "|" + row_text(1, 1) + "|" + row_text(2, 1),
              "空の答え|答え番号が範囲外|選択肢の不足");
    EXPECT_EQ(row_text(0, 3), "q,,<01");
}

TEST_F(ProblemCheckTest, DoubleClickAndEnterLandOnTheLineAfterEarlierLinesGo) {
    open("#t,000000\r\na,x,<00\r\nb,y,<00\r\nc,,<00\r\nd,z,<00\r\n,w,<00\r\n");
    command(CMD_PROBLEM_CHECK);
    ASSERT_EQ(row_count(), 2);
    ASSERT_EQ(row_text(0, 0), "5");
    // Sorting by kind puts the empty question (line 7) first.
    NMLISTVIEW click{{rows(), IDC_PROBLEM_LIST, LVN_COLUMNCLICK}, -1, 1};
    SendMessageA(problem_check_window(), WM_NOTIFY, IDC_PROBLEM_LIST, reinterpret_cast<LPARAM>(&click));
    ASSERT_EQ(row_text(0, 0), "7");

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
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "この行はもうありません。再チェックしてください。");
}

}  // namespace
}  // namespace qz::test
