#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/app/file_commands.h"
#include "win/view/line_list_win.h"
#include "editor_fixture.h"
#include "resources/resource.h"

namespace qz::test {
namespace {

class UndoTest : public EditorTest {
protected:
    // A key pressed with Ctrl held, delivered to the focused window as the
    // message loop would.
    void ctrl_key(BYTE key) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageA(GetFocus(), WM_KEYUP, key, 0xC0000001);
        pump();
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
    std::string texts() const {
        std::string joined;
        for (const DataLine& line : doc()) joined += std::string(line.has_text() ? line.text() : "_") + "|";
        return joined;
    }
    void expect_list_mirrors_model() {
        EXPECT_EQ(line_list_count(), doc().count());
        EXPECT_EQ(selected_items(), app().editor.selected());
        EXPECT_EQ(focused_item(), app().editor.focus());
    }
};

const char kFive[] = "a,1,<00\r\nb,2,<00\r\nc,3,<00\r\nd,4,<00\r\ne,5,<00\r\n";

TEST_F(UndoTest, CtrlZInTheListUndoesADeleteAndCtrlYRedoesIt) {
    open(kFive);
    set_item_state(-1, 0, LVIS_SELECTED);
    focus_line(1);
    set_item_state(3, LVIS_SELECTED, LVIS_SELECTED);
    SetFocus(list());
    command(CMD_DELETE);
    ASSERT_EQ(texts(), "a,1,<00|c,3,<00|e,5,<00|");
    EXPECT_TRUE(modified());
    EXPECT_EQ(menu_state(CMD_REDO) & MFS_GRAYED, static_cast<UINT>(MFS_GRAYED));

    ctrl_key('Z');
    EXPECT_EQ(texts(), "a,1,<00|b,2,<00|c,3,<00|d,4,<00|e,5,<00|");
    EXPECT_EQ(selected_items(), (std::vector<int>{1, 3}));
    EXPECT_EQ(field(1026), "b");
    EXPECT_EQ(item_text(4, 0), "6");
    EXPECT_FALSE(modified());
    expect_list_mirrors_model();

    SendMessageA(main_window(), WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(main_window())), 0);
    EXPECT_EQ(menu_state(CMD_REDO) & MFS_GRAYED, 0u);
    ctrl_key('Y');
    EXPECT_EQ(texts(), "a,1,<00|c,3,<00|e,5,<00|");
    EXPECT_EQ(selected_items(), std::vector<int>{1});
    EXPECT_TRUE(modified());
    expect_list_mirrors_model();
}

TEST_F(UndoTest, PaneEditUndoesTypingAndTheListUndoesTheCommit) {
    open(kFive);
    focus_line(2);
    type(1026, "x");
    // In the edit control, Undo takes back the typing only.
    command(CMD_UNDO);
    EXPECT_EQ(field(1026), "c");
    EXPECT_FALSE(app().editor.can_undo());

    type(1026, "x");
    leave_pane();
    ASSERT_EQ(doc().line_at(2)->text(), "x,3,<00");
    EXPECT_TRUE(modified());
    focus_line(4);
    command(CMD_UNDO);
    EXPECT_EQ(doc().line_at(2)->text(), "c,3,<00");
    EXPECT_EQ(selected_items(), std::vector<int>{2});
    EXPECT_EQ(field(1026), "c");
    // Back at the state opened: closing asks nothing.
    EXPECT_FALSE(modified());
    command(CMD_NEW);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(UndoTest, InvertAndSelectAllAreMirroredKeepTheScrollAndAreNoSteps) {
    std::string body;
    for (int i = 0; i < 300; ++i) body += "q" + std::to_string(i) + ",a,<00\r\n";
    open(body);
    set_item_state(-1, 0, LVIS_SELECTED);
    focus_line(1);
    set_item_state(2, LVIS_SELECTED, LVIS_SELECTED);
    SendMessageA(list(), LVM_ENSUREVISIBLE, 299, FALSE);
    const LRESULT top = SendMessageA(list(), LVM_GETTOPINDEX, 0, 0);
    ASSERT_GT(top, 0);
    SetFocus(list());
    command(CMD_INVERT_SELECTION);
    ASSERT_EQ(selected_items().size(), 298u);
    EXPECT_EQ(selected_items()[1], 3);
    EXPECT_EQ(focused_item(), 1);
    EXPECT_EQ(SendMessageA(list(), LVM_GETTOPINDEX, 0, 0), top);
    expect_list_mirrors_model();
    command(CMD_INVERT_SELECTION);
    EXPECT_EQ(selected_items(), (std::vector<int>{1, 2}));
    command(CMD_SELECT_ALL);
    EXPECT_EQ(selected_items().size(), 300u);
    EXPECT_EQ(SendMessageA(list(), LVM_GETTOPINDEX, 0, 0), top);
    expect_list_mirrors_model();
    EXPECT_FALSE(app().editor.can_undo());
}

}  // namespace
}  // namespace qz::test
