#include "win/operations/group_change_dialog_win.h"

#include "resources/group_change_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/base/wide_win.h"

namespace qz {
namespace {

struct Exchange {
    const GroupChangeRequest* request;
    int group = 0;
};

INT_PTR procedure(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        center_dialog(dialog);
        const auto* exchange = reinterpret_cast<const Exchange*>(lparam);
        HWND combo = GetDlgItem(dialog, IDC_GROUP_CHANGE_GROUP);
        for (const std::string& name : exchange->request->names)
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(name).c_str()));
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
        return TRUE;
    }
    case WM_HELP: show_help(dialog, kHelpContext, kTopicGroupChange); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK: {
            const LRESULT group = SendDlgItemMessageW(dialog, IDC_GROUP_CHANGE_GROUP, CB_GETCURSEL, 0, 0);
            auto* exchange = reinterpret_cast<Exchange*>(GetWindowLongPtrW(dialog, DWLP_USER));
            exchange->group = group >= 0 && group <= 9 ? static_cast<int>(group) : 0;
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

}  // namespace

std::optional<int> ask_group_change(HWND owner, const GroupChangeRequest& request) {
    Exchange exchange{&request};
    if (DialogBoxParamW(app().instance, MAKEINTRESOURCEW(IDD_GROUP_CHANGE), owner, guarded_dialog_proc<procedure>,
                        reinterpret_cast<LPARAM>(&exchange)) != IDOK)
        return std::nullopt;
    return exchange.group;
}

}  // namespace qz
