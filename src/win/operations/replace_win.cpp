#include "win/operations/replace_win.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>

#include "core/operations/replace.h"
#include "resources/replace_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/base/modeless_win.h"
#include "win/base/window_text_win.h"
#include "win/operations/find_win.h"
#include "win/operations/line_edit_win.h"
#include "win/view/command_state_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"
#include "win/view/pane_common_win.h"
#include "win/view/pane_host_win.h"

namespace qz {
namespace {

HWND& dialog_window() {
    static HWND window = nullptr;
    return window;
}

constexpr int kActionButtons[] = {IDC_REPLACE_NEXT, IDC_REPLACE_ONE, IDC_REPLACE_ALL};

void enable_actions(HWND dialog) {
    const bool any = GetWindowTextLengthW(GetDlgItem(dialog, IDC_REPLACE_FIND)) > 0;
    for (int id : kActionButtons) EnableWindow(GetDlgItem(dialog, id), any);
}

void say(HWND dialog, const std::string& text) {
    set_item_text(dialog, IDC_REPLACE_STATUS, text);
}

// The texts, conditions and scope the dialog shows, from the editor's state.
void fill(HWND dialog) {
    const Application& a = app();
    set_item_text(dialog, IDC_REPLACE_FIND, a.search_text.value_or(""));
    set_item_text(dialog, IDC_REPLACE_WITH, a.replacement_text);
    check_condition_boxes(dialog, a.prefs.search_conditions);
    // One selected line is where the user stands, not a scope.
    CheckRadioButton(dialog, IDC_REPLACE_SELECTED, IDC_REPLACE_EVERY_LINE,
                     editor().selected_count() > 1 ? IDC_REPLACE_SELECTED : IDC_REPLACE_EVERY_LINE);
    enable_actions(dialog);
    say(dialog, "");
}

struct Request {
    Replacer replacer;
    bool selected_only;
};

// The text of an edit box; the bytes it was filled with while it still
// shows them (a text read back unchanged keeps the bytes of the pairs code
// page 932 holds twice).
std::string kept_text(HWND dialog, int id, const std::string& shown) {
    HWND edit = GetDlgItem(dialog, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text == wide(shown) ? shown : narrow(text);
}

// What the dialog asks for; the texts and conditions are kept for the next
// find or replace. None (after a message where one is due) when it asks
// for nothing.
std::optional<Request> read_request(HWND dialog) {
    Application& a = app();
    std::string find = kept_text(dialog, IDC_REPLACE_FIND, a.search_text.value_or(""));
    a.replacement_text = kept_text(dialog, IDC_REPLACE_WITH, a.replacement_text);
    const unsigned conditions = checked_conditions(dialog);
    if (!conditions_name_a_field(dialog, conditions)) return std::nullopt;
    a.prefs.search_conditions = conditions;
    if (find.empty()) return std::nullopt;
    std::optional<Replacer> replacer = Replacer::make(find, a.replacement_text, conditions);
    a.search_text = std::move(find);
    if (!replacer) return std::nullopt;
    return Request{std::move(*replacer),
                   IsDlgButtonChecked(dialog, IDC_REPLACE_SELECTED) == BST_CHECKED};
}

// Goes to the next line after the current one that holds a match; false
// (after the message find gives) when there is none.
bool find_next_line(HWND dialog, const Request& r) {
    const int found =
        find_replaceable_line(editor(), r.replacer, r.selected_only, editor().current(), 1);
    if (found < 0) {
        message_box(dialog, "検索文字列が見つかりません。", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    // Over the selected lines only the focus moves: the scope stays.
    go_to_line(found, r.selected_only);
    return true;
}

// The status bar holds one line.
void show_in_status_bar(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    show_status_message(text.c_str());
}

void on_next(HWND dialog) {
    commit_pane();
    if (std::optional<Request> r = read_request(dialog)) {
        say(dialog, "");
        find_next_line(dialog, *r);
    }
}

// Replaces in the current line when it holds a match in the scope, then
// goes on to the next line that does.
void on_replace(HWND dialog) {
    commit_pane();
    std::optional<Request> r = read_request(dialog);
    if (!r) return;
    EditorModel& model = editor();
    const int current = model.current();
    const DataLine* line = model.doc().line_at(current);
    const bool in_scope = line && (!r->selected_only || model.is_selected(current));
    if (in_scope && r->replacer.replace_in(*line, model.doc().version)) {
        const ReplaceCounts counts = replace_line(model, r->replacer, current);
        if (counts.lines > 0) {
            set_line_data(current);
            show_line_in_pane(current);
            update_command_state();
            say(dialog, replace_summary(counts));
        } else {
            say(dialog, "この行は書式が崩れるため置換しませんでした。");
        }
    } else {
        say(dialog, "");
    }
    find_next_line(dialog, *r);
}

void on_replace_all(HWND dialog) {
    commit_pane();
    std::optional<Request> r = read_request(dialog);
    if (!r) return;
    const ReplaceCounts counts = replace_all(editor(), r->replacer, r->selected_only);
    if (counts.lines > 0) {
        mirror_model();
        if (editor().current() >= 0) show_line_in_pane(editor().current());
        update_command_state();
    }
    const std::string summary = replace_summary(counts);
    say(dialog, "");
    show_in_status_bar(summary);
    message_box(dialog, summary.c_str(), MB_OK | MB_ICONINFORMATION);
}

INT_PTR procedure(HWND dialog, UINT msg, WPARAM wparam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            // Before the accelerators: the keys of its edit boxes (Ctrl+V,
            // Ctrl+A...) stay theirs.
            add_modeless(dialog, ModelessTurn::before_accelerators);
            center_dialog(dialog);
            fill(dialog);
            return TRUE;
        case WM_HELP: show_help(dialog, kHelpContext, kTopicReplace); return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDC_REPLACE_FIND:
                    if (HIWORD(wparam) == EN_CHANGE) enable_actions(dialog);
                    return TRUE;
                case IDOK:  // Enter: the default button
                case IDC_REPLACE_NEXT:
                    if (IsWindowEnabled(GetDlgItem(dialog, IDC_REPLACE_NEXT))) on_next(dialog);
                    return TRUE;
                case IDC_REPLACE_ONE: on_replace(dialog); return TRUE;
                case IDC_REPLACE_ALL: on_replace_all(dialog); return TRUE;
                case IDC_HELP_BUTTON: show_help(dialog, kHelpContext, kTopicReplace); return TRUE;
                case IDCANCEL: DestroyWindow(dialog); return TRUE;
            }
            break;
        case WM_DESTROY:
            remove_modeless(dialog);
            dialog_window() = nullptr;
            return FALSE;
    }
    return FALSE;
}

}  // namespace

void show_replace_dialog(HWND owner) {
    commit_pane();
    HWND& window = dialog_window();
    if (!window) {
        window = CreateDialogParamW(app().instance, MAKEINTRESOURCEW(IDD_REPLACE), owner,
                                    guarded_dialog_proc<procedure>, 0);
        if (!window) return;
    } else {
        fill(window);
    }
    ShowWindow(window, SW_SHOW);
    SetActiveWindow(window);
    HWND find = GetDlgItem(window, IDC_REPLACE_FIND);
    SetFocus(find);
    SendMessageW(find, EM_SETSEL, 0, -1);
}

HWND replace_dialog() { return dialog_window(); }


}  // namespace qz
