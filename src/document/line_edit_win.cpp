#include "document/line_edit_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "app/application.h"
#include "app/commands.h"
#include "app/message_box.h"
#include "document/line_list_win.h"
#include "panes/pane_host.h"
#include "syntax/settings_line.h"

namespace qz {
namespace {

constexpr int kPaneTitleBox = 1055;
constexpr int kPaneQuestionBox = 1026;

// Leaving the editing pane commits its pending edit before the lines move.
void focus_list() {
    if (app().line_list && GetFocus() != app().line_list) SetFocus(app().line_list);
}

// Gives the item the focus and the selection: the list's notification then
// shows its line in the pane.
void focus_item(int index) {
    set_item_state(index, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    SendMessageA(app().line_list, LVM_ENSUREVISIBLE, index, FALSE);
}

void focus_pane_control(int id) {
    if (HWND pane = app().pane) {
        if (HWND control = GetDlgItem(pane, id)) SetFocus(control);
    }
}

// A new line before the current line (or at the end): the old current line
// loses its selection and the new line takes the focus.
void insert_and_focus(DataLine line, bool at_end) {
    CardDocument& doc = app().doc;
    int position = at_end ? doc.count() : std::max(doc.current, 0);
    int old_current = doc.current;
    insert_line(position, std::move(line));
    // (insert_line moved the current index past the new line.)
    if (old_current >= 0) set_item_state(doc.current, 0, LVIS_SELECTED);
    focus_item(position);
}

}  // namespace

void insert_lines(int position, std::vector<DataLine> lines) {
    if (lines.empty()) return;
    focus_list();
    CardDocument& doc = app().doc;
    const int count = static_cast<int>(lines.size());
    position = std::clamp(position, 0, doc.count());
    doc.insert(position, std::move(lines));
    insert_line_items(position, count);
    if (doc.current >= position) doc.current += count;
    doc.modified = true;
    relabel_lines(position, doc.count() - 1);
    if (doc.current >= 0) show_line_position(doc.current);
}

void insert_line(int position, DataLine line) {
    std::vector<DataLine> lines;
    lines.push_back(std::move(line));
    insert_lines(position, std::move(lines));
}

bool add_title_line(HWND owner, bool at_end) {
    focus_list();
    insert_and_focus(DataLine(LINE_TITLE, "#,000000"), at_end);
    focus_pane_control(kPaneTitleBox);
    return true;
}

bool add_question_line(HWND owner, bool at_end) {
    focus_list();
    insert_and_focus(DataLine(LINE_TEXT, ""), at_end);
    focus_pane_control(kPaneQuestionBox);
    return true;
}

bool add_settings_line(HWND owner, int kind) {
    CardDocument& doc = app().doc;
    // Settings lines exist from format 1.4 on.
    if (!is_settings_kind(kind) || doc.version < 14) return false;
    focus_list();
    int file_line = 0;
    if (kind == LINE_GROUP && doc.find_group_settings(&file_line)) {
        char text[128];
        std::snprintf(text, sizeof text, "すでに%d行目にグループ設定があります。", file_line);
        message_box(owner, text, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    std::string prefix = settings_prefix(kind);
    if (prefix.empty()) return false;
    insert_and_focus(DataLine(kind, std::move(prefix)), false);
    // The pane's first field after its label.
    if (HWND pane = app().pane) {
        if (HWND second = GetWindow(GetTopWindow(pane), GW_HWNDNEXT)) SetFocus(second);
    }
    return true;
}

void delete_selected_lines(HWND owner) {
    focus_list();
    CardDocument& doc = app().doc;
    std::vector<int> selected = selected_items();
    if (selected.empty()) return;
    // The last line is never deleted: with every line selected, the last
    // selected line stays.
    bool refused = static_cast<int>(selected.size()) >= doc.count();
    if (refused) selected.pop_back();
    if (!selected.empty()) {
        doc.current = -1;
        std::size_t next = 0;
        doc.erase_if([&](int index, const DataLine&) {
            if (next < selected.size() && selected[next] == index) {
                ++next;
                return true;
            }
            return false;
        });
        doc.modified = true;
        ListNotificationGuard guard;
        ListRedrawGuard no_redraw;
        SendMessageA(app().line_list, LVM_SETITEMCOUNT, doc.count(), 0);
        set_item_state(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    {
        ListNotificationGuard guard;
        ListRedrawGuard no_redraw;
        set_item_state(-1, 0, LVIS_SELECTED);
        set_item_state(0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        SendMessageA(app().line_list, LVM_ENSUREVISIBLE, 0, FALSE);
    }
    show_line_in_pane(0);
    update_command_state();
    // Said over the lines that are left, not over the ones just deleted.
    if (refused) show_error(owner, "これ以上削除することはできません。");
}

void move_selected_lines(int delta) {
    focus_list();
    CardDocument& doc = app().doc;
    std::vector<int> selected = selected_items();
    if (selected.empty()) return;
    int focus = focused_item();
    const DataLine* focused_line = doc.line_at(focus);
    const DataLine* current_line = doc.line_at(doc.current);
    if (!doc.move_lines(selected, delta)) return;
    doc.modified = true;
    {
        // Each run of selected items moves by one place: its item at the
        // leading edge becomes selected and the one at the trailing edge not.
        ListNotificationGuard guard;
        ListRedrawGuard no_redraw;
        std::size_t i = 0;
        while (i < selected.size()) {
            std::size_t j = i;
            while (j + 1 < selected.size() && selected[j + 1] == selected[j] + 1) ++j;
            int first = selected[i], last = selected[j];
            if (delta < 0) {
                set_item_state(first - 1, LVIS_SELECTED, LVIS_SELECTED);
                set_item_state(last, 0, LVIS_SELECTED);
            } else {
                set_item_state(last + 1, LVIS_SELECTED, LVIS_SELECTED);
                set_item_state(first, 0, LVIS_SELECTED);
            }
            i = j + 1;
        }
        if (focused_line) set_item_state(doc.line_index(focused_line), LVIS_FOCUSED, LVIS_FOCUSED);
    }
    if (current_line) {
        doc.current = doc.line_index(current_line);
        SendMessageA(app().line_list, LVM_ENSUREVISIBLE, doc.current, FALSE);
        show_line_position(doc.current);
    }
    update_command_state();
}

void invert_selection() {
    const int count = line_list_count();
    std::vector<int> selected = selected_items();
    ListNotificationGuard guard;
    ListRedrawGuard no_redraw;
    if (selected.size() * 2 <= static_cast<std::size_t>(count)) {
        // Select everything, then clear the few that were selected.
        set_item_state(-1, LVIS_SELECTED, LVIS_SELECTED);
        for (int i : selected) set_item_state(i, 0, LVIS_SELECTED);
    } else {
        set_item_state(-1, 0, LVIS_SELECTED);
        std::size_t next = 0;
        for (int i = 0; i < count; ++i) {
            if (next < selected.size() && selected[next] == i)
                ++next;
            else
                set_item_state(i, LVIS_SELECTED, LVIS_SELECTED);
        }
    }
    update_command_state();
}

}  // namespace qz
