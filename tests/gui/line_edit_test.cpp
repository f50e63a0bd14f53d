#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/line_list_win.h"
#include "editor_fixture.h"
#include "resources/resource.h"

namespace qz::test {
namespace {

class LineEditTest : public EditorTest {
protected:
    void select_only(const std::vector<int>& items) {
        set_item_state(-1, 0, LVIS_SELECTED);
        for (int i : items) set_item_state(i, LVIS_SELECTED, LVIS_SELECTED);
        pump();
    }
    std::string texts() const {
        std::string joined;
        for (const DataLine& line : doc()) joined += (line.has_text() ? line.text() : "_") + "|";
        return joined;
    }
    int focus_control_id() const { return GetDlgCtrlID(GetFocus()); }
};

const char kFive[] = "a,1,<00\r\nb,2,<00\r\nc,3,<00\r\nd,4,<00\r\ne,5,<00\r\n";

TEST_F(LineEditTest, InsertTitleBeforeTheFirstLineMakesItTheHead) {
    open(kFive);
    command(CMD_INSERT_TITLE);
    ASSERT_EQ(doc().count(), 6);
    EXPECT_EQ(doc().line_at(0)->text(), "#,000000");
    EXPECT_EQ(item_text(0, 1), "タイトル1");
    EXPECT_EQ(item_text(1, 0), "3");
    EXPECT_EQ(item_text(1, 2), "a,1,<00");
    EXPECT_EQ(doc().current, 0);
    EXPECT_EQ(selected_items(), std::vector<int>{0});
    EXPECT_EQ(focus_control_id(), 1055);
    EXPECT_TRUE(modified());
    EXPECT_EQ(status_text(1), "\t2/7");
}

TEST_F(LineEditTest, AddedQuestionIsABlankLineUntilTyped) {
    open(kFive);
    focus_line(2);
    command(CMD_ADD_QUESTION);
    ASSERT_EQ(doc().count(), 6);
    EXPECT_EQ(doc().current, 5);
    EXPECT_EQ(item_text(5, 1), "空行");
    // The line that was current loses its selection; item 0 keeps the one
    // it got when the file was opened.
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 5}));
    ASSERT_EQ(focus_control_id(), 1026);
    SendMessageA(GetFocus(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("f"));
    SetFocus(list());
    pump();
    EXPECT_EQ(doc().line_at(5)->text(), "f,,<00");
    EXPECT_EQ(item_text(5, 1), "問題6");
}

TEST_F(LineEditTest, InsertQuestionGoesBeforeTheCurrentLine) {
    open(kFive);
    focus_line(2);
    command(CMD_INSERT_QUESTION);
    EXPECT_EQ(texts(), "a,1,<00|b,2,<00|_|c,3,<00|d,4,<00|e,5,<00|");
    EXPECT_EQ(doc().current, 2);
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 2}));
    EXPECT_EQ(item_text(3, 1), "問題3");
    EXPECT_EQ(item_text(3, 0), "5");
}

TEST_F(LineEditTest, SecondGroupLineIsRefusedWithItsLineNumber) {
    open("a,1,<00\r\nb,2,<00\r\n'c\r\n$Group=x\r\ne,5,<00\r\n");
    focus_line(1);
    command(CMD_INSERT_GROUP);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "すでに5行目にグループ設定があります。");
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(doc().count(), 5);

    command(CMD_INSERT_FONT_ANSWER);
    EXPECT_EQ(doc().count(), 6);
    EXPECT_EQ(doc().line_at(1)->text(), "$FontAnswer=");
    EXPECT_EQ(doc().line_at(1)->kind(), LINE_FONT_ANSWER);
    EXPECT_EQ(item_text(1, 1), "設定");
    EXPECT_EQ(focus_control_id(), 1025);
}

TEST_F(LineEditTest, SettingsLinesAreNotInsertedInFormat13) {
    open(kFive, "1.3");
    command(CMD_INSERT_MESSAGE);
    EXPECT_EQ(doc().count(), 5);
    EXPECT_FALSE(modified());
}

TEST_F(LineEditTest, DeletingEverySelectedLineKeepsOneAndSaysSoOnce) {
    open(kFive);
    SetFocus(list());
    command(CMD_SELECT_ALL);
    EXPECT_EQ(selected_items().size(), 5u);
    command(CMD_DELETE);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "これ以上削除することはできません。");
    ASSERT_EQ(doc().count(), 1);
    EXPECT_EQ(doc().line_at(0)->text(), "e,5,<00");
    EXPECT_EQ(item_text(0, 0), "2");
    EXPECT_EQ(selected_items(), std::vector<int>{0});
    EXPECT_EQ(focused_item(), 0);
    EXPECT_EQ(doc().current, 0);
    EXPECT_EQ(status_text(1), "\t2/2");
}

TEST_F(LineEditTest, DeleteKeyRemovesTheSelectedLines) {
    open(kFive);
    focus_line(3);
    select_only({1, 3});
    SetFocus(list());
    NMLVKEYDOWN key{};
    key.hdr.hwndFrom = list();
    key.hdr.idFrom = IDC_LINE_LIST;
    key.hdr.code = LVN_KEYDOWN;
    key.wVKey = VK_DELETE;
    SendMessageA(main_window(), WM_NOTIFY, IDC_LINE_LIST, reinterpret_cast<LPARAM>(&key));
    pump();
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(texts(), "a,1,<00|c,3,<00|e,5,<00|");
    EXPECT_EQ(item_text(2, 1), "問題3");
    EXPECT_EQ(item_text(2, 0), "4");
    EXPECT_EQ(doc().current, 0);
    EXPECT_EQ(selected_items(), std::vector<int>{0});
}

struct MoveCase {
    const char* name;
    std::vector<int> selected;
    int focus;
    int command;
    const char* order;
    std::vector<int> selected_after;
    int focus_after;
};

class MoveSelected : public LineEditTest, public testing::WithParamInterface<MoveCase> {};

TEST_P(MoveSelected, StatesTravelWithTheirLines) {
    const MoveCase& c = GetParam();
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

INSTANTIATE_TEST_SUITE_P(
    LineEdit, MoveSelected,
    testing::Values(
        // Lines 2-4 of the file (items 0-2 after the first) move up as a block.
        MoveCase{"block_up", {1, 2, 3}, 2, CMD_MOVE_UP, "b,2,<00|c,3,<00|d,4,<00|a,1,<00|e,5,<00|",
                 {0, 1, 2}, 1},
        MoveCase{"block_down", {1, 2}, 1, CMD_MOVE_DOWN,
                 "a,1,<00|d,4,<00|b,2,<00|c,3,<00|e,5,<00|", {2, 3}, 2},
        MoveCase{"focus_outside_the_block", {3}, 2, CMD_MOVE_UP,
                 "a,1,<00|b,2,<00|d,4,<00|c,3,<00|e,5,<00|", {2}, 3},
        MoveCase{"two_blocks_down", {0, 2}, 4, CMD_MOVE_DOWN,
                 "b,2,<00|a,1,<00|d,4,<00|c,3,<00|e,5,<00|", {1, 3}, 4},
        MoveCase{"first_selected", {0, 2}, 2, CMD_MOVE_UP, "a,1,<00|b,2,<00|c,3,<00|d,4,<00|e,5,<00|",
                 {0, 2}, 2},
        MoveCase{"last_selected", {4}, 4, CMD_MOVE_DOWN, "a,1,<00|b,2,<00|c,3,<00|d,4,<00|e,5,<00|",
                 {4}, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineEditTest, InvertSelectionKeepsTheFocus) {
    open(kFive);
    focus_line(1);
    select_only({1, 2});
    command(CMD_INVERT_SELECTION);
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 3, 4}));
    EXPECT_EQ(focused_item(), 1);
    command(CMD_INVERT_SELECTION);
    EXPECT_EQ(selected_items(), (std::vector<int>{1, 2}));
    select_only({});
    command(CMD_INVERT_SELECTION);
    EXPECT_EQ(selected_items().size(), 5u);
}

}  // namespace
}  // namespace qz::test
