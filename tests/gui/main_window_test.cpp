#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/commands.h"
#include "app/file_commands.h"
#include "app/help.h"
#include "app/separator.h"
#include "document/line_labels.h"
#include "document/line_list_win.h"
#include "editor_fixture.h"
#include "resources/resource.h"

namespace qz::test {
namespace {

const char kF1Hint[] = "ヘルプを見るにはF1キーを押してください。";

using MainWindowTest = EditorTest;

TEST_F(MainWindowTest, ShowsTheSampleInTheLineList) {
    std::string sample = source_path("samples/sample.qzf");
    start("\"" + sample + "\"");
    ASSERT_EQ(doc().count(), 59);
    EXPECT_EQ(SendMessageA(list(), LVM_GETITEMCOUNT, 0, 0), 59);

    const char* headers[] = {"行", "種類", "データ"};
    const int widths[] = {38, 70, 180};
    for (int i = 0; i < 3; ++i) {
        char buf[32] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = buf;
        column.cchTextMax = sizeof buf;
        ASSERT_TRUE(SendMessageA(list(), LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(buf, headers[i]);
        EXPECT_EQ(column.cx, widths[i]);
    }

    for (int i = 0; i < doc().count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(item_text(i, 0), std::to_string(i + 2));
        EXPECT_EQ(item_text(i, 1), line_label(doc(), i));
        EXPECT_EQ(item_text(i, 2), doc().line_at(i)->text());
    }
    struct Label {
        int item;
        const char* label;
    } labels[] = {{0, "コメント"},  {2, "空行"},     {4, "設定"},     {14, "タイトル1"},
                  {15, "問題1"},    {20, "空行"},   {21, "タイトル2"}, {26, "問題10"}};
    for (const Label& l : labels) EXPECT_EQ(item_text(l.item, 1), l.label) << l.item;

    EXPECT_EQ(doc().current, 0);
    EXPECT_EQ(status_text(1), "\t2/60");
    EXPECT_EQ(status_text(0), kF1Hint);
    char title[512] = {};
    GetWindowTextA(main_window(), title, sizeof title);
    EXPECT_EQ(std::string(title), sample + " - Quizo Editor");
    EXPECT_EQ(focused_item(), 0);
    EXPECT_EQ(selected_items(), std::vector<int>{0});
}

// Records what the status bar is told while a file is loaded.
std::vector<std::string>* status_log = nullptr;
WNDPROC status_previous = nullptr;
LRESULT CALLBACK status_spy(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == SB_SETTEXTA && (wparam & 0xFF) == 0 && status_log)
        status_log->push_back(reinterpret_cast<const char*>(lparam));
    return CallWindowProcA(status_previous, hwnd, msg, wparam, lparam);
}

TEST_F(MainWindowTest, FillingShowsProgressOnlyWhenThePercentageChanges) {
    start();
    std::string path = dir_ + "\\three.qzf";
    write_file(path, "QUIZODATA V1.4\r\na,b,<00\r\n'c\r\n\r\n");
    std::vector<std::string> log;
    status_log = &log;
    status_previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        app().status_bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(status_spy)));
    open_document(main_window(), path);
    SetWindowLongPtrA(app().status_bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(status_previous));
    status_log = nullptr;
    std::vector<std::string> progress = {"読み込み中... 33%", "読み込み中... 66%",
                                         "読み込み中... 100%"};
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 3), progress);
    // The pane opened on line 0 may speak too; the hint comes back last.
    EXPECT_EQ(log.back(), kF1Hint);
}

TEST_F(MainWindowTest, NewDocumentIsOneBlankLine) {
    start();
    ASSERT_EQ(doc().count(), 1);
    EXPECT_EQ(item_text(0, 0), "2");
    EXPECT_EQ(item_text(0, 1), "空行");
    EXPECT_EQ(item_text(0, 2), "");
    EXPECT_EQ(status_text(1), "\t2/2");
    EXPECT_EQ(doc().file_name, "新規.qzf");
    EXPECT_EQ(doc().version, 14);
    EXPECT_FALSE(modified());
}

struct MenuCase {
    const char* name;
    const char* file;  // lines after the header
    std::vector<int> selected;
    bool clipboard_text;
    std::vector<int> enabled, grayed;
};

class EditMenuRules : public EditorTest, public testing::WithParamInterface<MenuCase> {};

TEST_P(EditMenuRules, FollowTheListFocusAndSelection) {
    const MenuCase& c = GetParam();
    std::string path = dir_ + "\\menu.qzf";
    write_file(path, c.file);
    start("\"" + path + "\"");
    SetFocus(list());
    set_item_state(-1, 0, LVIS_SELECTED);
    for (int i : c.selected) set_item_state(i, LVIS_SELECTED, LVIS_SELECTED);
    if (OpenClipboard(main_window())) {
        EmptyClipboard();
        if (c.clipboard_text) {
            HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 4);
            memcpy(GlobalLock(mem), "abc", 4);
            GlobalUnlock(mem);
            SetClipboardData(CF_TEXT, mem);
        }
        CloseClipboard();
    }
    SendMessageA(main_window(), WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(main_window())), 0);
    for (int id : c.enabled) EXPECT_FALSE(menu_state(id) & MFS_GRAYED) << "item " << id;
    for (int id : c.grayed) EXPECT_TRUE(menu_state(id) & MFS_GRAYED) << "item " << id;
    // The toolbar's Edit buttons follow the same bits.
    for (int id : {CMD_UNDO, CMD_CUT, CMD_COPY, CMD_PASTE, CMD_DELETE}) {
        LRESULT state = SendMessageA(app().toolbar, TB_GETSTATE, id, 0);
        EXPECT_EQ((state & TBSTATE_ENABLED) != 0, !(menu_state(id) & MFS_GRAYED)) << "button " << id;
    }
}

const char kThreeLines14[] = "QUIZODATA V1.4\r\n#t,000000\r\nq,a,<00\r\n'c\r\n";
const char kThreeLines13[] = "QUIZODATA V1.3\r\n#t,000000\r\nq,a,<00\r\n'c\r\n";
const char kOneLine[] = "QUIZODATA V1.4\r\nq,a,<00\r\n";

INSTANTIATE_TEST_SUITE_P(
    MainWindow, EditMenuRules,
    testing::Values(
        MenuCase{"one_line_selected", kOneLine, {0}, false,
                 {CMD_COPY, CMD_SELECT_ALL},
                 {CMD_UNDO, CMD_CUT, CMD_DELETE, CMD_PASTE}},
        MenuCase{"middle_selected", kThreeLines14, {1}, true,
                 {CMD_CUT, CMD_COPY, CMD_PASTE, CMD_DELETE, CMD_SELECT_ALL, CMD_MOVE_UP,
                  CMD_MOVE_DOWN, CMD_SORT, CMD_GROUP_CHANGE, CMD_SWAP_QUESTION_ANSWER,
                  CMD_INSERT_GROUP, CMD_INSERT_FONT_COMMENT},
                 {CMD_UNDO, CMD_INSERT_IMAGE}},
        MenuCase{"nothing_selected", kThreeLines14, {}, false,
                 {CMD_SELECT_ALL},
                 {CMD_CUT, CMD_COPY, CMD_DELETE, CMD_PASTE, CMD_SORT, CMD_GROUP_CHANGE,
                  CMD_SWAP_QUESTION_ANSWER}},
        MenuCase{"first_selected", kThreeLines14, {0}, false, {CMD_MOVE_DOWN}, {CMD_MOVE_UP}},
        MenuCase{"last_selected", kThreeLines14, {2}, false, {CMD_MOVE_UP}, {CMD_MOVE_DOWN}},
        MenuCase{"format_13", kThreeLines13, {1}, false,
                 {CMD_COPY},
                 {CMD_INSERT_GROUP, CMD_INSERT_MESSAGE, CMD_INSERT_FONT_TITLE,
                  CMD_INSERT_FONT_QUESTION, CMD_INSERT_FONT_ANSWER, CMD_INSERT_FONT_GROUP,
                  CMD_INSERT_FONT_COMMENT, CMD_INSERT_IMAGE}}),
    [](const auto& info) { return std::string(info.param.name); });

RECT child_rect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(MainWindowTest, HidingTheBarsGivesTheirRoomToTheWorkArea) {
    start();
    RECT before = child_rect(list());
    RECT toolbar;
    GetWindowRect(app().toolbar, &toolbar);
    int toolbar_height = toolbar.bottom - toolbar.top;
    RECT status;
    GetWindowRect(app().status_bar, &status);
    int status_height = status.bottom - status.top;

    command(CMD_TOGGLE_TOOLBAR);
    RECT after = child_rect(list());
    EXPECT_FALSE(IsWindowVisible(app().toolbar));
    EXPECT_FALSE(menu_state(CMD_TOGGLE_TOOLBAR) & MFS_CHECKED);
    EXPECT_EQ(after.top, before.top - toolbar_height);
    EXPECT_EQ(child_rect(app().separator).top, after.top);

    command(CMD_TOGGLE_STATUS_BAR);
    RECT no_bars = child_rect(list());
    EXPECT_FALSE(IsWindowVisible(app().status_bar));
    EXPECT_EQ(no_bars.bottom - no_bars.top, (after.bottom - after.top) + status_height);
    EXPECT_EQ(app().prefs.Flags, 0);

    command(CMD_TOGGLE_TOOLBAR);
    command(CMD_TOGGLE_STATUS_BAR);
    EXPECT_EQ(child_rect(list()).top, before.top);
    EXPECT_TRUE(menu_state(CMD_TOGGLE_STATUS_BAR) & MFS_CHECKED);
    EXPECT_EQ(app().prefs.Flags, 3);
}

TEST_F(MainWindowTest, SeparatorDragIsClamped) {
    start();
    RECT client;
    GetClientRect(main_window(), &client);
    struct Drag {
        int reported, list_width;
    } drags[] = {{150, 144}, {-40, 30}, {5000, static_cast<int>(client.right) - 30}, {206, 200}};
    for (const Drag& d : drags) {
        SendMessageA(main_window(), kSeparatorMoved, IDC_MAIN_SEPARATOR, d.reported);
        RECT r = child_rect(list());
        EXPECT_EQ(r.right - r.left, d.list_width) << d.reported;
        EXPECT_EQ(app().prefs.ListWidth, d.list_width);
        EXPECT_EQ(child_rect(app().separator).left, d.list_width);
    }
}

TEST_F(MainWindowTest, SeparatorFollowsTheMouseUntilTheRightButton) {
    start();
    HWND bar = app().separator;
    RECT r;
    GetWindowRect(bar, &r);
    SetCursorPos(r.left + 3, r.top + 50);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 50));
    POINT p{r.left + 3 + 40, r.top + 50};
    SetCursorPos(p.x, p.y);
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, 0);
    ScreenToClient(main_window(), &p);
    int dragged = app().prefs.ListWidth;
    EXPECT_EQ(dragged, p.x - 3);
    SendMessageA(bar, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    SetCursorPos(r.left + 3 + 80, r.top + 50);
    SendMessageA(bar, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(app().prefs.ListWidth, dragged);
}

TEST_F(MainWindowTest, MissingHelpFileGetsAMessage) {
    start();
    command(CMD_HELP_CONTENTS);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].text.find("QZOEDIT.CHM"), std::string::npos);
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
}

TEST_F(MainWindowTest, F1OpensTheTopicOfTheLineShownOrOfTheMenu) {
    start("\"" + source_path("samples/sample.qzf") + "\"");
    std::vector<DWORD> topics;
    set_help_hook([&](UINT command, DWORD topic) {
        EXPECT_EQ(command, kHelpContext);
        topics.push_back(topic);
    });
    // Lines: 0 comment, 4 group names, 5 time limit, 6 message, 14 title, 15 question.
    for (int line : {0, 4, 5, 6, 14, 15}) {
        set_item_state(line, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        pump();
        HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, list(), 0, {}};
        SendMessageA(main_window(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    }
    HELPINFO menu{sizeof menu, HELPINFO_MENUITEM, CMD_OPEN, nullptr, 0, {}};
    SendMessageA(main_window(), WM_HELP, 0, reinterpret_cast<LPARAM>(&menu));
    set_help_hook(nullptr);
    EXPECT_EQ(topics, (std::vector<DWORD>{2001, 2004, 2003, 2005, 2002, 2001, 2000}));
}

// Reads the About box while it is up, then closes it.
struct AboutSeen {
    std::string name, version, link;
    bool found = false;
} about_seen;

void CALLBACK close_about(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND box = FindWindowA(nullptr, "バージョン情報");
    if (!box) return;
    char buf[256];
    about_seen.found = true;
    GetDlgItemTextA(box, 1054, buf, sizeof buf);
    about_seen.name = buf;
    GetDlgItemTextA(box, 1024, buf, sizeof buf);
    about_seen.version = buf;
    GetDlgItemTextA(box, 1026, buf, sizeof buf);
    about_seen.link = buf;
    SendMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST_F(MainWindowTest, AboutBoxShowsNameVersionAndLink) {
    start();
    about_seen = {};
    SetTimer(nullptr, 0, 200, close_about);
    command(CMD_ABOUT);
    ASSERT_TRUE(about_seen.found);
    EXPECT_EQ(about_seen.name, "Quizo Editor");
    EXPECT_EQ(about_seen.version, "Version 1.43");
    EXPECT_EQ(about_seen.link.rfind("https://", 0), 0u);
}

// Closes the context menu once it is up.
void CALLBACK close_menu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
}

TEST_F(MainWindowTest, ContextMenuFocusesAndSelectsTheClickedItem) {
    start("\"" + source_path("samples/sample.qzf") + "\"");
    RECT item{LVIR_BOUNDS};
    ASSERT_TRUE(SendMessageA(list(), LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item)));
    POINT p{item.left + 20, (item.top + item.bottom) / 2};
    ClientToScreen(list(), &p);
    SetTimer(nullptr, 0, 100, close_menu);
    SendMessageA(main_window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), MAKELPARAM(p.x, p.y));
    pump();
    EXPECT_EQ(focused_item(), 3);
    EXPECT_EQ(doc().current, 3);
    // Item 0 keeps the selection it had.
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 3}));
}

}  // namespace
}  // namespace qz::test
