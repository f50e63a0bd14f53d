#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/base/message_box.h"
#include "win/view/line_list_win.h"
#include "editor_fixture.h"
#include "resources/resource.h"

namespace qz::test {
namespace {

class LineEditTest : public EditorTest {
protected:
    std::string texts() const {
        std::string joined;
        for (const DataLine& line : doc()) joined += std::string(line.has_text() ? line.text() : "_") + "|";
        return joined;
    }
    int focus_control_id() const { return GetDlgCtrlID(GetFocus()); }
};

const char kFive[] = "a,1,<00\r\nb,2,<00\r\nc,3,<00\r\nd,4,<00\r\ne,5,<00\r\n";

TEST_F(LineEditTest, InsertedLinesGetTheFocusAndTheirLabels) {
    open(kFive);
    command(CMD_INSERT_TITLE);  // before the first line: it heads the questions
    EXPECT_EQ(texts(), "#,000000|a,1,<00|b,2,<00|c,3,<00|d,4,<00|e,5,<00|");
    EXPECT_EQ(item_text(0, 1) + item_text(1, 0) + item_text(1, 2), "タイトル13a,1,<00");
    EXPECT_EQ(selected_items(), std::vector<int>{0});
    EXPECT_EQ(focus_control_id(), 1055);
    EXPECT_TRUE(modified());
    EXPECT_EQ(status_text(1), "\t2/7");

    focus_line(3);
    command(CMD_INSERT_QUESTION);  // before the current line
    EXPECT_EQ(texts(), "#,000000|a,1,<00|b,2,<00|_|c,3,<00|d,4,<00|e,5,<00|");
    EXPECT_EQ(doc().current, 3);
    EXPECT_EQ(item_text(4, 0) + item_text(4, 1), "6問題3");

    command(CMD_ADD_QUESTION);  // at the end, a blank line until typed
    ASSERT_EQ(doc().count(), 8);
    EXPECT_EQ(doc().current, 7);
    EXPECT_EQ(item_text(7, 1), "空行");
    // The line that was current loses its selection; item 0 keeps the one it had.
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 7}));
    ASSERT_EQ(focus_control_id(), 1026);
    SendMessageA(GetFocus(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("f"));
    leave_pane();
    EXPECT_EQ(doc().line_at(7)->text(), "f,,<00");
    EXPECT_EQ(item_text(7, 1), "問題6");
}

TEST_F(LineEditTest, SettingsLinesInsertion) {
    open("a,1,<00\r\nb,2,<00\r\n'c\r\n$Group=x\r\ne,5,<00\r\n");
    focus_line(1);
    command(CMD_INSERT_GROUP);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "すでに5行目にグループ設定があります。");
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(doc().count(), 5);
    command(CMD_INSERT_FONT_ANSWER);
    EXPECT_EQ(item_text(1, 1) + item_text(1, 2), "設定$FontAnswer=");
    EXPECT_EQ(focus_control_id(), 1025);

    restart();
    open(kFive, "1.3");  // no settings lines in format 1.3
    command(CMD_INSERT_MESSAGE);
    EXPECT_EQ(doc().count(), 5);
    EXPECT_FALSE(modified());
}

TEST_F(LineEditTest, DeletingSelectedLines) {
    open(kFive);
    focus_line(3);
    select_only({1, 3});
    SetFocus(list());
    NMLVKEYDOWN key{{list(), IDC_LINE_LIST, LVN_KEYDOWN}, VK_DELETE, 0};
    SendMessageA(main_window(), WM_NOTIFY, IDC_LINE_LIST, reinterpret_cast<LPARAM>(&key));
    pump();
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(texts(), "a,1,<00|c,3,<00|e,5,<00|");
    EXPECT_EQ(item_text(2, 0) + item_text(2, 1), "4問題3");

    // Deleting every line keeps the last and says so once.
    command(CMD_SELECT_ALL);
    EXPECT_EQ(selected_items().size(), 3u);
    command(CMD_DELETE);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "これ以上削除することはできません。");
    EXPECT_EQ(texts(), "e,5,<00|");
    EXPECT_EQ(selected_items(), std::vector<int>{0});
    EXPECT_EQ(doc().current, 0);
    EXPECT_EQ(status_text(1), "\t2/2");
}

// Behind the refusal the list and the pane already show what is left.
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

TEST_F(LineEditTest, MovedLinesTakeTheirSelectionAndFocusAlong) {
    struct Case {
        std::vector<int> selected;
        int focus, command;
        const char* order;
        std::vector<int> selected_after;
        int focus_after;
    };
    const Case cases[] = {
        {{1, 2, 3}, 2, CMD_MOVE_UP, "b,2,<00|c,3,<00|d,4,<00|a,1,<00|e,5,<00|", {0, 1, 2}, 1},
        {{0, 2}, 4, CMD_MOVE_DOWN, "b,2,<00|a,1,<00|d,4,<00|c,3,<00|e,5,<00|", {1, 3}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order);
        restart();
        open(kFive);
        focus_line(c.focus);
        select_only(c.selected);
        SetFocus(list());
        command(c.command);
        EXPECT_EQ(texts(), c.order);
        EXPECT_EQ(selected_items(), c.selected_after);
        EXPECT_EQ(focused_item(), c.focus_after);
        EXPECT_EQ(doc().current, c.focus_after);
        EXPECT_EQ(status_text(1), "\t" + std::to_string(c.focus_after + 2) + "/6");
        for (int i = 0; i < doc().count(); ++i) EXPECT_EQ(item_text(i, 2), doc().line_at(i)->text());
    }
}

}  // namespace
}  // namespace qz::test
