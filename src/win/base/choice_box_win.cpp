#include "win/base/choice_box_win.h"

#include "resources/choice_box_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/message_box_win.h"
#include "win/base/wide_win.h"

namespace qz {
namespace {

INT_PTR procedure(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_INITDIALOG: {
            const auto& request = *reinterpret_cast<const ChoiceRequest*>(lparam);
            set_window_text(dialog, kAppCaption);
            set_item_text(dialog, IDC_CHOICE_TEXT, request.text);
            set_item_text(dialog, IDC_CHOICE_FIRST, request.first);
            set_item_text(dialog, IDC_CHOICE_SECOND, request.second);
            SendDlgItemMessageW(dialog, IDC_CHOICE_ICON, STM_SETICON,
                                reinterpret_cast<WPARAM>(LoadIconW(nullptr, MAKEINTRESOURCEW(32514))), 0);  // IDI_QUESTION
            center_dialog(dialog);
            return TRUE;
        }
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDOK:
                case IDC_CHOICE_FIRST: EndDialog(dialog, static_cast<INT_PTR>(Choice::first)); return TRUE;
                case IDC_CHOICE_SECOND: EndDialog(dialog, static_cast<INT_PTR>(Choice::second)); return TRUE;
                case IDCANCEL: EndDialog(dialog, static_cast<INT_PTR>(Choice::cancel)); return TRUE;
            }
            break;
    }
    return FALSE;
}

}  // namespace

Choice choice_box(HWND owner, const ChoiceRequest& request) {
    const INT_PTR result =
        DialogBoxParamW(app().instance, MAKEINTRESOURCEW(IDD_CHOICE), owner,
                        guarded_dialog_proc<procedure>, reinterpret_cast<LPARAM>(&request));
    switch (result) {
        case static_cast<INT_PTR>(Choice::first): return Choice::first;
        case static_cast<INT_PTR>(Choice::second): return Choice::second;
        default: return Choice::cancel;
    }
}

}  // namespace qz
