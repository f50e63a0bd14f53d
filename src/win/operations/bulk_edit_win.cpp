#include "win/operations/bulk_edit_win.h"

#include <cstdio>
#include <new>

#include "core/document/line_queries.h"
#include "core/operations/bulk_edit.h"
#include "core/syntax/settings_line.h"
#include "win/base/app_state_win.h"
#include "win/base/message_box_win.h"
#include "win/view/command_state_win.h"
#include "win/view/list_mirror_win.h"
#include "win/view/pane_host_win.h"
#include "win/operations/group_change_dialog_win.h"
#include "win/operations/reset_history_dialog_win.h"

namespace qz {
namespace {

// Leaving the editing pane commits its pending edit first.
void focus_list() {
    if (app().line_list && GetFocus() != app().line_list) SetFocus(app().line_list);
}

void say(HWND owner, const char* format, int count) {
    char text[64];
    std::snprintf(text, sizeof text, format, count);
    message_box(owner, text, MB_OK | MB_ICONINFORMATION);
}

// Runs a bulk edit of the selected questions and reports how many it
// changed; false when memory ran out (after its message).
template <class Edit>
bool run_bulk_edit(HWND owner, Edit edit, const char* done, const char* none) {
    focus_list();
    int count = 0;
    try {
        count = edit();
    } catch (const std::bad_alloc&) {
        show_error(owner, "メモリが足りません。");
        return false;
    }
    if (count > 0) {
        mirror_model();
        update_command_state();
        say(owner, done, count);
    } else {
        message_box(owner, none, MB_OK | MB_ICONINFORMATION);
    }
    return true;
}

}  // namespace

void swap_question_answer(HWND owner) {
    run_bulk_edit(owner, [] { return swap_selected_questions(editor()); }, "%d個入れ替えしました。",
                  "入れ替える問題はありません。");
}

void change_group_of_selection(HWND owner) {
    focus_list();
    GroupChangeRequest request;
    for (int i = 0; i < 10; ++i) request.names[static_cast<std::size_t>(i)] = group_name(document(), i);
    if (const std::optional<int> group = ask_group_change(owner, request)) set_group_of_selection(owner, *group);
}

void set_group_of_selection(HWND owner, int group) {
    if (!run_bulk_edit(owner, [group] { return change_selected_groups(editor(), group); },
                       "%d問変更しました。", "問題が選択されていません。"))
        return;
    // A changed group shows in the pane.
    if (editor().current() >= 0) show_line_in_pane(editor().current());
}

void reset_history_of_selection(HWND owner) {
    focus_list();
    const std::optional<bool> right = ask_history_reset(owner);
    if (!right) return;
    if (!run_bulk_edit(owner, [right] { return reset_selected_histories(editor(), *right); },
                       "%d問の履歴をリセットしました。", "問題が選択されていません。"))
        return;
    if (editor().current() >= 0) show_line_in_pane(editor().current());
}

}  // namespace qz
