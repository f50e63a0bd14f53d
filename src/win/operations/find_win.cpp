#include "win/base/wide_win.h"
#include "win/operations/find_win.h"

#include <commctrl.h>

#include "core/operations/matching.h"
#include "resources/find_ids.h"
#include "resources/resource.h"
#include "resources/search_conditions_ids.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/base/window_text_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"

namespace qz {
namespace {

// The conditions dialog's boxes: "distinguish" boxes are on when the
// ignore bit is clear, field boxes when the field bit is set.
struct ConditionBox {
    int id;
    unsigned bit;
    bool inverted;
};
constexpr ConditionBox kConditionBoxes[] = {
    {IDC_CONDITION_CASE, SEARCH_IGNORE_CASE, true},
    {IDC_CONDITION_KANA, SEARCH_IGNORE_KANA, true},
    {IDC_CONDITION_WIDTH, SEARCH_IGNORE_WIDTH, true},
    {IDC_CONDITION_TITLE, SEARCH_TITLE, false},
    {IDC_CONDITION_QUESTION, SEARCH_QUESTION, false},
    {IDC_CONDITION_ANSWER, SEARCH_ANSWER, false},
    {IDC_CONDITION_COMMENT, SEARCH_COMMENT, false},
};

INT_PTR conditions_procedure(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_INITDIALOG: {
        center_dialog(dialog);
        SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        check_condition_boxes(dialog, *reinterpret_cast<unsigned*>(lparam));
        return TRUE;
    }
    case WM_HELP: show_help(dialog, kHelpContext, kTopicConditions); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK: {
            const unsigned conditions = checked_conditions(dialog);
            if (!conditions_name_a_field(dialog, conditions)) return TRUE;
            *reinterpret_cast<unsigned*>(GetWindowLongPtrW(dialog, DWLP_USER)) = conditions;
            EndDialog(dialog, 1);
            return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, 2); return TRUE;
        case IDC_HELP_BUTTON: show_help(dialog, kHelpContext, kTopicConditions); return TRUE;
        }
        break;
    }
    return FALSE;
}

// What the find dialog shows and, once it closed, what the user chose.
struct FindState {
    FindRequest request;
    FindResult result;
};

FindState& find_state(HWND dialog) {
    return *reinterpret_cast<FindState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

INT_PTR find_procedure(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_INITDIALOG: {
        center_dialog(dialog);
        SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        const FindState& state = find_state(dialog);
        set_item_text(dialog, IDC_FIND_TEXT, state.request.text);
        CheckRadioButton(dialog, IDC_FIND_PREVIOUS, IDC_FIND_NEXT, IDC_FIND_NEXT);
        EnableWindow(GetDlgItem(dialog, IDOK), !state.request.text.empty());
        return TRUE;
    }
    case WM_HELP: show_help(dialog, kHelpContext, kTopicFind); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDC_FIND_TEXT:
            if (HIWORD(wparam) == EN_CHANGE)
                EnableWindow(GetDlgItem(dialog, IDOK),
                             GetWindowTextLengthW(GetDlgItem(dialog, IDC_FIND_TEXT)) > 0);
            return TRUE;
        case IDOK: {
            FindState& state = find_state(dialog);
            state.result.text = window_text(GetDlgItem(dialog, IDC_FIND_TEXT));
            state.result.next = IsDlgButtonChecked(dialog, IDC_FIND_NEXT) == BST_CHECKED;
            EndDialog(dialog, 1);
            return TRUE;
        }
        case IDC_FIND_CONDITIONS: {
            FindState& state = find_state(dialog);
            if (auto conditions = run_search_conditions_dialog(dialog, state.result.conditions))
                state.result.conditions = *conditions;
            return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, 2); return TRUE;
        case IDC_HELP_BUTTON: show_help(dialog, kHelpContext, kTopicFind); return TRUE;
        }
        break;
    }
    return FALSE;
}

void find(HWND owner, int direction) {
    Application& a = app();
    if (!a.search_text) {
        show_find_dialog(owner);
        return;
    }
    if (a.search_text->empty()) return;
    std::optional<MatchTable> table = build_match_table(*a.search_text, a.prefs.search_conditions);
    if (!table) return;
    int found = find_matching_line(document(), *table, editor().current(), direction);
    if (found < 0) {
        message_box(owner, "検索文字列が見つかりません。", MB_OK | MB_ICONINFORMATION);
        return;
    }
    set_item_state(found, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageW(a.line_list, LVM_ENSUREVISIBLE, found, TRUE);
}

}  // namespace

FindResult run_find_dialog(HWND owner, const FindRequest& request) {
    FindState state{request, {std::nullopt, true, request.conditions}};
    DialogBoxParamW(app().instance, MAKEINTRESOURCEW(IDD_FIND), owner,
                    guarded_dialog_proc<find_procedure>, reinterpret_cast<LPARAM>(&state));
    return state.result;
}

std::optional<unsigned> run_search_conditions_dialog(HWND owner, unsigned conditions) {
    if (DialogBoxParamW(app().instance, MAKEINTRESOURCEW(IDD_SEARCH_CONDITIONS), owner,
                        guarded_dialog_proc<conditions_procedure>,
                        reinterpret_cast<LPARAM>(&conditions)) != 1)
        return std::nullopt;
    return conditions;
}

void show_find_dialog(HWND owner) {
    Application& a = app();
    FindResult result =
        run_find_dialog(owner, {a.search_text.value_or(""), a.prefs.search_conditions});
    a.prefs.search_conditions = result.conditions;
    if (!result.text) return;
    a.search_text = std::move(result.text);
    PostMessageW(owner, WM_COMMAND, result.next ? CMD_FIND_NEXT : CMD_FIND_PREVIOUS, 0);
}

bool show_search_conditions_dialog(HWND owner) {
    std::optional<unsigned> conditions =
        run_search_conditions_dialog(owner, app().prefs.search_conditions);
    if (conditions) app().prefs.search_conditions = *conditions;
    return conditions.has_value();
}

void check_condition_boxes(HWND dialog, unsigned conditions) {
    for (const ConditionBox& b : kConditionBoxes)
        CheckDlgButton(dialog, b.id,
                       ((conditions & b.bit) != 0) != b.inverted ? BST_CHECKED : BST_UNCHECKED);
}

unsigned checked_conditions(HWND dialog) {
    unsigned conditions = 0;
    for (const ConditionBox& b : kConditionBoxes)
        if ((IsDlgButtonChecked(dialog, b.id) == BST_CHECKED) != b.inverted) conditions |= b.bit;
    return conditions;
}

bool conditions_name_a_field(HWND owner, unsigned conditions) {
    if (conditions & (SEARCH_TITLE | SEARCH_QUESTION | SEARCH_ANSWER | SEARCH_COMMENT)) return true;
    message_box(owner, "「以下の中から検索」のうち少なくとも１つにチェックしてください。",
                MB_OK | MB_ICONWARNING);
    return false;
}

void find_next(HWND owner) { find(owner, 1); }
void find_previous(HWND owner) { find(owner, -1); }

}  // namespace qz
