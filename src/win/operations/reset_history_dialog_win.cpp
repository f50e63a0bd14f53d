#include "win/operations/reset_history_dialog_win.h"

#include "resources/reset_history_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"

namespace qz {
namespace {

INT_PTR procedure(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        center_dialog(dialog);
        CheckRadioButton(dialog, IDC_RESET_RIGHT, IDC_RESET_WRONG, IDC_RESET_WRONG);
        return TRUE;
    case WM_HELP: show_help(dialog, kHelpContext, kTopicMarks); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            *reinterpret_cast<bool*>(GetWindowLongPtrW(dialog, DWLP_USER)) =
                IsDlgButtonChecked(dialog, IDC_RESET_RIGHT) == BST_CHECKED;
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        case IDC_HELP_BUTTON: show_help(dialog, kHelpContext, kTopicMarks); return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

std::optional<bool> ask_history_reset(HWND owner) {
    bool right = false;
    if (DialogBoxParamW(app().instance, MAKEINTRESOURCEW(IDD_RESET_HISTORY), owner,
                        guarded_dialog_proc<procedure>, reinterpret_cast<LPARAM>(&right)) != IDOK)
        return std::nullopt;
    return right;
}

}  // namespace qz
