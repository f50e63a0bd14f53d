#include "win/operations/sort_dialog_win.h"

#include <string>
#include <string_view>

#include "core/operations/sort.h"
#include "resources/resource.h"
#include "resources/sort_ids.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/base/wide_win.h"
#include "win/view/command_state_win.h"
#include "win/view/list_mirror_win.h"
#include "win/view/pane_host_win.h"

namespace qz {
namespace {

// The key whose byte order is the order CompareStringW gives the texts in
// the thread's locale: one conversion per line instead of one comparison
// per pair.
std::string collation_key(std::string_view text) {
    const LCID locale = GetThreadLocale();
    const std::wstring units = wide(text);
    const int length = static_cast<int>(units.size());
    // A sort key is bytes, and its size is counted in bytes.
    int size = LCMapStringW(locale, LCMAP_SORTKEY, units.data(), length, nullptr, 0);
    if (size <= 0) return std::string(text);
    std::string key(static_cast<std::size_t>(size), '\0');
    size = LCMapStringW(locale, LCMAP_SORTKEY, units.data(), length, reinterpret_cast<LPWSTR>(key.data()), size);
    // Without its final NUL, so that a key that is the start of another
    // sorts first.
    key.resize(size > 0 ? static_cast<std::size_t>(size - 1) : 0);
    return key;
}

// The dialog's answer: the key (0-3) and the direction (1 ascending, -1
// descending).
struct SortChoice {
    int key = 0;
    int direction = 1;
};

INT_PTR sort_procedure(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        for (const char* key : {"問題", "答え", "正誤履歴", "グループ"})
            SendDlgItemMessageW(dialog, IDC_SORT_KEY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(key).c_str()));
        for (const char* order : {"昇順", "降順"})
            SendDlgItemMessageW(dialog, IDC_SORT_ORDER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(order).c_str()));
        SendDlgItemMessageW(dialog, IDC_SORT_KEY, CB_SETCURSEL, 0, 0);
        SendDlgItemMessageW(dialog, IDC_SORT_ORDER, CB_SETCURSEL, 0, 0);
        return TRUE;
    case WM_HELP: show_help(dialog, kHelpContext, kTopicSort); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK: {
            auto* choice = reinterpret_cast<SortChoice*>(GetWindowLongPtrW(dialog, DWLP_USER));
            const int order = static_cast<int>(SendDlgItemMessageW(dialog, IDC_SORT_ORDER, CB_GETCURSEL, 0, 0));
            choice->key = static_cast<int>(SendDlgItemMessageW(dialog, IDC_SORT_KEY, CB_GETCURSEL, 0, 0));
            choice->direction = 1 - 2 * order;
            EndDialog(dialog, 1);
            return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, 2); return TRUE;
        case IDC_HELP_BUTTON: show_help(dialog, kHelpContext, kTopicSort); return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

void show_sort_dialog(HWND owner) {
    if (app().line_list && GetFocus() != app().line_list) SetFocus(app().line_list);
    SortChoice choice;
    if (DialogBoxParamW(app().instance, MAKEINTRESOURCEW(IDD_SORT), owner, guarded_dialog_proc<sort_procedure>,
                        reinterpret_cast<LPARAM>(&choice)) == 1)
        sort_questions(owner, choice.key, choice.direction);
}

void sort_questions(HWND owner, int key, int direction) {
    EditOutcome outcome = sort_selected_questions(editor(), key, direction, collation_key);
    if (!outcome.refusal.empty()) {
        message_box(owner, outcome.refusal.c_str(), MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!outcome.change.any()) return;
    // The lines keep their places and states; only their texts are drawn anew.
    mirror_model();
    if (editor().current() >= 0) show_line_in_pane(editor().current());
    update_command_state();
}

}  // namespace qz
