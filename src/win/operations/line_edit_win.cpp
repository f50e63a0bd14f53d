#include "win/operations/line_edit_win.h"

#include <commctrl.h>

#include "core/operations/problem_check.h"
#include "resources/pane_ids.h"
#include "resources/question_pane_ids.h"
#include "win/base/app_state_win.h"
#include "win/base/message_box_win.h"
#include "win/view/command_state_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"
#include "win/view/pane_host_win.h"

namespace qz {
namespace {


// Leaving the editing pane commits its pending edit before the lines move.
void focus_list() {
    if (app().line_list && GetFocus() != app().line_list) SetFocus(app().line_list);
}

void focus_pane_control(int id) {
    if (HWND pane = app().pane) {
        if (HWND control = GetDlgItem(pane, id)) SetFocus(control);
    }
}

// The list follows the model; the current line is scrolled into view and,
// with `show_pane`, shown in the pane (else only its position).
void show_model(bool show_pane) {
    mirror_model();
    const int current = editor().current();
    if (current >= 0) {
        SendMessageW(app().line_list, LVM_ENSUREVISIBLE, current, FALSE);
        if (show_pane)
            show_line_in_pane(current);
        else
            show_line_position(current);
    }
    update_command_state();
}

bool add_line(DataLine line, bool at_end, int pane_control) {
    focus_list();
    editor().add_line(std::move(line), at_end);
    show_model(true);
    focus_pane_control(pane_control);
    return true;
}

}  // namespace

void insert_lines(int position, std::vector<DataLine> lines) {
    if (lines.empty()) return;
    focus_list();
    editor().insert_lines(position, std::move(lines));
    mirror_model();
    if (editor().current() >= 0) show_line_position(editor().current());
}

void insert_line(int position, DataLine line) {
    std::vector<DataLine> lines;
    lines.push_back(std::move(line));
    insert_lines(position, std::move(lines));
}

bool add_title_line(HWND owner, bool at_end) {
    return add_line(DataLine(LINE_TITLE, "#,000000"), at_end, IDC_PANE_TITLE);
}

bool add_question_line(HWND owner, bool at_end) {
    return add_line(DataLine(LINE_TEXT, ""), at_end, IDC_QUESTION);
}

bool add_settings_line(HWND owner, int kind) {
    // Settings lines exist from format 1.4 on.
    if (!is_settings_kind(kind) || document().version < 14) return false;
    focus_list();
    EditOutcome outcome = editor().add_settings_line(kind);
    if (!outcome.refusal.empty()) {
        message_box(owner, outcome.refusal.c_str(), MB_OK | MB_ICONINFORMATION);
        return false;
    }
    if (!outcome.done) return false;
    show_model(true);
    // The pane's first field after its label.
    if (HWND pane = app().pane) {
        if (HWND second = GetWindow(GetTopWindow(pane), GW_HWNDNEXT)) SetFocus(second);
    }
    return true;
}

void delete_selected_lines(HWND owner) {
    focus_list();
    EditOutcome outcome = editor().delete_selected();
    if (!outcome.done) return;
    show_model(true);
    // Said over the lines that are left, not over the ones just deleted.
    if (!outcome.refusal.empty()) show_error(owner, outcome.refusal.c_str());
}

void move_selected_lines(int delta) {
    focus_list();
    if (editor().move_selected(delta).done) show_model(false);
}

void invert_selection() {
    editor().invert_selection();
    mirror_model();
    update_command_state();
}

void undo_change() {
    focus_list();
    if (!editor().can_undo()) return;
    editor().undo();
    show_model(true);
}

void redo_change() {
    focus_list();
    if (!editor().can_redo()) return;
    editor().redo();
    show_model(true);
}

void go_to_line(int index, bool keep_selection) {
    if (keep_selection)
        editor().set_focus(index);
    else
        editor().set_selection({index}, index);
    mirror_model();
    SendMessageW(app().line_list, LVM_ENSUREVISIBLE, index, FALSE);
    show_line_in_pane(index);
    show_line_position(index);
    update_command_state();
}

bool go_to_line_by_id(HWND window, const std::string& file_name, std::uint32_t line_id, const char* gone) {
    const CardDocument& doc = document();
    const int index = file_name == doc.file_name ? find_line_by_id(doc, line_id) : -1;
    if (index < 0) {
        message_box(window, gone, MB_OK | MB_ICONWARNING);
        return false;
    }
    go_to_line(index);
    SetActiveWindow(app().main_window);
    SetFocus(app().line_list);
    return true;
}

}  // namespace qz
