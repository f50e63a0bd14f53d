#include "win/operations/bulk_edit_win.h"

#include <cstdio>
#include <new>

#include "core/document/line_queries.h"
#include "core/operations/bulk_edit.h"
#include "core/syntax/settings_line.h"
#include "resources/group_change_dialog.h"
#include "resources/resource.h"
#include "win/base/app_state.h"
#include "win/base/help.h"
#include "win/base/message_box.h"
#include "win/view/command_state.h"
#include "win/view/list_mirror_win.h"
#include "win/view/pane_host.h"

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

// The dialog's answer: the group chosen (0-9).
struct GroupChange {
    int group = 0;
};

INT_PTR CALLBACK group_change_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        center_dialog(dialog);
        HWND combo = GetDlgItem(dialog, IDC_GROUP_CHANGE_GROUP);
        for (int i = 0; i < 10; ++i)
            SendMessageA(combo, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(group_name(app().doc, i).c_str()));
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
        return TRUE;
    }
    case WM_HELP: show_help(dialog, kHelpContext, kTopicGroupChange); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK: {
            const LRESULT group = SendDlgItemMessageA(dialog, IDC_GROUP_CHANGE_GROUP, CB_GETCURSEL, 0, 0);
            auto* answer = reinterpret_cast<GroupChange*>(GetWindowLongPtrA(dialog, DWLP_USER));
            answer->group = group >= 0 && group <= 9 ? static_cast<int>(group) : 0;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        case IDC_HELP_BUTTON: show_help(dialog, kHelpContext, kTopicGroupChange); return TRUE;
        }
        break;
    }
    return FALSE;
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

std::optional<int> ask_group_change(HWND owner) {
    GroupChange answer;
    if (DialogBoxParamA(app().instance, MAKEINTRESOURCEA(IDD_GROUP_CHANGE), owner, group_change_proc,
                        reinterpret_cast<LPARAM>(&answer)) != IDOK)
        return std::nullopt;
    return answer.group;
}

void change_group_of_selection(HWND owner) {
    focus_list();
    if (const std::optional<int> group = ask_group_change(owner)) set_group_of_selection(owner, *group);
}

void set_group_of_selection(HWND owner, int group) {
    if (!run_bulk_edit(owner, [group] { return change_selected_groups(editor(), group); },
                       "%d問変更しました。", "問題が選択されていません。"))
        return;
    // A changed group shows in the pane.
    if (app().editor.current() >= 0) show_line_in_pane(app().editor.current());
}

}  // namespace qz
