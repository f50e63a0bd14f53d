#include "win/operations/find_win.h"

#include <commctrl.h>

#include "core/operations/matching.h"
#include "resources/resource.h"
#include "win/base/app_state.h"
#include "win/base/guarded.h"
#include "win/base/help.h"
#include "win/base/message_box.h"
#include "win/base/window_text.h"
#include "win/view/line_list_win.h"

namespace qz {
namespace {

constexpr int kTextField = 1024;
constexpr int kPrevious = 1025;
constexpr int kNext = 1026;
constexpr int kConditionsButton = 1027;
constexpr DWORD kFindTopic = 2013;
constexpr DWORD kConditionsTopic = 2014;

// The conditions dialog's boxes: "distinguish" boxes are on when the
// ignore bit is clear, field boxes when the field bit is set.
struct ConditionBox {
    int id;
    unsigned bit;
    bool inverted;
};
constexpr ConditionBox kConditionBoxes[] = {
    {1024, SEARCH_IGNORE_CASE, true},  {1025, SEARCH_IGNORE_KANA, true},
    {1026, SEARCH_IGNORE_WIDTH, true}, {1027, SEARCH_TITLE, false},
    {1028, SEARCH_QUESTION, false},    {1029, SEARCH_ANSWER, false},
    {1030, SEARCH_COMMENT, false},
};

INT_PTR conditions_procedure(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_INITDIALOG: {
        center_dialog(dialog);
        unsigned conditions = app().prefs.search_conditions;
        for (const ConditionBox& b : kConditionBoxes)
            CheckDlgButton(dialog, b.id,
                           ((conditions & b.bit) != 0) != b.inverted ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    }
    case WM_HELP: show_help(dialog, kHelpContext, kConditionsTopic); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK: {
            unsigned conditions = 0;
            for (const ConditionBox& b : kConditionBoxes)
                if ((IsDlgButtonChecked(dialog, b.id) == BST_CHECKED) != b.inverted)
                    conditions |= b.bit;
            if (!(conditions & (SEARCH_TITLE | SEARCH_QUESTION | SEARCH_ANSWER | SEARCH_COMMENT))) {
                message_box(dialog,
                            "「以下の中から検索」のうち少なくとも１つにチェックしてください。",
                            MB_OK | MB_ICONWARNING);
                return TRUE;
            }
            app().prefs.search_conditions = conditions;
            EndDialog(dialog, 1);
            return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, 2); return TRUE;
        case IDC_HELP_BUTTON: show_help(dialog, kHelpContext, kConditionsTopic); return TRUE;
        }
        break;
    }
    return FALSE;
}


INT_PTR find_procedure(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_INITDIALOG: {
        center_dialog(dialog);
        const auto& text = app().search_text;
        SetDlgItemTextA(dialog, kTextField, text ? text->c_str() : "");
        CheckRadioButton(dialog, kPrevious, kNext, kNext);
        EnableWindow(GetDlgItem(dialog, IDOK), text && !text->empty());
        return TRUE;
    }
    case WM_HELP: show_help(dialog, kHelpContext, kFindTopic); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case kTextField:
            if (HIWORD(wparam) == EN_CHANGE)
                EnableWindow(GetDlgItem(dialog, IDOK),
                             GetWindowTextLengthA(GetDlgItem(dialog, kTextField)) > 0);
            return TRUE;
        case IDOK: {
            app().search_text = window_text(GetDlgItem(dialog, kTextField));
            bool next = IsDlgButtonChecked(dialog, kNext) == BST_CHECKED;
            PostMessageA(GetWindow(dialog, GW_OWNER), WM_COMMAND,
                         next ? CMD_FIND_NEXT : CMD_FIND_PREVIOUS, 0);
            EndDialog(dialog, 1);
            return TRUE;
        }
        case kConditionsButton: show_search_conditions_dialog(dialog); return TRUE;
        case IDCANCEL: EndDialog(dialog, 2); return TRUE;
        case IDC_HELP_BUTTON: show_help(dialog, kHelpContext, kFindTopic); return TRUE;
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
    int found = find_matching_line(a.doc, *table, a.doc.current, direction);
    if (found < 0) {
        message_box(owner, "検索文字列が見つかりません。", MB_OK | MB_ICONINFORMATION);
        return;
    }
    set_item_state(found, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageA(a.line_list, LVM_ENSUREVISIBLE, found, TRUE);
}

}  // namespace

void show_find_dialog(HWND owner) {
    DialogBoxParamA(app().instance, MAKEINTRESOURCEA(IDD_FIND), owner,
                    guarded_dialog_proc<find_procedure>, 0);
}

bool show_search_conditions_dialog(HWND owner) {
    return DialogBoxParamA(app().instance, MAKEINTRESOURCEA(IDD_SEARCH_CONDITIONS), owner,
                           guarded_dialog_proc<conditions_procedure>, 0) == 1;
}

void find_next(HWND owner) { find(owner, 1); }
void find_previous(HWND owner) { find(owner, -1); }

}  // namespace qz
